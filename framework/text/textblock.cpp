// FCTextBlock: the 'SOTX' record that names a raw text, a new block's defaults, and the
// text saved and deleted with its block (textblock.h; docs/host-texts-staves.md).
#include "framework/text/textblock.h"

#include <cstring>

#include "bridge/recordbytes.h"
#include "framework/text/fcstring.h"
#include "framework/text/rawtext.h"

namespace {

constexpr size_t kRawTextWord = 0;
constexpr size_t kWord4 = 8;
constexpr size_t kFlagWord = 14;
constexpr size_t kTypeWord = 24;

constexpr unsigned short kNewBlockWord4 = 100;
// Bits 3, 9, 11 and 12 of the flag word of a new block.
constexpr unsigned short kNewBlockFlags = 0x0008 | 0x0200 | 0x0800 | 0x1000;

void WriteDefaults(uint8_t* record) {
  std::memset(record, 0, FCTextBlock::RECORD_SIZE);
  fxt::PutU16(record, kWord4, kNewBlockWord4);
  unsigned short flags = 0;
  __FCBase::Set16BitFlag(&flags, kNewBlockFlags, true);
  fxt::PutU16(record, kFlagWord, flags);
}

}  // namespace

FCTextBlock::FCTextBlock() {
  WriteDefaults(_record);
  _SetDataBlock(_record);
  _SetLoadedSize(RECORD_SIZE);
}

void FCTextBlock::CloneMemoryFrom(__FCBaseData* source) {
  const FCTextBlock* other = dynamic_cast<const FCTextBlock*>(source);
  if (other && other != this)
    std::memcpy(_record, other->_record, RECORD_SIZE);
  else if (!other)
    WriteDefaults(_record);
  _SetDataBlock(_record);
  _SetLoadedSize(RECORD_SIZE);
}

short FCTextBlock::GetRawTextNumber() const { return fxt::GetS16(_record, kRawTextWord); }
void FCTextBlock::SetRawTextNumber(short number) { fxt::PutS16(_record, kRawTextWord, number); }
unsigned short FCTextBlock::GetRawTextType() const { return fxt::GetU16(_record, kTypeWord); }
void FCTextBlock::SetRawTextType(unsigned short type) { fxt::PutU16(_record, kTypeWord, type); }

uint32_t FCTextBlock::RawTextTagOfType(unsigned short type) {
  // The type is combined as a signed value: the types in use ('bl', 'xp') are below
  // 0x8000, and the host combines them the same way.
  const int32_t widened = static_cast<int16_t>(type);
  return 0x74780000u | static_cast<uint32_t>(widened);
}

FCString* FCTextBlock::CreateRawTextString() const {
  FCRawText rawtext;
  rawtext.SetCustomTag(GetRawTextTag());
  if (!rawtext.Load(GetRawTextNumber())) return new FCString();
  return rawtext.CreateString();
}

bool FCTextBlock::SaveRawTextString(FCString* text) {
  if (!text) return false;
  FCRawText rawtext;
  rawtext.SetCustomTag(GetRawTextTag());
  rawtext.SetText(text);
  return rawtext.SaveAs(GetRawTextNumber());
}

bool FCTextBlock::DeepDeleteData() {
  FCRawText rawtext;
  rawtext.SetCustomTag(GetRawTextTag());
  rawtext.Load(GetRawTextNumber());
  rawtext.DeleteData();
  return DeleteData();
}

unsigned short FCTextBlock::SaveNewTextAndBlock(FCString* text, unsigned short type) {
  if (!text) return 0;
  FCRawText rawtext;
  // 'txbl' is the raw text's default tag; any other type needs its tag set.
  if (type != TEXTTYPE_BLOCK) rawtext.SetCustomTag(RawTextTagOfType(type));
  rawtext.SetText(text);
  if (!rawtext.SaveNew()) return 0;

  FCTextBlock block;
  block.SetRawTextNumber(rawtext.GetItemNo());
  block.SetRawTextType(type);
  if (!block.SaveNew()) {
    // No block names the new raw text; leaving it would put an unreachable record
    // into the document.
    rawtext.DeleteData();
    return 0;
  }
  return block.GetItemNo();
}
