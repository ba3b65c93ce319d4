// What fxthost prints for a message box at the terminal: every line of the message behind
// the alert's prefix, and the message kept as it was for the report
// (host/cli/console.cpp).
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "host/cli/console.h"
#include "host/functions/host.h"
#include "host/functions/userinterface.h"

namespace {

using fxthost::Answer;
using fxthost::ConsoleUserInterface;
using fxthost::Host;

TEST(ConsoleAlerts, EveryLineOfTheMessageCarriesThePrefix) {
  struct Row {
    const char* name;
    uint32_t type;
    std::string message;
    std::string printed;
  } rows[] = {
      {"one line", fxthost::kIconStop, "No group.", "error: Split: No group.\n"},
      {"three lines, an empty one among them", fxthost::kIconStop, "Bad range.\n\nSelect again.",
       "error: Split: Bad range.\nerror: Split:\nerror: Split: Select again.\n"},
      {"CR LF ends a line as LF does", fxthost::kIconInformation, "One\r\nTwo",
       "info: Split: One\ninfo: Split: Two\n"},
      {"a closing line feed: a last, empty line", fxthost::kBoxOk, "Done.\n",
       "neutral: Split: Done.\nneutral: Split:\n"},
      {"an empty message", fxthost::kBoxOk, "", "neutral: Split:\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Host host;
    std::ostringstream out;
    const Answer answer = Answer::kNone;
    ConsoleUserInterface ui(host, out, &answer, nullptr);
    ui.ShowMessageBox("Split", row.message, row.type);
    EXPECT_EQ(out.str(), row.printed);
    ASSERT_EQ(host.Alerts().size(), 1u);
    EXPECT_EQ(host.Alerts()[0].message, row.message) << "the report keeps the message";
  }
}

}  // namespace
