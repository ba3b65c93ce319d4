// FCShapeDef: reading and rebuilding the drawing instructions of an 'SOSD' record
// (shapedef.h lays out the record). Bounds and refusals: docs/definitions.md.
#include "framework/notation/shapedef.h"

#include <cstring>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"

namespace {

// Header fields.
constexpr size_t kFirstHundred = 42;
constexpr size_t kSecondHundred = 46;
constexpr size_t kTableOffset = 50;
constexpr size_t kDataOffset = 54;
constexpr size_t kInstructionCount = 58;
constexpr size_t kItemTotal = 62;

// Instruction table entries.
constexpr size_t kEntrySize = 8;
constexpr size_t kEntryCode = 0;
constexpr size_t kEntryTwo = 2;
constexpr size_t kEntryItems = 3;
constexpr size_t kEntryStart = 4;

constexpr size_t kItemSize = FCShapeDefInstruction::ITEM_SIZE;
// What the table's byte and 16-bit fields can say.
constexpr int kMaxItems = 0xFF;
constexpr size_t kMaxStart = 0x7FFF;

}  // namespace

// --- FCShapeDefInstruction ----------------------------------------------------------

FCShapeDefInstruction::FCShapeDefInstruction(short code, int count, const void* items)
    : _code(code) {
  SetItems(count, items);
}

FCShapeDefInstruction::~FCShapeDefInstruction() { delete[] _items; }

void FCShapeDefInstruction::SetItems(int count, const void* items) {
  delete[] _items;
  _items = nullptr;
  _count = count > 0 ? count : 0;
  if (_count == 0) return;
  const size_t bytes = static_cast<size_t>(_count) * kItemSize;
  _items = new uint8_t[bytes]();
  if (items) std::memcpy(_items, items, bytes);
}

FCShapeDefInstruction* FCShapeDefInstructions::GetItemAt(int index) const {
  return dynamic_cast<FCShapeDefInstruction*>(__FCCollection::GetItemAt(index));
}

// --- FCShapeDef: the record ---------------------------------------------------------

FCShapeDef::~FCShapeDef() { Deallocate(); }

int FCShapeDef::DataSizeLoad() const {
  int32_t size = 0;
  // A load without a buffer reports the record's size. The key is passed by pointer
  // as for every record call; the host does not change it here.
  uint8_t key[DATAKEY_SIZE];
  std::memcpy(key, _GetDataKey(), DATAKEY_SIZE);
  const int32_t result = FX_LoadEData(static_cast<int32_t>(Tag()), key, nullptr, &size,
                                      static_cast<int32_t>(EnigmaVersion()));
  return _HostSucceeded(result) && size > 0 ? size : 0;
}

uint8_t* FCShapeDef::_NewBlock(int32_t size) {
  uint8_t* block = static_cast<uint8_t*>(_AllocateHeapBlock(size));
  // _AllocateHeapBlock makes at least one byte.
  _blockbytes = size > 0 ? size : 1;
  return block;
}

void* FCShapeDef::Allocate() { return _NewBlock(DataSizeLoad()); }

void FCShapeDef::Deallocate() {
  __FCBaseData::Deallocate();
  _SetDataBlock(nullptr);
  _blockbytes = 0;
  _SetLoadedSize(0);
}

void FCShapeDef::CloneMemoryFrom(__FCBaseData* source) {
  const FCShapeDef* other = dynamic_cast<const FCShapeDef*>(source);
  if (!other || other == this) return;
  // The default copy takes exactly the source's loaded size.
  __FCBaseData::CloneMemoryFrom(source);
  _blockbytes = _GetDataBlock() ? _GetLoadedSize() : 0;
  _empty = other->_empty;
}

bool FCShapeDef::Load(unsigned short itemno) {
  const bool loaded = __FCNoInciOther::Load(itemno);
  _empty = !loaded;
  return loaded;
}

bool FCShapeDef::LoadNext() {
  const bool loaded = __FCNoInciOther::LoadNext();
  // A walk that finds no further record leaves the last one as it was.
  if (loaded || _GetLoadedSize() <= 0) _empty = !loaded;
  return loaded;
}

// --- Reading the instructions -------------------------------------------------------

FCShapeDefInstructions* FCShapeDef::CreateInstructions() const {
  FCShapeDefInstructions* instructions = new FCShapeDefInstructions;
  const uint8_t* record = static_cast<const uint8_t*>(_GetDataBlock());
  // Only bytes that were both delivered and allocated are read.
  const int32_t loaded = _GetLoadedSize() < _blockbytes ? _GetLoadedSize() : _blockbytes;
  if (_empty || !record || loaded < HEADER_SIZE) return instructions;
  const uint64_t size = static_cast<uint64_t>(loaded);
  const uint32_t count = fxt::GetU32(record, kInstructionCount);
  if (count > MAX_INSTRUCTIONS) return instructions;
  const uint64_t table = fxt::GetU32(record, kTableOffset);
  const uint64_t data = fxt::GetU32(record, kDataOffset);
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t entry = table + kEntrySize * i;
    if (entry + kEntrySize > size) break;
    const short code = fxt::GetS16(record, entry + kEntryCode);
    const int items = fxt::GetU8(record, entry + kEntryItems);
    const int16_t start = fxt::GetS16(record, entry + kEntryStart);
    const uint64_t first = data + static_cast<uint64_t>(start);
    if (items > 0 && (start < 0 || first + kItemSize * items > size)) break;
    FCShapeDefInstruction* instruction =
        new FCShapeDefInstruction(code, items, items > 0 ? record + first : nullptr);
    if (!instructions->Add(instruction)) {
      delete instruction;
      break;
    }
  }
  return instructions;
}

// --- Building a record --------------------------------------------------------------

bool FCShapeDef::RecreateInstructions(FCShapeDefInstructions* instructions) {
  if (!instructions) return false;
  // What the record will hold, and whether its fields can say it.
  size_t count = 0;
  size_t items = 0;
  for (int i = 0; i < instructions->GetCount(); ++i) {
    const FCShapeDefInstruction* instruction = instructions->GetItemAt(i);
    if (!instruction) continue;
    if (instruction->GetItemCount() > kMaxItems || items * kItemSize > kMaxStart) return false;
    ++count;
    items += static_cast<size_t>(instruction->GetItemCount());
  }
  if (count == 0 || count > MAX_INSTRUCTIONS) return false;

  const size_t data = HEADER_SIZE + kEntrySize * count;
  const size_t size = data + kItemSize * items;
  uint8_t* record = _NewBlock(static_cast<int32_t>(size));
  _SetLoadedSize(static_cast<int32_t>(size));
  _empty = false;
  fxt::PutU32(record, kFirstHundred, 100);
  fxt::PutU32(record, kSecondHundred, 100);
  fxt::PutU32(record, kTableOffset, HEADER_SIZE);
  fxt::PutU32(record, kDataOffset, static_cast<uint32_t>(data));
  fxt::PutU32(record, kInstructionCount, static_cast<uint32_t>(count));
  fxt::PutU32(record, kItemTotal, static_cast<uint32_t>(items));

  size_t entry = HEADER_SIZE;
  size_t position = data;
  for (int i = 0; i < instructions->GetCount(); ++i) {
    const FCShapeDefInstruction* instruction = instructions->GetItemAt(i);
    if (!instruction) continue;
    const size_t bytes = kItemSize * static_cast<size_t>(instruction->GetItemCount());
    fxt::PutS16(record, entry + kEntryCode, instruction->GetCode());
    fxt::PutU8(record, entry + kEntryTwo, 2);
    fxt::PutU8(record, entry + kEntryItems, static_cast<uint8_t>(instruction->GetItemCount()));
    fxt::PutS16(record, entry + kEntryStart, static_cast<int16_t>(position - data));
    if (bytes > 0) std::memcpy(record + position, instruction->GetItems(), bytes);
    entry += kEntrySize;
    position += bytes;
  }
  return true;
}
