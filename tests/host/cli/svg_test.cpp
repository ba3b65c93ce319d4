// The picture of a document's staves and groups (host/cli/svg.cpp; docs/svg.md), read
// back as XML where the build has pugixml, and the picture in docs/ against this build's.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#if defined(FXT_HAVE_PUGIXML)
#include <pugixml.hpp>
#endif

#include "host/cli/chart.h"
#include "host/cli/svg.h"
#include "host/files/docfile.h"
#include "tests/integration/fxthost_program.h"

namespace {

namespace fs = std::filesystem;
using fxt_testing::ReadText;

// A directory of its own, removed afterwards.
class SvgRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() /
        ("fxt_svg_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

const std::string kOrchestra = std::string(FXT_EXAMPLES_DIR) + "/orchestra.json";
const std::string kPicture = std::string(FXT_EXAMPLES_DIR) + "/../docs/split-orchestra.svg";
// How the picture in docs/ is made (README, "Pictures").
const std::string kSplitArguments =
    "run " + kOrchestra + " --plugin " + FXT_PLUGIN_PATH + " --answer yes --svg ";

TEST_F(SvgRun, ThePictureInTheDocsIsWhatThisBuildDraws) {
  const fxt_testing::ProgramRun run = fxt_testing::Fxthost(kSplitArguments + Path("split.svg"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(ReadText(Path("split.svg")) == ReadText(kPicture))
      << "regenerate docs/split-orchestra.svg as the README says";
}

#if defined(FXT_HAVE_PUGIXML)

// A drawn bracket as a line: group, staves, measures, style, mark, name ("-" for none).
std::string Bracket(const pugi::xml_node& g) {
  std::string line = std::string(g.attribute("data-group").value()) + " " +
                     g.attribute("data-staves").value() + " " +
                     g.attribute("data-measures").value() + " " + g.attribute("data-style").value();
  if (*g.attribute("data-mark").value())
    line += std::string(" ") + g.attribute("data-mark").value();
  return line + " " + (g.child("text") ? g.child("text").text().get() : "-");
}

// Every bracket of a panel in drawing order (runs left to right), and a check that each
// stands beside its top staff: its name's baseline 2 below the staff name's.
std::vector<std::string> Brackets(const pugi::xml_node& panel) {
  std::map<std::string, int> staffY;
  for (const pugi::xpath_node& text : panel.select_nodes(".//text[@data-staff]"))
    staffY[text.node().attribute("data-staff").value()] = text.node().attribute("y").as_int();
  std::vector<std::string> brackets;
  for (const pugi::xpath_node& found : panel.select_nodes(".//g[@class='group']")) {
    const pugi::xml_node g = found.node();
    const std::string staves = g.attribute("data-staves").value();
    const std::string top = staves.substr(0, staves.find('-'));
    if (g.child("text")) {
      EXPECT_EQ(g.child("text").attribute("y").as_int(), staffY[top] + 2) << Bracket(g);
    }
    brackets.push_back(Bracket(g));
  }
  return brackets;
}

std::vector<std::string> Runs(const pugi::xml_node& panel) {
  std::vector<std::string> runs;
  for (const pugi::xpath_node& run : panel.select_nodes(".//g[@class='run']"))
    runs.push_back(std::string(run.node().attribute("data-measures").value()) + " " +
                   run.node().child("text").text().get());
  return runs;
}

const char* const kStyles = R"doc({
  "measures": 30,
  "staves": [ { "id": 1, "name": "Flute" }, { "id": 2, "name": "Oboe &amp; <Cor>" }, { "id": 3, "name": "^font(Arial)Piano" },
              { "id": 4 }, { "id": 5, "name": "Violin" }, { "id": 6, "name": "Viola" },
              { "id": 7, "name": "A very long staff name for the celli section" } ],
  "measureNumberRegions": [ { "id": 1, "measures": [1, 9], "prefix": "m. " } ],
  "groups": [
    { "id": 1, "staves": [1, 2], "measures": [1, 30], "name": "Winds", "bracket": "square" },
    { "id": 2, "staves": [3, 4], "measures": [1, 40], "abbreviation": "Pno.", "bracket": "brace" },
    { "id": 3, "staves": [5, 7], "measures": [5, 20], "name": "^font(Arial)Strings", "bracket": "line" },
    { "id": 4, "staves": [5, 6], "measures": [10, 30], "name": "Upper", "bracket": "none" },
    { "id": 5, "staves": [1, 7], "measures": [1, 30], "name": "Tutti" },
    { "id": 6, "staves": [6, 5], "measures": [1, 30], "name": "Upside down" },
    { "id": 7, "staves": [1, 2], "measures": [31, 40], "name": "After the end" }
  ]
})doc";

const char* const kScore = R"xml(<?xml version="1.0"?>
<score-partwise version="3.1"><part-list>
<part-group type="start" number="1"><group-name>Woodwinds</group-name><group-symbol>bracket</group-symbol></part-group>
<score-part id="P1"><part-name>Flute</part-name></score-part>
<score-part id="P2"><part-name>Oboe</part-name></score-part>
<part-group type="stop" number="1"/>
<score-part id="P3"><part-name>Piano</part-name></score-part>
<part-group type="start" number="2"><group-name>Strings</group-name><group-symbol>square</group-symbol></part-group>
<part-group type="start" number="3"><group-name>Violins</group-name><group-symbol>line</group-symbol></part-group>
<score-part id="P4"><part-name>Violin I</part-name></score-part>
<score-part id="P5"><part-name>Violin II</part-name></score-part>
<part-group type="stop" number="3"/>
<score-part id="P6"><part-name>Cello</part-name></score-part>
<part-group type="stop" number="2"/>
</part-list>
<part id="P1"><measure number="1"><attributes><divisions>1</divisions></attributes><note><rest/><duration>4</duration></note></measure><measure number="2"><note><rest/><duration>4</duration></note></measure></part>
<part id="P2"><measure number="1"><attributes><divisions>1</divisions></attributes><note><rest/><duration>4</duration></note></measure><measure number="2"><note><rest/><duration>4</duration></note></measure></part>
<part id="P3"><measure number="1"><attributes><divisions>1</divisions><staves>2</staves></attributes><note><rest/><duration>4</duration><staff>1</staff></note></measure><measure number="2"><note><rest/><duration>4</duration><staff>1</staff></note></measure></part>
<part id="P4"><measure number="1"><attributes><divisions>1</divisions></attributes><note><rest/><duration>4</duration></note></measure><measure number="2"><note><rest/><duration>4</duration></note></measure></part>
<part id="P5"><measure number="1"><attributes><divisions>1</divisions></attributes><note><rest/><duration>4</duration></note></measure><measure number="2"><note><rest/><duration>4</duration></note></measure></part>
<part id="P6"><measure number="1"><attributes><divisions>1</divisions></attributes><note><rest/><duration>4</duration></note></measure><measure number="2"><note><rest/><duration>4</duration></note></measure></part>
</score-partwise>
)xml";

// Each group is drawn once per run of measures it covers (runs end wherever a group
// starts or ends), over its staves, with its style and its name as shown; a group whose
// staves are upside down or whose measures lie past the document's is not drawn.
TEST(SvgPanel, DrawsEachGroupOncePerRunItCovers) {
  struct Row {
    std::string source;  // a document file's text, or a file to read
    std::vector<std::string> runs;
    std::vector<std::string> brackets;
    std::map<std::string, std::string> staffNames;  // some staves and their names
  };
  const Row rows[] = {
      {kOrchestra,
       {"1-48 1\u201348"},
       {"1 1-8 1-48 bracket Woodwinds", "2 9-15 1-48 bracket Brass",
        "3 9-10 1-48 bracket Horns in F", "4 16-17 1-48 bracket Percussion",
        "5 23-24 1-48 bracket Piano", "6 18-22 1-48 bracket Strings",
        "7 18-19 1-48 bracket Violins"},
       {{"5", "Clarinet in B\u266D 1"}, {"24", "staff 24"}}},
      {kStyles,
       {"1-4 m. 1\u2013m. 4", "5-9 m. 5\u2013m. 9", "10-20 10\u201320", "21-30 21\u201330"},
       {"5 1-7 1-4 bracket Tutti", "1 1-2 1-4 square Winds", "2 3-4 1-4 brace Pno.",
        "5 1-7 5-9 bracket Tutti", "1 1-2 5-9 square Winds", "2 3-4 5-9 brace Pno.",
        "3 5-7 5-9 line Strings", "5 1-7 10-20 bracket Tutti", "1 1-2 10-20 square Winds",
        "2 3-4 10-20 brace Pno.", "3 5-7 10-20 line Strings", "4 5-6 10-20 none Upper",
        "5 1-7 21-30 bracket Tutti", "1 1-2 21-30 square Winds", "2 3-4 21-30 brace Pno.",
        "4 5-6 21-30 none Upper"},
       {{"2", "Oboe &amp; <Cor>"}, {"3", "Piano"}, {"7", "A very long \u2026lli section"}}},
      {kScore,
       {"1-2 1\u20132"},
       {"1 1-2 1-2 bracket Woodwinds", "2 3-4 1-2 brace -", "3 5-7 1-2 square Strings",
        "4 5-6 1-2 line Violins"},
       {{"1", "Flute"}, {"7", "Cello"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.source.substr(0, 60));
    fxthost::Document document;
    fxthost::DocumentError error;
    const bool file = row.source[0] != '{' && row.source[0] != '<';
    ASSERT_TRUE(
        file ? fxthost::ReadDocumentFile(row.source, &document, nullptr, &error)
             : fxthost::ParseDocumentOrScore(row.source, "t", &document, nullptr, &error, nullptr))
        << error.Message();
    const std::string svg = fxthost::SvgPicture({fxthost::DrawSvgPanel(document, {"t", "score"})});
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_string(svg.c_str())) << svg;
    const pugi::xml_node panel = xml.select_node("//g[@data-panel='score']").node();
    EXPECT_EQ(Runs(panel), row.runs);
    EXPECT_EQ(Brackets(panel), row.brackets);
    for (const auto& staff : row.staffNames)
      EXPECT_EQ(panel.select_node(("//text[@data-staff='" + staff.first + "']").c_str())
                    .node()
                    .text()
                    .get(),
                staff.second);
  }
}

// Against the groups before a command: a group whose record differs is marked changed in
// every run it covers, one that is gone is listed as removed, the rest are not marked.
TEST(SvgPanel, MarksGroupsAgainstThoseBefore) {
  fxthost::Document document;
  fxthost::DocumentError error;
  ASSERT_TRUE(fxthost::ParseDocument(kStyles, "t", &document, nullptr, &error)) << error.Message();
  std::vector<fxthost::ChartGroup> before = fxthost::ChartGroups(document);
  before[3].record.startMeasure = 11;  // group 4
  before.push_back(before[0]);
  before.back().record.number = 99;
  const std::string svg =
      fxthost::SvgPicture({fxthost::DrawSvgPanel(document, {"t", "after", false, &before})});
  pugi::xml_document xml;
  ASSERT_TRUE(xml.load_string(svg.c_str())) << svg;
  std::vector<std::string> marked;
  for (const pugi::xpath_node& g : xml.select_nodes("//g[@data-mark]"))
    marked.push_back(Bracket(g.node()));
  EXPECT_EQ(marked, (std::vector<std::string>{"4 5-6 10-20 none changed Upper",
                                              "4 5-6 21-30 none changed Upper"}));
  EXPECT_STREQ(xml.select_node("//text[@data-removed]").node().attribute("data-removed").value(),
               "99");
}

// run --svg: the document before (the selection shaded) and after, with the pieces the
// split made marked; and the picture is one of run's outputs, all or nothing. show --svg
// draws the one document.
TEST_F(SvgRun, RunDrawsBeforeAndAfterWithTheNewPiecesMarked) {
  const fxt_testing::ProgramRun run =
      fxt_testing::Fxthost(kSplitArguments + Path("split.svg") + " -o " + Path("out.json"));
  ASSERT_EQ(run.status, 0) << run.output;
  pugi::xml_document xml;
  ASSERT_TRUE(xml.load_file(Path("split.svg").c_str()));
  const pugi::xml_node before = xml.select_node("//g[@data-panel='before']").node();
  const pugi::xml_node after = xml.select_node("//g[@data-panel='after']").node();
  const pugi::xml_node selection = before.select_node(".//rect[@class='selection']").node();
  EXPECT_STREQ(selection.attribute("data-staves").value(), "18-22");
  EXPECT_STREQ(selection.attribute("data-measures").value(), "17-24");
  EXPECT_FALSE(after.select_node(".//rect[@class='selection']"));
  EXPECT_FALSE(before.select_node(".//g[@data-mark]"));
  std::vector<std::string> marked;
  for (const pugi::xpath_node& g : after.select_nodes(".//g[@data-mark]"))
    marked.push_back(Bracket(g.node()));
  EXPECT_EQ(marked, (std::vector<std::string>{"6 18-22 1-16 bracket changed Strings",
                                              "8 18-22 17-24 bracket new Strings(Split Group 8)",
                                              "9 18-22 25-48 bracket new Strings(Split Group 9)"}));
  EXPECT_EQ(Runs(after),
            (std::vector<std::string>{"1-16 1\u201316", "17-24 17\u201324", "25-48 25\u201348"}));
  EXPECT_EQ(after.select_nodes(".//g[@class='group']").size(), 3u * 6 + 3);

  // Refused before anything runs, nothing written: a picture where it cannot go, or over
  // the input or another output.
  const std::string input = Path("orchestra.json");
  fs::copy_file(kOrchestra, input);
  struct Refusal {
    std::string svg;
    std::string says;
  };
  const Refusal refusals[] = {{Path("no/such.svg"), "cannot create a file beside"},
                              {input, "would overwrite the input document"},
                              {Path("again.json"), "-o and --svg name the same file"}};
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.svg);
    const fxt_testing::ProgramRun refused =
        fxt_testing::Fxthost("run " + input + " --plugin " + FXT_PLUGIN_PATH +
                             " --answer yes --svg " + refusal.svg + " -o " + Path("again.json"));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find(refusal.says), std::string::npos) << refused.output;
    EXPECT_FALSE(fs::exists(Path("again.json")));
  }
  EXPECT_EQ(ReadText(input), ReadText(kOrchestra));

  // show --svg: the one panel, over the input refused.
  const fxt_testing::ProgramRun shown =
      fxt_testing::Fxthost("show " + input + " --svg " + Path("show.svg"));
  ASSERT_EQ(shown.status, 0) << shown.output;
  ASSERT_TRUE(xml.load_file(Path("show.svg").c_str()));
  EXPECT_EQ(xml.select_nodes("//g[@data-panel='score']//g[@class='group']").size(), 7u);
  EXPECT_EQ(fxt_testing::Fxthost("show " + input + " --svg " + input).status, 2);
  EXPECT_EQ(ReadText(input), ReadText(kOrchestra));
}

#endif  // FXT_HAVE_PUGIXML

}  // namespace
