#include "host/recordcodecs.h"

#include "host/scoremodel.h"

namespace fxthost {

const RecordCodec* FindRecordCodec(uint32_t tag) {
  if (IsRawTextTag(tag)) return &RawTextCodec();
  if (tag == kCurrentStaffSpecTag) return &CurrentStaffSpecCodec();
  return nullptr;
}

}  // namespace fxthost
