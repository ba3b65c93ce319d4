// Entry-frame cleaning on arbitrary frames: the first two bytes are the frame's entry
// count (signed, little-endian), the rest the entries (146 bytes each, at most 8; a
// count beyond the entries given is cut to them, since the frame's memory is the
// host's). After cleaning, nothing outside the entries has changed, each counted entry
// has 1 to 12 notes with distinct non-zero numbers carried in bits 16 to 20, the slots
// beyond the count are clear, an entry without notes has become a rest, and cleaning a
// clean entry again changes nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"

namespace {

constexpr size_t kEntrySize = 146;
constexpr size_t kMostEntries = 8;
constexpr size_t kGuard = 32;

void Fail(const char* what, size_t entry) {
  std::fprintf(stderr, "entry frame, entry %zu: %s\n", entry, what);
  std::abort();
}

const uint8_t* Note(const uint8_t* entry, int index) { return entry + 16 + index * 10; }

void CheckEntry(const uint8_t* before, const uint8_t* after, size_t index) {
  const int given = fxt::GetS16(before, 14);
  const int count = fxt::GetS16(after, 14);
  const int expected = given <= 0 ? 1 : std::min(given, 12);
  if (count != expected) Fail("note count", index);
  // Only the flags (bit 24, for a rest), the count and the note records change.
  if (std::memcmp(before, after, 8) != 0 || std::memcmp(before + 12, after + 12, 2) != 0 ||
      std::memcmp(before + 136, after + 136, kEntrySize - 136) != 0)
    Fail("bytes outside the notes changed", index);
  const uint32_t flags = fxt::GetU32(before, 8) | (given <= 0 ? 0x01000000u : 0u);
  if (fxt::GetU32(after, 8) != flags) Fail("entry flags", index);
  std::set<int> numbers;
  for (int n = 0; n < 12; ++n) {
    const uint8_t* note = Note(after, n);
    const int number = fxt::GetS16(note, 4);
    const uint32_t bits = fxt::GetU32(note, 6);
    if (n >= count) {
      for (int b = 0; b < 10; ++b)
        if (note[b] != 0) Fail("slot beyond the count not clear", index);
      continue;
    }
    if (given <= 0) {
      if (fxt::GetU32(note, 0) != 0 || number != 0 || bits != 0x80000000u) Fail("rest", index);
      continue;
    }
    if (number == 0 || !numbers.insert(number).second) Fail("note numbers not distinct", index);
    if (((bits >> 16) & 0x1F) != (static_cast<uint32_t>(number) & 0x1F))
      Fail("bits 16 to 20", index);
    if ((bits & ~(0x1Fu << 16)) != (fxt::GetU32(Note(before, n), 6) & ~(0x1Fu << 16)))
      Fail("other bits of the note", index);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t given = std::min((size - 2) / kEntrySize, kMostEntries);
  const int16_t count = std::min<int16_t>(fxt::GetS16(data, 0), static_cast<int16_t>(given));
  std::vector<uint8_t> memory(2 * kGuard + given * kEntrySize, 0xA5);
  uint8_t* entries = memory.data() + kGuard;
  if (given > 0) std::memcpy(entries, data + 2, given * kEntrySize);
  const std::vector<uint8_t> before = memory;

  uint8_t frame[32] = {};
  const FXPTR first = reinterpret_cast<FXPTR>(entries);
  std::memcpy(frame + 14, &first, sizeof first);
  fxt::PutS16(frame, 14 + sizeof(FXPTR), count);
  CleanTGF(frame, true);

  const size_t cleaned = count > 0 ? static_cast<size_t>(count) : 0;
  const size_t untouchedFrom = kGuard + cleaned * kEntrySize;
  if (std::memcmp(before.data(), memory.data(), kGuard) != 0 ||
      std::memcmp(before.data() + untouchedFrom, memory.data() + untouchedFrom,
                  memory.size() - untouchedFrom) != 0)
    Fail("bytes outside the counted entries changed", cleaned);
  for (size_t i = 0; i < cleaned; ++i)
    CheckEntry(before.data() + kGuard + i * kEntrySize, entries + i * kEntrySize, i);

  // A clean entry stays as it is. (A rest's one note record, numbered 0, is numbered
  // anew by the next cleaning, as every note numbered 0 is.)
  const std::vector<uint8_t> once = memory;
  CleanTGF(frame, true);
  for (size_t i = 0; i < cleaned; ++i) {
    const size_t at = kGuard + i * kEntrySize;
    if (fxt::GetS16(before.data() + at, 14) > 0 &&
        std::memcmp(once.data() + at, memory.data() + at, kEntrySize) != 0)
      Fail("cleaning again changed the entry", i);
  }
  return 0;
}
