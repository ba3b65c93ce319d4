// The emulated host's user interfaces: message boxes, their kinds and answers.
#include <gtest/gtest.h>

#include <sstream>

#include "bridge/finalepdk.h"
#include "host/functions/exports.h"
#include "host/functions/host.h"
#include "host/cli/console.h"
#include "host/functions/userinterface.h"
#include "tests/support/host_score_fixture.h"

// The host's desktop services, which the POSIX platform layer's MessageBoxA and
// GetActiveWindow reach (called directly here, so that no real box opens on Windows).
extern "C" {
FXHOST_EXPORT int FXTHOST_MessageBoxA(void*, const char* text, const char* caption, unsigned type);
FXHOST_EXPORT void* FXTHOST_GetActiveWindow();
}

namespace fxthost {
namespace {

int MessageBox(const char* text, const char* caption, uint32_t type) {
  return FXTHOST_MessageBoxA(FXTHOST_GetActiveWindow(), text, caption, type);
}

using fxthost::testing::kVersion;

TEST(HostMessageBox, KindComesFromTheButtonsThenTheIcon) {
  struct Row {
    uint32_t type;
    const char* kind;
  };
  // host-behaviour.md, Message boxes and alerts, Kind: "yesno" for Yes/No or Yes/No/Cancel
  // buttons, otherwise by the icon field.
  const Row rows[] = {
      {0x00, "neutral"}, {0x10, "error"},   {0x30, "error"},   {0x40, "info"},  {0x20, "neutral"},
      {0x04, "yesno"},   {0x14, "yesno"},   {0x03, "yesno"},   {0x44, "yesno"}, {0x01, "neutral"},
      {0x41, "info"},    {0x50, "neutral"}, {0x1010, "error"},  // higher style bits do not matter
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    EXPECT_EQ(AlertKind(row.type), row.kind);
  }
}

TEST(HostMessageBox, ScriptedInterfaceAnswersQuestionsAsToldAndConfirmsTheRest) {
  struct Row {
    uint32_t type;
    Answer answer;
    int result;
    const char* recorded;
  };
  // host-behaviour.md, Message boxes and alerts, Answer: a question gets yes, no or none (0,
  // or IDCANCEL when the box has a Cancel button); every other box is confirmed with its
  // first button.
  const Row rows[] = {
      {0x04, Answer::kYes, 6, "yes"},   {0x04, Answer::kNo, 7, "no"},
      {0x04, Answer::kNone, 0, "none"}, {0x03, Answer::kNone, 2, "none"},
      {0x10, Answer::kNo, 1, "ok"},     {0x40, Answer::kNone, 1, "ok"},
      {0x00, Answer::kYes, 1, "ok"},    {0x05, Answer::kYes, 4, "ok"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    Host host;
    ScriptedUserInterface ui(host, row.answer);
    host.SetUserInterface(&ui);
    EXPECT_EQ(MessageBox("Go on?", "Split", row.type), row.result);
    ASSERT_EQ(host.Alerts().size(), 1u);
    const Alert& alert = host.Alerts()[0];
    EXPECT_EQ(alert.kind, AlertKind(row.type));
    EXPECT_EQ(alert.caption, "Split");
    EXPECT_EQ(alert.message, "Go on?");
    EXPECT_EQ(alert.answer, row.recorded);
  }
}

TEST(HostMessageBox, WithoutAnInterfaceNoBoxIsShown) {
  Host host;
  EXPECT_EQ(FXTHOST_GetActiveWindow(), nullptr);
  EXPECT_EQ(MessageBox("text", "caption", kBoxYesNo), 0);
  EXPECT_TRUE(host.Alerts().empty());
}

TEST(HostMessageBox, ConsoleInterfacePrintsEachBoxAndAsksOnlyWhenItMay) {
  struct Row {
    const char* name;
    uint32_t type;
    bool configured;
    Answer answer;
    bool terminal;
    const char* typed;
    int result;
  };
  // clang-format off
  const Row rows[] = {
      {"configured yes (host-behaviour.md: A question is answered from the configured answer)",
       kBoxYesNo, true, Answer::kYes, true, "n\n", kIdYes},
      {"configured no (host-behaviour.md: A question is answered from the configured answer)",
       kBoxYesNo, true, Answer::kNo, false, "", kIdNo},
      {"asked, answers after a wrong word (host-behaviour.md: until the user types y/yes or n/no)",
       kBoxYesNo, false, Answer::kNone, true, "maybe\nyes\n", kIdYes},
      {"asked, n (host-behaviour.md: until the user types y/yes or n/no)",
       kBoxYesNo, false, Answer::kNone, true, "n\n", kIdNo},
      {"asked, input ends (host-behaviour.md: the end of the input closes the box)",
       kBoxYesNo, false, Answer::kNone, true, "maybe", 0},
      {"no terminal (host-behaviour.md: with no input to ask on)",
       kBoxYesNo, false, Answer::kNone, false, "y\n", 0},
      {"not a question (host-behaviour.md: Every other box is confirmed with its first button)",
       kIconStop, false, Answer::kNone, true, "n\n", kIdOk},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Host host;
    std::ostringstream out;
    std::istringstream in(row.typed);
    ConsoleUserInterface ui(host, out, row.configured ? &row.answer : nullptr,
                            row.terminal ? &in : nullptr);
    host.SetUserInterface(&ui);
    EXPECT_EQ(MessageBox("Only 1 measure.", "Split Groups", row.type), row.result);
    std::string printed = out.str();
    const std::string line = AlertKind(row.type) + ": Split Groups: Only 1 measure.\n";
    EXPECT_EQ(printed.substr(0, line.size()), line);
    ASSERT_EQ(host.Alerts().size(), 1u);
    EXPECT_EQ(host.Alerts()[0].answer, AnswerName(row.result));
  }
}

TEST(HostAlertMessage, ShowsTheTextThroughTheInterfaceAndKeepsIt) {
  const char kWarning[] = "Warning to plug-in developer: wrong version";
  {
    Host host;
    ScriptedUserInterface ui(host);
    host.SetUserInterface(&ui);
    EXPECT_EQ(FX_AlertMessage(0, 0, 0, kWarning, kVersion), kIdOk);
    EXPECT_EQ(FX_AlertMessage_UTF16(0, 0x40, u"Title", u"caf\u00e9 \U0001D11E", kVersion), kIdOk);
    ASSERT_EQ(host.Alerts().size(), 2u);
    EXPECT_EQ(host.Alerts()[0].message, kWarning);
    EXPECT_EQ(host.Alerts()[0].kind, "neutral");
    EXPECT_EQ(host.Alerts()[1].caption, "Title");
    EXPECT_EQ(host.Alerts()[1].message, "caf\xC3\xA9 \xF0\x9D\x84\x9E");
    EXPECT_EQ(host.Alerts()[1].kind, "info");
  }
  {
    Host host;  // nothing to show it on: still kept, unanswered
    EXPECT_EQ(FX_AlertMessage(0, 0, 0, kWarning, kVersion), 0);
    ASSERT_EQ(host.Alerts().size(), 1u);
    EXPECT_EQ(host.Alerts()[0].message, kWarning);
    EXPECT_EQ(host.Alerts()[0].answer, "none");
  }
}

TEST(HostText, Utf16TextBecomesUtf8AndBrokenPairsBecomeReplacements) {
  struct Row {
    std::u16string text;
    std::string expected;
  };
  const Row rows[] = {
      {u"", ""},
      {u"abc", "abc"},
      {u"\u00df\u20ac", "\xC3\x9F\xE2\x82\xAC"},
      {u"\U0001F3B5", "\xF0\x9F\x8E\xB5"},
      {std::u16string(1, char16_t(0xD834)) + u"x", "\xEF\xBF\xBDx"},  // high half alone
      {std::u16string(1, char16_t(0xDD1E)), "\xEF\xBF\xBD"},          // low half alone
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(HostText16(row.text.c_str()), row.expected);
  }
  EXPECT_EQ(HostText16(nullptr), "");
  EXPECT_EQ(HostText(nullptr), "");
}

}  // namespace
}  // namespace fxthost
