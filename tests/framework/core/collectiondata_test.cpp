// The data collections against the emulated host: what they load, and what their
// writing operations leave in the host's records, in which order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/recordbytes.h"
#include "framework/core/collectiondata.h"
#include "framework/core/detaildata.h"
#include "framework/core/otherdata.h"
#include "host/functions/host.h"

namespace {

using fxthost::DataKey;
using fxthost::Fn;

constexpr uint32_t kInciTag = fxt::MakeTag('o', 't', 'Q', 'a');
constexpr uint32_t kOtherInciTag = fxt::MakeTag('o', 't', 'Q', 'b');
constexpr uint32_t kItemTag = fxt::MakeTag('S', 'O', 'Q', 'c');
constexpr uint32_t kDetailTag = fxt::MakeTag('S', 'D', 'Q', 'd');

// Every Save and DeleteData of the test records, as "save 9/0" (first/second).
std::vector<std::string> gOps;

// The records of these tests hold one payload byte; the tag is the custom tag when set.
template <class Kind, uint32_t kTag>
struct Record : Kind {
  int DataSizeLoad() const override { return 4; }
  void* Allocate() override { return bytes; }
  __FCBaseData* CreateObject() const override { return new Record; }
  uint32_t Tag() const override { return this->GetCustomTag() ? this->GetCustomTag() : kTag; }
  bool Save() override {
    Log("save");
    return Kind::Save();
  }
  bool DeleteData() override {
    Log("delete");
    return Kind::DeleteData();
  }
  void Log(const char* op) {
    gOps.push_back(std::string(op) + " " + std::to_string(this->_GetKeyFirst()) + "/" +
                   std::to_string(this->_GetKeySecond()));
  }
  int Payload() const { return static_cast<const uint8_t*>(this->_GetDataBlock())[0]; }

  uint8_t bytes[4] = {};
};
using InciRecord = Record<__FCInciOther, kInciTag>;
using ItemRecord = Record<__FCNoInciOther, kItemTag>;
using DetailRecord = Record<__FCNoInciDetail, kDetailTag>;

template <class Base, class Element>
struct Records : Base {
  __FCBaseData* CreateElement() override { return new Element; }
  std::string Payloads() const {
    std::string out;
    for (int i = 0; i < this->GetCount(); ++i) {
      auto* e = static_cast<Element*>(this->GetItemAt(i));
      out += (i ? " " : "") + (e ? std::to_string(e->Payload()) : std::string("-"));
    }
    return out;
  }
};
using IncisCollection = Records<__FCCollectionInciOther, InciRecord>;
using ItemsCollection = Records<__FCCollectionNoInciOther, ItemRecord>;
using DetailsCollection = Records<__FCCollectionNoInciDetail, DetailRecord>;

class DataCollection : public ::testing::Test {
 protected:
  void SetUp() override {
    host.NewDocument();
    gOps.clear();
  }
  fxthost::RecordStore& Store() { return host.CurrentDocument()->records; }
  // Item's list: payload base + 0, base + 1, ... at incis 0, 1, ...
  void PutList(uint16_t item, int count, int base, uint32_t tag = kInciTag) {
    for (int i = 0; i < count; ++i)
      Store().Put(tag, DataKey{item, static_cast<uint16_t>(i), 0, 0},
                  {static_cast<uint8_t>(base + i)});
  }
  // The payloads of item's list as the host holds it.
  std::string List(uint16_t item, uint32_t tag = kInciTag) {
    std::string out;
    for (uint16_t i = 0;; ++i) {
      const fxthost::RecordStore::Bytes* bytes = Store().Find(tag, DataKey{item, i, 0, 0});
      if (!bytes) return out;
      out += (i ? " " : "") + std::to_string((*bytes)[0]);
    }
  }
  size_t Calls(Fn fn) const { return host.CallsTo(fn).size(); }

  fxthost::Host host;
};

TEST_F(DataCollection, LoadAllForItemLoadsTheItemsIncisInOrder) {
  PutList(7, 3, 70);
  PutList(8, 2, 80);
  IncisCollection collection;
  collection.LoadAllForItem(8);
  EXPECT_EQ("80 81", collection.Payloads());
  collection.LoadAllForItem(7);  // replaces the previous elements
  EXPECT_EQ("70 71 72", collection.Payloads());
  collection.InsertItemAt(nullptr, 0);
  EXPECT_EQ(collection.GetItemAt(2), collection.FindItemNo(7, 1));
  EXPECT_EQ(nullptr, collection.FindItemNo(7, 3));
  EXPECT_EQ(nullptr, collection.FindItemNo(8, 0));
  collection.LoadAllForItem(5);
  EXPECT_EQ(0, collection.GetCount());
}

TEST_F(DataCollection, DeleteDataForItemDeletesFromTheHighestInciDown) {
  struct Row {
    int records;
    std::vector<std::string> ops;
  };
  // host-records.md, Deleting: a list deleted from its highest inci down finds every record
  // under the number it was counted with.
  const Row rows[] = {
      {3, {"delete 9/2", "delete 9/1", "delete 9/0"}},
      {1, {"delete 9/0"}},
      {0, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.records);
    Store().Clear();
    gOps.clear();
    PutList(7, 2, 70);
    PutList(9, row.records, 90);
    IncisCollection collection;
    collection.LoadAllForItem(7);
    gOps.clear();
    EXPECT_TRUE(collection.DeleteDataForItem(9));
    EXPECT_EQ(row.ops, gOps);
    EXPECT_EQ("", List(9));
    EXPECT_EQ("70 71", List(7));
    EXPECT_EQ("70 71", collection.Payloads()) << "the elements are not touched";
  }
}

TEST_F(DataCollection, SaveAllForItemMakesTheItemHoldExactlyTheElements) {
  PutList(7, 3, 70);
  PutList(9, 5, 90);
  IncisCollection collection;
  collection.LoadAllForItem(7);
  // Move the first element to the end: the host gets index order.
  __FCBase* first = collection.GetItemAt(0);
  collection.DeleteItemAt(0);
  collection.Add(first);
  collection.Add(nullptr);
  EXPECT_TRUE(collection.SaveAllForItem(9));
  EXPECT_EQ("71 72 70", List(9));
  EXPECT_EQ("70 71 72", List(7));
  auto* last = static_cast<InciRecord*>(collection.GetItemAt(2));
  EXPECT_EQ(9, last->_GetKeyFirst()) << "the key names the new record";
  EXPECT_EQ(2, last->_GetKeySecond());

  IncisCollection empty;
  EXPECT_TRUE(empty.SaveAllForItem(9));
  EXPECT_EQ("", List(9));
  EXPECT_EQ(3u, Calls(Fn::FX_CreateEData));
}

// An element that holds no record can never be created; the item's records must not be
// deleted for a write that cannot succeed.
TEST_F(DataCollection, SaveAllForItemRefusesAnUnwritableElementBeforeDeleting) {
  PutList(7, 2, 70);
  PutList(9, 3, 90);
  IncisCollection collection;
  collection.LoadAllForItem(7);
  collection.Add(new InciRecord);
  EXPECT_FALSE(collection.SaveAllForItem(9));
  EXPECT_EQ(0u, Calls(Fn::FX_DeleteEData));
  EXPECT_EQ(0u, Calls(Fn::FX_CreateEData));
  EXPECT_EQ("90 91 92", List(9));
}

TEST_F(DataCollection, CustomTagReachesEveryElementLoadedAndSaved) {
  PutList(7, 2, 70, kOtherInciTag);
  IncisCollection collection;
  collection.SetCustomTag(kOtherInciTag);
  collection.LoadAllForItem(7);
  ASSERT_EQ(2, collection.GetCount());
  for (int i = 0; i < 2; ++i) {
    auto* element = static_cast<InciRecord*>(collection.GetItemAt(i));
    EXPECT_EQ(kOtherInciTag, element->GetCustomTag());
    element->SetCustomTag(0);
  }
  EXPECT_TRUE(collection.SaveAllForItem(8));
  EXPECT_EQ("70 71", List(8, kOtherInciTag));
  EXPECT_EQ("", List(8, kInciTag));
}

TEST_F(DataCollection, SaveDataAsOverwritesThenDeletesTheSurplusFromTheTop) {
  struct Row {
    int source;
    int destination;
    bool ok;
    std::vector<std::string> ops;
    const char* after;
  };
  // host-records.md, Saving: a longer list copied over a shorter one saves the first missing
  // inci, then the next.
  const Row rows[] = {
      {3, 5, true, {"save 9/0", "save 9/1", "save 9/2", "delete 9/4", "delete 9/3"}, "70 71 72"},
      {3, 3, true, {"save 9/0", "save 9/1", "save 9/2"}, "70 71 72"},
      {3, 1, true, {"save 9/0", "save 9/1", "save 9/2"}, "70 71 72"},  // appends
      {2, 0, true, {"save 9/0", "save 9/1"}, "70 71"},
      {0, 3, false, {}, "90 91 92"},  // no source: the destination is left alone
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.source << " over " << row.destination);
    Store().Clear();
    PutList(7, row.source, 70);
    PutList(9, row.destination, 90);
    const std::string source = List(7);
    gOps.clear();
    IncisCollection collection;
    EXPECT_EQ(row.ok, collection.SaveDataAs(7, 9));
    EXPECT_EQ(row.ops, gOps);
    EXPECT_EQ(row.after, List(9));
    EXPECT_EQ(source, List(7));
  }
}

// What was deleted, created or overwritten before the failure stays so.
TEST_F(DataCollection, WritesStopAtTheFirstHostFailure) {
  enum Op { kDelete, kSaveAll, kSaveAs };
  struct Row {
    Op op;
    Fn fails;
    const char* after;
  };
  const Row rows[] = {
      {kDelete, Fn::FX_DeleteEData, "90 91 92 93"},
      {kSaveAll, Fn::FX_CreateEData, "70"},
      {kSaveAs, Fn::FX_SaveEData, "70 91 92 93 94"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.op);
    Store().Clear();
    PutList(7, 3, 70);
    PutList(9, 5, 90);
    IncisCollection collection;
    collection.LoadAllForItem(7);
    host.FailCall(row.fails, 2);
    bool ok = row.op == kDelete    ? collection.DeleteDataForItem(9)
              : row.op == kSaveAll ? collection.SaveAllForItem(9)
                                   : collection.SaveDataAs(7, 9);
    EXPECT_FALSE(ok);
    EXPECT_EQ(row.after, List(9));
  }
}

TEST_F(DataCollection, LoadAllWalksFromItemOneAndIsEmptyWithoutIt) {
  for (uint16_t item : {1, 2, 5})
    Store().Put(kItemTag, DataKey{item, 0, 0, 0}, {static_cast<uint8_t>(item * 10)});
  ItemsCollection items;
  items.LoadAll();
  EXPECT_EQ("10 20 50", items.Payloads());
  items.Add(nullptr);
  EXPECT_EQ(items.GetItemAt(2), items.FindItemNo(5));
  EXPECT_EQ(nullptr, items.FindItemNo(3));
  Store().Erase(kItemTag, DataKey{1, 0, 0, 0});
  items.LoadAll();
  EXPECT_EQ(0, items.GetCount()) << "the earlier elements are gone too";
}

TEST_F(DataCollection, DetailLoadAllForItemWalksSecondNumbersWithoutWrapping) {
  const uint16_t keys[][2] = {{0, 0}, {0, 1}, {0, 2}, {0, 4}, {1, 3}, {0, 0xFFFF}};
  for (const auto& key : keys)
    Store().Put(kDetailTag, DataKey{key[0], key[1], 0, 0},
                {static_cast<uint8_t>(key[0] * 100 + (key[1] & 0x3F))});
  struct Row {
    uint16_t first;
    uint16_t second;
    const char* loaded;
  };
  const Row rows[] = {
      {0, 1, "1 2"}, {0, 0, "0 1 2"},   {0, 4, "4"}, {0, 3, ""},
      {1, 3, "103"}, {0, 0xFFFF, "63"},  // stops after 0xFFFF instead of going on at 0
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.first << "/" << row.second);
    DetailsCollection details;
    details.LoadAllForItem(row.first, row.second);
    EXPECT_EQ(row.loaded, details.Payloads());
  }
}

}  // namespace
