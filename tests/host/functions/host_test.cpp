// The host's table of behaviours against docs/host-functions.md, which lists the host
// functions without a behaviour: checked here against the table itself, so that the page
// cannot go stale. (The report's count of calls to them: fxthost_cli_test.cpp.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "host/functions/host.h"

namespace fxthost {
namespace {

const char kDocsPath[] = FXT_EXAMPLES_DIR "/../docs/host-functions.md";
const char kBegin[] = "<!-- begin: generated from the host's behaviour table -->\n";
const char kEnd[] = "<!-- end: generated -->\n";

// The table of functions without a behaviour, as the docs page shows it.
std::string NotEmulatedTable(const Host& host) {
  std::string table =
      "| function | result | the host must have it | a plug-in's bridge answers without it |\n";
  table += "|---|---|---|---|\n";
  int count = 0;
  for (int i = 0; i < kFunctionCount; ++i) {
    Fn fn = static_cast<Fn>(i);
    if (host.Emulates(fn)) continue;
    const FunctionInfo& info = Info(fn);
    table += std::string("| `") + info.name + "` | " + info.result + " | " +
             (info.required ? "yes" : "no") + " | " +
             (info.required ? "-" : std::to_string(info.failure)) + " |\n";
    ++count;
  }
  return "Of the " + std::to_string(kFunctionCount) + " host functions, " +
         std::to_string(kFunctionCount - count) + " have a behaviour; these " +
         std::to_string(count) + " do not.\n\n" + table;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// FXT_UPDATE_DOCS=1 writes the generated part into the page instead of comparing.
TEST(HostBehaviours, DocsListEveryFunctionWithoutABehaviour) {
  Host host;
  std::string page = ReadFile(kDocsPath);
  size_t begin = page.find(kBegin), end = page.find(kEnd);
  ASSERT_NE(begin, std::string::npos) << kDocsPath << " lacks its generated part";
  ASSERT_NE(end, std::string::npos) << kDocsPath << " lacks the end of its generated part";
  begin += sizeof kBegin - 1;
  std::string generated = NotEmulatedTable(host);
  const char* update = std::getenv("FXT_UPDATE_DOCS");
  if (update && std::string(update) == "1") {
    std::ofstream(kDocsPath, std::ios::binary)
        << page.substr(0, begin) << generated << page.substr(end);
    return;
  }
  EXPECT_EQ(page.substr(begin, end - begin), generated)
      << kDocsPath << " is out of date: run the test with FXT_UPDATE_DOCS=1";
}

}  // namespace
}  // namespace fxthost
