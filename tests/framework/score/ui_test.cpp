// The user-interface services against the emulated host: the alerts as the user sees
// and answers them, the menu commands, the window state with its fallbacks, redraws and
// scrolling.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "framework/score/ui.h"
#include "framework/text/fcstring.h"
#include "host/functions/host.h"
#include "host/store/score.h"
#include "host/functions/userinterface.h"
#include "tests/support/host_score_fixture.h"

namespace {

using fxthost::Answer;
using fxthost::Fn;
using fxthost::testing::MakeScore;

enum class Kind { kError, kYesNo, kNeutral, kInfo };

int ShowAlert(Kind kind, const char* message, const char* caption) {
  FCUI ui;
  switch (kind) {
    case Kind::kError:
      ui.AlertError(message, caption);
      return -1;
    case Kind::kYesNo:
      return ui.AlertYesNo(message, caption);
    case Kind::kNeutral:
      ui.AlertNeutral(message, caption);
      return -1;
    case Kind::kInfo:
      ui.AlertInfo(message, caption);
      return -1;
  }
  return -1;
}

int ShowAlert(Kind kind, FCString* message, FCString* caption) {
  FCUI ui;
  switch (kind) {
    case Kind::kError:
      ui.AlertError(message, caption);
      return -1;
    case Kind::kYesNo:
      return ui.AlertYesNo(message, caption);
    case Kind::kNeutral:
      ui.AlertNeutral(message, caption);
      return -1;
    case Kind::kInfo:
      ui.AlertInfo(message, caption);
      return -1;
  }
  return -1;
}

TEST(UIAlerts, EachAlertShowsItsKindCaptionAndAnswer) {
  struct Row {
    const char* name;
    Kind kind;
    const char* caption;
    Answer answer;
    const char* shownKind;
    const char* shownCaption;
    const char* recorded;
    int result;  // -1: the alert has none
  } rows[] = {
      {"error, default caption", Kind::kError, nullptr, Answer::kNone, "error", "Error", "ok", -1},
      {"error, own caption", Kind::kError, "Split", Answer::kNone, "error", "Split", "ok", -1},
      {"yes", Kind::kYesNo, "Ask", Answer::kYes, "yesno", "Ask", "yes", 0},
      {"no, default caption", Kind::kYesNo, nullptr, Answer::kNo, "yesno", "Error", "no", 1},
      {"closed without an answer (host-behaviour.md: none: closed without an answer)", Kind::kYesNo,
       nullptr, Answer::kNone, "yesno", "Error", "none", 2},
      {"neutral, default caption", Kind::kNeutral, nullptr, Answer::kYes, "neutral", "", "ok", -1},
      {"neutral, own caption", Kind::kNeutral, "Note", Answer::kNone, "neutral", "Note", "ok", -1},
      {"info, default caption", Kind::kInfo, nullptr, Answer::kNone, "info", "Information", "ok",
       -1},
      {"empty caption is not the default", Kind::kInfo, "", Answer::kNone, "info", "", "ok", -1},
  };
  for (const Row& row : rows) {
    for (bool strings : {false, true}) {
      SCOPED_TRACE(::testing::Message() << row.name << (strings ? ", FCString" : ", char"));
      fxthost::Host host;
      fxthost::ScriptedUserInterface ui(host, row.answer);
      host.SetUserInterface(&ui);
      int result;
      if (strings) {
        FCString message("Message text");
        FCString caption(row.caption ? row.caption : "");
        result = ShowAlert(row.kind, &message, row.caption ? &caption : nullptr);
      } else {
        result = ShowAlert(row.kind, "Message text", row.caption);
      }
      EXPECT_EQ(result, row.result);
      ASSERT_EQ(host.Alerts().size(), 1u);
      const fxthost::Alert& alert = host.Alerts()[0];
      EXPECT_EQ(alert.kind, row.shownKind);
      EXPECT_EQ(alert.caption, row.shownCaption);
      EXPECT_EQ(alert.message, "Message text");
      EXPECT_EQ(alert.answer, row.recorded);
    }
  }
}

TEST(UIAlerts, QuestionThatCannotBeShownIsNoYes) {
  fxthost::Host host;  // no user interface attached: no box can be shown
  FCUI ui;
  EXPECT_EQ(ui.AlertYesNo("Go on?", "Ask"), FCUI::ANSWER_NONE);
  // A missing message is shown empty rather than read through a null pointer.
  fxthost::ScriptedUserInterface scripted(host, Answer::kYes);
  host.SetUserInterface(&scripted);
  EXPECT_EQ(ui.AlertYesNo(static_cast<FCString*>(nullptr), nullptr), FCUI::ANSWER_YES);
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts()[0].message, "");
}

// The host's command ids are those of its menu commands (host-behaviour.md, View).
TEST(UIMenuCommand, ValuesMapToHostCommandIdsAndOthersAreRefused) {
  struct Row {
    int value;
    int32_t hostId;  // 0: the host is not asked
    bool result;
  } rows[] = {
      {-1, 0, false},    {0, 0, false},    {1, 12106, true}, {2, 12112, true},
      {3, 10602, true},  {4, 35622, true}, {5, 10611, true}, {9, 10615, true},
      {13, 10619, true}, {14, 0, false},   {1000, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "value " << row.value);
    fxthost::Host host;
    fxthost::Document& doc = MakeScore(host, 3, {1});
    FCUI ui;
    EXPECT_EQ(ui.MenuCommand(static_cast<FCUI::MENU_COMMANDS>(row.value)), row.result);
    const auto calls = host.CallsTo(Fn::FX_ExecuteMenuItem);
    if (row.hostId == 0) {
      EXPECT_TRUE(calls.empty());
      continue;
    }
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].words[0], static_cast<uint64_t>(row.hostId));
    EXPECT_EQ(calls[0].words[1], 0x11000000u);
    EXPECT_EQ(doc.view.lastMenuCommand, row.hostId);
  }
  // The host's refusal is passed on.
  fxthost::Host host;
  MakeScore(host, 3, {1});
  host.FailCall(Fn::FX_ExecuteMenuItem, 1);
  EXPECT_FALSE(FCUI().MenuCommand(FCUI::MENUCMD_ZOOM25));
}

TEST(UIWindow, WindowStateAndItsFallbacks) {
  struct Row {
    const char* name;
    bool hostFails;
    bool pageView;
    int zoom, page;
    bool expectPageView;
    int expectZoom, expectPage;
    bool expectWindow;
  } rows[] = {
      {"page view", false, true, 150, 4, true, 150, 4, true},
      {"scroll view: no page", false, false, 75, 4, false, 75, 0, true},
      {"host fails", true, true, 150, 4, false, 100, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fxthost::Host host;
    fxthost::Document& doc = MakeScore(host, 3, {1});
    doc.view.pageView = row.pageView;
    doc.view.zoomPercent = row.zoom;
    doc.view.currentPage = row.page;
    if (row.hostFails) host.FailCall(Fn::FX_GetCurrentWindowInfo, 1);
    FCUI ui;
    // Each service asks the host on its own; make each of them meet the failure.
    EXPECT_EQ(ui.IsPageView(), row.expectPageView);
    if (row.hostFails) host.FailCall(Fn::FX_GetCurrentWindowInfo, 1);
    EXPECT_EQ(ui.GetZoomLevel(), row.expectZoom);
    if (row.hostFails) host.FailCall(Fn::FX_GetCurrentWindowInfo, 1);
    EXPECT_EQ(ui.GetCurrentPage(), row.expectPage);
    if (row.hostFails) host.FailCall(Fn::FX_GetCurrentWindowInfo, 1);
    HWND window = ui.GetDocumentWindow();
    EXPECT_EQ(window != nullptr, row.expectWindow);
    if (row.expectWindow) {
      EXPECT_EQ(window, reinterpret_cast<HWND>(&doc.view)) << "this host's window is the view";
    }
  }
}

TEST(UIView, MoveToMeasureFindsTheFirstStaffThatExists) {
  struct Row {
    const char* name;
    std::vector<int16_t> staves;
    int measure, staff;
    bool scrolled;
    int32_t scrollStaff;
  } rows[] = {
      // clang-format off
      {"staves 1 and 2 missing", {3, 5}, 2, 0, true, 3},
      {"staff 1 exists", {4, 1}, 2, 0, true, 1},
      {"the staff given", {3, 5}, 2, 5, true, 5},
      {"the last staff number tried", {101}, 2, 0, true, 101},
      {"no staff up to 101", {102}, 2, 0, false, 0},
      // Numbers the host's 16-bit arguments cannot carry are refused, not cut.
      {"measure 65538 is not measure 2 (framework-behaviour.md: FCUI::MoveToMeasure refuses)",
       {3}, 65538, 3, false, 0},
      {"measure beyond 32767 (framework-behaviour.md: FCUI::MoveToMeasure refuses)",
       {3}, 32768, 3, false, 0},
      {"measure below -32768 (framework-behaviour.md: FCUI::MoveToMeasure refuses)",
       {3}, -32769, 3, false, 0},
      {"staff 65539 is not staff 3 (framework-behaviour.md: FCUI::MoveToMeasure refuses)",
       {3}, 2, 65539, false, 0},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fxthost::Host host;
    fxthost::Document& doc = MakeScore(host, 4, row.staves);
    FCUI().MoveToMeasure(row.measure, row.staff);
    const auto calls = host.CallsTo(Fn::FX_ScrollTo);
    ASSERT_EQ(calls.size(), row.scrolled ? 1u : 0u);
    if (!row.scrolled) continue;
    EXPECT_EQ(doc.view.scrollMeasure, row.measure);
    EXPECT_EQ(doc.view.scrollStaff, row.scrollStaff);
  }
}

TEST(UIView, RedrawDocumentRedrawsTheWholeDocumentNotTheSelection) {
  fxthost::Host host;
  fxthost::Document& doc = MakeScore(host, 7, {2, 4, 6});
  ASSERT_TRUE(fxthost::SetSelection(doc, fxthost::Region::Cells(0, 2, 2, 3, 4)));
  FCUI().RedrawDocument();
  EXPECT_EQ(doc.view.redraws, 1);
  EXPECT_TRUE(fxthost::Region::FromBytes(doc.view.redrawnRegion) ==
              fxthost::WholeDocumentRegion(doc.records));
}

}  // namespace

namespace {

TEST(UIScreen, HeightIsTheFullScreenClientArea) {
  fxthost::Host host;
  FCUI ui;
  EXPECT_EQ(ui.GetScreenHeight(), GetSystemMetrics(SM_CYFULLSCREEN));
  EXPECT_GT(ui.GetScreenHeight(), 0);
#if !defined(_WIN32)
  // The emulated desktop's client area leaves out the caption. Not checked on Windows:
  // Wine answers a full-screen client area taller than the screen (1035 on a 1024-line
  // display).
  EXPECT_LT(ui.GetScreenHeight(), GetSystemMetrics(SM_CYSCREEN));
#endif
}

}  // namespace
