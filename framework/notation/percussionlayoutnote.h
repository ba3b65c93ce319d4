// One note of a percussion layout ('SODi', 20 bytes, a list of incis under each layout
// number): the note type and the staff position it is drawn at; the other 16 bytes are
// carried unchanged.
//
// The record is kept inside the object for every host version.
#pragma once

#include <cstdint>

#include "framework/core/otherdata.h"

class FCPercussionLayoutNote : public __FCInciOther {
 public:
  static constexpr uint32_t TAG = 0x534F4469;  // 'SODi'
  static constexpr int RECORD_SIZE = 20;

  // The record zeroed; no data block until the first load.
  FCPercussionLayoutNote();

  const char* ClassName() const override { return "FCPercussionLayoutNote"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _GetPercussionNoteDef(); }
  __FCBaseData* CreateObject() const override { return new FCPercussionLayoutNote; }
  uint32_t Tag() const override { return TAG; }
  // Copies the source note's record (zeros when source is none), points the data
  // block at this object's record and sets the loaded size to 20.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // The 20-byte record inside the object.
  void* _GetPercussionNoteDef() { return _record; }

  unsigned short GetNoteType() const;
  void SetNoteType(unsigned short type);
  short GetStaffPosition() const;
  void SetStaffPosition(short position);

 private:
  uint8_t _record[RECORD_SIZE];
};
