// The host's region record: a range of staves (slots of instrument lists) by a range of
// measures, with a position inside the first and the last measure. The host hands the
// user's selection over in this form and describes the whole document with it.
//
// 20 bytes, little-endian, no padding:
//   0   start instrument list (16-bit; 0 is the global list)
//   2   start slot (signed 16-bit)
//   4   start measure (signed 16-bit)
//   6   start position (signed 32-bit; 0 is the measure's start)
//   10  end instrument list (16-bit)
//   12  end slot (signed 16-bit)
//   14  end measure (signed 16-bit)
//   16  end position (signed 32-bit; 0x7FFFFFFF is the measure's end)
//
// The struct is packed so that its fields lie at exactly those offsets on every build.
// Its memory is the record only on little-endian machines; code that exchanges the
// record with the host goes through EREGION_Read and EREGION_Write, which work on the
// bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bridge/recordbytes.h"

#pragma pack(push, 1)
struct EREGION {
  uint16_t startInstrumentList;
  int16_t startSlot;
  int16_t startMeasure;
  int32_t startPosition;
  uint16_t endInstrumentList;
  int16_t endSlot;
  int16_t endMeasure;
  int32_t endPosition;
};
#pragma pack(pop)

static_assert(sizeof(EREGION) == 20, "the region record is 20 bytes");
static_assert(offsetof(EREGION, startInstrumentList) == 0, "start instrument list at 0");
static_assert(offsetof(EREGION, startSlot) == 2, "start slot at 2");
static_assert(offsetof(EREGION, startMeasure) == 4, "start measure at 4");
static_assert(offsetof(EREGION, startPosition) == 6, "start position at 6");
static_assert(offsetof(EREGION, endInstrumentList) == 10, "end instrument list at 10");
static_assert(offsetof(EREGION, endSlot) == 12, "end slot at 12");
static_assert(offsetof(EREGION, endMeasure) == 14, "end measure at 14");
static_assert(offsetof(EREGION, endPosition) == 16, "end position at 16");

// The position that stands for the end of a measure.
constexpr int32_t EREGION_MEASURE_END = 0x7FFFFFFF;
constexpr size_t EREGION_SIZE = 20;

// The fields of the 20 record bytes at bytes.
inline EREGION EREGION_Read(const void* bytes) {
  EREGION region;
  region.startInstrumentList = fxt::GetU16(bytes, 0);
  region.startSlot = fxt::GetS16(bytes, 2);
  region.startMeasure = fxt::GetS16(bytes, 4);
  region.startPosition = fxt::GetS32(bytes, 6);
  region.endInstrumentList = fxt::GetU16(bytes, 10);
  region.endSlot = fxt::GetS16(bytes, 12);
  region.endMeasure = fxt::GetS16(bytes, 14);
  region.endPosition = fxt::GetS32(bytes, 16);
  return region;
}

// Writes the fields as the 20 record bytes at bytes.
inline void EREGION_Write(const EREGION& region, void* bytes) {
  fxt::PutU16(bytes, 0, region.startInstrumentList);
  fxt::PutS16(bytes, 2, region.startSlot);
  fxt::PutS16(bytes, 4, region.startMeasure);
  fxt::PutS32(bytes, 6, region.startPosition);
  fxt::PutU16(bytes, 10, region.endInstrumentList);
  fxt::PutS16(bytes, 12, region.endSlot);
  fxt::PutS16(bytes, 14, region.endMeasure);
  fxt::PutS32(bytes, 16, region.endPosition);
}
