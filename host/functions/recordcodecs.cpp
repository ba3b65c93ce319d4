// The record codecs by tag: which record kinds are loaded and saved through a
// conversion instead of byte for byte (recordcodecs.h).
#include "host/functions/recordcodecs.h"

#include <cstring>

#include "host/store/notationmodel.h"
#include "host/store/scoremodel.h"

namespace fxthost {

const RecordCodec* FindRecordCodec(uint32_t tag) {
  if (IsRawTextTag(tag)) return &RawTextCodec();
  if (tag == kCurrentStaffSpecTag) return &CurrentStaffSpecCodec();
  if (tag == kMeasureNumberRegionTag) return &MeasureNumberRegionCodec();
  if (tag == kTextExpressionDefTag) return &TextExpressionDefCodec();
  return nullptr;
}

void DeliverServed(const RecordStore::Bytes& served, void* buffer, int32_t* size) {
  const int32_t total = static_cast<int32_t>(served.size());
  if (!buffer) {
    *size = total;
    return;
  }
  const int32_t room = *size < 0 ? 0 : *size;
  const int32_t count = room < total ? room : total;
  if (count > 0) std::memcpy(buffer, served.data(), static_cast<size_t>(count));
  *size = count;
}

}  // namespace fxthost
