// fxthost run with further documents open beside the command's (--open FILE[=OUT]):
// what is refused before anything runs, what is saved (only what changed, each to its
// own output) and how the report names the documents the command changed.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/opendocuments.h"
#include "host/scoremodel.h"
#include "tests/integration/fxthost_program.h"

namespace {

using fxt_testing::Fxthost;
using fxt_testing::ProgramRun;

namespace fs = std::filesystem;

const char* const kScore = R"({
  "measures": 30,
  "staves": [{ "id": 3 }, { "id": 6 }],
  "groups": [{ "id": 1, "staves": [3, 6], "measures": [1, 20] }],
  "selection": { "staves": [3, 6], "measures": [5, 8] }
}
)";

class FxthostOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("fxt_open_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir_);
    main_ = Write("main.json");
    other_ = Write("other.json");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name) const {
    std::ofstream(dir_ / name, std::ios::binary) << kScore;
    return Path(name);
  }
  size_t Entries() const {
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(dir_)) count += entry.is_regular_file();
    return count;
  }
  fs::path dir_;
  std::string main_, other_;
};

const std::string kPlugin = std::string(" --plugin ") + FXT_PLUGIN_PATH;

TEST_F(FxthostOpen, OnlyTheChangedDocumentsAreSavedAndReported) {
  const ProgramRun run = Fxthost("run " + main_ + kPlugin + " --answer yes --open " + other_ + "=" +
                                 Path("other.out.json") + " -o " + Path("main.out.json") +
                                 " --report " + Path("report.json"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Changed documents: " + main_ + "\n"), std::string::npos) << run.output;
  EXPECT_TRUE(fs::exists(Path("main.out.json")));
  EXPECT_FALSE(fs::exists(Path("other.out.json"))) << "the command left it as it was";
  std::ifstream report(Path("report.json"));
  const nlohmann::json parsed = nlohmann::json::parse(report);
  EXPECT_EQ(parsed["changed"], nlohmann::json::array({main_}));
}

TEST_F(FxthostOpen, ConflictingFilesAreRefusedBeforeAnythingRuns) {
  struct Row {
    std::string options;
    const char* says;
  } rows[] = {
      {" --open " + main_, "is already open"},
      {" --open " + other_ + " --open " + other_, "is already open"},
      {" --open " + other_ + "=" + main_, "would overwrite the input document"},
      {" --open " + other_ + "=" + Path("x.json") + " -o " + Path("x.json"), "name the same file"},
      {" --open " + other_ + " -o " + other_, "would overwrite the input document"},
      {" --open " + other_ + " --report " + other_, "would overwrite the input document"},
      {" --open " + other_ + "=", "expected FILE or FILE=OUT"},
      {" --open " + Path("missing.json"), "missing.json: cannot be read"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.options);
    const ProgramRun run = Fxthost("run " + main_ + kPlugin + " --answer yes" + row.options);
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find(row.says), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Before:"), std::string::npos) << "nothing ran";
  }
  EXPECT_EQ(Entries(), 2u) << "nothing was written";
}

// In the host itself: a further document that the command changed is saved to its
// output; one without an output is named; an unchanged one is not written.
TEST_F(FxthostOpen, AChangedFurtherDocumentIsSavedToItsOwnOutput) {
  const std::string third = Write("third.json");
  fxthost::Host host;
  std::vector<fxthost::OpenedDocument> opened;
  std::string problem;
  ASSERT_TRUE(fxthost::OpenFurtherDocuments(
      host, {other_ + "=" + Path("other.out.json"), third, main_ + "=" + Path("main.out.json")},
      Path("command.json"), {}, &opened, &problem))
      << problem;
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0].document->path, fs::absolute(other_).lexically_normal().string());
  for (size_t i = 0; i < 2; ++i)
    fxthost::SetMeasures(*opened[i].document, 12);  // other and third change
  std::ostringstream out, err;
  EXPECT_TRUE(fxthost::SaveChangedDocuments(opened, out, err)) << err.str();
  EXPECT_TRUE(fs::exists(Path("other.out.json")));
  EXPECT_FALSE(fs::exists(Path("main.out.json")));
  EXPECT_NE(out.str().find(third + " changed; not written"), std::string::npos) << out.str();
  fxthost::Document reread;
  fxthost::DocumentError error;
  ASSERT_TRUE(fxthost::ReadDocumentFile(Path("other.out.json"), &reread, nullptr, &error));
  EXPECT_EQ(fxthost::LastMeasure(reread.records), 12);
}

}  // namespace
