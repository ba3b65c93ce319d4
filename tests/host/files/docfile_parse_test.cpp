// The strict parse of a document file's text (host/files/docfile_parse.cpp): the value it
// builds, the numbers and bytes it refuses with their places, and its cost on long arrays.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/files/docfile.h"
#include "host/files/docfile_json.h"
#include "host/store/score.h"

namespace {

using fxthost::Document;
using fxthost::DocumentError;
using fxthost::Json;

// A text with its NUL bytes, from a literal.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

// The value is the one the JSON library builds, members in the order written.
TEST(DocumentParse, BuildsTheValueTheLibraryReads) {
  std::vector<std::string> texts = {
      R"({})",
      R"([])",
      R"([[], {}, [[1, -2], { "a": [true, false, null] }], 18446744073709551615, -9223372036854775808])",
      R"({ "z": 1, "a": { "y": [1.5, -0.0, 2e10, "\u00e9\u266d"], "b": {} }, "m": "" })",
      R"("text")",
      R"(7)",
  };
  std::string wide = "{";
  for (int i = 40; i > 0; --i)
    wide += "\"k" + std::to_string(i) + "\": [" + std::to_string(i) + "],";
  texts.push_back(wide + "\"last\": {}}");
  for (const auto& entry : std::filesystem::directory_iterator(FXT_EXAMPLES_DIR)) {
    if (entry.path().extension() != ".json") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    texts.push_back(text.str());
  }
  ASSERT_GT(texts.size(), 20u);
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 80));
    const Json read = fxthost::ParseStrictJson(text);
    EXPECT_EQ(read.dump(), Json::parse(text).dump());
  }
}

TEST(DocumentParse, RefusesWhatTheLibraryWouldLetThroughOrCannotHold) {
  struct Row {
    std::string text;
    const char* place;
    const char* reason;  // a part of the reason
  };
  // fxthost.md, Strict JSON: a number beyond a double's range is malformed (line and
  // column of its first character); one too small for a double is not a whole number;
  // a NUL byte anywhere is malformed. Refusals: control characters are escaped.
  const Row rows[] = {
      {R"({ "measures": 1e400 })", "line 1, column 15",
       "malformed JSON: number overflow parsing '1e400'"},
      {"{\n  \"measures\": [\n    { \"beats\": -1e999 } ] }", "line 3, column 16",
       "malformed JSON: number overflow parsing '-1e999'"},
      {R"({ "sideRecords": { "ot25": [[0, 0, 0, 0, 0, 1E+400]] } })", "line 1, column 45",
       "number overflow parsing '1E+400'"},
      {R"({ "measures": 1e-400 })", "measures", "expected a whole number, found 1e-400"},
      {R"({ "sideRecords": { "ot25": [[0, 0, 0, -2.5e-400, 0, 0]] } })",
       "sideRecords[\"ot25\"][0][3]", "expected a whole number, found -2.5e-400"},
      {R"({ "fontPrefs": { "33": { "size": 0.0001e-330 } } })", "fontPrefs[\"33\"].size",
       "expected a whole number, found 0.0001e-330"},
      {Bytes("{ \"measures\": 3 }\0{ \"measures\": 4 }"), "line 1, column 18",
       "malformed JSON: a NUL byte"},
      {Bytes("{\n  \"staves\": [\0] }"), "line 2, column 14", "malformed JSON: a NUL byte"},
      {Bytes("{ \"staves\": [{ \"id\": 3, \"name\": \"Vio\0lin\" }] }"), "line 1, column 37",
       "malformed JSON: a NUL byte"},
      {R"({ "colo\u001b[31mur": 1 })", "colo\\u001b[31mur", "unknown member"},
      {R"({ "host": { "version": "0x1\u0007" } })", "host.version", "found \"0x1\\u0007\""},
      {R"({ "fontPrefs": { "\u009b33": {} } })", "fontPrefs[\"\\u009b33\"]",
       "expected a number as the member name"},
      {"{ \"measures\": 3,\n\x1b[2J }", "line 2, column 1", "last read: '3,<U+000A><U+001B>'"},
      {R"({ "sideRecords": { "ot25": [], "ot25": [] } })", "sideRecords[\"ot25\"]",
       "this member is given twice"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    Document document;
    DocumentError error;
    EXPECT_FALSE(fxthost::ParseDocument(row.text, "bad.json", &document, nullptr, &error));
    EXPECT_EQ(error.place, row.place);
    EXPECT_NE(error.reason.find(row.reason), std::string::npos) << error.reason;
    EXPECT_EQ(error.Message().find('\x1b'), std::string::npos);
    EXPECT_EQ(fxthost::LastMeasure(document.records), 0);
  }
}

TEST(DocumentParse, NumbersThatAreWholeNumbersInOtherSpellings) {
  // fxthost.md, Strict JSON: a zero, however written, is 0; only a number with a digit
  // other than 0 that reads as 0 is too small.
  const std::pair<const char*, int> rows[] = {
      {"-0", 0}, {"-0.0", 0}, {"0e-999", 0}, {"0.000e400", 0}, {"1.5e3", 1500}, {"3.2767E4", 32767},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first);
    Document document;
    DocumentError error;
    ASSERT_TRUE(fxthost::ParseDocument(std::string("{ \"measures\": ") + row.first + " }", "t.json",
                                       &document, nullptr, &error))
        << error.Message();
    EXPECT_EQ(fxthost::LastMeasure(document.records), row.second);
  }
}

// CPU seconds of the fastest of three parses.
double FastestParse(const std::string& text) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    const std::clock_t start = std::clock();
    const Json value = fxthost::ParseStrictJson(text);
    best = std::min(best, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
  }
  return best;
}

// An array of objects is read in one pass: eight times the objects cost about eight
// times as much (a parser that looks back over the array at each object's end costs 64
// times as much).
TEST(DocumentParse, LongArraysOfObjectsCostInProportion) {
  auto objects = [](int count) {
    std::string text = "{ \"staves\": [";
    for (int i = 0; i < count; ++i) text += i == 0 ? "{}" : ", {}";
    return text + "] }";
  };
  const double small = FastestParse(objects(20000));
  const double large = FastestParse(objects(160000));
  EXPECT_LT(large, 24 * std::max(small, 1e-3)) << small << " s, then " << large << " s";
}

}  // namespace
