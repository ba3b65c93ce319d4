// What fxthost's report lists as a command's record changes.
#include "host/store/recorddiff.h"

#include <gtest/gtest.h>

#include "bridge/recordbytes.h"

namespace fxthost {
namespace {

constexpr uint32_t kGroup = fxt::MakeTag('S', 'D', 'N', 'G');
constexpr uint32_t kText = fxt::MakeTag('t', 'x', 'b', 'l');

// Every kind of change at once, listed by tag, then key, each with the bytes before and
// after it; a record left as it was is not listed.
TEST(RecordDiff, ListsAddedChangedAndDeletedRecordsInTagAndKeyOrder) {
  RecordStore before, after;
  before.Put(kGroup, DataKey::Of(0, 1), {1, 2});
  before.Put(kGroup, DataKey::Of(0, 2), {3});
  before.Put(kText, DataKey::Of(4), {5});
  after.Put(kGroup, DataKey::Of(0, 1), {1, 9});
  after.Put(kGroup, DataKey::Of(0, 3), {7});
  after.Put(kText, DataKey::Of(4), {5});
  after.Put(kGroup, DataKey::Of(0, 0), {});

  const struct {
    RecordChange::Kind kind;
    uint32_t tag;
    uint16_t second;
    RecordStore::Bytes before, after;
  } expected[] = {
      {RecordChange::Kind::kAdded, kGroup, 0, {}, {}},
      {RecordChange::Kind::kChanged, kGroup, 1, {1, 2}, {1, 9}},
      {RecordChange::Kind::kDeleted, kGroup, 2, {3}, {}},
      {RecordChange::Kind::kAdded, kGroup, 3, {}, {7}},
  };
  const std::vector<RecordChange> changes = DiffRecords(before, after);
  ASSERT_EQ(changes.size(), sizeof expected / sizeof expected[0]);
  for (size_t i = 0; i < changes.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(KindName(changes[i].kind), KindName(expected[i].kind));
    EXPECT_EQ(changes[i].tag, expected[i].tag);
    EXPECT_EQ(changes[i].key, DataKey::Of(0, expected[i].second));
    EXPECT_EQ(changes[i].before, expected[i].before);
    EXPECT_EQ(changes[i].after, expected[i].after);
  }
  EXPECT_TRUE(DiffRecords(after, after).empty());
}

// Tags that only one of the stores holds: their records are all added or all deleted,
// in their place among the other tags.
TEST(RecordDiff, ATagInOneStoreOnlyIsAddedOrDeletedWhole) {
  constexpr uint32_t kFirst = fxt::MakeTag('A', 'A', 'A', 'A');
  constexpr uint32_t kLast = fxt::MakeTag('z', 'z', 'z', 'z');
  RecordStore before, after;
  before.Put(kFirst, DataKey::Of(2), {1});
  before.Put(kFirst, DataKey::Of(3), {2});
  before.Put(kGroup, DataKey::Of(0, 1), {3});
  after.Put(kGroup, DataKey::Of(0, 1), {3});
  after.Put(kLast, DataKey::Of(1), {4});
  after.Put(kLast, DataKey::Of(7), {5});

  const struct {
    RecordChange::Kind kind;
    uint32_t tag;
    uint16_t first;
  } expected[] = {
      {RecordChange::Kind::kDeleted, kFirst, 2},
      {RecordChange::Kind::kDeleted, kFirst, 3},
      {RecordChange::Kind::kAdded, kLast, 1},
      {RecordChange::Kind::kAdded, kLast, 7},
  };
  const std::vector<RecordChange> changes = DiffRecords(before, after);
  ASSERT_EQ(changes.size(), sizeof expected / sizeof expected[0]);
  for (size_t i = 0; i < changes.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(KindName(changes[i].kind), KindName(expected[i].kind));
    EXPECT_EQ(changes[i].tag, expected[i].tag);
    EXPECT_EQ(changes[i].key, DataKey::Of(expected[i].first));
  }
  EXPECT_EQ(DiffRecords(after, before).size(), changes.size());
}

// A store against its own snapshot, as a command's report compares them: the records
// the two still share are passed over, and every change is listed all the same, in a
// shard changed in place, one emptied, and one new.
TEST(RecordDiff, ListsTheChangesSinceASnapshot) {
  RecordStore before;
  for (uint16_t n = 1; n <= 600; ++n) before.Put(kText, DataKey::Of(n), {static_cast<uint8_t>(n)});
  RecordStore after = before;
  after.Put(kText, DataKey::Of(300), {0});
  after.Erase(kText, DataKey::Of(5));
  for (uint16_t n = 512; n <= 600; ++n) after.Erase(kText, DataKey::Of(n));
  after.Put(kText, DataKey::Of(1000), {1});

  std::vector<std::pair<const char*, uint16_t>> expected = {{"deleted", 5}, {"changed", 300}};
  for (uint16_t n = 512; n <= 600; ++n) expected.push_back({"deleted", n});
  expected.push_back({"added", 1000});
  const std::vector<RecordChange> changes = DiffRecords(before, after);
  ASSERT_EQ(changes.size(), expected.size());
  for (size_t i = 0; i < changes.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_STREQ(KindName(changes[i].kind), expected[i].first);
    EXPECT_EQ(changes[i].key, DataKey::Of(expected[i].second));
  }
  EXPECT_EQ(DiffRecords(after, before).size(), changes.size());
  EXPECT_TRUE(DiffRecords(before, RecordStore(before)).empty());
}

}  // namespace
}  // namespace fxthost
