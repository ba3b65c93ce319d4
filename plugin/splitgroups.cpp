// Cutting staff groups at the edges of a selection: the record that was there keeps the
// measures before the selection, and each piece cut off becomes a new group whose names
// end in a numbered suffix.
#include "plugin/splitgroups.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "bridge/finalepdk.h"
#include "framework/score/group.h"
#include "framework/score/musicregion.h"
#include "framework/score/systemstaff.h"
#include "framework/text/fcstring.h"
#include "framework/text/fontprefs.h"
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

// Index of the first system staff holding staff, or -1.
int IndexOfStaff(FCSystemStaves& staves, short staff) {
  for (int i = 0; i < staves.GetCount(); ++i) {
    FCSystemStaff* element = static_cast<FCSystemStaff*>(staves.GetItemAt(i));
    if (element && element->GetStaff() == staff) return i;
  }
  return -1;
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

// The names of the group being split, taken before anything changes, and the suffix
// fonts: the bases of every new name made from the group.
struct GroupNames {
  std::unique_ptr<FCString> full;
  std::unique_ptr<FCString> abbreviated;
  FCString fullTags;
  FCString abbreviatedTags;
};

// Stores the piece [start, end] as a new group record with suffixed names: lowers the
// offset-6 word, creates the record, gives it new name blocks, restores the word and
// saves again. False as soon as the host refuses a step.
bool CreatePiece(FCGroup* group, short start, short end, GroupNames& names, SplitRecord& record) {
  group->SetStartMeasure(start);
  group->SetEndMeasure(end);
  group->SetOffset6Word(static_cast<short>(group->GetOffset6Word() - kOffset6Step));
  if (!group->SaveNew(0)) return false;
  record.CreatedGroup(group->GetItemID());
  short number = static_cast<short>(group->GetItemID());

  FCString fullName;
  fullName.SetString(names.full.get());
  AppendSplitText(&fullName, &names.fullTags, number, false);
  if (!group->SaveNewFullNameBlock(&fullName)) return false;
  record.CreatedBlock(group->GetFullNameID());

  FCString abbreviatedName;
  abbreviatedName.SetString(names.abbreviated.get());
  AppendSplitText(&abbreviatedName, &names.abbreviatedTags, number, true);
  if (!group->SaveNewAbbreviatedNameBlock(&abbreviatedName)) return false;
  record.CreatedBlock(group->GetAbbreviatedNameID());

  group->SetOffset6Word(static_cast<short>(group->GetOffset6Word() + kOffset6Step));
  return group->Save();
}

// Cuts one matching group before and after the region. True when a cut was made and
// every step of it was stored; otherwise the document holds the group as it was.
bool SplitGroup(FCGroup* group, FCMusicRegion* region) {
  const short loadedStart = group->GetStartMeasure();
  const short loadedEnd = group->GetEndMeasure();
  const short regionStart = region->GetStartMeasure();
  const short regionEnd = region->GetEndMeasure();

  GroupNames names;
  names.full.reset(group->CreateFullNameString());
  names.abbreviated.reset(group->CreateAbbreviatedNameString());
  FCFontPrefs::MakeEnigmaStringForPrefs(kFullNameFontPrefs, &names.fullTags);
  FCFontPrefs::MakeEnigmaStringForPrefs(kAbbreviatedNameFontPrefs, &names.abbreviatedTags);

  SplitRecord record(group);
  bool split = false;
  bool stored = true;

  if (loadedStart < regionStart) {
    group->SetEndMeasure(static_cast<short>(regionStart - 1));
    stored = group->Save() && CreatePiece(group, regionStart, loadedEnd, names, record);
    split = true;
  }
  if (stored && regionEnd < loadedEnd && !region->IsLastEndMeasure()) {
    group->SetEndMeasure(regionEnd);
    stored = group->Save() &&
             CreatePiece(group, static_cast<short>(regionEnd + 1), loadedEnd, names, record);
    split = true;
  }
  if (!stored) {
    record.PutBack();
    return false;
  }
  return split;
}

}  // namespace

void AppendSplitText(FCString* text, FCString* fontTags, short number, bool abbreviated) {
  FCString word;
  word.LoadResource(abbreviated ? kStringAbbreviatedNameSuffix : kStringFullNameSuffix, nullptr);
  FCString marker;
  marker.SetString(fontTags);
  marker.Append("(");
  marker.Append(&word);

  int position = 0;
  if (text->Contains(&marker, &position))
    text->SetLength(position + marker.GetLength());
  else
    text->Append(&marker);
  text->AppendInteger(number);
  text->Append(")");
}

void CalcFirstLastVisibleGroupStaves(FCGroup* group, FCMusicRegion* region, short* first,
                                     short* last) {
  *first = 0;
  *last = 0;
  if (group->GetStartStaff() == group->GetEndStaff()) {
    *first = *last = group->GetStartStaff();
    return;
  }
  FCSystemStaves global;
  global.LoadAllForItem(0);
  FCSystemStaves shownList;
  shownList.LoadAllForItem(region->GetStartInstrumentList());
  // The staves the region's list shows, sorted for look-up: the walk below then costs
  // the group's span times log of the list, not span times list.
  std::vector<short> shown;
  for (int i = 0; i < shownList.GetCount(); ++i) {
    FCSystemStaff* element = static_cast<FCSystemStaff*>(shownList.GetItemAt(i));
    if (element) shown.push_back(element->GetStaff());
  }
  std::sort(shown.begin(), shown.end());

  int from = IndexOfStaff(global, group->GetStartStaff());
  int to = IndexOfStaff(global, group->GetEndStaff());
  if (from < 0 || to < 0) return;
  for (int i = from; i <= to; ++i) {
    short staff = static_cast<FCSystemStaff*>(global.GetItemAt(i))->GetStaff();
    if (!std::binary_search(shown.begin(), shown.end(), staff)) continue;
    if (*first == 0) *first = staff;
    *last = staff;
  }
}

bool SplitGroups(FCMusicRegion* region) {
  if (region->IsFullDocumentWidth()) return false;

  FCGroups groups;
  groups.LoadAll();
  bool splitAny = false;
  for (int i = 0; i < groups.GetCount(); ++i) {
    FCGroup* group = static_cast<FCGroup*>(groups.GetItemAt(i));
    if (!group) continue;
    short top = StaffAtSlot(region->GetStartSlot(), region->GetStartInstrumentList());
    short bottom = StaffAtSlot(region->GetEndSlot(), region->GetEndInstrumentList());
    short first = 0, last = 0;
    CalcFirstLastVisibleGroupStaves(group, region, &first, &last);
    if (first != top || last != bottom) continue;
    if (group->GetStartMeasure() > region->GetStartMeasure() ||
        region->GetEndMeasure() > group->GetEndMeasure())
      continue;
    if (SplitGroup(group, region)) splitAny = true;
  }
  return splitAny;
}
