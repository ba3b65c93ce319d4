// Entry frames: the host hands out the music of one layer of one measure as a frame
// block and takes it back. Frames going back for a change are cleaned first. The
// cleaning's rules are in docs/framework-behaviour.md (Host bridge), the frame as the
// host hands it out in docs/host-music.md; the wrappers are declared in bridge/finalepdk.h.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "bridge/finalepdk.h"
#include "bridge/hostcall.h"
#include "bridge/recordbytes.h"

bool CanAddNoteRecordToRests = true;

namespace {

// Frame block: pointer to the first entry at 14 (pointer-sized), then the entry count.
constexpr size_t kFrameEntries = 14;
constexpr size_t kFrameCount = kFrameEntries + sizeof(FXPTR);
// Entry record.
constexpr size_t kEntrySize = 146;
constexpr size_t kEntryFlags = 8;
constexpr size_t kEntryNoteCount = 14;
constexpr size_t kEntryNotes = 16;
constexpr int kMaxNotes = 12;
// Note record.
constexpr size_t kNoteSize = 10;
constexpr size_t kNoteNumber = 4;
constexpr size_t kNoteBits = 6;

uint8_t* NoteAt(uint8_t* entry, int index) { return entry + kEntryNotes + index * kNoteSize; }

// Whether a note other than index carries number.
bool NumberInUse(uint8_t* entry, int count, int index, int number) {
  for (int j = 0; j < count; ++j)
    if (j != index && fxt::GetS16(NoteAt(entry, j), kNoteNumber) == number) return true;
  return false;
}

// The number for a note that needs a new one: one above the highest given so far, or,
// when that would pass the largest 16-bit number (and wrap onto a number in use), the
// first number from 1 that no other note carries.
int NewNoteNumber(uint8_t* entry, int count, int index, int* highest) {
  if (*highest < INT16_MAX) return ++*highest;
  int number = 1;
  while (NumberInUse(entry, count, index, number)) ++number;
  return number;
}

void CleanEntry(uint8_t* entry) {
  // Every step works within the entry's twelve note slots: a count the host gives
  // outside 0 to 12 is read as the nearest of them and written back so, so that
  // neither this cleaning nor the host reads or writes past the entry.
  const int stored = fxt::GetS16(entry, kEntryNoteCount);
  const int count = std::min(std::max(stored, 0), kMaxNotes);
  if (count != stored) fxt::PutS16(entry, kEntryNoteCount, static_cast<int16_t>(count));
  int highest = 0;
  for (int i = 0; i < count; ++i)
    highest = std::max<int>(highest, fxt::GetS16(NoteAt(entry, i), kNoteNumber));
  for (int i = 0; i < count; ++i) {
    uint8_t* note = NoteAt(entry, i);
    const int number = fxt::GetS16(note, kNoteNumber);
    if (number == 0 || NumberInUse(entry, count, i, number))
      fxt::PutS16(note, kNoteNumber,
                  static_cast<int16_t>(NewNoteNumber(entry, count, i, &highest)));
  }
  for (int i = 0; i < count; ++i) {
    uint8_t* note = NoteAt(entry, i);
    uint32_t bits = fxt::GetU32(note, kNoteBits) & ~(0x1Fu << 16);
    bits |= (static_cast<uint32_t>(fxt::GetU16(note, kNoteNumber)) & 0x1Fu) << 16;
    fxt::PutU32(note, kNoteBits, bits);
  }
  if (count < kMaxNotes) std::memset(NoteAt(entry, count), 0, (kMaxNotes - count) * kNoteSize);
  if (count == 0 && CanAddNoteRecordToRests) {
    fxt::PutU32(entry, kEntryFlags, fxt::GetU32(entry, kEntryFlags) | 0x01000000u);
    fxt::PutS16(entry, kEntryNoteCount, 1);
    fxt::PutU32(NoteAt(entry, 0), kNoteBits, 0x80000000u);
  }
}

}  // namespace

void CleanTGF(const void* frame, bool) {
  if (!frame) return;
  const uint8_t* block = static_cast<const uint8_t*>(frame);
  FXPTR first;
  std::memcpy(&first, block + kFrameEntries, sizeof first);
  int count = fxt::GetS16(block, kFrameCount);
  uint8_t* entries = reinterpret_cast<uint8_t*>(first);
  for (int i = 0; i < count && entries; ++i) CleanEntry(entries + i * kEntrySize);
}

void* FX_LoadTGF(uint16_t a, int16_t b, int16_t c, int16_t d, int16_t e, int32_t version) {
  ++LoadedTGFCounter;
  return fxt_host::FX_LoadTGF(a, b, c, d, e, version);
}

int32_t FX_InsertEXENTRY(FXArg frame, int16_t a, int16_t b, int32_t version) {
  CleanTGF(reinterpret_cast<const void*>(frame.value), true);
  return fxt_host::FX_InsertEXENTRY(frame, a, b, version);
}

int32_t FX_DeleteEXENTRY(FXArg frame, int16_t a, int16_t b, int32_t version) {
  CleanTGF(reinterpret_cast<const void*>(frame.value), true);
  return fxt_host::FX_DeleteEXENTRY(frame, a, b, version);
}

int32_t FX_SaveTGF(FXArg frame, int32_t version) {
  CleanTGF(reinterpret_cast<const void*>(frame.value), true);
  return fxt_host::FX_SaveTGF(frame, version);
}

int32_t FX_FreeTGF(FXArg frame, int32_t version) {
  --LoadedTGFCounter;
  return fxt_host::FX_FreeTGF(frame, version);
}
