// FCEnclosure: the 12-byte 'otDe' record, held in its own block or embedded in a measure
// number region's record (enclosure.h).
#include "framework/notation/enclosure.h"

#include <cstring>

FCEnclosure::FCEnclosure() { std::memset(_record, 0, sizeof(_record)); }

uint32_t FCEnclosure::Tag() const { return GetCustomTag() != 0 ? GetCustomTag() : TAG; }

const uint8_t* FCEnclosure::_Bytes() const {
  const void* block = _GetDataBlock();
  return block ? static_cast<const uint8_t*>(block) : _record;
}

void FCEnclosure::CloneMemoryFrom(__FCBaseData* source) {
  const FCEnclosure* other = dynamic_cast<const FCEnclosure*>(source);
  uint8_t bytes[RECORD_SIZE];
  if (other)
    std::memcpy(bytes, other->_Bytes(), RECORD_SIZE);
  else
    std::memset(bytes, 0, RECORD_SIZE);
  // An enclosure embedded in a region's record copies into that record, so that the
  // region's save carries the copy; any other copies into its own record.
  _SetRecordBytes(bytes);
}

void FCEnclosure::_GetRecordBytes(uint8_t bytes[RECORD_SIZE]) const {
  std::memcpy(bytes, _Bytes(), RECORD_SIZE);
}

void FCEnclosure::_SetRecordBytes(const uint8_t bytes[RECORD_SIZE]) {
  if (!_GetDataBlock()) _SetDataBlock(_record);
  std::memmove(_GetDataBlock(), bytes, RECORD_SIZE);
  _SetLoadedSize(RECORD_SIZE);
}

void FCEnclosure::_EmbedIn(uint8_t* bytes) {
  _SetDataBlock(bytes);
  _SetLoadedSize(RECORD_SIZE);
}
