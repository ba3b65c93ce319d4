#include "host/store/recordstore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bridge/recordbytes.h"

namespace fxthost {
namespace {

constexpr uint32_t kStaff = fxt::MakeTag('S', 'O', 'I', 'S');
constexpr uint32_t kRawText = fxt::MakeTag('t', 'x', 'b', 'l');
constexpr uint32_t kInstrument = fxt::MakeTag('o', 't', 'M', 'G');
constexpr uint32_t kSystemStaff = fxt::MakeTag('S', 'O', 'I', 'u');
constexpr uint32_t kGroup = fxt::MakeTag('S', 'D', 'N', 'G');
constexpr uint32_t kChord = fxt::MakeTag('S', 'D', 'C', 'h');
constexpr uint32_t kMidi = fxt::MakeTag('d', 't', 'M', 'E');
constexpr uint32_t kStaffNamePrefs = fxt::MakeTag('o', 't', '4', '0');
constexpr uint16_t kSide = 0xFFFE;
constexpr uint16_t kNew = 0xFFFF;

DataKey K(uint16_t a, uint16_t b = 0, uint16_t c = 0, uint16_t d = 0) { return {a, b, c, d}; }

std::string Str(const DataKey& k) {
  return std::to_string(k.first) + "," + std::to_string(k.second) + "," + std::to_string(k.third) +
         "," + std::to_string(k.extra);
}

// Each record holds one byte, its position in the list it was made from, so that moved
// records can be recognised.
RecordStore Make(uint32_t tag, const std::vector<DataKey>& keys) {
  RecordStore store;
  for (size_t i = 0; i < keys.size(); ++i) store.Put(tag, keys[i], {static_cast<uint8_t>(i)});
  return store;
}

// "key=payload" of every record of the tag, in key order.
std::vector<std::string> Dump(const RecordStore& store, uint32_t tag) {
  std::vector<std::string> out;
  store.ForEach(tag, [&](const DataKey& k, const RecordStore::Bytes& b) {
    out.push_back(Str(k) + "=" + (b.empty() ? std::string("-") : std::to_string(b[0])));
  });
  return out;
}

TEST(RecordStoreKey, BytesAreLittleEndianAndPassedThrough) {
  const uint8_t bytes[8] = {0x34, 0x12, 0xFE, 0xFF, 0x01, 0x00, 0xCD, 0xAB};
  const DataKey key = DataKey::FromBytes(bytes);
  EXPECT_EQ(Str(key), Str(K(0x1234, 0xFFFE, 1, 0xABCD)));
  uint8_t back[8] = {};
  key.ToBytes(back);
  EXPECT_EQ(0, memcmp(bytes, back, 8));
}

// A failed create leaves the store and the key as they were.
TEST(RecordStoreCreate, FillsMarkedFieldsByKeyShape) {
  struct Row {
    const char* name;
    uint32_t tag;
    std::vector<DataKey> existing;
    DataKey in;
    bool ok;
    DataKey out;
  };
  const Row rows[] = {
      {"new item number after the largest", kStaff, {K(1), K(3)}, K(kNew, kNew), true, K(4)},
      {"first item number is 1", kStaff, {}, K(kNew, kNew), true, K(1)},
      {"raw text: first marked only", kRawText, {K(1), K(2)}, K(kNew), true, K(3)},
      {"side records at 0xFFFE do not count",
       kInstrument,
       {K(1), K(kSide, 3)},
       K(kNew, kNew),
       true,
       K(2)},
      {"passed-through bytes kept", kStaff, {K(2)}, K(kNew, kNew, 0, 9), true, K(3, 0, 0, 9)},
      {"next inci", kSystemStaff, {K(1, 0), K(1, 1), K(2, 0)}, K(1, kNew), true, K(1, 2)},
      {"first inci is 0", kSystemStaff, {K(4, 0)}, K(5, kNew), true, K(5, 0)},
      {"next detail number", kGroup, {K(0, 1), K(0, 2), K(1, 9)}, K(0, kNew), true, K(0, 3)},
      {"first detail number is 1", kGroup, {K(1, 9)}, K(0, kNew), true, K(0, 1)},
      {"next cell inci",
       kChord,
       {K(3, 7, 0), K(3, 7, 1), K(3, 8)},
       K(3, 7, kNew),
       true,
       K(3, 7, 2)},
      {"first cell inci is 0", kMidi, {K(3, 6, 0)}, K(3, 7, kNew), true, K(3, 7, 0)},
      {"unmarked key stored as given", kGroup, {K(0, 1)}, K(0, 5), true, K(0, 5)},
      {"item numbers exhausted", kStaff, {K(0x7FFF)}, K(kNew, kNew), false, {}},
      {"incis exhausted", kSystemStaff, {K(1, 0x7FFF)}, K(1, kNew), false, {}},
      {"unmarked key taken", kGroup, {K(0, 1)}, K(0, 1), false, {}},
      {"unmarked inci leaves a gap", kSystemStaff, {K(1, 0)}, K(1, 2), false, {}},
      // An inci given beside a mark is held to the same rule: no record behind a gap.
      {"new item at inci 0", kSystemStaff, {K(1, 0)}, K(kNew, 0), true, K(2, 0)},
      {"new item at an inci past 0", kSystemStaff, {K(1, 0)}, K(kNew, 3), false, {}},
      {"new detail at a cell inci past 0", kMidi, {}, K(3, kNew, 2), false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RecordStore store = Make(row.tag, row.existing);
    const RecordStore before = store;
    DataKey key = row.in;
    const uint8_t data[3] = {7, 8, 9};
    ASSERT_EQ(store.Create(row.tag, &key, data, 3), row.ok);
    if (!row.ok) {
      EXPECT_EQ(Str(key), Str(row.in));
      EXPECT_TRUE(store == before);
      continue;
    }
    EXPECT_EQ(Str(key), Str(row.out));
    EXPECT_EQ(store.Count(), row.existing.size() + 1);
    const RecordStore::Bytes* bytes = store.Find(row.tag, row.out);
    EXPECT_TRUE(bytes && *bytes == RecordStore::Bytes({7, 8, 9}));
  }
}

TEST(RecordStoreCreate, RefusesBadBlocks) {
  RecordStore store;
  DataKey key = K(kNew, kNew);
  const uint8_t data[1] = {1};
  EXPECT_FALSE(store.Create(kStaff, &key, data, -1));
  EXPECT_FALSE(store.Create(kStaff, &key, nullptr, 1));
  EXPECT_FALSE(store.Save(kStaff, K(1), data, -1));
  EXPECT_FALSE(store.Save(kStaff, K(1), nullptr, 1));
  EXPECT_EQ(store.Count(), 0u);
  EXPECT_EQ(Str(key), Str(K(kNew, kNew)));
}

TEST(RecordStoreDelete, ClosesTheGapOnlyInInciLists) {
  struct Row {
    const char* name;
    uint32_t tag;
    std::vector<DataKey> existing;
    DataKey gone;
    std::vector<std::string> after;
  };
  const Row rows[] = {
      {"later incis move down, other items stay",
       kSystemStaff,
       {K(1, 0), K(1, 1), K(1, 2), K(1, 3), K(2, 0), K(2, 1)},
       K(1, 1),
       {"1,0,0,0=0", "1,1,0,0=2", "1,2,0,0=3", "2,0,0,0=4", "2,1,0,0=5"}},
      {"cell incis move down within the cell",
       kMidi,
       {K(3, 7, 0), K(3, 7, 1), K(3, 7, 2), K(3, 8, 0)},
       K(3, 7, 0),
       {"3,7,0,0=1", "3,7,1,0=2", "3,8,0,0=3"}},
      {"group numbers are kept",
       kGroup,
       {K(0, 1), K(0, 2), K(0, 3)},
       K(0, 2),
       {"0,1,0,0=0", "0,3,0,0=2"}},
      {"preference side slots are kept",
       kStaffNamePrefs,
       {K(kSide, 0), K(kSide, 1), K(kSide, 2)},
       K(kSide, 1),
       {"65534,0,0,0=0", "65534,2,0,0=2"}},
      {"inci still occupied: nothing moves",
       kSystemStaff,
       {K(1, 0), K(1, 0, 1), K(1, 1)},
       K(1, 0),
       {"1,0,1,0=1", "1,1,0,0=2"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RecordStore store = Make(row.tag, row.existing);
    EXPECT_TRUE(store.Delete(row.tag, row.gone));
    EXPECT_EQ(Dump(store, row.tag), row.after);
    EXPECT_FALSE(store.Delete(row.tag, K(999, 999)));
  }
}

// Deleting an item's incis from the highest down, as the collections do, reaches each
// record under the number it was counted with; from the lowest up, inci 0 is always next.
TEST(RecordStoreDelete, DeletesAWholeListFromEitherEnd) {
  for (bool fromTop : {true, false}) {
    SCOPED_TRACE(fromTop ? "from the top" : "from the bottom");
    RecordStore store = Make(kSystemStaff, {K(1, 0), K(1, 1), K(1, 2), K(1, 3), K(2, 0)});
    const RecordStore snapshot = store;
    int32_t size = 0;
    uint16_t count = 0;
    while (store.Load(kSystemStaff, K(1, count), nullptr, &size)) ++count;
    ASSERT_EQ(count, 4);
    for (uint16_t i = 0; i < count; ++i) {
      const DataKey key = K(1, fromTop ? static_cast<uint16_t>(count - 1 - i) : 0);
      ASSERT_TRUE(store.Load(kSystemStaff, key, nullptr, &size));
      ASSERT_TRUE(store.Delete(kSystemStaff, key));
    }
    EXPECT_EQ(Dump(store, kSystemStaff), std::vector<std::string>({"2,0,0,0=4"}));
    // The copy taken before is an independent snapshot; an emptied tag vanishes.
    EXPECT_EQ(snapshot.Count(), 5u);
    ASSERT_TRUE(store.Delete(kSystemStaff, K(2, 0)));
    EXPECT_EQ(store.Tags(), std::vector<uint32_t>());
    EXPECT_TRUE(store == RecordStore());
  }
}

TEST(RecordStoreSave, ReplacesOrAppendsButLeavesNoGap) {
  struct Row {
    const char* name;
    uint32_t tag;
    DataKey key;
    bool stored;
  };
  // Each row starts from incis 0 and 1 under item 4 of each tag.
  const Row rows[] = {
      {"replace an inci", kSystemStaff, K(4, 1), true},
      {"one past the last inci", kSystemStaff, K(4, 2), true},
      {"first inci of a new item", kSystemStaff, K(5, 0), true},
      {"beyond one past the last", kSystemStaff, K(4, 3), false},
      {"negative inci", kSystemStaff, K(4, 0xFFFF), false},
      {"cell inci beyond", kChord, K(4, 1, 3), false},
      {"preference side slot anywhere", kStaffNamePrefs, K(kSide, 7), true},
      {"detail number anywhere", kGroup, K(4, 9), true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RecordStore store = row.tag == kChord ? Make(kChord, {K(4, 1, 0), K(4, 1, 1)})
                                          : Make(row.tag, {K(4, 0), K(4, 1)});
    const RecordStore before = store;
    const uint8_t data[2] = {5, 6};
    EXPECT_EQ(store.Save(row.tag, row.key, data, 2), row.stored);
    const RecordStore::Bytes* bytes = store.Find(row.tag, row.key);
    EXPECT_EQ(bytes && *bytes == RecordStore::Bytes({5, 6}), row.stored);
    EXPECT_TRUE(row.stored || store == before);
  }
}

TEST(RecordStoreStep, NextAndPreviousFollowUnsignedKeyOrder) {
  const RecordStore store =
      Make(kGroup, {K(0, 1), K(0, 2), K(1, 0), K(0x7FFF), K(0x8000), K(0x8000, 0, 0, 1)});
  struct Row {
    const char* name;
    bool next;
    DataKey from;
    bool found;
    DataKey to;
  };
  const Row rows[] = {
      {"next from the zero key", true, K(0), true, K(0, 1)},
      {"next crosses to the next first", true, K(0, 2), true, K(1)},
      {"next from a key without record", true, K(0, 1, 5), true, K(0, 2)},
      {"0x8000 follows 0x7FFF", true, K(0x7FFF), true, K(0x8000)},
      {"extra bytes order last", true, K(0x8000), true, K(0x8000, 0, 0, 1)},
      {"next at the end", true, K(0x8000, 0, 0, 1), false, K(0x8000, 0, 0, 1)},
      {"previous at the start", false, K(0, 1), false, K(0, 1)},
      {"previous crosses back", false, K(1), true, K(0, 2)},
      {"previous from beyond all", false, K(0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF), true,
       K(0x8000, 0, 0, 1)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DataKey key = row.from;
    EXPECT_EQ(row.next ? store.Next(kGroup, &key) : store.Previous(kGroup, &key), row.found);
    EXPECT_EQ(Str(key), Str(row.to));
  }
  DataKey key = K(0);
  EXPECT_FALSE(store.Next(kStaff, &key));
  EXPECT_FALSE(store.Previous(kStaff, &key));
}

TEST(RecordStoreLoad, ReportsAndCopiesWithinTheOfferedSize) {
  RecordStore store;
  store.Put(kRawText, K(1), {1, 2, 3, 4, 5});
  struct Row {
    const char* name;
    bool buffer;
    int32_t offered;
    int32_t reported;
    int copied;
  };
  const Row rows[] = {
      {"null buffer reports the size", false, 0, 5, 0},
      {"short buffer", true, 3, 3, 3},
      {"exact buffer", true, 5, 5, 5},
      {"larger buffer", true, 8, 5, 5},
      {"negative size copies nothing", true, -4, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    uint8_t buffer[8];
    memset(buffer, 0xEE, sizeof buffer);
    int32_t size = row.offered;
    EXPECT_TRUE(store.Load(kRawText, K(1), row.buffer ? buffer : nullptr, &size));
    EXPECT_EQ(size, row.reported);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(buffer[i], i < row.copied ? i + 1 : 0xEE) << i;
  }
  int32_t size = 9;
  EXPECT_FALSE(store.Load(kRawText, K(2), nullptr, &size));
  EXPECT_EQ(size, 9);
  EXPECT_FALSE(store.Load(kRawText, K(1), nullptr, nullptr));
}

}  // namespace
}  // namespace fxthost
