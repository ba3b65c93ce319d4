// Entry frames handed back to the host: each wrapper cleans the frame it is given, in
// place and within its entries, before the host sees it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "host/functions/host.h"

namespace {

using fxthost::Fn;

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);
constexpr size_t kEntrySize = 146;
constexpr size_t kGuard = 64;
constexpr uint8_t kGuardByte = 0xAB;

// A frame block and its entries, built as the host lays them out, with guard bytes
// before and after the entries that no cleaning may touch.
struct Frame {
  uint8_t block[32] = {};
  std::vector<uint8_t> memory;

  explicit Frame(const std::vector<int16_t>& noteCounts)
      : memory(2 * kGuard + noteCounts.size() * kEntrySize, kGuardByte) {
    std::memset(Entry(0), 0, noteCounts.size() * kEntrySize);
    for (size_t i = 0; i < noteCounts.size(); ++i) {
      fxt::PutS16(Entry(i), 14, noteCounts[i]);
      // Every note slot carries a distinct number, so that nothing is renumbered.
      for (int n = 0; n < 12; ++n)
        fxt::PutS16(Entry(i), 16 + n * 10 + 4, static_cast<int16_t>(n + 1));
    }
    const FXPTR first = reinterpret_cast<FXPTR>(Entry(0));
    std::memcpy(block + 14, &first, sizeof first);
    fxt::PutS16(block, 14 + sizeof(FXPTR), static_cast<int16_t>(noteCounts.size()));
  }
  uint8_t* Entry(size_t index) { return memory.data() + kGuard + index * kEntrySize; }
  bool GuardsIntact() const {
    for (size_t i = 0; i < kGuard; ++i)
      if (memory[i] != kGuardByte || memory[memory.size() - 1 - i] != kGuardByte) return false;
    return true;
  }
};

struct Wrapper {
  const char* name;
  Fn fn;
  std::function<void(void*)> call;
};

const Wrapper kWrappers[] = {
    {"FX_ReduceEntries", Fn::FX_ReduceEntries,
     [](void* frame) { FX_ReduceEntries(frame, kVersion); }},
    {"FX_SaveTGF", Fn::FX_SaveTGF, [](void* frame) { FX_SaveTGF(frame, kVersion); }},
    {"FX_InsertEXENTRY", Fn::FX_InsertEXENTRY,
     [](void* frame) { FX_InsertEXENTRY(frame, 1, 0, kVersion); }},
    {"FX_DeleteEXENTRY", Fn::FX_DeleteEXENTRY,
     [](void* frame) { FX_DeleteEXENTRY(frame, 1, 0, kVersion); }},
};

TEST(EntryFrames, EveryWrapperCleansWithinTheEntriesBeforeTheHostSeesTheFrame) {
  // Note counts the host may hand over, and what the cleaning leaves: a count outside
  // 0 to 12 is read as the nearest of them, and the entry is written back so
  // (framework-behaviour.md, Host bridge: Entry frames).
  const struct {
    int16_t count;
    int16_t cleaned;
  } rows[] = {{-32768, 1}, {-5, 1}, {-1, 1}, {0, 1}, {3, 3}, {12, 12}, {13, 12}, {32767, 12}};
  for (const Wrapper& wrapper : kWrappers) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(wrapper.name) + ", note count " + std::to_string(row.count));
      fxthost::Host host;
      Frame frame({row.count, 2});
      wrapper.call(frame.block);
      EXPECT_TRUE(frame.GuardsIntact()) << "nothing written outside the entries";
      EXPECT_EQ(fxt::GetS16(frame.Entry(0), 14), row.cleaned);
      EXPECT_EQ(fxt::GetS16(frame.Entry(1), 14), 2) << "the next entry is its own";
      EXPECT_EQ(fxt::GetS16(frame.Entry(1), 16 + 2 * 10 + 4), 0) << "slots past the count cleared";
      if (row.count <= 0) {
        EXPECT_EQ(fxt::GetU32(frame.Entry(0), 8) & 0x01000000u, 0x01000000u) << "a rest";
        EXPECT_EQ(fxt::GetU32(frame.Entry(0), 16 + 6), 0x80000000u);
      }
      ASSERT_EQ(host.CallsTo(wrapper.fn).size(), 1u);
      EXPECT_EQ(host.CallsTo(wrapper.fn)[0].words[0],
                static_cast<uint64_t>(reinterpret_cast<uintptr_t>(frame.block)));
    }
  }
}

TEST(EntryFrames, RenumbersRepeatedAndMissingNotesToDistinctNumbers) {
  const struct {
    std::vector<int16_t> numbers, cleaned;
  } rows[] = {
      // A note numbered 0 or like another gets one above the highest number
      // (framework-behaviour.md, Host bridge: Entry frames).
      {{3, 3, 0}, {4, 3, 5}},
      // Past the largest number the next free one from 1 is taken, never a number that
      // wraps around onto one in use (found by fuzzing).
      {{32767, -32768, 0}, {32767, -32768, 1}},
      {{32767, 0, 0}, {32767, 1, 2}},
      {{32767, 32767, 1}, {2, 32767, 1}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.numbers));
    fxthost::Host host;
    const int count = static_cast<int>(row.numbers.size());
    Frame frame({static_cast<int16_t>(count)});
    for (int n = 0; n < count; ++n) fxt::PutS16(frame.Entry(0), 16 + n * 10 + 4, row.numbers[n]);
    FX_SaveTGF(frame.block, kVersion);
    for (int n = 0; n < count; ++n) {
      SCOPED_TRACE(n);
      EXPECT_EQ(fxt::GetS16(frame.Entry(0), 16 + n * 10 + 4), row.cleaned[n]);
      EXPECT_EQ((fxt::GetU32(frame.Entry(0), 16 + n * 10 + 6) >> 16) & 0x1F,
                static_cast<uint32_t>(row.cleaned[n]) & 0x1F);
    }
    EXPECT_TRUE(frame.GuardsIntact());
  }
}

}  // namespace
