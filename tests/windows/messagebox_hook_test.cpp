// Real Windows message boxes, shown on the host's thread as the plug-in shows them, and
// answered by the host's user interface through its hook: what the box showed reaches
// the user interface, and its answer comes back as the box's result.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "host/functions/host.h"
#include "host/functions/userinterface.h"

namespace {

struct BoxRow {
  const char* what;
  UINT type;
  fxthost::Answer answer;
  int result;        // what MessageBoxA returns
  const char* kind;  // what the host recorded
  const char* answered;
};

using fxthost::Answer;

// clang-format off
const BoxRow kBoxes[] = {
    {"error box (host-behaviour.md: Kind, 0x10 (stop) is error)",
     MB_OK | MB_ICONERROR, Answer::kNone, IDOK, "error", "ok"},
    {"warning box (host-behaviour.md: Kind, 0x30 (exclamation) is error)",
     MB_OK | MB_ICONEXCLAMATION, Answer::kNone, IDOK, "error", "ok"},
    {"information box (host-behaviour.md: Kind, 0x40 (information) is info)",
     MB_OK | MB_ICONINFORMATION, Answer::kNone, IDOK, "info", "ok"},
    {"plain box (host-behaviour.md: Kind, anything else neutral)",
     MB_OK, Answer::kYes, IDOK, "neutral", "ok"},
    {"question answered yes (host-behaviour.md: Answer, yes (IDYES, 6))",
     MB_YESNO, Answer::kYes, IDYES, "yesno", "yes"},
    {"question answered no (host-behaviour.md: Answer, no (IDNO, 7))",
     MB_YESNO, Answer::kNo, IDNO, "yesno", "no"},
    {"question left unanswered (host-behaviour.md: closed without an answer, 0)",
     MB_YESNO, Answer::kNone, 0, "yesno", "none"},
    {"question with cancel left unanswered (host-behaviour.md: IDCANCEL, 2)",
     MB_YESNOCANCEL, Answer::kNone, IDCANCEL, "yesno", "none"},
};
// clang-format on

TEST(MessageBoxHook, AnswersEachBoxAsTheUserInterfaceDecides) {
  for (const BoxRow& row : kBoxes) {
    SCOPED_TRACE(row.what);
    fxthost::Host host;
    fxthost::ScriptedUserInterface ui(host, row.answer);
    host.SetUserInterface(&ui);
    const char* text = "First line & more.\n\nContinue anyway?";
    EXPECT_EQ(MessageBoxA(GetActiveWindow(), text, "Too small region?", row.type), row.result);
    ASSERT_EQ(host.Alerts().size(), 1u);
    const fxthost::Alert& alert = host.Alerts()[0];
    EXPECT_EQ(alert.kind, row.kind);
    EXPECT_EQ(alert.caption, "Too small region?");
    EXPECT_EQ(alert.message, text);
    EXPECT_EQ(alert.answer, row.answered);
  }
}

TEST(MessageBoxHook, EmptyCaptionStaysEmpty) {
  fxthost::Host host;
  fxthost::ScriptedUserInterface ui(host);
  host.SetUserInterface(&ui);
  EXPECT_EQ(MessageBoxA(nullptr, "Done.", "", MB_OK), IDOK);
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts()[0].caption, "");
  EXPECT_EQ(host.Alerts()[0].message, "Done.");
}

// windows.md, Message boxes: a box that gets no answer (none given, or no user interface
// attached) is closed with the result 0.
TEST(MessageBoxHook, BoxWithoutUserInterfaceClosesWithoutAnswer) {
  {
    fxthost::Host host;  // no user interface attached
    EXPECT_EQ(MessageBoxA(nullptr, "Continue?", "Question", MB_YESNO), 0);
    EXPECT_TRUE(host.Alerts().empty());
  }
  // And with no host at all any more: still closed at once.
  EXPECT_EQ(MessageBoxA(nullptr, "Continue?", "Question", MB_YESNO), 0);
}

TEST(MessageBoxHook, SuccessiveBoxesEachGetTheirOwnAnswer) {
  fxthost::Host host;
  fxthost::ScriptedUserInterface ui(host, Answer::kYes);
  host.SetUserInterface(&ui);
  EXPECT_EQ(MessageBoxA(nullptr, "One?", "Q", MB_YESNO), IDYES);
  ui.SetAnswer(Answer::kNo);
  EXPECT_EQ(MessageBoxA(nullptr, "Two?", "Q", MB_YESNO), IDNO);
  ASSERT_EQ(host.Alerts().size(), 2u);
  EXPECT_EQ(host.Alerts()[0].message, "One?");
  EXPECT_EQ(host.Alerts()[1].message, "Two?");
}

}  // namespace
