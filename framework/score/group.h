// Staff groups: the host's record ('SDNG', 36 bytes) of a bracket or brace that joins a
// run of adjacent staves over a range of measures, with an optional full and abbreviated
// name.
//
// Key: first item number (0 for the score's groups), second item number = the group's
// number, third 0. New groups get their number from the host (SaveNew).
//
// Record (little-endian):
//   0   start staff             signed 16-bit, staff number of the top staff
//   2   end staff               signed 16-bit, staff number of the bottom staff
//   4   full name block         unsigned 16-bit, text block of the full name (0: none)
//   6   offset-6 word           signed 16-bit, carried for the host, not interpreted
//   8   14 bytes                carried unchanged
//   22  abbreviated name block  unsigned 16-bit, text block of the abbreviated name
//   24  8 bytes                 carried unchanged
//   32  start measure           signed 16-bit
//   34  end measure             signed 16-bit
//
// The staves between the start and the end staff are those of the global staff order
// (the system staves of instrument list 0).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/core/collectiondata.h"
#include "framework/core/detaildata.h"

class FCString;

class FCGroup : public __FCNoInciDetail {
 public:
  static constexpr uint32_t TAG = 0x53444E47;  // 'SDNG'
  static constexpr int RECORD_SIZE = 36;
  // Hosts before this version take the older record version.
  static constexpr uint32_t CURRENT_LAYOUT_HOST = 0x10000000;
  static constexpr uint32_t OLD_RECORD_VERSION = 0x09000000;

  // The record zeroed; no data block until the first load.
  FCGroup();

  const char* ClassName() const override { return "FCGroup"; }
  // 0x09000000 while the running host version is below 0x10000000, else 0x11000000.
  uint32_t EnigmaVersion() const override;
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCGroup; }
  uint32_t Tag() const override { return TAG; }
  // Copies the source group's 36 bytes (zeros when source is no group), points the data
  // block at this object's record and sets the loaded size to 36.
  void CloneMemoryFrom(__FCBaseData* source) override;
  // All three key numbers 0, then the host's next group: the first group in the host's
  // order.
  bool LoadFirst() override;

  // --- Record fields ---------------------------------------------------------------

  short GetStartStaff() const;
  void SetStartStaff(short staff);
  short GetEndStaff() const;
  void SetEndStaff(short staff);
  short GetStartMeasure() const;
  void SetStartMeasure(short measure);
  short GetEndMeasure() const;
  void SetEndMeasure(short measure);
  // Text block numbers of the two names; 0 means no name.
  unsigned short GetFullNameID() const;
  void SetFullNameID(unsigned short block);
  unsigned short GetAbbreviatedNameID() const;
  void SetAbbreviatedNameID(unsigned short block);
  // The word at offset 6, which the framework carries without interpreting it.
  short GetOffset6Word() const;
  void SetOffset6Word(short value);

  // The group's number: the second item number of the key (after SaveNew, the number
  // the host assigned).
  unsigned short GetItemID() const { return _GetKeySecond(); }

  // --- Names (new strings, owned by the caller, never null) -------------------------

  // The text behind the full name block; empty when it cannot be read.
  FCString* CreateFullNameString() const;
  // The same for the abbreviated name block.
  FCString* CreateAbbreviatedNameString() const;
  // The full name without its font, size and effects tags.
  FCString* CreateTrimmedFullNameString() const;

  // Stores text as a new raw text behind a new text block (type 'bl') and points the
  // full name block at the new block. False, with the block number unchanged and
  // nothing left in the document, when either record cannot be made or text is null.
  // Only the object changes: the group record is written by a later Save or SaveNew.
  bool SaveNewFullNameBlock(FCString* text);
  // The same for the abbreviated name block.
  bool SaveNewAbbreviatedNameBlock(FCString* text);

  // --- Staves, in the global staff order --------------------------------------------
  //
  // The group's staves are the run of the global staff order from the start staff down
  // to the end staff. There is no run when either staff is missing from the order or
  // the end staff comes before the start staff. Each test loads the system staves of
  // instrument list 0 afresh and releases them before it returns.

  // The 0-based position of staff in the run (the start staff is 0), or -1 when it is
  // not in the run or there is none.
  int CalcStaffIndex(short staff) const;
  // The number of staves in the run, both ends included; 0 when there is none.
  int CalcStaffSpan() const;
  // Whether staff is the start staff, the end staff or in the run.
  bool ContainsStaff(short staff) const;

 private:
  // Loads the global staff order into order and finds the run: the first start staff,
  // and the first end staff at or after it. False when there is no run.
  bool _FindStaffRun(std::vector<short>* order, size_t* first, size_t* last) const;

  short _GetS16(int offset) const;
  void _SetS16(int offset, short value);
  unsigned short _GetU16(int offset) const;
  void _SetU16(int offset, unsigned short value);

  uint8_t _record[RECORD_SIZE];
};

// The group records of the document; LoadAll walks them in the host's order.
class FCGroups : public FCCollectionOf<__FCCollectionNoInciDetail, FCGroup> {
 public:
  FCGroups() = default;
  ~FCGroups() override = default;

  const char* ClassName() const override { return "FCGroups"; }
  // A new FCGroup with a zeroed record.
  __FCBaseData* CreateElement() override;
};
