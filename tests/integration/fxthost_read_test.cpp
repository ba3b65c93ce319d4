// fxthost reading documents it must refuse, as a user runs it: the examples, each with
// one number made too large or too small for a double or turned into a NUL byte, are
// refused by run, show and prefs, in a batch and on their own, with status 2, the
// reason, and nothing written.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/files/musicxml.h"
#include "tests/integration/fxthost_program.h"

namespace {

namespace fs = std::filesystem;
using fxt_testing::Fxthost;
using fxt_testing::ProgramRun;
using fxt_testing::ReadText;

// The numbers of a JSON text, outside its strings: (offset, length).
std::vector<std::pair<size_t, size_t>> Numbers(const std::string& text) {
  std::vector<std::pair<size_t, size_t>> numbers;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') ++i;
      inString = c != '"';
    } else if (c == '"') {
      inString = true;
    } else if (c == '-' || (c >= '0' && c <= '9')) {
      size_t end = i + 1;
      while (end < text.size() && std::strchr("0123456789.eE+-", text[end]) && text[end] != '\0')
        ++end;
      numbers.emplace_back(i, end - i);
      i = end - 1;
    }
  }
  return numbers;
}

// A document the reader must refuse, and a part of the reason it must give.
struct Damaged {
  std::string name;
  std::string text;
  const char* reason;
};

// fxthost.md, Strict JSON: a number beyond a double's range, one too small for a double
// to tell from 0, and a NUL byte are refused. Each example gives five documents, one
// number replaced in each (the numbers spread over the file, the edges by turns), and a
// sixth with a NUL byte and more text after its end.
std::vector<Damaged> DamagedExamples() {
  struct Edge {
    std::string text;
    const char* reason;
  };
  const Edge edges[] = {{"1e400", "number overflow parsing '1e400'"},
                        {"-1e999", "number overflow parsing '-1e999'"},
                        {"1e-400", "expected a whole number, found 1e-400"},
                        {std::string(1, '\0'), "a NUL byte"}};
  std::vector<fs::path> examples;
  for (const auto& entry : fs::directory_iterator(FXT_EXAMPLES_DIR))
    if (entry.path().extension() == ".json") examples.push_back(entry.path());
  std::sort(examples.begin(), examples.end());
  std::vector<Damaged> damaged;
  for (const fs::path& example : examples) {
    const std::string text = ReadText(example);
    const auto numbers = Numbers(text);
    const std::string stem = example.stem().string();
    for (size_t k = 0; k < 5 && !numbers.empty(); ++k) {
      const auto& number = numbers[numbers.size() * (2 * k + 1) / 10];
      const Edge& edge = edges[damaged.size() % 4];
      std::string changed = text;
      changed.replace(number.first, number.second, edge.text);
      damaged.push_back({stem + "-" + std::to_string(k) + ".json", changed, edge.reason});
    }
    damaged.push_back({stem + "-nul.json", text + '\0' + text, "a NUL byte"});
  }
  return damaged;
}

class FxthostRead : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() /
        ("fxt_read_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir_ / "out");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // The command line of a subcommand on the document; run also names its outputs.
  std::string Command(const std::string& subcommand, const std::string& name) const {
    std::string line = subcommand + " \"" + Path(name) + "\"";
    if (subcommand == "run")
      line += std::string(" --plugin \"") + FXT_PLUGIN_PATH + "\" -o \"" + Path("out/" + name) +
              "\" --report \"" + Path("out/report-" + name) + "\"";
    return line;
  }
  fs::path dir_;
};

TEST_F(FxthostRead, DamagedExamplesAreRefusedByEveryCommand) {
  const std::vector<Damaged> damaged = DamagedExamples();
  ASSERT_GE(damaged.size(), 100u);
  const char* const subcommands[] = {"run", "show", "prefs"};
  std::string batch;
  for (size_t i = 0; i < damaged.size(); ++i) {
    const Damaged& doc = damaged[i];
    std::ofstream(dir_ / doc.name, std::ios::binary) << doc.text;
    for (const char* subcommand : subcommands) batch += Command(subcommand, doc.name) + "\n";
    // Every third document also as a program of its own (a process each costs more than
    // the batch's lines), the subcommands by turns.
    if (i % 3 != 0) continue;
    SCOPED_TRACE(doc.name);
    const ProgramRun run = Fxthost(Command(subcommands[i / 3 % 3], doc.name));
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find(Path(doc.name) + ": "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(doc.reason), std::string::npos) << run.output;
  }
  // All of them in one batch: each line is refused and the batch goes on to the next.
  std::ofstream(dir_ / "batch.txt", std::ios::binary) << batch;
  const ProgramRun run = Fxthost("batch \"" + Path("batch.txt") + "\"");
  EXPECT_EQ(run.status, 2) << run.output.substr(0, 2000);
  for (size_t line = 1; line <= 3 * damaged.size(); ++line) {
    SCOPED_TRACE(damaged[(line - 1) / 3].name);
    EXPECT_NE(run.output.find("== " + std::to_string(line) + ": exit 2\n"), std::string::npos);
  }
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

// A MusicXML score where fxthost is built without the reader (the 32-bit and Windows
// builds): refused with the reason and status 2, by show and by import, nothing written.
TEST_F(FxthostRead, AScoreIsReadOnlyWhereTheReaderIsBuilt) {
  std::ofstream(dir_ / "score.xml", std::ios::binary)
      << "<score-partwise><part-list><score-part id=\"P1\"><part-name>A</part-name>"
         "</score-part></part-list><part id=\"P1\"><measure number=\"1\"/></part>"
         "</score-partwise>";
  const std::string commands[] = {"show", "import -o \"" + Path("out/doc.json") + "\""};
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const ProgramRun run = Fxthost(command + " \"" + Path("score.xml") + "\"");
    if (fxthost::kMusicXmlReader) {
      EXPECT_EQ(run.status, 0) << run.output;
      continue;
    }
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(
        run.output.find(Path("score.xml") + ": this fxthost is built without the MusicXML reader"),
        std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(dir_ / "out" / "doc.json"));
  }
}

}  // namespace
