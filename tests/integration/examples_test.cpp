// The end-to-end examples: every examples/cases/NAME.args is run with fxthost, and the
// saved document and the report must equal NAME.expected.json and NAME.report.json byte
// for byte. The score documents themselves must chart and read back unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/files/docfile.h"
#include "host/store/document.h"
#include "tests/integration/fxthost_program.h"

namespace {

using fxt_testing::Fxthost;
using fxt_testing::ProgramRun;

namespace fs = std::filesystem;

const fs::path kExamples = FXT_EXAMPLES_DIR;

std::string Quoted(const fs::path& path) { return "\"" + path.string() + "\""; }

bool ReadText(const fs::path& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  *text = content.str();
  return true;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// Empty when equal; otherwise where the two texts part, with a few lines of each.
std::string Difference(const std::string& expected, const std::string& got) {
  if (expected == got) return "";
  const std::vector<std::string> want = Lines(expected);
  const std::vector<std::string> have = Lines(got);
  size_t line = 0;
  while (line < want.size() && line < have.size() && want[line] == have[line]) ++line;
  std::ostringstream out;
  out << "first difference at line " << line + 1 << "\n";
  for (size_t i = line; i < line + 3; ++i) {
    if (i < want.size()) out << "  expected: " << want[i] << "\n";
    if (i < have.size()) out << "  got:      " << have[i] << "\n";
  }
  if (line == want.size() && line == have.size()) out << "  (the texts differ in line endings)\n";
  return out.str();
}

// The names of the cases, from the .args files present when the tests are listed.
std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(kExamples / "cases", error))
    if (entry.path().extension() == ".args") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The score documents: examples/*.json.
std::vector<fs::path> Documents() {
  std::vector<fs::path> documents;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(kExamples, error))
    if (entry.is_regular_file() && entry.path().extension() == ".json")
      documents.push_back(entry.path());
  std::sort(documents.begin(), documents.end());
  return documents;
}

// A case's .args line: the document, then the run options.
bool ReadArgs(const std::string& name, fs::path* document, std::string* options) {
  std::string text;
  if (!ReadText(kExamples / "cases" / (name + ".args"), &text)) return false;
  std::istringstream words(text);
  std::string word;
  if (!(words >> word)) return false;
  *document = kExamples / word;
  options->clear();
  while (words >> word) *options += " " + word;
  return true;
}

class Example : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("fxt_example_" + GetParam() + "_" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  fs::path dir_;
};

TEST_P(Example, SavesTheExpectedDocumentAndReport) {
  const std::string name = GetParam();
  fs::path document;
  std::string options;
  ASSERT_TRUE(ReadArgs(name, &document, &options)) << "cases/" << name << ".args";
  const fs::path out = dir_ / "document.json";
  const fs::path report = dir_ / "report.json";
  const ProgramRun run = Fxthost("run " + Quoted(document) + options + " -o " + Quoted(out) +
                                 " --report " + Quoted(report));
  ASSERT_EQ(run.status, 0) << name << ":\n" << run.output;

  const struct {
    fs::path expected;
    fs::path got;
  } outputs[] = {
      {kExamples / "cases" / (name + ".expected.json"), out},
      {kExamples / "cases" / (name + ".report.json"), report},
  };
  for (const auto& output : outputs) {
    SCOPED_TRACE(output.expected.filename().string());
    std::string expected, got;
    ASSERT_TRUE(ReadText(output.expected, &expected)) << "missing " << output.expected;
    ASSERT_TRUE(ReadText(output.got, &got)) << "not written:\n" << run.output;
    const std::string difference = Difference(expected, got);
    EXPECT_TRUE(difference.empty())
        << name << ": " << output.expected.filename().string() << ": " << difference;
  }
}

// Test names allow letters, digits and underscores: a case "small-range-no" is the
// test "small_range_no".
std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Example, ::testing::ValuesIn(CaseNames()), TestName);

TEST(Examples, EveryCaseHasItsFilesAndEveryDocumentIsUsed) {
  const std::vector<std::string> names = CaseNames();
  ASSERT_FALSE(names.empty()) << "no cases under " << kExamples / "cases";
  std::vector<std::string> used;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    fs::path document;
    std::string options;
    ASSERT_TRUE(ReadArgs(name, &document, &options));
    EXPECT_TRUE(fs::is_regular_file(document)) << document;
    EXPECT_TRUE(fs::is_regular_file(kExamples / "cases" / (name + ".expected.json")));
    EXPECT_TRUE(fs::is_regular_file(kExamples / "cases" / (name + ".report.json")));
    used.push_back(document.filename().string());
  }
  for (const fs::path& document : Documents()) {
    EXPECT_NE(std::find(used.begin(), used.end(), document.filename().string()), used.end())
        << document.filename() << " is named by no case";
  }
}

// Every score document, and every document a case expects, reads back as the same text,
// and fxthost charts each score document.
TEST(Examples, DocumentsReadBackUnchangedAndChart) {
  std::vector<fs::path> documents = Documents();
  ASSERT_FALSE(documents.empty());
  for (const std::string& name : CaseNames())
    documents.push_back(kExamples / "cases" / (name + ".expected.json"));
  for (const fs::path& path : documents) {
    SCOPED_TRACE(path.filename().string());
    std::string text;
    ASSERT_TRUE(ReadText(path, &text));
    fxthost::Document document;
    fxthost::DocumentFile info;
    fxthost::DocumentError error;
    ASSERT_TRUE(fxthost::ReadDocumentFile(path.string(), &document, &info, &error))
        << error.Message();
    EXPECT_EQ(Difference(text, fxthost::FormatDocument(document, info)), "");
    if (path.parent_path() == kExamples) {
      const ProgramRun run = Fxthost("show " + Quoted(path));
      EXPECT_EQ(run.status, 0) << run.output;
    }
  }
}

}  // namespace
