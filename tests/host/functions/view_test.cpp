// The emulated host's measure durations and the view state behind its view functions.
#include <gtest/gtest.h>

#include <cstring>

#include "bridge/finalepdk.h"
#include "host/functions/host.h"
#include "tests/support/host_score_fixture.h"

namespace fxthost {
namespace {

using namespace fxthost::testing;

TEST(HostMeasureDuration, IsBeatsTimesBeatDurationOfTheMeasureAsked) {
  Host host;
  Document& document = MakeScore(host, 0, {1, 2});
  SetMeasures(document, {{4, 1024, 0},     // 4/4
                         {2, 1536, 1},     // 6/8: two dotted quarters
                         {3, 1024, -2},    // 3/4
                         {0, 1024, 0},     // no beats
                         {4, -1024, 0}});  // unusable beat length
  struct Row {
    int16_t staff, measure;
    int32_t expected;
  };
  // host-behaviour.md, Measures: beats × beat duration; 0 for a measure not in the
  // document, for beats or a beat duration of 0 or less, and for a staff of 0 or less.
  const Row rows[] = {
      {1, 1, 4096}, {2, 2, 3072}, {1, 3, 3072},
      {1, 4, 0},    {1, 5, 0},    {1, 6, 0},  // beyond the last measure
      {1, 0, 0},                              // measure 0
      {0, 1, 0},                              // no staff
      {-1, 1, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("staff " + std::to_string(row.staff) + " measure " + std::to_string(row.measure));
    EXPECT_EQ(FX_GetMeasureDuration(row.staff, row.measure, kVersion), row.expected);
  }
}

TEST(HostMeasures, SetMeasuresWritesTheMeasureRecordLayout) {
  Host host;
  Document& document = MakeScore(host, 30, {1});
  SetMeasures(document, {{2, 1536, 0x0104}});
  EXPECT_EQ(LastMeasure(document.records), 1) << "the old measures are gone";
  const RecordStore::Bytes* record = document.records.Find(kMeasureTag, DataKey{1, 0, 0, 0});
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(record->size(), 26u);
  EXPECT_EQ(fxt::GetS16(record->data(), 2), 0x0104);
  EXPECT_EQ(fxt::GetS16(record->data(), 4), 2);
  EXPECT_EQ(fxt::GetS16(record->data(), 6), 1536);
}

TEST(HostView, ScrollToMovesToMeasuresAndStavesOfTheDocumentOnly) {
  struct Row {
    int16_t measure, staff;
    int32_t result;
    int32_t scrollMeasure, scrollStaff;
  };
  // host-behaviour.md, View: FX_ScrollTo moves when the measure is in the document and the
  // staff is in the score order (list 0); otherwise 0 and nothing changes.
  const Row rows[] = {
      {5, 3, 1, 5, 3}, {10, 1, 1, 10, 1}, {11, 1, 0, 1, 0},  // beyond the last measure
      {0, 1, 0, 1, 0}, {5, 2, 0, 1, 0},                      // staff 2 is not in the score
      {5, 0, 0, 1, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("measure " + std::to_string(row.measure) + " staff " + std::to_string(row.staff));
    Host host;
    Document& document = MakeScore(host, 10, {3, 1});
    EXPECT_EQ(FX_ScrollTo(row.measure, row.staff, kVersion), row.result);
    EXPECT_EQ(document.view.scrollMeasure, row.scrollMeasure);
    EXPECT_EQ(document.view.scrollStaff, row.scrollStaff);
    EXPECT_EQ(document.view.events.size(), row.result ? 1u : 0u);
  }
}

struct WindowInfo {
  int32_t result;
  bool pageView;
  int16_t zoom;
  int16_t page;
  void* window;
};

WindowInfo AskWindow() {
  uint8_t record[544] = {};
  WindowInfo info{};
  info.result = FX_GetCurrentWindowInfo(record, kVersion);
  info.pageView = fxt::GetU16(record, 528) != 0;
  info.zoom = fxt::GetS16(record, 530);
  info.page = fxt::GetS16(record, 532);
  std::memcpy(&info.window, record + 520, sizeof info.window);
  return info;
}

TEST(HostView, MenuCommandsChangeTheViewThatWindowInfoReports) {
  struct Row {
    int32_t command;
    int32_t result;
    bool pageView;
    int16_t zoom;
  };
  // host-behaviour.md, View: the host's menu commands, and 0 (nothing done) for any other.
  const Row rows[] = {
      {12112, 1, false, 100}, {12106, 1, true, 100}, {10611, 1, true, 25},
      {10619, 1, true, 800},  {35622, 1, true, 100}, {10602, 1, true, 100},
      {0, 0, true, 100},      {10620, 0, true, 100}, {-1, 0, true, 100},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("command " + std::to_string(row.command));
    Host host;
    Document& document = MakeScore(host, 3, {1});
    EXPECT_EQ(FX_ExecuteMenuItem(row.command, kVersion), row.result);
    WindowInfo info = AskWindow();
    EXPECT_EQ(info.result, 1);
    EXPECT_EQ(info.pageView, row.pageView);
    EXPECT_EQ(info.zoom, row.zoom);
    EXPECT_EQ(info.page, 1);
    EXPECT_EQ(info.window, static_cast<void*>(&document.view));
    EXPECT_EQ(document.view.lastMenuCommand, row.result ? row.command : 0);
  }
}

TEST(HostView, WithoutADocumentTheViewFunctionsFail) {
  Host host;
  uint8_t region[Region::kBytes] = {};
  EXPECT_EQ(AskWindow().result, 0);
  EXPECT_EQ(FX_ScrollTo(1, 1, kVersion), 0);
  EXPECT_EQ(FX_ExecuteMenuItem(12106, kVersion), 0);
  EXPECT_EQ(FX_RedrawMusic(region, kVersion), 0);
  EXPECT_EQ(FX_GetMeasureDuration(1, 1, kVersion), 0);
}

TEST(HostView, RedrawKeepsTheRegionAndCountsRequests) {
  Host host;
  Document& document = MakeScore(host, 40, {1, 2, 3});
  uint8_t unused[32], selection[Region::kBytes], whole[Region::kBytes];
  FX_GetCurERegions(unused, selection, whole, kVersion);
  FX_RedrawMusic(whole, kVersion);
  FX_ExecuteMenuItem(10602, kVersion);
  EXPECT_EQ(document.view.redraws, 2);
  EXPECT_TRUE(Region::FromBytes(document.view.redrawnRegion) == Region::Cells(0, 1, 3, 1, 40));
  EXPECT_EQ(document.view.events,
            (std::vector<std::string>{"redraw measures 1-40, slots 1-3 of list 0",
                                      "menu command 10602: redraw"}));
}

}  // namespace
}  // namespace fxthost
