// Staff lists and multi-staff instruments against the emulated host: the order of a
// list, the host's slot conversions after the framework rewrites a list, and the walk
// over the instruments.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/score/multistaff.h"
#include "framework/score/systemstaff.h"
#include "host/functions/host.h"
#include "host/store/scoremodel.h"

namespace {

using fxthost::Fn;

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);

class StaffListTest : public ::testing::Test {
 protected:
  void SetUp() override { host.NewDocument(); }
  fxthost::Document& Doc() { return *host.CurrentDocument(); }
  fxthost::Host host;
};

std::vector<short> StavesOf(const FCSystemStaves& list) {
  std::vector<short> out;
  for (int i = 0; i < list.GetCount(); ++i)
    out.push_back(static_cast<FCSystemStaff*>(list.GetItemAt(i))->GetStaff());
  return out;
}

// Staff at each slot 1..n+1 of the list (the last one past the end), and slot of each
// staff given.
void ExpectConversions(uint16_t list, const std::vector<short>& order) {
  for (size_t i = 0; i < order.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "slot " << i + 1);
    EXPECT_EQ(FX_SlotToInst(static_cast<int16_t>(i + 1), list, kVersion), order[i]);
    EXPECT_EQ(FX_InstToSlot(order[i], list, kVersion), static_cast<int32_t>(i + 1));
  }
  EXPECT_EQ(FX_SlotToInst(static_cast<int16_t>(order.size() + 1), list, kVersion), 0);
}

TEST_F(StaffListTest, ListLoadsInScoreOrder) {
  ASSERT_TRUE(fxthost::WriteInstrumentList(Doc(), 0, {3, 1, 2}));
  ASSERT_TRUE(fxthost::WriteInstrumentList(Doc(), 4, {2, 3}));
  struct Row {
    const char* name;
    uint16_t list;
    std::vector<short> expected;
  } rows[] = {
      {"global order", 0, {3, 1, 2}},
      {"another list", 4, {2, 3}},
      {"list without staves", 9, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCSystemStaves list;
    list.LoadAllForItem(row.list);
    EXPECT_EQ(StavesOf(list), row.expected);
    for (int i = 0; i < list.GetCount(); ++i) {
      auto* entry = static_cast<FCSystemStaff*>(list.GetItemAt(i));
      EXPECT_EQ(entry->GetInstrumentList(), row.list);
      EXPECT_EQ(entry->GetInci(), i);
    }
  }
}

TEST_F(StaffListTest, ScoreOrderIsTheGlobalListNotTheStaffNumbers) {
  ASSERT_TRUE(fxthost::WriteInstrumentList(Doc(), 0, {3, 24, 1}));
  ASSERT_TRUE(fxthost::WriteInstrumentList(Doc(), 4, {2}));
  FCSystemStaves list;
  list.LoadAllForItem(4);
  list.LoadScoreOrder();
  EXPECT_EQ(StavesOf(list), (std::vector<short>{3, 24, 1})) << "replaces what list 4 loaded";
}

TEST_F(StaffListTest, ConversionsFollowTheListTheFrameworkWrites) {
  ASSERT_TRUE(fxthost::WriteInstrumentList(Doc(), 0, {3, 1, 2}));
  ExpectConversions(0, {3, 1, 2});

  FCSystemStaves list;
  list.LoadAllForItem(0);
  ASSERT_EQ(list.GetCount(), 3);

  // Move staff 2 to the top.
  __FCBase* last = list.GetItemAt(2);
  ASSERT_TRUE(list.DeleteItemAt(2));
  list.InsertItemAt(last, 0);
  ASSERT_TRUE(list.SaveAllForItem(0));
  ExpectConversions(0, {2, 3, 1});

  // Drop staff 3: its slot is gone and the staves below it move up.
  __FCBase* dropped = list.GetItemAt(1);
  ASSERT_TRUE(list.DeleteItemAt(1));
  delete dropped;
  ASSERT_TRUE(list.SaveAllForItem(0));
  ExpectConversions(0, {2, 1});
  EXPECT_EQ(FX_InstToSlot(3, 0, kVersion), 0);

  // Add a staff at the end through a changed entry.
  FCSystemStaff extra;
  ASSERT_TRUE(extra.Load(0, 0));
  extra.SetStaff(7);
  ASSERT_TRUE(extra.SaveNew(0));
  EXPECT_EQ(extra.GetInci(), 2);
  ExpectConversions(0, {2, 1, 7});
  EXPECT_EQ(fxthost::ReadInstrumentList(Doc(), 0), (std::vector<int16_t>{2, 1, 7}));
}

TEST(StaffListRecords, UnloadedRecordsReadAsZero) {
  // Made before any load, or left by a load that failed: no staff, never stray bytes.
  fxthost::Host host;
  host.NewDocument();
  FCSystemStaves staves;
  std::unique_ptr<__FCBaseData> entry(staves.CreateElement());
  EXPECT_EQ(static_cast<FCSystemStaff*>(entry.get())->GetStaff(), 0);
  FCMultiStaffInstruments instruments;
  std::unique_ptr<__FCBaseData> instrument(instruments.CreateElement());
  auto* msi = static_cast<FCMultiStaffInstrument*>(instrument.get());
  EXPECT_FALSE(msi->Load(5));
  EXPECT_EQ(msi->GetFirstStaff(), 0);
  EXPECT_EQ(msi->GetSecondStaff(), 0);
  EXPECT_EQ(msi->GetThirdStaff(), 0);
}

std::string Describe(const FCMultiStaffInstruments& all) {
  std::string out;
  for (int i = 0; i < all.GetCount(); ++i) {
    auto* msi = static_cast<FCMultiStaffInstrument*>(all.GetItemAt(i));
    out += (i ? " " : "") + std::to_string(msi->GetItemNo()) + ":" +
           std::to_string(msi->GetFirstStaff()) + "," + std::to_string(msi->GetSecondStaff()) +
           "," + std::to_string(msi->GetThirdStaff());
  }
  return out;
}

TEST_F(StaffListTest, InstrumentsLoadInTheHostsOrder) {
  struct Row {
    const char* name;
    std::vector<fxthost::MultiStaffInstrument> instruments;
    const char* expected;
  } rows[] = {
      {"numbered from 1", {{1, {{4, 3, 0}}}, {2, {{7, 8, 9}}}}, "1:4,3,0 2:7,8,9"},
      {"no instrument 1", {{3, {{5, 6, 0}}}, {6, {{1, 2, 0}}}}, "3:5,6,0 6:1,2,0"},
      {"none", {}, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    host.NewDocument();
    for (const auto& instrument : row.instruments)
      ASSERT_TRUE(fxthost::PutMultiStaffInstrument(Doc(), instrument));
    FCMultiStaffInstruments all;
    all.LoadAll();
    EXPECT_EQ(Describe(all), row.expected);
  }
}

}  // namespace
