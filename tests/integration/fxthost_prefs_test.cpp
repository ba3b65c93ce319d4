// fxthost prefs as a user runs it: the listing, and a document it cannot read.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/integration/fxthost_program.h"

namespace {

namespace fs = std::filesystem;
using fxt_testing::Fxthost;
using fxt_testing::ProgramRun;

TEST(FxthostPrefs, ListsSideRecordsOrRefusesTheDocument) {
  const fs::path dir =
      fs::temp_directory_path() /
      ("fxt_prefs_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(dir);
  struct Row {
    const char* file;
    const char* text;
    int status;
    const char* shown;
  };
  const Row rows[] = {
      {"good.json", R"({ "sideRecords": { "ot25": [[1, 2, 3, 4, 5, 6]] } })", 0,
       "pfMM: 2 records ot25 from inci 0, 24 bytes\n"
       "  ot25 inci 0  [1, 2, 3, 4, 5, 6]  bytes 0-11\n"},
      {"bad.json", R"({ "sideRecords": { "ot25": [[1, 2]] } })", 2,
       "bad.json: sideRecords[\"ot25\"][0]: a side record has six words, found 2\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    std::ofstream(dir / row.file, std::ios::binary) << row.text;
    const ProgramRun run = Fxthost("prefs \"" + (dir / row.file).string() + "\"");
    EXPECT_EQ(run.status, row.status) << run.output;
    EXPECT_NE(run.output.find(row.shown), std::string::npos) << run.output;
  }
  EXPECT_EQ(Fxthost("prefs").status, 2);
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

}  // namespace
