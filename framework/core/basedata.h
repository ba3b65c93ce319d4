// The data-record protocol: a framework object that mirrors one host data record.
//
// A record is named by a 32-bit tag (its type) and an 8-byte data key (which record of
// that type). __FCBaseData holds the record's bytes (the data block), the byte count the
// host last delivered (the loaded size) and the key, and knows its tag, sizes and layout
// version through virtual operations that the concrete classes supply. The record kinds
// (otherdata.h, detaildata.h, prefsdata.h) fix how the key is formed and how the first
// record is loaded, the next one reached and a new one created.
//
// Data key layout (little-endian 16-bit fields):
//   bytes 0-1  first item number  (the record's number; the cell's staff in cell details)
//   bytes 2-3  second item number (inci of inci records, second number of details, the
//                                  cell's measure in cell details)
//   bytes 4-5  third item number  (inci of cell details; 0 for no-inci details)
//   bytes 6-7  never written by the record kinds; copied with the key
//
// Nothing here throws or shows a message; failures are reported by return values.
#pragma once

#include <cstdint>

#include "framework/core/fcbase.h"

class __FCBaseData : public __FCBase {
 public:
  // Bytes in a data key.
  static constexpr int DATAKEY_SIZE = 8;
  // The record-layout version passed with every record call unless a class says
  // otherwise.
  static constexpr uint32_t DEFAULT_RECORD_VERSION = 0x11000000;
  // The key field value that asks the host to assign a fresh number on create.
  static constexpr uint16_t KEY_ASSIGN = 0xFFFF;

  __FCBaseData() = default;
  // The data block may point into the object itself, so a plain copy would share or
  // dangle; copies are made with CreateClone/CloneFrom.
  __FCBaseData(const __FCBaseData&) = delete;
  __FCBaseData& operator=(const __FCBaseData&) = delete;

  const char* ClassName() const override { return "__FCBaseData"; }

  // --- Virtual operations, in their documented order -------------------------------

  // The record-layout version passed with every host call on this record.
  virtual uint32_t EnigmaVersion() const { return DEFAULT_RECORD_VERSION; }
  // The byte count offered to the host when loading.
  virtual int DataSizeLoad() const = 0;
  // The byte count written when saving or creating; by default the loaded size.
  virtual int DataSizeSave() const { return _loadedsize; }
  // Storage for the data block. A fixed-size class returns the address of the record
  // inside the object; a class of varying size returns _AllocateHeapBlock(DataSizeLoad()).
  virtual void* Allocate() = 0;
  // Releases what Allocate took. By default: a block taken with _AllocateHeapBlock
  // (including the one the default CloneMemoryFrom makes) is freed; nothing else.
  virtual void Deallocate();
  // True for classes whose records vary in size from record to record.
  virtual bool IsDynamicSize() const { return false; }
  // A new object of the same concrete class, in its constructed state, owned by the caller.
  virtual __FCBaseData* CreateObject() const = 0;
  // The record type.
  virtual uint32_t Tag() const = 0;
  // Copies the source's record bytes into this object. By default: when the source's
  // loaded size is above 0, this object gets its own heap copy of that many bytes.
  virtual void CloneMemoryFrom(__FCBaseData* source);

  // Frees a heap block taken with _AllocateHeapBlock; releases nothing else.
  ~__FCBaseData() override;

  // Writes the data block back over the record named by the data key. False, without
  // a host call, when the loaded size is 0 or less.
  virtual bool Save();
  // Deletes the record named by the data key. Tests nothing first; the object keeps its
  // bytes, loaded size and key.
  virtual bool DeleteData();
  // As DeleteData, unless a class owns further records.
  virtual bool DeepDeleteData() { return DeleteData(); }
  // Loads the first record of the class.
  virtual bool LoadFirst() = 0;
  // Asks the host for the record that follows the data key and loads it. False, with
  // the key and the block as they were, when the host names no record after the
  // current key (in key order), so that a walk always ends.
  virtual bool LoadNext();

  // --- Non-virtual operations ---------------------------------------------------

  // Loads the record named by Tag() and the current data key into the data block.
  // The block is cleared first. On success the loaded size is the byte count the host
  // delivered, but never more than the block holds; on failure it is 0. The data block
  // stays allocated either way; the key is as the host left it.
  bool LoadDataBlock();
  // Deallocate(), then no data block and loaded size 0.
  void ClearData();
  // Copies the custom tag and the whole data key from source, then CloneMemoryFrom(source).
  void CloneFrom(__FCBaseData* source);
  // CreateObject() followed by CloneFrom(this); the caller owns the result.
  __FCBaseData* CreateClone();

  // --- Fields -----------------------------------------------------------------

  // A tag of the caller's choice (0: none); only classes whose Tag() consults it are
  // changed by it. Collections hand theirs to each element they create.
  void SetCustomTag(uint32_t tag) { _customtag = tag; }
  uint32_t GetCustomTag() const { return _customtag; }

  // The record's bytes, or null.
  void* _GetDataBlock() const { return _datablock; }
  // Points the data block at storage the class manages (its own record, typically).
  // A heap block taken with _AllocateHeapBlock is released first.
  void _SetDataBlock(void* block);
  // Byte count of the data block as last delivered by the host or set by the class;
  // 0 or less means the object holds no record.
  int32_t _GetLoadedSize() const { return _loadedsize; }
  void _SetLoadedSize(int32_t size) { _loadedsize = size; }

  // The 8 key bytes, handed to the host by pointer.
  uint8_t* _GetDataKey() { return _datakey; }
  const uint8_t* _GetDataKey() const { return _datakey; }
  uint16_t _GetKeyFirst() const { return _GetKeyWord(0); }
  uint16_t _GetKeySecond() const { return _GetKeyWord(2); }
  uint16_t _GetKeyThird() const { return _GetKeyWord(4); }
  void _SetKeyFirst(uint16_t value) { _SetKeyWord(0, value); }
  void _SetKeySecond(uint16_t value) { _SetKeyWord(2, value); }
  void _SetKeyThird(uint16_t value) { _SetKeyWord(4, value); }

  // Whether a record call's result means success: its low 16 bits are non-zero.
  static bool _HostSucceeded(int32_t result) { return (result & 0xFFFF) != 0; }

 protected:
  // A zeroed heap block of size bytes (at least one), made the data block and owned by
  // this object until Deallocate, _SetDataBlock or destruction. Returns the block.
  void* _AllocateHeapBlock(int32_t size);
  // The bytes of the data block when it is such a heap block; 0 otherwise.
  int32_t _GetHeapBlockSize() const { return _ownsblock ? _heapsize : 0; }
  // Creates a new record from the data block under the current key, whose fields to be
  // assigned the caller has marked with KEY_ASSIGN.
  bool _CreateRecord();
  // CloneMemoryFrom of a class that keeps its fixed-size record inside the object:
  // copies the source's record (from) when the source is of the same class, clears
  // the record when it is not (from null), and makes it the data block, full size.
  void _CloneFixedRecord(uint8_t* record, const uint8_t* from, int32_t size);

 private:
  uint16_t _GetKeyWord(int offset) const;
  // Whether the data key lies after the key bytes earlier in the host's key order.
  bool _KeyFollows(const uint8_t* earlier) const;
  void _SetKeyWord(int offset, uint16_t value);
  void _FreeHeapBlock();

  uint32_t _customtag = 0;
  void* _datablock = nullptr;
  int32_t _loadedsize = 0;
  uint8_t _datakey[DATAKEY_SIZE] = {};
  // The data block is a heap block that this object allocated and must free.
  bool _ownsblock = false;
  // Its size in bytes.
  int32_t _heapsize = 0;
};

// A record kind of one number and an inci: first item number and second (the inci).
class __FCInci : public __FCBaseData {
 public:
  // Sets the first item number to itemno and the second to inci, then loads.
  bool Load(unsigned short itemno, short inci);
};

// A record kind of one number: the first item number.
class __FCGlobals : public __FCBaseData {
 public:
  // Sets the first item number, then loads.
  bool Load(short number);
};
