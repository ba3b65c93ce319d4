// FCStaff and FCCurrentStaffSpec: the 'SOIS' record's transposition, flags and full name
// (read and saved), and the settings in force at a point, 'SOSC' (staff.h;
// docs/host-texts-staves.md).
#include "framework/score/staff.h"

#include <cstring>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/score/cell.h"
#include "framework/text/fcstring.h"
#include "framework/text/textblock.h"

namespace {

constexpr size_t kTransposeWord = 20;
constexpr size_t kFlagWord = 22;
constexpr size_t kFullNameWord = 30;

// Transposition words with this bit keep an 8-bit interval and a 4-bit alteration.
constexpr unsigned short kTransposeWide = 0x2000;

// The bits of value from bit first on, count of them, as a two's-complement number.
int SignedField(unsigned short value, int first, int count) {
  const int field = (value >> first) & ((1 << count) - 1);
  return (field & (1 << (count - 1))) ? field - (1 << count) : field;
}

// Hosts from this version on name staves themselves (automatic numbering included).
constexpr uint32_t kHostNamesStaves = 0x10FFFFFF;

// Buffer for the displayed name: the host is told 2000, which may count bytes or
// 16-bit units, so there is room for 2000 units and one more that is always 0.
constexpr int kNameSize = 2000;

}  // namespace

// --- FCStaff ---------------------------------------------------------------------------

FCStaff::FCStaff() { std::memset(_record, 0, sizeof(_record)); }

void FCStaff::CloneMemoryFrom(__FCBaseData* source) {
  const FCStaff* other = dynamic_cast<const FCStaff*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

bool FCStaff::LoadFirst() {
  _SetKeyFirst(0);
  _SetKeySecond(0);
  return LoadNext();
}

unsigned short FCStaff::GetTransposeWord() const { return fxt::GetU16(_record, kTransposeWord); }
void FCStaff::SetTransposeWord(unsigned short word) { fxt::PutU16(_record, kTransposeWord, word); }
unsigned short FCStaff::GetFlags() const { return fxt::GetU16(_record, kFlagWord); }
void FCStaff::SetFlags(unsigned short flags) { fxt::PutU16(_record, kFlagWord, flags); }
unsigned short FCStaff::GetFullNameID() const { return fxt::GetU16(_record, kFullNameWord); }
void FCStaff::SetFullNameID(unsigned short block) { fxt::PutU16(_record, kFullNameWord, block); }

int FCStaff::GetTransposeInterval() const {
  const unsigned short word = GetTransposeWord();
  if (word == 0) return 0;
  if (word & kTransposeWide) return SignedField(word, 0, 8);
  return SignedField(word, 6, 6);
}

int FCStaff::GetTransposeAlteration() const {
  const unsigned short word = GetTransposeWord();
  if (word == 0) return 0;
  if (word & kTransposeWide) return SignedField(word, 8, 4);
  return SignedField(word, 0, 6);
}

FCString* FCStaff::CreateFullNameString() const {
  FCTextBlock block;
  block.Load(GetFullNameID());
  return block.CreateRawTextString();
}

FCString* FCStaff::CreateTrimmedFullNameString() const {
  FCString* name = CreateFullNameString();
  name->TrimEnigmaFontTags();
  return name;
}

FCString* FCStaff::CreateDisplayFullNameString() const {
  if (GetFinaleFrameworkVersion() > kHostNamesStaves) {
    unsigned short buffer[kNameSize + 1] = {};
    const int32_t result = FX_AutoNumberedName_UTF16(
        static_cast<int16_t>(GetFullNameID()), static_cast<int16_t>(GetItemNo()), buffer,
        static_cast<int16_t>(kNameSize), false, static_cast<int32_t>(FINALE_INTERFACE_VERSION));
    if ((result & 0xFFFF) != 0) {
      FCString* name = new FCString();
      name->SetUnicodeString(buffer);
      return name;
    }
  }
  FCString* name = CreateTrimmedFullNameString();
  name->Replace("^flat()", "b");
  name->Replace("^sharp()", "#");
  return name;
}

bool FCStaff::SaveFullNameString(FCString* text) {
  if (!text) return false;
  FCTextBlock block;
  if (GetFullNameID() != 0 && block.Load(GetFullNameID())) return block.SaveRawTextString(text);

  const unsigned short previous = GetFullNameID();
  const unsigned short created = FCTextBlock::SaveNewTextAndBlock(text);
  if (created == 0) return false;
  SetFullNameID(created);
  if (Save()) return true;
  // The record still names the old block: leave nothing behind that nothing names.
  SetFullNameID(previous);
  if (block.Load(created)) block.DeepDeleteData();
  return false;
}

// --- FCCurrentStaffSpec --------------------------------------------------------------------

bool FCCurrentStaffSpec::Load(unsigned short) { return false; }

bool FCCurrentStaffSpec::SaveAs(unsigned short) { return false; }

bool FCCurrentStaffSpec::SaveNew() { return false; }

unsigned short FCCurrentStaffSpec::GetItemNo() const { return 0; }

bool FCCurrentStaffSpec::Load(FCCell* cell, int32_t position) {
  if (!cell || !cell->_FitsHost()) return false;
  _SetKeyFirst(static_cast<uint16_t>(cell->GetStaff()));
  _SetKeySecond(static_cast<uint16_t>(cell->GetMeasure()));
  fxt::PutS32(_GetDataKey(), 4, position);
  return LoadDataBlock();
}
