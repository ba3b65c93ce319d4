// fxthost prefs as a user runs it: the listing, or the reason a document is refused.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/integration/fxthost_program.h"

namespace {

namespace fs = std::filesystem;

// fxthost.md, prefs: exit status 0, or 2 for a document that cannot be read.
TEST(FxthostPrefs, ListsSideRecordsOrRefusesTheDocument) {
  const fs::path dir =
      fs::temp_directory_path() /
      ("fxt_prefs_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(dir);
  struct Row {
    const char* file;
    const char* words;
    int status;
    const char* shown;
  };
  for (const Row& row :
       {Row{"good.json", "[1, 2, 3, 4, 5, 6]", 0,
            "  ot25 inci 0  [1, 2, 3, 4, 5, 6]  bytes 0-11\n"},
        Row{"bad.json", "[1, 2]", 2,
            "bad.json: sideRecords[\"ot25\"][0]: a side record has six words, found 2\n"}}) {
    SCOPED_TRACE(row.file);
    std::ofstream(dir / row.file) << "{ \"sideRecords\": { \"ot25\": [" << row.words << "] } }";
    const fxt_testing::ProgramRun run =
        fxt_testing::Fxthost("prefs \"" + (dir / row.file).string() + "\"");
    EXPECT_EQ(run.status, row.status) << run.output;
    EXPECT_NE(run.output.find(row.shown), std::string::npos) << run.output;
  }
  EXPECT_EQ(fxt_testing::Fxthost("prefs").status, 2);
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

}  // namespace
