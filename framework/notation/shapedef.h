// Shape definitions ('SOSD', one record per item number from 1): a record of varying
// size that holds a list of drawing instructions, each an instruction code and a run
// of 9-byte data items that the framework copies without reading them.
//
// Record layout (little-endian; offsets in bytes):
//   0-41  not read; zero in a record the framework builds
//   42    32-bit, written as 100            46  32-bit, written as 100
//   50    32-bit offset of the instruction table (66 in a built record)
//   54    32-bit offset of the data area (66 + 8 x instructions)
//   58    32-bit instruction count           62  32-bit total of data items
//   table: 8 bytes per instruction: code (signed 16-bit), 2 (byte), item count (byte),
//          where its items begin as a byte offset into the data area (signed 16-bit), 0
//   data area: 9 bytes per item, the instructions' items one after another
#pragma once

#include <cstdint>

#include "framework/core/collection.h"
#include "framework/core/otherdata.h"

// One drawing instruction: its code and its data items. Reports its class name as
// "__FCBase".
class FCShapeDefInstruction : public __FCBase {
 public:
  static constexpr int ITEM_SIZE = 9;

  FCShapeDefInstruction() = default;
  // count items copied from items (count x 9 bytes; zeros when items is null).
  FCShapeDefInstruction(short code, int count, const void* items);
  // The instruction owns its items: it is not copied.
  FCShapeDefInstruction(const FCShapeDefInstruction&) = delete;
  FCShapeDefInstruction& operator=(const FCShapeDefInstruction&) = delete;
  ~FCShapeDefInstruction() override;

  short GetCode() const { return _code; }
  void SetCode(short code) { _code = code; }
  int GetItemCount() const { return _count; }
  // count x 9 bytes, or null when the instruction has no items.
  const uint8_t* GetItems() const { return _items; }
  // Replaces the items with count items copied from items (zeros when items is null);
  // a count of 0 or less leaves none.
  void SetItems(int count, const void* items);

 private:
  int16_t _code = 0;
  int32_t _count = 0;
  uint8_t* _items = nullptr;
};

// The instructions of a shape; owns them.
class FCShapeDefInstructions : public FCCollectionOf<__FCCollection, FCShapeDefInstruction> {
 public:
  const char* ClassName() const override { return "FCShapeDefInstructions"; }
  // The element at index as an instruction; null out of range or for another kind.
  FCShapeDefInstruction* GetItemAt(int index) const;
};

class FCShapeDef : public __FCNoInciOther {
 public:
  static constexpr uint32_t TAG = 0x534F5344;  // 'SOSD'
  // The most instructions a record may hold; a record that claims more holds none.
  static constexpr uint32_t MAX_INSTRUCTIONS = 300;
  // Bytes before the instruction table of a built record.
  static constexpr int HEADER_SIZE = 66;

  // An empty shape: no record, no instructions.
  FCShapeDef() = default;
  // Releases the data block.
  ~FCShapeDef() override;

  const char* ClassName() const override { return "FCShapeDef"; }
  // The byte size the host reports for the record named by the key, or 0 when the
  // host call fails.
  int DataSizeLoad() const override;
  // A zeroed heap block of DataSizeLoad() bytes, made the data block.
  void* Allocate() override;
  // Releases the block; the loaded size becomes 0.
  void Deallocate() override;
  bool IsDynamicSize() const override { return true; }
  __FCBaseData* CreateObject() const override { return new FCShapeDef; }
  uint32_t Tag() const override { return TAG; }
  // A heap copy of the source's record, with its empty flag.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // Loads as every item record does; afterwards the shape is empty unless a record
  // loaded.
  bool Load(unsigned short itemno) override;
  bool LoadNext() override;

  // Whether the shape holds no instructions by its own account (nothing loaded or
  // built yet, or the last load failed).
  bool IsEmpty() const { return _empty; }

  // A new collection, owned by the caller, with one instruction per instruction of the
  // record; never null, empty when the record holds none. Nothing is read beyond the
  // record's size: an instruction whose table entry or items do not fit in it ends the
  // list (the instructions before it are kept).
  FCShapeDefInstructions* CreateInstructions() const;
  // Replaces the record with one built from the instructions (null elements skipped).
  // False, with nothing changed, when there are none, or when the record could not say
  // them: more than 300 instructions, one with more than 255 items, or items starting
  // more than 32767 bytes into the data area.
  bool RecreateInstructions(FCShapeDefInstructions* instructions);

 private:
  // Takes a zeroed block of size bytes as the data block.
  uint8_t* _NewBlock(int32_t size);

  bool _empty = true;
  // Bytes allocated for the data block, so that a loaded size the host overstates
  // cannot take a read past the allocation.
  int32_t _blockbytes = 0;
};
