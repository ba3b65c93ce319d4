// FCTextExpressionDef: the 'SODT' record and its description in the host's encoding, its
// text, enclosure and category, and deep saves (textexpressiondef.h). The host's side and
// what a failed save leaves: docs/host-notation.md.
#include "framework/notation/textexpressiondef.h"

#include <cstring>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/notation/categorydef.h"
#include "framework/notation/enclosure.h"
#include "framework/text/fcstring.h"
#include "framework/text/rawtext.h"
#include "framework/text/textblock.h"

namespace {

constexpr int kTextBlock = 0;
constexpr int kRehearsalStyle = 2;
constexpr int kFlags = 10;
constexpr int kCategoryWord = 26;

constexpr uint16_t kHasEnclosure = 0x0800;
constexpr uint16_t kCategoryNumber = 0x3FFF;
constexpr uint16_t kUseCategoryPos = 0x4000;
constexpr uint16_t kUseCategoryFont = 0x8000;

// Where the six values of a category go, in the category's order.
constexpr int kCategoryValueOffsets[FCCategoryDef::VALUE_COUNT] = {14, 12, 16, 24, 32, 30};

bool UnicodeHost() { return GetFinaleFrameworkVersion() >= FCTextExpressionDef::UNICODE_HOST; }

}  // namespace

FCTextExpressionDef::FCTextExpressionDef() {
  _NewBlock(MinimumSize());
  _SetLoadedSize(MinimumSize());
}

FCTextExpressionDef::~FCTextExpressionDef() { Deallocate(); }

int FCTextExpressionDef::MinimumSize() { return UnicodeHost() ? MIN_SIZE_UNICODE : MIN_SIZE; }

uint32_t FCTextExpressionDef::EnigmaVersion() const {
  return UnicodeHost() ? DEFAULT_RECORD_VERSION : OLD_RECORD_VERSION;
}

uint8_t* FCTextExpressionDef::_NewBlock(int32_t size) {
  const int32_t bytes = size > MIN_SIZE_UNICODE ? size : MIN_SIZE_UNICODE;
  uint8_t* block = static_cast<uint8_t*>(_AllocateHeapBlock(bytes));
  _blockbytes = bytes;
  return block;
}

int FCTextExpressionDef::DataSizeLoad() const {
  int32_t size = 0;
  // The host reports the record's size when it is given no buffer; the key is passed
  // by pointer as for every record call.
  uint8_t key[DATAKEY_SIZE];
  std::memcpy(key, _GetDataKey(), DATAKEY_SIZE);
  const int32_t result = FX_LoadEData(static_cast<int32_t>(Tag()), key, nullptr, &size,
                                      static_cast<int32_t>(EnigmaVersion()));
  if (!_HostSucceeded(result)) return 0;
  return size < MinimumSize() ? MinimumSize() : size;
}

int FCTextExpressionDef::DataSizeSave() const {
  const bool empty =
      UnicodeHost() ? _GetU16(DESCRIPTION_OFFSET) == 0 : (_GetU16(DESCRIPTION_OFFSET) & 0xFF) == 0;
  return empty ? MinimumSize() : _GetLoadedSize();
}

void* FCTextExpressionDef::Allocate() {
  const int size = DataSizeLoad();
  if (size <= 0) return nullptr;
  void* block = _NewBlock(size);
  _SetLoadedSize(size);
  return block;
}

void FCTextExpressionDef::Deallocate() {
  __FCBaseData::Deallocate();
  _SetDataBlock(nullptr);
  _blockbytes = 0;
  _SetLoadedSize(0);
}

void FCTextExpressionDef::CloneMemoryFrom(__FCBaseData* source) {
  if (!source || source == this || source->_GetLoadedSize() <= 0 || !source->_GetDataBlock())
    return;
  int32_t size = source->_GetLoadedSize();
  // Never read past what the source allocated.
  const FCTextExpressionDef* other = dynamic_cast<const FCTextExpressionDef*>(source);
  const int32_t readable = other && size > other->_blockbytes ? other->_blockbytes : size;
  uint8_t* block = _NewBlock(size);
  std::memcpy(block, source->_GetDataBlock(), static_cast<size_t>(readable));
  _SetLoadedSize(size);
}

bool FCTextExpressionDef::LoadNext() { return Load(static_cast<unsigned short>(GetItemNo() + 1)); }

// --- Record fields -------------------------------------------------------------------

const uint8_t* FCTextExpressionDef::_Bytes() const {
  return static_cast<const uint8_t*>(_GetDataBlock());
}

uint16_t FCTextExpressionDef::_GetU16(int offset) const {
  if (!_Bytes() || offset + 2 > _blockbytes) return 0;
  return fxt::GetU16(_Bytes(), static_cast<size_t>(offset));
}

void FCTextExpressionDef::_SetU16(int offset, uint16_t value) {
  if (!_Bytes() || offset + 2 > _blockbytes) return;
  fxt::PutU16(_GetDataBlock(), static_cast<size_t>(offset), value);
}

unsigned short FCTextExpressionDef::GetTextID() const { return _GetU16(kTextBlock); }
void FCTextExpressionDef::SetTextID(unsigned short block) { _SetU16(kTextBlock, block); }
short FCTextExpressionDef::GetRehearsalMarkStyle() const {
  return static_cast<short>(_GetU16(kRehearsalStyle));
}
void FCTextExpressionDef::SetRehearsalMarkStyle(short style) {
  _SetU16(kRehearsalStyle, static_cast<uint16_t>(style));
}
bool FCTextExpressionDef::GetUseEnclosure() const { return (_GetU16(kFlags) & kHasEnclosure) != 0; }
void FCTextExpressionDef::SetUseEnclosure(bool state) {
  unsigned short flags = _GetU16(kFlags);
  __FCBase::Set16BitFlag(&flags, kHasEnclosure, state);
  _SetU16(kFlags, flags);
}

int FCTextExpressionDef::GetCategoryID() const { return _GetU16(kCategoryWord) & kCategoryNumber; }
bool FCTextExpressionDef::GetUseCategoryFont() const {
  return (_GetU16(kCategoryWord) & kUseCategoryFont) != 0;
}
bool FCTextExpressionDef::GetUseCategoryPos() const {
  return (_GetU16(kCategoryWord) & kUseCategoryPos) != 0;
}

void FCTextExpressionDef::_SetCategoryBit(uint16_t bit, bool state) {
  if (!UnicodeHost()) return;
  unsigned short word = _GetU16(kCategoryWord);
  __FCBase::Set16BitFlag(&word, bit, state);
  _SetU16(kCategoryWord, word);
}

void FCTextExpressionDef::SetCategoryFontUse(bool use) { _SetCategoryBit(kUseCategoryFont, use); }
void FCTextExpressionDef::SetCategoryPosUse(bool use) { _SetCategoryBit(kUseCategoryPos, use); }

bool FCTextExpressionDef::AssignToCategory(FCCategoryDef* category) {
  if (!category || static_cast<short>(category->GetItemNo()) <= 0) return false;
  const uint16_t number = category->GetItemNo() & kCategoryNumber;
  _SetU16(kCategoryWord,
          static_cast<uint16_t>((_GetU16(kCategoryWord) & ~kCategoryNumber) | number));
  SetCategoryFontUse(true);
  for (int i = 0; i < FCCategoryDef::VALUE_COUNT; ++i)
    _SetU16(kCategoryValueOffsets[i], static_cast<uint16_t>(category->GetValue(i)));
  SetCategoryPosUse(true);
  return true;
}

// --- Description ---------------------------------------------------------------------

void FCTextExpressionDef::SetDescription(FCString* description) {
  if (!description) return;
  uint8_t fixed[DESCRIPTION_OFFSET] = {};
  if (_Bytes()) std::memcpy(fixed, _Bytes(), DESCRIPTION_OFFSET);
  const int length = description->GetLength();
  const bool unicode = UnicodeHost();
  const int32_t size = (unicode ? 2 * length : length) + MIN_SIZE;
  uint8_t* block = _NewBlock(size);
  std::memcpy(block, fixed, DESCRIPTION_OFFSET);
  if (unicode) {
    for (int i = 0; i < length; ++i)
      fxt::PutU16(block, DESCRIPTION_OFFSET + static_cast<size_t>(i) * 2,
                  description->GetItemAt(i));
  } else {
    // The narrowed text stops early when a unit narrows to 0; the rest stays zeroed.
    const char* narrow = description->GetCString();
    const size_t count = std::strlen(narrow);
    std::memcpy(block + DESCRIPTION_OFFSET, narrow,
                count < static_cast<size_t>(length) ? count : static_cast<size_t>(length));
  }
  _SetLoadedSize(size);
}

void FCTextExpressionDef::GetDescription(FCString* description) const {
  if (!description) return;
  const int32_t end = _GetLoadedSize() < _blockbytes ? _GetLoadedSize() : _blockbytes;
  if (!_Bytes() || end <= DESCRIPTION_OFFSET) {
    description->SetCString("");
    return;
  }
  if (UnicodeHost()) {
    std::vector<unsigned short> units;
    for (int32_t at = DESCRIPTION_OFFSET; at + 1 < end; at += 2) {
      const uint16_t unit = fxt::GetU16(_Bytes(), static_cast<size_t>(at));
      if (unit == 0) break;
      units.push_back(unit);
    }
    units.push_back(0);
    description->SetUnicodeString(units.data());
    return;
  }
  std::vector<char> narrow;
  for (int32_t at = DESCRIPTION_OFFSET; at < end && _Bytes()[at] != 0; ++at)
    narrow.push_back(static_cast<char>(_Bytes()[at]));
  narrow.push_back('\0');
  description->SetCString(narrow.data());
}

// --- Text and enclosure ----------------------------------------------------------------

FCString* FCTextExpressionDef::CreateTextString() const {
  FCTextBlock block;
  block.Load(GetTextID());
  FCRawText rawtext;
  rawtext.SetCustomTag(TEXT_TAG);
  rawtext.Load(block.GetRawTextNumber());
  return rawtext.CreateString();
}

bool FCTextExpressionDef::SaveTextString(FCString* text) {
  if (!text) return false;
  // Without its block the definition has no text to overwrite; writing to the raw
  // text number of a fresh block (0) would change a text that is not its own.
  FCTextBlock block;
  if (!block.Load(GetTextID())) return false;
  FCRawText rawtext;
  rawtext.SetCustomTag(TEXT_TAG);
  rawtext.SetText(text);
  return rawtext.SaveAs(block.GetRawTextNumber());
}

bool FCTextExpressionDef::SaveNewTextBlock(FCString* text) {
  const unsigned short block =
      FCTextBlock::SaveNewTextAndBlock(text, FCTextBlock::TEXTTYPE_EXPRESSION);
  if (block == 0) return false;
  SetTextID(block);
  return true;
}

FCEnclosure* FCTextExpressionDef::CreateEnclosure() const {
  if (!GetUseEnclosure()) return nullptr;
  FCEnclosure* enclosure = new FCEnclosure;
  if (enclosure->Load(GetItemNo())) return enclosure;
  delete enclosure;
  return nullptr;
}

void FCTextExpressionDef::_UndoCopy(unsigned short textblock, unsigned short itemno,
                                    FCEnclosure* previous) {
  FCTextBlock block;
  if (block.Load(textblock)) block.DeepDeleteData();
  if (!previous) return;
  if (previous->_GetLoadedSize() > 0) {
    previous->SaveAs(itemno);
    return;
  }
  FCEnclosure made;
  if (made.Load(itemno)) made.DeleteData();
}

bool FCTextExpressionDef::DeepSaveAs(unsigned short itemno) {
  const unsigned short originalText = GetTextID();
  const unsigned short originalItem = GetItemNo();

  FCString* text = CreateTextString();
  const bool textCopied = SaveNewTextBlock(text);
  delete text;
  if (!textCopied) return false;
  const unsigned short copiedText = GetTextID();

  // The enclosure under itemno before this call (loaded size 0 when there was none),
  // so that a failure can put it back.
  FCEnclosure previous;
  FCEnclosure* enclosure = CreateEnclosure();
  bool copied = true;
  bool enclosureSaved = false;
  if (enclosure) {
    previous.Load(itemno);
    copied = enclosureSaved = enclosure->SaveAs(itemno);
    delete enclosure;
  }
  if (copied && SaveAs(itemno)) return true;

  _UndoCopy(copiedText, itemno, enclosureSaved ? &previous : nullptr);
  SetTextID(originalText);
  _SetKeyFirst(originalItem);
  _SetKeySecond(0);
  return false;
}
