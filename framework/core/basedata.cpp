// The record protocol of __FCBaseData (data block, key, load, save, walk, create, delete,
// clone) and the __FCInci and __FCGlobals kinds. Contract: basedata.h; what a load keeps,
// overstated sizes and where walks end: docs/framework-behaviour.md, "Records".
#include "framework/core/basedata.h"

#include <cstring>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"

__FCBaseData::~__FCBaseData() { _FreeHeapBlock(); }

uint16_t __FCBaseData::_GetKeyWord(int offset) const {
  return fxt::GetU16(_datakey, static_cast<size_t>(offset));
}

void __FCBaseData::_SetKeyWord(int offset, uint16_t value) {
  fxt::PutU16(_datakey, static_cast<size_t>(offset), value);
}

void __FCBaseData::_FreeHeapBlock() {
  if (_ownsblock) {
    delete[] static_cast<uint8_t*>(_datablock);
    _datablock = nullptr;
    _ownsblock = false;
    _heapsize = 0;
  }
}

void* __FCBaseData::_AllocateHeapBlock(int32_t size) {
  _FreeHeapBlock();
  // A block of at least one byte, so that a record of size 0 still has an address.
  size_t bytes = size > 0 ? static_cast<size_t>(size) : 1;
  _datablock = new uint8_t[bytes]();
  _ownsblock = true;
  _heapsize = static_cast<int32_t>(bytes);
  return _datablock;
}

void __FCBaseData::_SetDataBlock(void* block) {
  if (block == _datablock) return;
  _FreeHeapBlock();
  _datablock = block;
}

void __FCBaseData::Deallocate() { _FreeHeapBlock(); }

void __FCBaseData::ClearData() {
  Deallocate();
  // A class's own Deallocate may not know about a heap block the base made.
  _FreeHeapBlock();
  _datablock = nullptr;
  _loadedsize = 0;
}

namespace {

// The bytes of a block before a load clears it, so that a failed load can put them
// back. Records of the usual sizes are kept on the stack: a load allocates nothing.
class BlockBackup {
 public:
  BlockBackup(void* block, int32_t size)
      : block_(block), size_(size > 0 ? static_cast<size_t>(size) : 0) {
    if (size_ > sizeof small_) large_.resize(size_);
    std::memcpy(Bytes(), block_, size_);
  }
  void Restore() { std::memcpy(block_, Bytes(), size_); }

 private:
  uint8_t* Bytes() { return size_ > sizeof small_ ? large_.data() : small_; }
  void* block_;
  size_t size_;
  uint8_t small_[512];
  std::vector<uint8_t> large_;
};

}  // namespace

bool __FCBaseData::LoadDataBlock() {
  if (_datablock && IsDynamicSize()) ClearData();
  // Whether the block is a heap block made zeroed by this load.
  bool fresh = false;
  if (!_datablock) {
    void* block = Allocate();
    if (block != _datablock) _SetDataBlock(block);
    fresh = _ownsblock;
  }
  if (!_datablock) {
    // Without storage the host would only report the size; nothing can be loaded.
    _loadedsize = 0;
    return false;
  }
  int32_t size = DataSizeLoad();
  // A heap block made for a smaller record (a clone's copy, say) is replaced by one
  // that can take what is offered, so that the host never writes past its end.
  if (_ownsblock && size > _heapsize) {
    _AllocateHeapBlock(size);
    fresh = true;
  }
  // The bytes of the block: the heap block's size, or what is offered for the class's
  // own storage. The host fills them from a cleared block, so that a record shorter
  // than the block leaves zeros behind it, never the bytes of a record loaded before;
  // a failed load leaves the block as it was.
  const int32_t held = _ownsblock ? _heapsize : size;
  BlockBackup before(_datablock, fresh ? 0 : held);
  if (!fresh && held > 0) std::memset(_datablock, 0, static_cast<size_t>(held));
  int32_t result = FX_LoadEData(static_cast<int32_t>(Tag()), _datakey, _datablock, &size,
                                static_cast<int32_t>(EnigmaVersion()));
  if (_HostSucceeded(result)) {
    // A size beyond the block would later take a save or a clone past its end.
    _loadedsize = size < held ? size : held;
    return true;
  }
  before.Restore();
  _loadedsize = 0;
  return false;
}

bool __FCBaseData::_KeyFollows(const uint8_t* earlier) const {
  // The host's key order: the four 16-bit words, first item number first, each
  // compared as unsigned.
  for (int offset = 0; offset < DATAKEY_SIZE; offset += 2) {
    const uint16_t now = _GetKeyWord(offset);
    const uint16_t before = fxt::GetU16(earlier, static_cast<size_t>(offset));
    if (now != before) return now > before;
  }
  return false;
}

bool __FCBaseData::LoadNext() {
  uint8_t before[DATAKEY_SIZE];
  std::memcpy(before, _datakey, DATAKEY_SIZE);
  int32_t result = FX_NextEData(static_cast<int32_t>(Tag()), _datakey, nullptr, 0,
                                static_cast<int32_t>(EnigmaVersion()));
  if (!_HostSucceeded(result)) return false;
  // A next record that does not lie after the current one would walk in place or in
  // circles for ever: the walk ends here, and the key names the current record again.
  if (!_KeyFollows(before)) {
    std::memcpy(_datakey, before, DATAKEY_SIZE);
    return false;
  }
  return LoadDataBlock();
}

bool __FCBaseData::Save() {
  if (_loadedsize <= 0) return false;
  int32_t result = FX_SaveEData(static_cast<int32_t>(Tag()), _datakey, _datablock, DataSizeSave(),
                                static_cast<int32_t>(EnigmaVersion()));
  return _HostSucceeded(result);
}

bool __FCBaseData::_CreateRecord() {
  int32_t result = FX_CreateEData(static_cast<int32_t>(Tag()), _datakey, _datablock, DataSizeSave(),
                                  static_cast<int32_t>(EnigmaVersion()));
  return _HostSucceeded(result);
}

bool __FCBaseData::DeleteData() {
  int32_t result =
      FX_DeleteEData(static_cast<int32_t>(Tag()), _datakey, static_cast<int32_t>(EnigmaVersion()));
  return _HostSucceeded(result);
}

void __FCBaseData::CloneMemoryFrom(__FCBaseData* source) {
  if (!source || source == this || source->_loadedsize <= 0 || !source->_datablock) return;
  int32_t size = source->_loadedsize;
  void* block = _AllocateHeapBlock(size);
  std::memcpy(block, source->_datablock, static_cast<size_t>(size));
  _loadedsize = size;
}

void __FCBaseData::CloneFrom(__FCBaseData* source) {
  if (!source || source == this) return;
  _customtag = source->_customtag;
  std::memcpy(_datakey, source->_datakey, DATAKEY_SIZE);
  CloneMemoryFrom(source);
}

__FCBaseData* __FCBaseData::CreateClone() {
  __FCBaseData* clone = CreateObject();
  if (clone) clone->CloneFrom(this);
  return clone;
}

bool __FCInci::Load(unsigned short itemno, short inci) {
  _SetKeyFirst(itemno);
  _SetKeySecond(static_cast<uint16_t>(inci));
  return LoadDataBlock();
}

bool __FCGlobals::Load(short number) {
  _SetKeyFirst(static_cast<uint16_t>(number));
  return LoadDataBlock();
}

void __FCBaseData::_CloneFixedRecord(uint8_t* record, const uint8_t* from, int32_t size) {
  if (!from)
    std::memset(record, 0, static_cast<size_t>(size));
  else if (from != record)
    std::memcpy(record, from, static_cast<size_t>(size));
  _SetDataBlock(record);
  _SetLoadedSize(size);
}
