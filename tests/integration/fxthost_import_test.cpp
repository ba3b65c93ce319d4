// fxthost on MusicXML scores as a user runs it: "import" with its summary, and "run"
// reading a score directly and splitting a bracket over some of its staves and measures
// (docs/musicxml.md); every piece keeps its original's bracket style.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/integration/fxthost_program.h"

namespace {

namespace fs = std::filesystem;
using fxt_testing::Fxthost;
using fxt_testing::ProgramRun;

// Strings in a square bracket (with Mensurstrich), a brace over a two-staff piano, and
// woodwinds in a bracket; four measures, the first with a note for each part.
std::string Orchestra() {
  auto part = [](const std::string& id, const std::string& name) {
    return "<score-part id=\"" + id + "\"><part-name>" + name + "</part-name></score-part>";
  };
  auto music = [](const std::string& id, int staves) {
    std::string text = "<part id=\"" + id + "\">";
    for (int m = 1; m <= 4; ++m)
      text +=
          "<measure number=\"" + std::to_string(m) + "\">" +
          (m == 1
               ? "<attributes><divisions>1</divisions><staves>" + std::to_string(staves) +
                     "</staves><time><beats>4</beats><beat-type>4</beat-type></time></attributes>"
               : "") +
          "<note><pitch><step>A</step><octave>4</octave></pitch><duration>4</duration></note>"
          "</measure>";
    return text + "</part>";
  };
  return "<score-partwise><part-list>"
         "<part-group type=\"start\" number=\"1\"><group-name>Woodwinds</group-name>"
         "<group-symbol>bracket</group-symbol></part-group>" +
         part("P1", "Flute") + part("P2", "Oboe") + "<part-group type=\"stop\" number=\"1\"/>" +
         part("P3", "Piano") +
         "<part-group type=\"start\" number=\"2\"><group-name>Strings</group-name>"
         "<group-symbol>square</group-symbol><group-barline>Mensurstrich</group-barline>"
         "</part-group>" +
         part("P4", "Violin") + part("P5", "Viola") + part("P6", "Cello") +
         "<part-group type=\"stop\" number=\"2\"/></part-list>" + music("P1", 1) + music("P2", 1) +
         music("P3", 2) + music("P4", 1) + music("P5", 1) + music("P6", 1) + "</score-partwise>";
}

class FxthostImport : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("fxt_import_" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir_);
    std::ofstream(dir_ / "orchestra.musicxml", std::ios::binary) << Orchestra();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  nlohmann::json ReadJson(const std::string& name) const {
    std::ifstream in(Path(name));
    return nlohmann::json::parse(in);
  }
  fs::path dir_;
};

TEST_F(FxthostImport, ImportWritesTheDocumentAndSaysWhatItTook) {
  const ProgramRun run =
      Fxthost("import " + Path("orchestra.musicxml") + " -o " + Path("orchestra.json"));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Imported: 7 staves, 3 groups, 4 measures, 24 notes, 0 rests, "
                            "0 expressions\nLeft out: nothing\n"),
            std::string::npos)
      << run.output;
  const nlohmann::json doc = ReadJson("orchestra.json");
  EXPECT_EQ(doc["groups"].size(), 3u);
  EXPECT_EQ(Fxthost("show " + Path("orchestra.json")).status, 0);
}

TEST_F(FxthostImport, RunSplitsABracketOfAScoreReadDirectlyAndThePiecesKeepItsStyle) {
  const ProgramRun run =
      Fxthost("run " + Path("orchestra.musicxml") + " --plugin " + FXT_PLUGIN_PATH +
              " --staves 5-7 --measures 2-3 --answer yes -o " + Path("after.json"));
  ASSERT_EQ(run.status, 0) << run.output;
  const nlohmann::json doc = ReadJson("after.json");
  int strings = 0;
  for (const nlohmann::json& group : doc["groups"]) {
    if (group["staves"] != nlohmann::json::array({5, 7})) continue;
    ++strings;
    EXPECT_EQ(group.value("bracket", ""), "square") << group.dump();
    EXPECT_EQ(group.value("barline", ""), "mensurstrich") << group.dump();
    EXPECT_EQ(group["name"].get<std::string>().rfind("Strings", 0), 0u) << group.dump();
  }
  EXPECT_EQ(strings, 3) << doc["groups"].dump() << run.output;
  // The other groups are as the score gave them.
  EXPECT_EQ(doc["groups"][0]["name"], "Woodwinds");
  EXPECT_EQ(doc["groups"][0]["measures"], nlohmann::json::array({1, 4}));
}

TEST_F(FxthostImport, AScoreThatCannotBeReadIsRefusedWithStatusTwo) {
  std::ofstream(dir_ / "bad.xml", std::ios::binary) << "<score-partwise><part-list>";
  const ProgramRun run = Fxthost("show " + Path("bad.xml"));
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find("bad.xml: line 1, column 27: malformed XML"), std::string::npos)
      << run.output;
}

}  // namespace
