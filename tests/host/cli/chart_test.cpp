// The chart of staves and groups that fxthost shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "host/cli/chart.h"
#include "host/files/docfile.h"
#include "host/store/groups.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"

namespace {

using fxthost::ChartOptions;
using fxthost::Document;

const char* const kSmall = R"doc({
  "measures": 12,
  "staves": [ { "id": 3, "name": "^font(Arial)Violin I" }, { "id": 5, "name": "Violin II" },
              { "id": 6, "name": "Viola" }, { "id": 8, "name": "Violoncello and Contrabass together" },
              { "id": 9 } ],
  "groups": [
    { "id": 1, "staves": [3, 8], "measures": [1, 12], "name": "^font(Times New Roman)^size(12)^nfx(0)Strings",
      "abbreviation": "Str." },
    { "id": 2, "staves": [3, 5], "measures": [1, 4], "abbreviation": "Vlns." },
    { "id": 4, "staves": [6, 6], "measures": [5, 30] },
    { "id": 7, "staves": [9, 9], "measures": [2, 3], "name": "Solo" }
  ],
  "selection": { "staves": [3, 8], "measures": [5, 8] }
})doc";

Document Load(const std::string& text) {
  Document document;
  fxthost::DocumentError error;
  EXPECT_TRUE(fxthost::ParseDocument(text, "t.json", &document, nullptr, &error))
      << error.Message();
  return document;
}

size_t Columns(const std::string& line) {
  size_t columns = 0;
  for (unsigned char c : line) columns += (c & 0xC0) != 0x80;
  return columns;
}

TEST(Chart, DrawsStavesBracketsAndBarsAtTheWidth) {
  const Document document = Load(kSmall);
  ChartOptions options;
  options.width = 60;
  options.title = "small.json";
  EXPECT_EQ(
      fxthost::DrawChart(document, options),
      "small.json \u2014 5 staves, 12 measures, 4 groups\n"
      "Selection: staves 3-8 (slots 1-4), measures 5-8\n"
      "\n"
      "  slot staff  name                  groups\n"
      ">    1     3  Violin I              \u250C1 \u250C2\n"
      ">    2     5  Violin II             \u2502  \u2514\n"
      ">    3     6  Viola                 \u2502  [4\n"
      ">    4     8  Violoncell\u2026 together  \u2514\n"
      "     5     9                        [7\n"
      "\n"
      "  # group    staves  measures  1        5           10   12\n"
      "  1 Strings  1-4     1-12      "
      "\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588"
      "\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\n"
      "  2 Vlns.    1-2     1-4       \u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\n"
      "  4          3       5-30               "
      "\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588"
      "\u2588\u2588\u2588\u2588>\n"
      "  7 Solo     5       2-3         \u2588\u2588\u2588\u2588\u2588\n"
      "  selection                             "
      "\u2591\u2591\u2591\u2591\u2591\u2591\u2591\u2591\u2591\n");
}

TEST(Chart, ShowsAStyleColumnWhenAGroupHasOtherThanTheDefaultStyle) {
  struct Row {
    const char* members;  // the bracket and barline members of group 1
    const char* shown;    // its style column, "" when there is no column
  };
  const Row rows[] = {
      {"", ""},
      {R"(, "bracket": "brace")", "brace"},
      {R"(, "bracket": "square", "barline": "none")", "square, no barlines"},
      {R"(, "bracket": "line", "barline": "mensurstrich")", "line, mensurstrich"},
      {R"(, "barline": "mensurstrich")", "bracket, mensurstrich"},
      {R"(, "bracket": "none")", "none"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.members);
    const Document document =
        Load(std::string(R"({ "measures": 2, "staves": [{ "id": 1 }],
        "groups": [{ "id": 1, "staves": [1, 1], "measures": [1, 2], "name": "G")") +
             row.members + "}, { \"id\": 2, \"staves\": [1, 1], \"measures\": [1, 1] }] }");
    ChartOptions options;
    options.width = 60;
    const std::string chart = fxthost::DrawChart(document, options);
    const std::string shown = row.shown;
    const size_t header = chart.find("  # group  staves  measures  ");
    ASSERT_NE(header, std::string::npos) << chart;
    const size_t after = header + std::string("  # group  staves  measures  ").size();
    EXPECT_EQ(chart.compare(after, 5, "style") == 0, !shown.empty()) << chart;
    if (shown.empty()) continue;
    const std::string width(std::max<size_t>(shown.size(), 5) + 2 - shown.size(), ' ');
    EXPECT_NE(chart.find("  1 G      1       1-2       " + shown + width + "\u2588"),
              std::string::npos)
        << chart;
    EXPECT_NE(chart.find("  2        1       1         " +
                         std::string(shown.size() + width.size(), ' ') + "\u2588"),
              std::string::npos)
        << chart;
  }
}

TEST(Chart, MarksNewChangedAndRemovedGroups) {
  Document document = Load(kSmall);
  const std::vector<fxthost::ChartGroup> before = fxthost::ChartGroups(document);
  // What a split leaves: group 1 shortened, group 8 new with a suffixed name; and
  // group 7 gone.
  fxthost::GroupRecord group;
  ASSERT_TRUE(fxthost::ReadGroup(document, 0, 1, &group));
  group.endMeasure = 4;
  ASSERT_TRUE(fxthost::WriteGroup(document, group));
  group.number = 8;
  group.startMeasure = 5;
  group.endMeasure = 8;
  group.fullNameBlock = fxthost::NewTextBlock(document, "Strings^font(Arial)(Split Group 8)");
  ASSERT_TRUE(fxthost::WriteGroup(document, group));
  document.records.Erase(fxthost::kGroupTag, fxthost::DataKey{0, 7, 0, 0});

  ChartOptions options;
  options.width = 72;
  options.title = "After";
  options.before = &before;
  const std::string chart = fxthost::DrawChart(document, options);
  struct Row {
    const char* line;  // the start of a line of the chart
  };
  // fxthost.md, The chart: after a command the groups are marked against those before it,
  // + new, * changed, - removed (drawn as a line), and a last line counts them.
  const Row rows[] = {
      {">    1     3  Violin I                  \u250C1,8 \u250C2\n"},
      {"* 1 Strings             1-4     1-4       "
       "\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\n"},
      {"  2 Vlns.               1-2     1-4"},
      {"- 7 Solo                5       2-3         \u2500\u2500\u2500\u2500\u2500\n"},
      {"+ 8 St\u2026(Split Group 8)  1-4     5-8                \u2588"},
      {"\nChanges: 1 new (+), 1 changed (*), 1 removed (-).\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_NE(chart.find(row.line), std::string::npos) << chart;
  }
  // Nothing changed: said so.
  const std::vector<fxthost::ChartGroup> now = fxthost::ChartGroups(document);
  options.before = &now;
  EXPECT_NE(fxthost::DrawChart(document, options).find("\nNo group changed.\n"), std::string::npos);
}

TEST(Chart, EveryLineFitsTheWidth) {
  std::ifstream in(std::string(FXT_EXAMPLES_DIR) + "/orchestra.json");
  std::ostringstream text;
  text << in.rdbuf();
  const Document documents[] = {Load(text.str()), Load(kSmall)};
  for (const Document& document : documents) {
    for (int width : {60, 80, 100, 132, 200}) {
      SCOPED_TRACE(width);
      ChartOptions options;
      options.width = width;
      options.title = "t";
      std::istringstream lines(fxthost::DrawChart(document, options));
      std::string line;
      size_t widest = 0;
      while (std::getline(lines, line)) widest = std::max(widest, Columns(line));
      EXPECT_LE(widest, static_cast<size_t>(width));
    }
  }
}

TEST(Chart, GroupsTheScoreOrderDoesNotHoldAreListedWithoutABracket) {
  const Document document = Load(R"doc({ "measures": 4,
      "staves": [{ "id": 1, "name": "A" }, { "id": 2, "name": "B" }],
      "groups": [{ "id": 1, "staves": [2, 1], "measures": [1, 4], "name": "Upside down" }],
      "records": [{ "tag": "SOIS", "key": [7, 0, 0, 0], "hex": "00" }] })doc");
  ChartOptions options;
  options.title = "t";
  const std::string chart = fxthost::DrawChart(document, options);
  EXPECT_NE(chart.find("  1 Upside down  ?       1-4"), std::string::npos) << chart;
  EXPECT_EQ(chart.find("\u250C"), std::string::npos) << chart;
  EXPECT_EQ(chart.find("["), std::string::npos) << chart;
}

// A long name is shortened in the middle, so that its end stays: a numbered suffix
// tells the pieces of a split group apart (fxthost.md, The chart: a suffix in parentheses
// at the end is kept whole when a character of the beginning still fits beside it).
TEST(Chart, LongNamesKeepTheirEnd) {
  struct Row {
    const char* name;
    int width;
    const char* shown;  // the group's line begins so
  };
  const Row rows[] = {
      {"Strings(Split Group 12)", 80, "  1 Str\u2026(Split Group 12)  1"},
      {"Strings (Split Group 12)", 80, "  1 Str\u2026(Split Group 12)  1"},
      {"Strings(Split Group 12)", 60, "  1 Strings\u2026oup 12)  1"},
      {"Violoncello and Contrabass together", 80, "  1 Violoncell\u2026 together  1"},
      {"Horn in E\u266D (a) (Split Group 3)", 80, "  1 Horn\u2026(Split Group 3)  1"},
      {"B\u266D Clarinets (Split Group 3)", 80, "  1 B\u266D C\u2026(Split Group 3)  1"},
      {"Nested (a (b) c) end (x (y))", 40, "  1 Nest\u2026(x (y))  1"},
      {"An unbalanced name without an opening)", 40, "  1 An unb\u2026ning)  1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Document document =
        Load(std::string(R"({ "measures": 4, "staves": [{ "id": 1 }], "groups": [{ "id": 1,
              "staves": [1, 1], "measures": [1, 4], "name": ")") +
             row.name + "\" }] }");
    ChartOptions options;
    options.width = row.width;
    options.title = "t";
    const std::string chart = fxthost::DrawChart(document, options);
    EXPECT_NE(chart.find(row.shown), std::string::npos) << chart;
  }
}

TEST(Chart, TakesTheWidthOfTheTerminalAndAFixedOneElsewhere) {
  struct Row {
    bool terminal;
    const char* columns;  // COLUMNS
    int terminalColumns;
    int width;
  };
  // fxthost.md, The chart, the width: on a terminal COLUMNS when it holds a whole number,
  // else the terminal's own width; otherwise always 80 columns; at most 1000.
  const Row rows[] = {
      {false, "132", 100, fxthost::kDefaultChartWidth},
      {false, nullptr, 0, fxthost::kDefaultChartWidth},
      {true, "132", 100, 132},
      {true, nullptr, 100, 100},
      {true, "", 100, 100},
      {true, "wide", 100, 100},
      {true, "0", 100, 100},
      {true, "-5", 100, 100},
      {true, nullptr, 0, fxthost::kDefaultChartWidth},
      {true, "99999999999999999999", 100, fxthost::kWidestChart},
      {true, nullptr, 5000, fxthost::kWidestChart},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.terminal ? "terminal, " : "no terminal, ") +
                 (row.columns ? row.columns : "(unset)"));
    EXPECT_EQ(fxthost::ChartWidth(row.terminal, row.columns, row.terminalColumns), row.width);
  }
}

// Every step of the chart is linear in the staves and groups (or n log n): a full score
// order of 32,767 staves, all selected, with as many groups, takes well under a second
// (fxthost.md, The chart).
// The bound is in processor time, so that a busy machine does not fail it.
TEST(Chart, DrawsTheLargestScoreInLinearTime) {
  Document document;
  fxthost::SetMeasures(document, 100);
  std::vector<int16_t> order;
  for (int number = 1; number <= 0x7FFF; ++number) {
    const auto staff = static_cast<int16_t>(number);
    ASSERT_TRUE(fxthost::PutStaff(document, staff, "Staff " + std::to_string(staff)));
    order.push_back(staff);
  }
  ASSERT_TRUE(fxthost::WriteInstrumentList(document, 0, order));
  for (int number = 1; number <= 0x7FFF; ++number) {
    fxthost::GroupRecord group;
    group.number = static_cast<uint16_t>(number);
    group.startStaff = static_cast<int16_t>(1 + (number * 7) % 0x7FFF);
    group.endStaff = static_cast<int16_t>(std::min(0x7FFF, group.startStaff + number % 5));
    group.startMeasure = static_cast<int16_t>(1 + number % 50);
    group.endMeasure = static_cast<int16_t>(60 + number % 40);
    ASSERT_TRUE(fxthost::WriteGroup(document, group));
  }
  ASSERT_TRUE(fxthost::SetSelection(document, fxthost::Region::Cells(0, 1, 0x7FFF, 1, 8)));
  ChartOptions options;
  options.title = "large";
  const std::clock_t start = std::clock();
  const std::string chart = fxthost::DrawChart(document, options);
  const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  EXPECT_NE(chart.find("> 32767 32767  Staff 32767"), std::string::npos);
  EXPECT_LT(seconds, 10.0);
}

TEST(Chart, EmptyDocumentSaysSo) {
  ChartOptions options;
  options.title = "empty";
  EXPECT_EQ(fxthost::DrawChart(Document(), options),
            "empty \u2014 0 staves, 0 measures, 0 groups\n\nNo staves.\n\nNo groups.\n");
}

}  // namespace
