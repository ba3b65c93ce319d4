// FCGroup and FCGroups: the 'SDNG' record's staves, measures and name blocks (group.h lays
// out the record). Names through text blocks: docs/host-texts-staves.md.
#include "framework/score/group.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/score/systemstaff.h"
#include "framework/text/fcstring.h"
#include "framework/text/textblock.h"

namespace {

// Offsets of the record's interpreted fields, each a 16-bit word.
constexpr int kStartStaff = 0;
constexpr int kEndStaff = 2;
constexpr int kFullNameBlock = 4;
constexpr int kOffset6Word = 6;
constexpr int kAbbreviatedNameBlock = 22;
constexpr int kStartMeasure = 32;
constexpr int kEndMeasure = 34;

constexpr int kFields[] = {kStartStaff,           kEndStaff,     kFullNameBlock, kOffset6Word,
                           kAbbreviatedNameBlock, kStartMeasure, kEndMeasure};

// The fields are listed in increasing order, do not overlap, are word-aligned and lie
// inside the record; the last one ends exactly at the record's end.
constexpr bool FieldsFitRecord() {
  int next = 0;
  for (int offset : kFields) {
    if (offset < next || offset % 2 != 0) return false;
    next = offset + 2;
  }
  return next == FCGroup::RECORD_SIZE;
}
static_assert(FieldsFitRecord(), "group record fields must fit the 36-byte record");

// The text behind a name block; empty when the block or its text cannot be read.
FCString* CreateBlockText(unsigned short blocknumber) {
  FCTextBlock block;
  if (blocknumber == 0 || !block.Load(blocknumber)) return new FCString();
  return block.CreateRawTextString();
}

// Makes a new text behind a new name block; the new block's number, or 0.
unsigned short SaveNewNameBlock(FCString* text) {
  if (!text) return 0;
  return FCTextBlock::SaveNewTextAndBlock(text, FCTextBlock::TEXTTYPE_BLOCK);
}

}  // namespace

FCGroup::FCGroup() { std::memset(_record, 0, sizeof(_record)); }

uint32_t FCGroup::EnigmaVersion() const {
  return GetFinaleFrameworkVersion() < CURRENT_LAYOUT_HOST ? OLD_RECORD_VERSION
                                                           : DEFAULT_RECORD_VERSION;
}

void FCGroup::CloneMemoryFrom(__FCBaseData* source) {
  const FCGroup* other = dynamic_cast<const FCGroup*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

bool FCGroup::LoadFirst() {
  _SetKeyFirst(0);
  _SetKeySecond(0);
  _SetKeyThird(0);
  return LoadNext();
}

short FCGroup::_GetS16(int offset) const {
  return fxt::GetS16(_record, static_cast<size_t>(offset));
}
void FCGroup::_SetS16(int offset, short value) {
  fxt::PutS16(_record, static_cast<size_t>(offset), value);
}
unsigned short FCGroup::_GetU16(int offset) const {
  return fxt::GetU16(_record, static_cast<size_t>(offset));
}
void FCGroup::_SetU16(int offset, unsigned short value) {
  fxt::PutU16(_record, static_cast<size_t>(offset), value);
}

short FCGroup::GetStartStaff() const { return _GetS16(kStartStaff); }
void FCGroup::SetStartStaff(short staff) { _SetS16(kStartStaff, staff); }
short FCGroup::GetEndStaff() const { return _GetS16(kEndStaff); }
void FCGroup::SetEndStaff(short staff) { _SetS16(kEndStaff, staff); }
short FCGroup::GetStartMeasure() const { return _GetS16(kStartMeasure); }
void FCGroup::SetStartMeasure(short measure) { _SetS16(kStartMeasure, measure); }
short FCGroup::GetEndMeasure() const { return _GetS16(kEndMeasure); }
void FCGroup::SetEndMeasure(short measure) { _SetS16(kEndMeasure, measure); }
unsigned short FCGroup::GetFullNameID() const { return _GetU16(kFullNameBlock); }
void FCGroup::SetFullNameID(unsigned short block) { _SetU16(kFullNameBlock, block); }
unsigned short FCGroup::GetAbbreviatedNameID() const { return _GetU16(kAbbreviatedNameBlock); }
void FCGroup::SetAbbreviatedNameID(unsigned short block) { _SetU16(kAbbreviatedNameBlock, block); }
short FCGroup::GetOffset6Word() const { return _GetS16(kOffset6Word); }
void FCGroup::SetOffset6Word(short value) { _SetS16(kOffset6Word, value); }

FCString* FCGroup::CreateFullNameString() const { return CreateBlockText(GetFullNameID()); }

FCString* FCGroup::CreateAbbreviatedNameString() const {
  return CreateBlockText(GetAbbreviatedNameID());
}

FCString* FCGroup::CreateTrimmedFullNameString() const {
  FCString* name = CreateFullNameString();
  name->TrimEnigmaFontTags();
  return name;
}

bool FCGroup::SaveNewFullNameBlock(FCString* text) {
  const unsigned short block = SaveNewNameBlock(text);
  if (block == 0) return false;
  SetFullNameID(block);
  return true;
}

bool FCGroup::SaveNewAbbreviatedNameBlock(FCString* text) {
  const unsigned short block = SaveNewNameBlock(text);
  if (block == 0) return false;
  SetAbbreviatedNameID(block);
  return true;
}

bool FCGroup::_FindStaffRun(std::vector<short>* order, size_t* first, size_t* last) const {
  FCSystemStaves staves;
  staves.LoadAllForItem(0);
  order->clear();
  for (int i = 0; i < staves.GetCount(); ++i) {
    const FCSystemStaff* entry = static_cast<const FCSystemStaff*>(staves.GetItemAt(i));
    if (entry) order->push_back(entry->GetStaff());
  }
  const std::vector<short>::const_iterator start =
      std::find(order->begin(), order->end(), GetStartStaff());
  if (start == order->end()) return false;
  const std::vector<short>::const_iterator end =
      std::find(start, std::vector<short>::const_iterator(order->end()), GetEndStaff());
  if (end == order->end()) return false;
  *first = static_cast<size_t>(start - order->begin());
  *last = static_cast<size_t>(end - order->begin());
  return true;
}

int FCGroup::CalcStaffIndex(short staff) const {
  std::vector<short> order;
  size_t first = 0;
  size_t last = 0;
  if (!_FindStaffRun(&order, &first, &last)) return -1;
  for (size_t i = first; i <= last; ++i) {
    if (order[i] == staff) return static_cast<int>(i - first);
  }
  return -1;
}

int FCGroup::CalcStaffSpan() const {
  std::vector<short> order;
  size_t first = 0;
  size_t last = 0;
  if (!_FindStaffRun(&order, &first, &last)) return 0;
  return static_cast<int>(last - first + 1);
}

bool FCGroup::ContainsStaff(short staff) const {
  if (staff == GetStartStaff() || staff == GetEndStaff()) return true;
  return CalcStaffIndex(staff) >= 0;
}

__FCBaseData* FCGroups::CreateElement() { return new FCGroup; }
