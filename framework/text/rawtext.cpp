// FCRawText: the block of one raw text, read and written in the running host's encoding
// (rawtext.h). How the host stores and serves raw texts: docs/host-texts-staves.md.
#include "framework/text/rawtext.h"

#include <cstring>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/text/fcstring.h"

FCRawText::~FCRawText() { Deallocate(); }

uint32_t FCRawText::EnigmaVersion() const { return RunningFinaleVersion; }

int FCRawText::DataSizeLoad() const {
  int32_t size = 0;
  // The host reports the record's size when it is given no buffer. The key is passed
  // by pointer as for every record call; the host does not change it here.
  uint8_t key[DATAKEY_SIZE];
  std::memcpy(key, _GetDataKey(), DATAKEY_SIZE);
  int32_t result = FX_LoadEData(static_cast<int32_t>(Tag()), key, nullptr, &size,
                                static_cast<int32_t>(EnigmaVersion()));
  if (!_HostSucceeded(result) || size < 0) return 0;
  return size;
}

void* FCRawText::Allocate() { return _AllocateHeapBlock(DataSizeLoad()); }

void FCRawText::Deallocate() {
  __FCBaseData::Deallocate();
  _SetDataBlock(nullptr);
  _SetLoadedSize(0);
}

uint32_t FCRawText::Tag() const { return GetCustomTag() != 0 ? GetCustomTag() : TAG; }

void FCRawText::CloneMemoryFrom(__FCBaseData* source) { __FCBaseData::CloneMemoryFrom(source); }

bool FCRawText::LoadFirst() {
  SetRawTextNumber(0);
  return LoadNext();
}

void FCRawText::SetRawTextNumber(short number) { _SetKeyFirst(static_cast<uint16_t>(number)); }

short FCRawText::GetItemNo() const { return static_cast<short>(_GetKeyFirst()); }

bool FCRawText::Load(short number) {
  SetRawTextNumber(number);
  return LoadDataBlock();
}

bool FCRawText::SaveAs(short number) {
  SetRawTextNumber(number);
  return Save();
}

bool FCRawText::SaveNew() {
  if (_GetLoadedSize() <= 0) return false;
  SetRawTextNumber(-1);
  return _CreateRecord();
}

void FCRawText::_ReadText(FCString* text) const {
  const uint8_t* block = static_cast<const uint8_t*>(_GetDataBlock());
  int32_t size = _GetLoadedSize();
  // Never past the block, whatever size was set.
  if (size > _GetHeapBlockSize()) size = _GetHeapBlockSize();
  if (!block || size <= 0) {
    text->SetCString("");
    return;
  }
  if (EnigmaVersion() < UNICODE_VERSION) {
    const size_t count = static_cast<size_t>(size);
    const void* nul = std::memchr(block, 0, count);
    const size_t length =
        nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - block) : count;
    std::vector<char> narrow(length + 1, 0);
    std::memcpy(narrow.data(), block, length);
    text->SetCString(narrow.data());
    return;
  }
  // UTF-16, little-endian; an odd last byte is no unit.
  const size_t units = static_cast<size_t>(size) / 2;
  std::vector<unsigned short> wide;
  wide.reserve(units + 1);
  for (size_t i = 0; i < units; ++i) {
    const uint16_t unit = fxt::GetU16(block, i * 2);
    if (unit == 0) break;
    wide.push_back(unit);
  }
  wide.push_back(0);
  text->SetUnicodeString(wide.data());
}

FCString* FCRawText::CreateString() const {
  FCString* text = new FCString();
  _ReadText(text);
  return text;
}

void FCRawText::SetText(FCString* text) {
  if (!text) return;
  if (EnigmaVersion() < UNICODE_VERSION) {
    const char* narrow = text->GetCString();
    const size_t length = narrow ? std::strlen(narrow) : 0;
    const int32_t bytes = static_cast<int32_t>(length + 1);
    uint8_t* block = static_cast<uint8_t*>(_AllocateHeapBlock(bytes));
    if (length > 0) std::memcpy(block, narrow, length);
    block[length] = 0;
    _SetLoadedSize(bytes);
    return;
  }
  const int length = text->GetLength();
  const int32_t bytes = (static_cast<int32_t>(length) + 1) * 2;
  uint8_t* block = static_cast<uint8_t*>(_AllocateHeapBlock(bytes));
  for (int i = 0; i < length; ++i)
    fxt::PutU16(block, static_cast<size_t>(i) * 2, text->GetItemAt(i));
  fxt::PutU16(block, static_cast<size_t>(length) * 2, 0);
  _SetLoadedSize(bytes);
}
