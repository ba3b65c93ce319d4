// The outputs of a run (host/run/outputs.cpp): prepared beside their targets, moved into
// place all or nothing, no temporary file left (fxthost.md, "Outputs").
#include "host/run/outputs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class Outputs : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("fxt_outputs_" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_))
      names.insert(entry.path().filename().string());
    return names;
  }
  fs::path dir_;
};

// a.json holds "old a" before; both are prepared, then filled as the row says, and the
// row's step runs between preparing and committing, as the plug-in runs there.
TEST_F(Outputs, AllOrNothing) {
  const struct {
    const char* label;
    bool fillB;
    bool bBecomesFolder;
    bool committed;
    const char* a;  // what a.json holds after
    std::set<std::string> entries;
  } rows[] = {
      {"both written, the old file replaced", true, false, true, "new a", {"a.json", "b.json"}},
      {"an output given no text is not written", false, false, true, "new a", {"a.json"}},
      {"a target turned folder: the old a.json put back",
       true,
       true,
       false,
       "old a",
       {"a.json", "b.json"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TearDown();
    SetUp();
    Write("a.json", "old a");
    std::string error;
    std::vector<std::string> written;
    bool committed = false;
    {
      fxthost::Outputs outputs;
      ASSERT_TRUE(outputs.Prepare(Path("a.json"), &error)) << error;
      ASSERT_TRUE(outputs.Prepare(Path("b.json"), &error)) << error;
      EXPECT_EQ(Entries().size(), 3u) << "a.json and the two temporary files";
      if (row.bBecomesFolder) fs::create_directories(dir_ / "b.json" / "inside");
      outputs.Fill(Path("a.json"), "new a");
      if (row.fillB) outputs.Fill(Path("b.json"), "new b");
      committed = outputs.Commit(&written, &error);
    }
    EXPECT_EQ(committed, row.committed) << error;
    EXPECT_EQ(Read("a.json"), row.a);
    EXPECT_EQ(Entries(), row.entries);
    if (row.committed) {
      EXPECT_EQ(written.size(), row.fillB ? 2u : 1u);
      EXPECT_EQ(Read("b.json"), row.fillB ? "new b" : "");
    } else {
      EXPECT_TRUE(written.empty());
      EXPECT_EQ(error, Path("b.json") + " is a directory; an output replaces a file");
    }
  }
}

TEST_F(Outputs, PreparingRefusesWhatCannotBeWritten) {
  fs::create_directories(dir_ / "folder");
  const struct {
    std::string target;
    std::string error;  // its beginning
  } rows[] = {
      {Path("missing/out.json"), "cannot create a file beside " + Path("missing/out.json") + ": "},
      {Path("folder"), Path("folder") + " is a directory; an output replaces a file"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.target);
    fxthost::Outputs outputs;
    std::string error;
    EXPECT_FALSE(outputs.Prepare(row.target, &error));
    EXPECT_EQ(error.rfind(row.error, 0), 0u) << error;
  }
  {
    fxthost::Outputs outputs;
    std::string error;
    ASSERT_TRUE(outputs.Prepare(Path("never.json"), &error)) << error;
  }
  EXPECT_EQ(Entries(), std::set<std::string>{"folder"}) << "no temporary file left";
}

}  // namespace
