// Enclosures: the frame drawn around a measure number or an expression's text ('otDe',
// 12 bytes). The framework carries the 12 bytes as a whole.
//
// A text expression definition's enclosure is the record whose item number is the
// definition's own. A measure number region holds four enclosures inside its own record;
// an enclosure embedded that way reads and writes the region's bytes (see
// FCMeasureNumberRegion).
#pragma once

#include <cstdint>

#include "framework/core/otherdata.h"

class FCEnclosure : public __FCNoInciOther {
 public:
  static constexpr uint32_t TAG = 0x6F744465;  // 'otDe'
  static constexpr int RECORD_SIZE = 12;

  // The record zeroed; no data block until the first load (an empty object).
  FCEnclosure();

  const char* ClassName() const override { return "FCEnclosure"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCEnclosure; }
  // The custom tag when set, else 'otDe'.
  uint32_t Tag() const override;
  // Copies the source enclosure's 12 bytes (wherever they lie; zeros when source is no
  // enclosure) into the data block, full size: into the region's record for an
  // enclosure embedded in one, else into this object's own record, made the data block.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // The 12 bytes of the frame (from the data block, or the object's own record before
  // the first load).
  void _GetRecordBytes(uint8_t bytes[RECORD_SIZE]) const;
  // Writes the 12 bytes into the data block (the object's own record when it has none)
  // and makes the object hold a record, so that it can be saved at once.
  void _SetRecordBytes(const uint8_t bytes[RECORD_SIZE]);
  // Points the data block at 12 bytes inside another object's record; the object then
  // reads and writes those bytes. The owner of the bytes outlives this use.
  void _EmbedIn(uint8_t* bytes);

 private:
  const uint8_t* _Bytes() const;

  uint8_t _record[RECORD_SIZE];
};
