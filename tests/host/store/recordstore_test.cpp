// The record store that keeps each document's records: keys and their order, the numbers a
// create assigns, the gapless inci lists that saves keep and deletes close, and loads
// within the offered size. The rules are those of docs/host-records.md.
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
  // clang-format off
  const Row rows[] = {
      {"new item number after the largest (host-records.md: Next number)",
       kStaff, {K(1), K(3)}, K(kNew, kNew), true, K(4)},
      {"first item number is 1 (host-records.md: Where numbering starts)",
       kStaff, {}, K(kNew, kNew), true, K(1)},
      {"raw text: first marked only (host-records.md: Creating, new raw text)",
       kRawText, {K(1), K(2)}, K(kNew), true, K(3)},
      {"side records at 0xFFFE do not count (host-records.md: counting only 0 to 0x7FFF)",
       kInstrument, {K(1), K(kSide, 3)}, K(kNew, kNew), true, K(2)},
      {"passed-through bytes kept (host-records.md: extra bytes are kept as passed)",
       kStaff, {K(2)}, K(kNew, kNew, 0, 9), true, K(3, 0, 0, 9)},
      {"next inci (host-records.md: Next number)",
       kSystemStaff, {K(1, 0), K(1, 1), K(2, 0)}, K(1, kNew), true, K(1, 2)},
      {"first inci is 0 (host-records.md: Where numbering starts)",
       kSystemStaff, {K(4, 0)}, K(5, kNew), true, K(5, 0)},
      {"next detail number (host-records.md: Next number)",
       kGroup, {K(0, 1), K(0, 2), K(1, 9)}, K(0, kNew), true, K(0, 3)},
      {"first detail number is 1 (host-records.md: Where numbering starts)",
       kGroup, {K(1, 9)}, K(0, kNew), true, K(0, 1)},
      {"next cell inci (host-records.md: Next number)",
       kChord, {K(3, 7, 0), K(3, 7, 1), K(3, 8)}, K(3, 7, kNew), true, K(3, 7, 2)},
      {"first cell inci is 0 (host-records.md: Where numbering starts)",
       kMidi, {K(3, 6, 0)}, K(3, 7, kNew), true, K(3, 7, 0)},
      {"unmarked key stored as given (host-records.md: Creating, no mark)",
       kGroup, {K(0, 1)}, K(0, 5), true, K(0, 5)},
      {"item numbers exhausted (host-records.md: would pass 0x7FFF, the create fails)",
       kStaff, {K(0x7FFF)}, K(kNew, kNew), false, {}},
      {"incis exhausted (host-records.md: would pass 0x7FFF, the create fails)",
       kSystemStaff, {K(1, 0x7FFF)}, K(1, kNew), false, {}},
      {"unmarked key taken (host-records.md: a key with no mark names an existing record)",
       kGroup, {K(0, 1)}, K(0, 1), false, {}},
      {"unmarked inci leaves a gap (host-records.md: would leave a gap in an inci list)",
       kSystemStaff, {K(1, 0)}, K(1, 2), false, {}},
      // An inci given beside a mark is held to the same rule: no record behind a gap.
      {"new item at inci 0 (host-records.md: marked fields filled in, the others as passed)",
       kSystemStaff, {K(1, 0)}, K(kNew, 0), true, K(2, 0)},
      {"new item at an inci past 0 (host-records.md: a new item whose inci is passed as 3)",
       kSystemStaff, {K(1, 0)}, K(kNew, 3), false, {}},
      {"new detail at a cell inci past 0 (host-records.md: would leave a gap in an inci list)",
       kMidi, {}, K(3, kNew, 2), false, {}},
  };
  // clang-format on
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
      {"later incis move down, other items stay (host-records.md: The gap closes)",
       kSystemStaff,
       {K(1, 0), K(1, 1), K(1, 2), K(1, 3), K(2, 0), K(2, 1)},
       K(1, 1),
       {"1,0,0,0=0", "1,1,0,0=2", "1,2,0,0=3", "2,0,0,0=4", "2,1,0,0=5"}},
      {"cell incis move down within the cell (host-records.md: The gap closes)",
       kMidi,
       {K(3, 7, 0), K(3, 7, 1), K(3, 7, 2), K(3, 8, 0)},
       K(3, 7, 0),
       {"3,7,0,0=1", "3,7,1,0=2", "3,8,0,0=3"}},
      {"group numbers are kept (host-records.md: Non-inci records never move)",
       kGroup,
       {K(0, 1), K(0, 2), K(0, 3)},
       K(0, 2),
       {"0,1,0,0=0", "0,3,0,0=2"}},
      {"preference side slots are kept (host-records.md: fixed slots, not lists)",
       kStaffNamePrefs,
       {K(kSide, 0), K(kSide, 1), K(kSide, 2)},
       K(kSide, 1),
       {"65534,0,0,0=0", "65534,2,0,0=2"}},
      {"inci still occupied: nothing moves (host-records.md: no other record remains at that inci)",
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
    SCOPED_TRACE(fromTop
                     ? "from the top (host-records.md: Deleting a list from its highest inci down)"
                     : "from the bottom (host-records.md: Deleting inci 0 over and over)");
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
  // clang-format off
  const Row rows[] = {
      {"replace an inci (host-records.md: Saving, Save replaces it)", kSystemStaff, K(4, 1), true},
      {"one past the last inci (host-records.md: appends to the list)",
       kSystemStaff, K(4, 2), true},
      {"first inci of a new item (host-records.md: at most one past the last inci)",
       kSystemStaff, K(5, 0), true},
      {"beyond one past the last (host-records.md: Saving further out is refused)",
       kSystemStaff, K(4, 3), false},
      {"negative inci (host-records.md: an inci of 0x8000 or more is refused)",
       kSystemStaff, K(4, 0xFFFF), false},
      {"cell inci beyond (host-records.md: Saving further out is refused)",
       kChord, K(4, 1, 3), false},
      {"preference side slot anywhere (host-records.md: Saving, stored under any key)",
       kStaffNamePrefs, K(kSide, 7), true},
      {"detail number anywhere (host-records.md: Saving, stored under any key)",
       kGroup, K(4, 9), true},
  };
  // clang-format on
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
  // clang-format off
  const Row rows[] = {
      {"next from the zero key (host-records.md: walks start from an all-zero key)",
       true, K(0), true, K(0, 1)},
      {"next crosses to the next first (host-records.md: Key order)", true, K(0, 2), true, K(1)},
      {"next from a key without record (host-records.md: does not have to name a record)",
       true, K(0, 1, 5), true, K(0, 2)},
      {"0x8000 follows 0x7FFF (host-records.md: compared as an unsigned 16-bit number)",
       true, K(0x7FFF), true, K(0x8000)},
      {"extra bytes order last (host-records.md: first, then second, then third, then extra)",
       true, K(0x8000), true, K(0x8000, 0, 0, 1)},
      {"next at the end (host-records.md: the key is left unchanged)",
       true, K(0x8000, 0, 0, 1), false, K(0x8000, 0, 0, 1)},
      {"previous at the start (host-records.md: the key is left unchanged)",
       false, K(0, 1), false, K(0, 1)},
      {"previous crosses back (host-records.md: last record that is strictly smaller)",
       false, K(1), true, K(0, 2)},
      {"previous from beyond all (host-records.md: last record that is strictly smaller)",
       false, K(0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF), true, K(0x8000, 0, 0, 1)},
  };
  // clang-format on
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

// A walk from a key: from the first record at or after it, in key order, for as long as
// the visitor asks for more; nothing of another tag.
TEST(RecordStoreStep, AWalkFromAKeyStopsWhenTheVisitorDoes) {
  RecordStore store = Make(kGroup, {K(0, 1), K(0, 2), K(1, 0), K(0x8000), K(0x8000, 0, 0, 1)});
  store.Put(kStaff, K(0, 5), {});
  const struct {
    const char* name;
    DataKey from;
    size_t most;  // records taken before the visitor stops
    std::vector<std::string> visited;
  } rows[] = {
      {"from a record",
       K(0, 2),
       9,
       {Str(K(0, 2)), Str(K(1)), Str(K(0x8000)), Str(K(0x8000, 0, 0, 1))}},
      {"from between records",
       K(0, 1, 5),
       9,
       {Str(K(0, 2)), Str(K(1)), Str(K(0x8000)), Str(K(0x8000, 0, 0, 1))}},
      {"stopped by the visitor", K(0), 2, {Str(K(0, 1)), Str(K(0, 2))}},
      {"past the last record", K(0x8000, 0, 0, 2), 9, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> visited;
    store.ForEachFrom(kGroup, row.from, [&](const DataKey& key, const RecordStore::Bytes&) {
      visited.push_back(Str(key));
      return visited.size() < row.most;
    });
    EXPECT_EQ(visited, row.visited);
  }
  bool any = false;
  store.ForEachFrom(kChord, K(0),
                    [&](const DataKey&, const RecordStore::Bytes&) { return any = true; });
  EXPECT_FALSE(any);
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
  // clang-format off
  const Row rows[] = {
      {"null buffer reports the size (host-records.md: Loading, null buffer)", false, 0, 5, 0},
      {"short buffer (host-records.md: true, even when the buffer was too short)", true, 3, 3, 3},
      {"exact buffer (host-records.md: copies min(size offered, record size))", true, 5, 5, 5},
      {"larger buffer (host-records.md: past the delivered count are not touched)", true, 8, 5, 5},
      {"negative size copies nothing (host-records.md: a negative size offered counts as 0)",
       true, -4, 0, 0},
  };
  // clang-format on
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
