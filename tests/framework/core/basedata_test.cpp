// The record protocol against the emulated host, with small record classes of the
// tests' own, one per record kind.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/core/basedata.h"
#include "framework/core/collectiondata.h"
#include "framework/core/detaildata.h"
#include "framework/core/otherdata.h"
#include "framework/core/prefsdata.h"
#include "framework/score/cell.h"
#include "framework/score/group.h"
#include "host/functions/host.h"
#include "host/functions/words.h"

namespace {

using fxt::MakeTag;
using fxthost::DataKey;
using fxthost::Fn;
using fxthost::Host;

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kItemTag = MakeTag('S', 'O', 'Z', 'Z');    // item records, no inci
constexpr uint32_t kInciTag = MakeTag('o', 't', 'Z', 'Z');    // inci in the second number
constexpr uint32_t kDetailTag = MakeTag('S', 'D', 'Z', 'Z');  // details, no inci
constexpr uint32_t kCellTag = MakeTag('d', 't', 'Z', 'Z');    // cell details, inci third
constexpr uint32_t kPrefsTag = MakeTag('p', 'f', 'Z', 'Z');
constexpr int kRecord = 8;

// The fixed-size pattern: the record lives inside the object.
template <class Kind, uint32_t kTag>
class Fixed : public Kind {
 public:
  Fixed() { std::memset(record, 0, sizeof record); }
  int DataSizeLoad() const override { return kRecord; }
  void* Allocate() override { return record; }
  __FCBaseData* CreateObject() const override { return new Fixed; }
  uint32_t Tag() const override { return kTag; }
  void CloneMemoryFrom(__FCBaseData* source) override {
    std::memcpy(record, static_cast<Fixed*>(source)->record, sizeof record);
    this->_SetLoadedSize(kRecord);
    this->_SetDataBlock(record);
  }
  bool LoadFirst() override { return Kind::LoadFirst(); }
  // Fills the record and marks it ready to be created without a load.
  void Prepare(uint8_t fill) {
    std::memset(record, fill, sizeof record);
    this->_SetDataBlock(record);
    this->_SetLoadedSize(kRecord);
  }
  uint8_t record[kRecord];
};

// The kinds whose LoadFirst is abstract get one for the tests.
class OtherBase : public __FCOther {
 public:
  bool LoadFirst() override { return false; }
};
class DetailBase : public __FCDetail {
 public:
  bool LoadFirst() override { return false; }
};
class InciBase : public __FCInci {
 public:
  bool LoadFirst() override { return false; }
};
class GlobalsBase : public __FCGlobals {
 public:
  bool LoadFirst() override { return false; }
};

using Item = Fixed<__FCNoInciOther, kItemTag>;
using InciItem = Fixed<__FCInciOther, kInciTag>;
using Detail = Fixed<__FCNoInciDetail, kDetailTag>;
using CellRecord = Fixed<__FCCellDetail, kCellTag>;
using SingleCellRecord = Fixed<__FCNoInciCellDetail, kCellTag>;
using Prefs = Fixed<__FCPrefsBase, kPrefsTag>;

// A record of varying size on the heap; the host says how big it is.
class Dynamic : public __FCNoInciOther {
 public:
  int DataSizeLoad() const override {
    int32_t size = 0;
    uint8_t key[8];
    std::memcpy(key, _GetDataKey(), 8);
    FX_LoadEData(static_cast<int32_t>(Tag()), key, nullptr, &size, 0x11000000);
    return size;
  }
  void* Allocate() override { return _AllocateHeapBlock(DataSizeLoad()); }
  bool IsDynamicSize() const override { return true; }
  __FCBaseData* CreateObject() const override { return new Dynamic; }
  uint32_t Tag() const override { return kItemTag; }
};

struct Document {
  Host host;
  fxthost::RecordStore& store;
  Document() : store(host.NewDocument().records) {}
};

std::string Key(const __FCBaseData& object) {
  return std::to_string(object._GetKeyFirst()) + "," + std::to_string(object._GetKeySecond()) +
         "," + std::to_string(object._GetKeyThird());
}

std::string Key(uint16_t a, uint16_t b, uint16_t c) {
  return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c);
}

TEST(RecordKinds, ClassNamesAsDocumented) {
  Item item;
  InciItem inci;
  Detail detail;
  CellRecord cell;
  SingleCellRecord single;
  Prefs prefs;
  Fixed<OtherBase, kItemTag> other;
  Fixed<DetailBase, kDetailTag> detailBase;
  Fixed<InciBase, kItemTag> inciBase;
  Fixed<GlobalsBase, kItemTag> globals;
  struct Row {
    const __FCBase* object;
    const char* name;
  };
  const Row rows[] = {
      {&item, "__FCNoInciOther"},        {&inci, "__FCOther"},          {&other, "__FCOther"},
      {&detail, "__FCBaseData"},         {&detailBase, "__FCBaseData"}, {&cell, "__FCCellDetail"},
      {&single, "__FCNoInciCellDetail"}, {&prefs, "__FCBaseData"},      {&inciBase, "__FCBaseData"},
      {&globals, "__FCBaseData"},
  };
  for (const Row& row : rows) EXPECT_STREQ(row.object->ClassName(), row.name);
}

// Operations that cannot work on an empty object, or that a kind does not offer, answer
// false without reaching the host.
TEST(RecordProtocol, RefusalsMakeNoHostCall) {
  struct Row {
    const char* name;
    bool (*op)();
  };
  const Row rows[] = {
      {"Save, empty",
       [] {
         Item o;
         return o.Save();
       }},
      {"SaveAs, empty",
       [] {
         Item o;
         return o.SaveAs(2);
       }},
      {"no-inci SaveNew, empty",
       [] {
         Item o;
         return o.SaveNew();
       }},
      {"inci SaveNew, empty",
       [] {
         InciItem o;
         return o.SaveNew(5);
       }},
      {"detail SaveNew, empty",
       [] {
         Detail o;
         return o.SaveNew(3);
       }},
      {"inci LoadFirst",
       [] {
         InciItem o;
         return o.LoadFirst();
       }},
      {"detail LoadFirst",
       [] {
         Detail o;
         return o.LoadFirst();
       }},
      {"cell LoadFirst, no cell",
       [] {
         CellRecord o;
         return o.LoadFirst();
       }},
      {"cell SaveNew, no cell",
       [] {
         CellRecord o;
         o.Prepare(1);
         return o.SaveNew();
       }},
      {"cell SaveNew, no block (framework-behaviour.md: Creating a cell detail needs a data block)",
       [] {
         FCCell cell(1, 1);
         CellRecord o;
         o.ConnectCell(&cell);
         return o.SaveNew();
       }},
      {"single-cell LoadNext",
       [] {
         SingleCellRecord o;
         return o.LoadNext();
       }},
      {"single-cell SaveNew",
       [] {
         FCCell cell(1, 1);
         SingleCellRecord o;
         o.ConnectCell(&cell);
         o.Prepare(1);
         return o.SaveNew();
       }},
      {"Save after a failed load",
       [] {
         Item o;
         o.Load(9);
         return o.Save();
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc;
    EXPECT_FALSE(row.op());
    for (const fxthost::Call& call : doc.host.Calls())
      EXPECT_EQ(call.fn, Fn::FX_LoadEData) << "only the failed load reaches the host";
    EXPECT_TRUE(doc.host.CallsTo(Fn::FX_SaveEData).empty());
    EXPECT_TRUE(doc.host.CallsTo(Fn::FX_CreateEData).empty());
  }
}

TEST(RecordProtocol, DeleteOfEmptyObjectCallsHostWithZeroKey) {
  Document doc;
  doc.store.Put(kItemTag, DataKey{0, 0, 0, 0}, Bytes{1});
  Item item;
  EXPECT_TRUE(item.DeleteData());
  std::vector<fxthost::Call> calls = doc.host.CallsTo(Fn::FX_DeleteEData);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(fxthost::U32(calls[0].words[0]), kItemTag);
  EXPECT_EQ(calls[0].words[1], reinterpret_cast<uintptr_t>(item._GetDataKey()));
  EXPECT_EQ(calls[0].words[2], 0x11000000u);
  EXPECT_EQ(doc.store.Count(kItemTag), 0u);
}

// Empty, loaded, changed and saved, failed load, created, deleted and created again.
TEST(RecordProtocol, ObjectStatesAgainstHost) {
  Document doc;
  doc.store.Put(kItemTag, DataKey{0, 0, 0, 0}, Bytes(8, 0xA0));
  doc.store.Put(kItemTag, DataKey{1, 0, 0, 0}, Bytes(8, 0xA1));
  doc.store.Put(kItemTag, DataKey{2, 0, 0, 0}, Bytes(6, 0xA2));  // shorter than offered

  Item item;
  EXPECT_EQ(item._GetDataBlock(), nullptr);
  EXPECT_EQ(item._GetLoadedSize(), 0);

  // LoadFirst is item 1, not 0.
  ASSERT_TRUE(item.LoadFirst());
  EXPECT_EQ(item.GetItemNo(), 1);
  EXPECT_EQ(item.record[0], 0xA1);

  // Loaded: the loaded size is what the host delivered.
  ASSERT_TRUE(item.Load(2));
  EXPECT_EQ(item._GetLoadedSize(), 6);
  EXPECT_EQ(item._GetDataBlock(), item.record);

  // Changed, then saved back under its key.
  item.record[0] = 0x5A;
  ASSERT_TRUE(item.Save());
  EXPECT_EQ(*doc.store.Find(kItemTag, DataKey{2, 0, 0, 0}),
            Bytes({0x5A, 0xA2, 0xA2, 0xA2, 0xA2, 0xA2}));

  // Failed load: size 0, block kept, saving refused.
  EXPECT_FALSE(item.Load(9));
  EXPECT_EQ(item._GetLoadedSize(), 0);
  EXPECT_EQ(item._GetDataBlock(), item.record);
  EXPECT_FALSE(item.Save());

  // Created from prepared bytes under a number the host assigns.
  item.Prepare(0x77);
  ASSERT_TRUE(item.SaveNew());
  EXPECT_EQ(item.GetItemNo(), 3);
  EXPECT_EQ(*doc.store.Find(kItemTag, DataKey{3, 0, 0, 0}), Bytes(8, 0x77));

  // Deleted: bytes and key stay, and the record can be created again.
  ASSERT_TRUE(item.DeleteData());
  EXPECT_FALSE(doc.store.Contains(kItemTag, DataKey{3, 0, 0, 0}));
  EXPECT_EQ(item.GetItemNo(), 3);
  EXPECT_EQ(item._GetLoadedSize(), kRecord);
  ASSERT_TRUE(item.SaveNew());
  EXPECT_EQ(item.GetItemNo(), 3) << "the freed top number is given out again";

  // SaveAs writes under another number.
  ASSERT_TRUE(item.SaveAs(10));
  EXPECT_TRUE(doc.store.Contains(kItemTag, DataKey{10, 0, 0, 0}));
}

// Each creating operation: the key the host receives (seen by refusing the call, which
// leaves the key as sent) and the key that comes back.
TEST(RecordProtocol, CreatingOperationsMarkAssignedNumbers) {
  struct Row {
    const char* name;
    uint32_t tag;
    std::vector<DataKey> existing;
    std::function<std::unique_ptr<__FCBaseData>()> make;
    std::function<bool(__FCBaseData&)> create;
    std::string sent;
    std::string back;
  };
  static FCCell cell(3, 7);
  const std::vector<Row> rows = {
      {"no-inci other (host-records.md: Creating, new item record)",
       kItemTag,
       {{1, 0, 0, 0}, {2, 0, 0, 0}},
       [] {
         auto o = std::make_unique<Item>();
         o->Prepare(1);
         o->_SetKeyThird(0);
         return std::unique_ptr<__FCBaseData>(std::move(o));
       },
       [](__FCBaseData& o) { return static_cast<Item&>(o).SaveNew(); },
       Key(0xFFFF, 0xFFFF, 0),
       Key(3, 0, 0)},
      {"inci other (host-records.md: Creating, new inci of item n)",
       kInciTag,
       {{5, 0, 0, 0}, {5, 1, 0, 0}, {6, 0, 0, 0}},
       [] {
         auto o = std::make_unique<InciItem>();
         o->Prepare(1);
         return std::unique_ptr<__FCBaseData>(std::move(o));
       },
       [](__FCBaseData& o) { return static_cast<InciItem&>(o).SaveNew(5); },
       Key(5, 0xFFFF, 0),
       Key(5, 2, 0)},
      {"no-inci detail (host-records.md: Creating, new detail under n (third 0))",
       kDetailTag,
       {{4, 1, 0, 0}},
       [] {
         auto o = std::make_unique<Detail>();
         o->Prepare(1);
         o->_SetKeyThird(9);
         return std::unique_ptr<__FCBaseData>(std::move(o));
       },
       [](__FCBaseData& o) { return static_cast<Detail&>(o).SaveNew(4); },
       Key(4, 0xFFFF, 0),
       Key(4, 2, 0)},
      {"cell detail, never loaded, its record as the block (host-records.md: Creating)",
       kCellTag,
       {{7, 3, 0, 0}},
       [] {
         auto o = std::make_unique<CellRecord>();
         o->ConnectCell(&cell);
         o->_SetDataBlock(o->record);
         return std::unique_ptr<__FCBaseData>(std::move(o));
       },
       [](__FCBaseData& o) { return static_cast<CellRecord&>(o).SaveNew(); },
       Key(7, 3, 0xFFFF),
       Key(7, 3, 1)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc;
    for (const DataKey& key : row.existing) doc.store.Put(row.tag, key, Bytes(8, 0));
    std::unique_ptr<__FCBaseData> object = row.make();

    doc.host.FailCall(Fn::FX_CreateEData, 1);
    EXPECT_FALSE(row.create(*object));
    EXPECT_EQ(Key(*object), row.sent);
    std::vector<fxthost::Call> calls = doc.host.CallsTo(Fn::FX_CreateEData);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(fxthost::U32(calls[0].words[0]), row.tag);
    EXPECT_EQ(calls[0].words[1], reinterpret_cast<uintptr_t>(object->_GetDataKey()));
    EXPECT_EQ(calls[0].words[3], static_cast<uint64_t>(object->DataSizeSave()));
    EXPECT_EQ(calls[0].words[4], 0x11000000u);

    EXPECT_TRUE(row.create(*object));
    EXPECT_EQ(Key(*object), row.back);
    EXPECT_EQ(doc.store.Count(row.tag), row.existing.size() + 1);
  }
}

// A walk from a key before the first record steps with the host; at the end the object
// keeps the last record, still savable.
TEST(RecordProtocol, LoadNextWalksInKeyOrder) {
  Document doc;
  for (uint16_t n : {1, 2, 5})
    doc.store.Put(kItemTag, DataKey{n, 0, 0, 0}, Bytes(8, static_cast<uint8_t>(n)));
  Item item;
  std::vector<int> seen;
  while (item.LoadNext()) seen.push_back(item.record[0]);
  EXPECT_EQ(seen, std::vector<int>({1, 2, 5}));
  EXPECT_EQ(item.GetItemNo(), 5);
  EXPECT_EQ(item._GetLoadedSize(), kRecord);
  EXPECT_TRUE(item.Save());
}

TEST(CellDetails, WalkCountsIncisAndKeepsTheLastThatLoaded) {
  Document doc;
  for (uint16_t inci = 0; inci < 3; ++inci)
    doc.store.Put(kCellTag, DataKey{7, 3, inci, 0}, Bytes(8, static_cast<uint8_t>(0x10 + inci)));
  doc.store.Put(kCellTag, DataKey{7, 4, 0, 0}, Bytes(8, 0x99));  // the next cell

  FCCell cell(3, 7);
  CellRecord record;
  record.ConnectCell(&cell);
  EXPECT_EQ(record.GetConnectedCell(), &cell);
  EXPECT_TRUE(record.LoadFirst());
  EXPECT_EQ(record.record[0], 0x10);
  EXPECT_TRUE(record.LoadNext());
  EXPECT_TRUE(record.LoadNext());
  EXPECT_EQ(record.record[0], 0x12);
  EXPECT_FALSE(record.LoadNext());
  EXPECT_EQ(Key(record), Key(7, 3, 2));
  EXPECT_EQ(record.record[0], 0x12) << "the failed step leaves the bytes";
  EXPECT_TRUE(doc.host.CallsTo(Fn::FX_NextEData).empty());

  // A single-record cell kind loads its record but does not walk.
  SingleCellRecord single;
  single.ConnectCell(&cell);
  EXPECT_TRUE(single.LoadFirst());
  EXPECT_FALSE(single.LoadNext());
  EXPECT_EQ(Key(single), Key(7, 3, 0));
}

TEST(RecordProtocol, KindLoadsSetTheirKeyFields) {
  Document doc;
  doc.store.Put(kInciTag, DataKey{4, 2, 0, 0}, Bytes(8, 0x42));
  doc.store.Put(kDetailTag, DataKey{6, 9, 0, 0}, Bytes(8, 0x69));
  doc.store.Put(kPrefsTag, DataKey{1, 0, 0, 0}, Bytes(8, 0x01));
  doc.store.Put(kPrefsTag, DataKey{3, 0, 0, 0}, Bytes(8, 0x03));

  InciItem inci;
  EXPECT_TRUE(inci.Load(4, 2));
  EXPECT_EQ(inci.record[0], 0x42);

  Detail detail;
  detail._SetKeyThird(5);  // a stale third number is reset
  EXPECT_TRUE(detail.Load(6, 9));
  EXPECT_EQ(Key(detail), Key(6, 9, 0));

  Prefs prefs;
  EXPECT_TRUE(prefs.LoadFirst());
  EXPECT_EQ(prefs.record[0], 0x01);
  EXPECT_TRUE(prefs.Load(3));
  EXPECT_EQ(prefs.record[0], 0x03);
}

TEST(PrefsSideRecords, TagKeySizeAndVersion) {
  Document doc;
  const uint32_t tag = MakeTag('o', 't', '8', '3');
  EXPECT_EQ(__FCPrefsBase::_PrefsInciTag('8', '3'), tag);
  Prefs prefs;
  short words[6] = {1, 2, 3, 4, 5, -6};
  ASSERT_TRUE(prefs._SavePrefsInci('8', '3', words, 2));
  const Bytes* stored = doc.store.Find(tag, DataKey{0xFFFE, 2, 0, 0});
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->size(), 12u);
  EXPECT_EQ(fxt::GetS16(stored->data(), 10), -6);

  short back[6] = {};
  ASSERT_TRUE(prefs._LoadPrefsInci('8', '3', back, 2));
  EXPECT_EQ(0, std::memcmp(words, back, sizeof words));
  EXPECT_FALSE(prefs._LoadPrefsInci('8', '3', back, 3));
  for (const fxthost::Call& call : doc.host.Calls()) EXPECT_EQ(call.words[4], 0x11000000u);
}

TEST(Cloning, CopiesTagKeyAndRecord) {
  Document doc;
  // Fixed size, never loaded: the clone holds the full record.
  Item item;
  item.SetCustomTag(0x1234);
  std::memcpy(item._GetDataKey(), "\x05\x00\x00\x00\x00\x00\xCD\xAB", 8);
  item.record[3] = 0x33;
  std::unique_ptr<__FCBaseData> clone(item.CreateClone());
  Item& copy = static_cast<Item&>(*clone);
  EXPECT_EQ(copy.GetCustomTag(), 0x1234u);
  EXPECT_EQ(0, std::memcmp(copy._GetDataKey(), item._GetDataKey(), 8));
  EXPECT_EQ(copy._GetLoadedSize(), kRecord);
  EXPECT_EQ(copy._GetDataBlock(), copy.record);
  EXPECT_EQ(copy.record[3], 0x33);

  // Varying size: the clone gets its own heap copy.
  doc.store.Put(kItemTag, DataKey{1, 0, 0, 0}, Bytes{1, 2, 3});
  Dynamic dynamic;
  ASSERT_TRUE(dynamic.Load(1));
  std::unique_ptr<__FCBaseData> dynamicClone(dynamic.CreateClone());
  ASSERT_EQ(dynamicClone->_GetLoadedSize(), 3);
  EXPECT_NE(dynamicClone->_GetDataBlock(), dynamic._GetDataBlock());
  static_cast<uint8_t*>(dynamic._GetDataBlock())[0] = 9;
  EXPECT_EQ(static_cast<uint8_t*>(dynamicClone->_GetDataBlock())[0], 1);

  // A source holding nothing gives a clone without a block.
  Dynamic empty;
  std::unique_ptr<__FCBaseData> emptyClone(empty.CreateClone());
  EXPECT_EQ(emptyClone->_GetDataBlock(), nullptr);
  EXPECT_EQ(emptyClone->_GetLoadedSize(), 0);
}

// A heap record of fixed size that keeps the default cloning: a clone of a short record
// later loads a full one into a block big enough for it (the sanitizers watch the copy).
class HeapFixed : public __FCNoInciOther {
 public:
  int DataSizeLoad() const override { return 32; }
  void* Allocate() override { return _AllocateHeapBlock(DataSizeLoad()); }
  __FCBaseData* CreateObject() const override { return new HeapFixed; }
  uint32_t Tag() const override { return kItemTag; }
};

TEST(Cloning, CloneOfShortRecordLoadsFullRecordSafely) {
  Document doc;
  doc.store.Put(kItemTag, DataKey{1, 0, 0, 0}, Bytes(3, 0x13));
  doc.store.Put(kItemTag, DataKey{2, 0, 0, 0}, Bytes(32, 0x32));
  HeapFixed source;
  ASSERT_TRUE(source.Load(1));
  std::unique_ptr<__FCBaseData> clone(source.CreateClone());
  ASSERT_EQ(clone->_GetLoadedSize(), 3);
  ASSERT_TRUE(static_cast<HeapFixed&>(*clone).Load(2));
  EXPECT_EQ(clone->_GetLoadedSize(), 32);
  EXPECT_EQ(static_cast<uint8_t*>(clone->_GetDataBlock())[31], 0x32);
}

// Records of varying size: each load releases the previous block and takes one of the
// host's size; ClearData leaves nothing behind.
TEST(DynamicRecords, EachLoadTakesAFreshBlockOfTheHostsSize) {
  Document doc;
  doc.store.Put(kItemTag, DataKey{1, 0, 0, 0}, Bytes(4, 0x11));
  doc.store.Put(kItemTag, DataKey{2, 0, 0, 0}, Bytes(40, 0x22));
  Dynamic dynamic;
  ASSERT_TRUE(dynamic.Load(1));
  EXPECT_EQ(dynamic._GetLoadedSize(), 4);
  ASSERT_TRUE(dynamic.Load(2));
  EXPECT_EQ(dynamic._GetLoadedSize(), 40);
  EXPECT_EQ(static_cast<uint8_t*>(dynamic._GetDataBlock())[39], 0x22);
  dynamic.ClearData();
  EXPECT_EQ(dynamic._GetDataBlock(), nullptr);
  EXPECT_EQ(dynamic._GetLoadedSize(), 0);
  EXPECT_FALSE(dynamic.Save());
}

// --- What an object keeps of what the host delivers ----------------------------------

// A host that delivers records as the store holds them but reports extra bytes beyond
// what it delivered.
intptr_t OverstatingLoad(Host& host, const uint64_t* w) {
  int32_t* size = reinterpret_cast<int32_t*>(w[3]);
  void* buffer = reinterpret_cast<void*>(w[2]);
  const DataKey key = DataKey::FromBytes(reinterpret_cast<const void*>(w[1]));
  if (!host.CurrentDocument()->records.Load(fxthost::U32(w[0]), key, buffer, size)) return 0;
  if (buffer) *size += 1000;
  return 1;
}

TEST(RecordBounds, AnOverstatedSizeIsCappedAtTheBlockHeld) {
  struct Row {
    const char* name;
    std::function<std::unique_ptr<__FCBaseData>()> load;
    int32_t held;
  };
  const Row rows[] = {
      {"record inside the object (framework-behaviour.md: Sizes the host overstates)",
       [] {
         auto o = std::make_unique<Item>();
         EXPECT_TRUE(o->Load(1));
         return std::unique_ptr<__FCBaseData>(std::move(o));
       },
       kRecord},
      {"heap block of the host's size (framework-behaviour.md: Sizes the host overstates)",
       [] {
         auto o = std::make_unique<Dynamic>();
         EXPECT_TRUE(o->Load(1));
         return std::unique_ptr<__FCBaseData>(std::move(o));
       },
       5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc;
    doc.store.Put(kItemTag, DataKey{1, 0, 0, 0}, Bytes(5, 0x15));
    doc.host.SetBehaviour(Fn::FX_LoadEData, OverstatingLoad);
    std::unique_ptr<__FCBaseData> object = row.load();
    EXPECT_EQ(object->_GetLoadedSize(), row.held);
    std::unique_ptr<__FCBaseData> clone(object->CreateClone());
    EXPECT_LE(clone->_GetLoadedSize(), row.held) << "the clone copies only what is held";
    ASSERT_TRUE(object->Save());
    EXPECT_EQ(doc.host.CallsTo(Fn::FX_SaveEData).at(0).words[3], static_cast<uint64_t>(row.held));
  }
}

// framework-behaviour.md, Records: What a load keeps.
TEST(RecordBounds, AShortRecordNeverCarriesTheBytesOfTheRecordBefore) {
  Document doc;
  doc.store.Put(kItemTag, DataKey{1, 0, 0, 0}, Bytes(kRecord, 0xA1));
  doc.store.Put(kItemTag, DataKey{2, 0, 0, 0}, Bytes(3, 0xA2));
  Item item;
  ASSERT_TRUE(item.Load(1));
  ASSERT_TRUE(item.Load(2));
  EXPECT_EQ(Bytes(item.record, item.record + kRecord), Bytes({0xA2, 0xA2, 0xA2, 0, 0, 0, 0, 0}));
  std::unique_ptr<__FCBaseData> clone(item.CreateClone());
  const uint8_t* copied = static_cast<Item&>(*clone).record;
  EXPECT_EQ(Bytes(copied, copied + kRecord), Bytes({0xA2, 0xA2, 0xA2, 0, 0, 0, 0, 0}));

  // A collection load walks one template through every record: each element holds its
  // own record and nothing of the one loaded before it.
  Bytes full(FCGroup::RECORD_SIZE, 0x11);
  doc.store.Put(FCGroup().Tag(), DataKey{0, 1, 0, 0}, full);
  doc.store.Put(FCGroup().Tag(), DataKey{0, 2, 0, 0}, Bytes(20, 0x22));
  FCGroups groups;
  groups.LoadAll();
  ASSERT_EQ(groups.GetCount(), 2);
  const FCGroup* shortGroup = static_cast<const FCGroup*>(groups.GetItemAt(1));
  EXPECT_EQ(shortGroup->GetStartStaff(), 0x2222);
  EXPECT_EQ(shortGroup->GetStartMeasure(), 0);
  EXPECT_EQ(shortGroup->GetEndMeasure(), 0);
}

// A host whose FX_NextEData answers "there is a next record" without stepping forward:
// the key stays (or goes back), and only a count of calls ends it.
int gNextCalls = 0;
intptr_t StuckNext(Host&, const uint64_t*) { return ++gNextCalls < 1000; }
intptr_t CyclingNext(Host&, const uint64_t* w) {
  uint8_t* key = reinterpret_cast<uint8_t*>(w[1]);
  fxt::PutU16(key, 0, fxt::GetU16(key, 0) == 1 ? 2 : 1);
  return ++gNextCalls < 1000;
}

TEST(RecordBounds, AWalkEndsWhenTheHostDoesNotStepForward) {
  struct Row {
    const char* name;
    fxthost::Behaviour next;
    int loaded;
  } rows[] = {
      {"key left as it was (framework-behaviour.md: Every walk therefore ends)", StuckNext, 1},
      {"key going back (framework-behaviour.md: Every walk therefore ends)", CyclingNext, 2}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc;
    doc.store.Put(kDetailTag, DataKey{1, 0, 0, 0}, Bytes(kRecord, 1));
    doc.store.Put(kDetailTag, DataKey{2, 0, 0, 0}, Bytes(kRecord, 2));
    doc.host.SetBehaviour(Fn::FX_NextEData, row.next);
    gNextCalls = 0;
    struct Items : __FCCollectionNoInciOther {
      __FCBaseData* CreateElement() override { return new Fixed<__FCNoInciOther, kDetailTag>; }
    } items;
    items.LoadAll();
    EXPECT_EQ(items.GetCount(), row.loaded);
    EXPECT_LT(gNextCalls, 5);
  }
}

// framework-behaviour.md, Records, Walks: a cell detail walk ends at inci 0xFFFF.
TEST(RecordBounds, ACellDetailWalkDoesNotWrapToTheFirstInci) {
  Document doc;
  doc.store.Put(kCellTag, DataKey{7, 3, 0, 0}, Bytes(kRecord, 0x10));
  doc.store.Put(kCellTag, DataKey{7, 3, 0xFFFF, 0}, Bytes(kRecord, 0x1F));
  FCCell cell(3, 7);
  CellRecord record;
  record.ConnectCell(&cell);
  record._SetKeyFirst(7);
  record._SetKeySecond(3);
  record._SetKeyThird(0xFFFF);
  ASSERT_TRUE(record.LoadDataBlock());
  EXPECT_FALSE(record.LoadNext());
  EXPECT_EQ(Key(record), Key(7, 3, 0xFFFF));
  EXPECT_EQ(record.record[0], 0x1F);
}

}  // namespace
