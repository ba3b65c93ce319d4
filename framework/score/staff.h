// Staves: one settings record per staff number ('SOIS', 132 bytes), the collection of
// all of them, and the settings in force at one point of the score ('SOSC').
//
// The framework reads three fields of the staff record and carries all other bytes:
//   offset 20  transposition word (16-bit; 0 means none)
//   offset 22  staff flag word (16-bit)
//   offset 30  number of the text block that holds the staff's full name
#pragma once

#include <cstdint>

#include "framework/core/collectiondata.h"
#include "framework/core/otherdata.h"

class FCCell;
class FCString;

class FCStaff : public __FCNoInciOther {
 public:
  static constexpr uint32_t TAG = 0x534F4953;  // 'SOIS'
  static constexpr int RECORD_SIZE = 132;

  // The flag-word bit that the cells' key-signature lookup reads.
  static constexpr unsigned short FLAG_INDEPENDENT_KEY = 0x8000;

  // The record zeroed; no data block until the first load.
  FCStaff();

  const char* ClassName() const override { return "FCStaff"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCStaff; }
  // 'SOIS'; the custom tag has no effect.
  uint32_t Tag() const override { return TAG; }
  // Copies the source staff's record (zeros when source is no staff) and sets the
  // loaded size to 132.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // Staff numbers begin above 0: the walk starts before the first and steps to the
  // host's next record of the tag.
  bool LoadFirst() override;

  // --- Record fields ---------------------------------------------------------------

  unsigned short GetTransposeWord() const;
  void SetTransposeWord(unsigned short word);
  // The two parts of the transposition word. With bit 0x2000 set: the interval is the
  // low byte as a signed 8-bit number and the alteration bits 8 to 11 as a signed
  // 4-bit number. Without it: the interval is bits 6 to 11 and the alteration bits 0
  // to 5, each a signed 6-bit number. A word of 0 gives 0 and 0.
  int GetTransposeInterval() const;
  int GetTransposeAlteration() const;

  unsigned short GetFlags() const;
  void SetFlags(unsigned short flags);

  // Number of the text block with the staff's full name.
  unsigned short GetFullNameID() const;
  void SetFullNameID(unsigned short block);

  // --- Names (new strings, owned by the caller, never null) -------------------------

  // The text behind the full name block; empty when nothing can be read.
  FCString* CreateFullNameString() const;
  // The same with its inline font, size and effects tags removed.
  FCString* CreateTrimmedFullNameString() const;
  // The name as the host shows it. A host of version 0x11000000 or later is asked for
  // it; an older host, or a host that gives none, gets the trimmed full name with
  // "^flat()" shown as "b" and "^sharp()" as "#".
  FCString* CreateDisplayFullNameString() const;

  // Makes text the staff's full name, in the document at once. When the staff's full
  // name block loads, text is written over the raw text behind it (the staff record is
  // not written; a block other staves share changes for them too). Otherwise text goes
  // into a new raw text and text block, the record is pointed at the block and saved;
  // when that save fails, the new block and its text are deleted again and the block
  // number is restored. False for a null text (no host call) or when a write fails.
  // The staff must have been loaded. (The staff record has no abbreviated name that
  // the framework knows of, so there is no such call for it.)
  bool SaveFullNameString(FCString* text);

 protected:
  uint8_t _record[RECORD_SIZE];
};

// The settings in force for a staff at one measure and position, as the host computes
// them. Filled only by Load(cell, position); the item-number operations are refused.
class FCCurrentStaffSpec : public FCStaff {
 public:
  static constexpr uint32_t TAG = 0x534F5343;  // 'SOSC'

  FCCurrentStaffSpec() = default;

  const char* ClassName() const override { return "FCCurrentStaffSpec"; }
  uint32_t Tag() const override { return TAG; }
  __FCBaseData* CreateObject() const override { return new FCCurrentStaffSpec; }

  // Refused: false without calling the host.
  bool Load(unsigned short itemno) override;
  bool SaveAs(unsigned short itemno) override;
  bool SaveNew() override;
  // Always 0: the key holds a staff, a measure and a position, not an item number.
  unsigned short GetItemNo() const override;

  // Loads the settings for the cell's staff and measure at position (duration units
  // from the measure's start; bytes 4 to 7 of the key). The cell is only read; a null
  // cell, or one that does not fit the host's numbers (FCCell::_FitsHost), gives false
  // without a host call.
  bool Load(FCCell* cell, int32_t position);
};

// Every staff of the document, each an FCStaff the collection owns.
class FCStaves : public FCCollectionOf<__FCCollectionNoInciOther, FCStaff> {
 public:
  const char* ClassName() const override { return "FCStaves"; }
  __FCBaseData* CreateElement() override { return new FCStaff; }
};
