// Cutting staff groups at the edges of a selection: the record that was there keeps the
// measures before the selection, and each piece cut off becomes a new group whose names
// end in a numbered suffix. The interface is plugin/splitgroups.h; what happens when the
// host refuses or withholds something is in docs/framework-behaviour.md.
#include "plugin/splitgroups.h"

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

#include "bridge/finalepdk.h"
#include "framework/score/group.h"
#include "framework/score/musicregion.h"
#include "framework/score/systemstaff.h"
#include "framework/text/fontprefs.h"
#include "framework/text/rawtext.h"
#include "framework/text/textblock.h"
#include "plugin/tolleksplitgroups.h"

namespace {

constexpr short kFullNameFontPrefs = 33;
constexpr short kAbbreviatedNameFontPrefs = 39;
// Lowered around the creation of each new group record, restored in the save after it.
constexpr short kOffset6Step = 10;

short StaffAtSlot(short slot, unsigned short instrumentList) {
  return static_cast<short>(FX_SlotToInst(slot, instrumentList, FINALE_INTERFACE_VERSION));
}

// Whether the host holds more of a record than its load delivered. A load the host
// refused looks like a record that is not there; asking for the record's size (a load
// without a buffer) tells the two apart. Asked only after a load that gave nothing.
bool HostWithheld(const __FCBaseData& record) {
  uint8_t key[__FCBaseData::DATAKEY_SIZE];
  std::memcpy(key, record._GetDataKey(), sizeof key);
  int32_t size = 0;
  const int32_t result = FX_LoadEData(static_cast<int32_t>(record.Tag()), key, nullptr, &size,
                                      static_cast<int32_t>(record.EnigmaVersion()));
  return __FCBaseData::_HostSucceeded(result) && size > 0;
}

// The staff numbers of one instrument list, in order. *complete becomes false when the
// host withheld a position of the list, which would end it early.
std::vector<short> LoadStaffList(unsigned short list, bool* complete) {
  FCSystemStaves staves;
  staves.LoadAllForItem(list);
  std::vector<short> numbers;
  numbers.reserve(static_cast<size_t>(staves.GetCount()));
  for (int i = 0; i < staves.GetCount(); ++i) {
    const FCSystemStaff* element = static_cast<const FCSystemStaff*>(staves.GetItemAt(i));
    if (element) numbers.push_back(element->GetStaff());
  }
  FCSystemStaff after;
  after._SetKeyFirst(list);
  after._SetKeySecond(static_cast<uint16_t>(staves.GetCount()));
  if (HostWithheld(after)) *complete = false;
  return numbers;
}

// The text behind a name block into text, as FCGroup reads a name: empty for block 0
// and for a block or text that is not there. False when the host withheld the block or
// its text, so that the name cannot be read.
bool ReadNameText(unsigned short block, FCString* text) {
  text->SetCString("");
  if (block == 0) return true;
  FCTextBlock textBlock;
  if (!textBlock.Load(block)) return !HostWithheld(textBlock);
  FCRawText raw;
  raw.SetCustomTag(textBlock.GetRawTextTag());
  if (!raw.Load(textBlock.GetRawTextNumber()) || raw._GetLoadedSize() <= 0)
    return !HostWithheld(raw);
  std::unique_ptr<FCString> read(raw.CreateString());
  text->SetString(read.get());
  return true;
}

// The start of a name's suffix: fontTags, "(" and the suffix word of full or abbreviated
// names from the string table.
void MakeMarker(const FCString& fontTags, bool abbreviated, FCString* marker) {
  FCString word;
  word.LoadResource(abbreviated ? kStringAbbreviatedNameSuffix : kStringFullNameSuffix, nullptr);
  marker->SetString(&fontTags);
  marker->Append("(");
  marker->Append(&word);
}

// The same with the font tags of a font preference.
void MakeMarker(short fontPrefs, bool abbreviated, FCString* marker) {
  FCString tags;
  FCFontPrefs::MakeEnigmaStringForPrefs(fontPrefs, &tags);
  MakeMarker(tags, abbreviated, marker);
}

// Ends text with marker, number and ")": cut after an earlier marker, or appended.
void AppendSuffix(FCString* text, const FCString& marker, short number) {
  int position = 0;
  if (text->Contains(&marker, &position))
    text->SetLength(position + marker.GetLength());
  else
    text->Append(&marker);
  text->AppendInteger(number);
  text->Append(")");
}

// What one group's split has written to the document, so that it can be put back when
// the host refuses a later step: the record as it was loaded, the groups created, and
// the name blocks (with their raw texts) created for them.
class SplitRecord {
 public:
  explicit SplitRecord(FCGroup* loaded) : original_(static_cast<FCGroup*>(loaded->CreateClone())) {}

  void CreatedGroup(unsigned short number) { groups_.push_back(number); }
  void CreatedBlock(unsigned short block) { blocks_.push_back(block); }

  // Deletes what was created and writes the group back as it was loaded.
  void PutBack() {
    for (unsigned short block : blocks_) {
      FCTextBlock text;
      if (text.Load(block)) text.DeepDeleteData();
    }
    for (unsigned short number : groups_) {
      FCGroup group;
      if (group.Load(0, number)) group.DeleteData();
    }
    if (original_) original_->Save();
  }

 private:
  std::unique_ptr<FCGroup> original_;
  std::vector<unsigned short> groups_;
  std::vector<unsigned short> blocks_;
};

// What every group's split of one command shares. The document's staves, measures and
// font preferences do not change during the command, so each is asked of the host once,
// when it is first needed.
class SplitContext {
 public:
  explicit SplitContext(FCMusicRegion* region)
      : region_(region), lists_(region->GetStartInstrumentList()) {}

  FCMusicRegion* Region() const { return region_; }

  GroupStaffLists& Lists() { return lists_; }

  bool EndsAtLastMeasure() {
    if (!endsAtLastMeasure_) endsAtLastMeasure_ = region_->IsLastEndMeasure();
    return *endsAtLastMeasure_;
  }

  // The start of the suffix of a full or abbreviated name: the inline font tags from
  // font preference 33 or 39, "(" and the suffix word.
  const FCString& Marker(bool abbreviated) {
    if (!markersMade_) {
      MakeMarker(kFullNameFontPrefs, false, &fullMarker_);
      MakeMarker(kAbbreviatedNameFontPrefs, true, &abbreviatedMarker_);
      markersMade_ = true;
    }
    return abbreviated ? abbreviatedMarker_ : fullMarker_;
  }

 private:
  FCMusicRegion* region_;
  GroupStaffLists lists_;
  std::optional<bool> endsAtLastMeasure_;
  bool markersMade_ = false;
  FCString fullMarker_;
  FCString abbreviatedMarker_;
};

// The names of the group being split, taken before anything changes: the bases of every
// new name made from the group.
struct GroupNames {
  FCString full;
  FCString abbreviated;
};

// Stores the piece [start, end] as a new group record with suffixed names: lowers the
// offset-6 word, creates the record, gives it new name blocks, restores the word and
// saves again. False as soon as the host refuses a step.
bool CreatePiece(FCGroup* group, short start, short end, const GroupNames& names,
                 SplitContext& context, SplitRecord& record) {
  group->SetStartMeasure(start);
  group->SetEndMeasure(end);
  group->SetOffset6Word(static_cast<short>(group->GetOffset6Word() - kOffset6Step));
  if (!group->SaveNew(0)) return false;
  record.CreatedGroup(group->GetItemID());
  short number = static_cast<short>(group->GetItemID());

  FCString fullName(names.full);
  AppendSuffix(&fullName, context.Marker(false), number);
  if (!group->SaveNewFullNameBlock(&fullName)) return false;
  record.CreatedBlock(group->GetFullNameID());

  FCString abbreviatedName(names.abbreviated);
  AppendSuffix(&abbreviatedName, context.Marker(true), number);
  if (!group->SaveNewAbbreviatedNameBlock(&abbreviatedName)) return false;
  record.CreatedBlock(group->GetAbbreviatedNameID());

  group->SetOffset6Word(static_cast<short>(group->GetOffset6Word() + kOffset6Step));
  return group->Save();
}

enum class Split { kNone, kDone, kRefused };

// Cuts one matching group before and after the region. kDone when a cut was made and
// every step of it was stored; kRefused when the host withheld a name or refused a
// step, in which case the document holds the group as it was.
Split SplitGroup(FCGroup* group, SplitContext& context, FCString* shownName) {
  FCMusicRegion* region = context.Region();
  const short loadedStart = group->GetStartMeasure();
  const short loadedEnd = group->GetEndMeasure();
  const short regionStart = region->GetStartMeasure();
  const short regionEnd = region->GetEndMeasure();

  GroupNames names;
  const bool namesRead = ReadNameText(group->GetFullNameID(), &names.full) &&
                         ReadNameText(group->GetAbbreviatedNameID(), &names.abbreviated);
  shownName->SetString(&names.full);
  if (!namesRead) return Split::kRefused;

  SplitRecord record(group);
  bool split = false;
  bool stored = true;
  if (loadedStart < regionStart) {
    group->SetEndMeasure(static_cast<short>(regionStart - 1));
    stored = group->Save() && CreatePiece(group, regionStart, loadedEnd, names, context, record);
    split = true;
  }
  if (stored && regionEnd < loadedEnd && !context.EndsAtLastMeasure()) {
    group->SetEndMeasure(regionEnd);
    stored = group->Save() && CreatePiece(group, static_cast<short>(regionEnd + 1), loadedEnd,
                                          names, context, record);
    split = true;
  }
  if (!stored) {
    record.PutBack();
    return Split::kRefused;
  }
  return split ? Split::kDone : Split::kNone;
}

// How a refused group is named to the user: its full name without font tags, or its
// number when it has no name that could be read.
FCString RefusedGroupName(const FCString& name, unsigned short number) {
  FCString shown(name);
  shown.TrimEnigmaFontTags();
  shown.TrimWhitespace();
  if (shown.GetLength() > 0) return shown;
  LoadCommandText(&shown, kStringGroupNumber);
  shown.AppendInteger(number);
  return shown;
}

// Whether the collection holds every group of the document: asked from its last group
// (or from before the first), the host names no further one. A walk that the host cut
// short (a group announced but not delivered) would otherwise pass for the whole
// document.
bool HoldsEveryGroup(const FCGroups& groups) {
  FCGroup probe;
  const int count = groups.GetCount();
  const FCGroup* last =
      count > 0 ? static_cast<const FCGroup*>(groups.GetItemAt(count - 1)) : nullptr;
  if (!last) return !probe.LoadFirst();
  std::memcpy(probe._GetDataKey(), last->_GetDataKey(), __FCBaseData::DATAKEY_SIZE);
  return !probe.LoadNext();
}

// Whether the string table gives both suffix words: without them no new name can be
// made, and a name with the fallback text in it must not reach the document.
bool SuffixWordsReadable() {
  FCString word;
  return word.LoadResource(kStringFullNameSuffix, nullptr) &&
         word.LoadResource(kStringAbbreviatedNameSuffix, nullptr);
}

}  // namespace

bool RegionHasMeasures(const FCMusicRegion* region) {
  return region->GetStartMeasure() >= 1 && region->GetEndMeasure() >= region->GetStartMeasure();
}

bool GroupStaffLists::Load() {
  if (loaded_) return complete_;
  loaded_ = true;
  complete_ = true;
  global_ = LoadStaffList(0, &complete_);
  const std::vector<short> shownStaves =
      shownList_ == 0 ? global_ : LoadStaffList(shownList_, &complete_);
  const std::unordered_set<short> shown(shownStaves.begin(), shownStaves.end());
  const int count = static_cast<int>(global_.size());
  for (int i = 0; i < count; ++i) firstIndex_.emplace(global_[i], i);
  nextShown_.assign(global_.size(), count);
  lastShown_.assign(global_.size(), -1);
  int next = count;
  for (int i = count - 1; i >= 0; --i) {
    if (global_[i] != 0 && shown.count(global_[i])) next = i;
    nextShown_[i] = next;
  }
  int last = -1;
  for (int i = 0; i < count; ++i) {
    if (shown.count(global_[i])) last = i;
    lastShown_[i] = last;
  }
  return complete_;
}

void GroupStaffLists::FirstLastVisible(short startStaff, short endStaff, short* first,
                                       short* last) {
  if (!loaded_) Load();
  *first = 0;
  *last = 0;
  const auto from = firstIndex_.find(startStaff);
  const auto to = firstIndex_.find(endStaff);
  if (from == firstIndex_.end() || to == firstIndex_.end() || from->second > to->second) return;
  // The walk from the group's start staff to its end staff in the global order: first
  // is the first shown staff with a number (a shown staff 0 does not count), last the
  // last shown staff.
  const int firstShown = nextShown_[from->second];
  if (firstShown <= to->second) *first = global_[firstShown];
  const int lastShown = lastShown_[to->second];
  if (lastShown >= from->second) *last = global_[lastShown];
}

void AppendSplitText(FCString* text, FCString* fontTags, short number, bool abbreviated) {
  FCString marker;
  MakeMarker(*fontTags, abbreviated, &marker);
  AppendSuffix(text, marker, number);
}

void CalcFirstLastVisibleGroupStaves(FCGroup* group, GroupStaffLists& lists, short* first,
                                     short* last) {
  if (group->GetStartStaff() == group->GetEndStaff()) {
    *first = *last = group->GetStartStaff();
    return;
  }
  lists.FirstLastVisible(group->GetStartStaff(), group->GetEndStaff(), first, last);
}

void CalcFirstLastVisibleGroupStaves(FCGroup* group, FCMusicRegion* region, short* first,
                                     short* last) {
  GroupStaffLists lists(region->GetStartInstrumentList());
  CalcFirstLastVisibleGroupStaves(group, lists, first, last);
}

bool SplitGroups(FCMusicRegion* region) {
  SplitOutcome outcome;
  return SplitGroups(region, &outcome);
}

bool SplitGroups(FCMusicRegion* region, SplitOutcome* outcome) {
  *outcome = SplitOutcome();
  if (!RegionHasMeasures(region) || region->IsFullDocumentWidth()) return false;
  if (!SuffixWordsReadable()) {
    outcome->textsUnreadable = true;
    return false;
  }

  FCGroups groups;
  groups.LoadAll();
  if (!HoldsEveryGroup(groups)) {
    outcome->documentUnread = true;
    return false;
  }
  const short top = StaffAtSlot(region->GetStartSlot(), region->GetStartInstrumentList());
  const short bottom = StaffAtSlot(region->GetEndSlot(), region->GetEndInstrumentList());
  // A slot without a staff (0 or less) is no edge that a group's staves could match.
  if (top <= 0 || bottom <= 0 || groups.GetCount() == 0) return false;

  // The lists (needed for groups of more than one staff) are read whole before any
  // group changes, so that a list the host cut short is found before anything is
  // written.
  SplitContext context(region);
  bool needsLists = false;
  for (int i = 0; i < groups.GetCount() && !needsLists; ++i) {
    const FCGroup* group = static_cast<const FCGroup*>(groups.GetItemAt(i));
    needsLists = group && group->GetStartStaff() != group->GetEndStaff();
  }
  if (needsLists && !context.Lists().Load()) {
    outcome->documentUnread = true;
    return false;
  }
  for (int i = 0; i < groups.GetCount(); ++i) {
    FCGroup* group = static_cast<FCGroup*>(groups.GetItemAt(i));
    if (!group) continue;
    short first = 0, last = 0;
    CalcFirstLastVisibleGroupStaves(group, context.Lists(), &first, &last);
    if (first != top || last != bottom) continue;
    if (group->GetStartMeasure() > region->GetStartMeasure() ||
        region->GetEndMeasure() > group->GetEndMeasure())
      continue;
    // The object takes the number of each new group it creates; the user knows the
    // group by the number it was loaded with.
    const unsigned short number = group->GetItemID();
    FCString name;
    switch (SplitGroup(group, context, &name)) {
      case Split::kDone:
        ++outcome->split;
        break;
      case Split::kRefused:
        outcome->refused.push_back(RefusedGroupName(name, number));
        break;
      case Split::kNone:
        break;
    }
  }
  return outcome->split > 0;
}
