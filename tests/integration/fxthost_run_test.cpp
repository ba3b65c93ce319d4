// fxthost show, run and demo as a user runs them: documents in, chart, alerts, the
// saved document, the report and the exit status out.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/run/opendocuments.h"
#include "host/store/score.h"
#include "host/cli/batch.h"
#include "tests/integration/fxthost_program.h"

namespace {

using fxt_testing::Fxthost;
using fxt_testing::ProgramRun;
using fxt_testing::ReadText;

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A directory of its own for each test, removed afterwards.
class FxthostRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("fxt_run_" + std::string(info->name()) + "_" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const std::string& text) const {
    WriteText(dir_ / name, text);
    return Path(name);
  }
  size_t Entries() const {
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(dir_)) count += entry.is_regular_file();
    return count;
  }
  fs::path dir_;
};

const char* const kDocument = R"doc({
  "format": "fxthost-document/1",
  "measures": 30,
  "staves": [
    { "id": 3, "name": "Violin I" },
    { "id": 5, "name": "Violin II" },
    { "id": 6, "name": "Viola" }
  ],
  "instrumentLists": { "2": [3, 6] },
  "groups": [
    { "id": 1, "staves": [3, 6], "measures": [1, 20], "name": "Strings", "abbreviation": "Str.", "offset6": 0 }
  ],
  "selection": { "list": 0, "staves": [3, 6], "measures": [5, 8], "startPosition": 0, "endPosition": 2147483647 }
}
)doc";

const std::string kPlugin = std::string(" --plugin ") + FXT_PLUGIN_PATH;

TEST_F(FxthostRun, ShowChartsTheDocument) {
  const ProgramRun run = Fxthost("show " + std::string(FXT_EXAMPLES_DIR) + "/orchestra.json");
  EXPECT_EQ(run.status, 0) << run.output;
  for (const char* part : {"24 staves, 48 measures, 7 groups", "Violin I", "Clarinet in B\u266D 1",
                           "6 Strings", "Selection: staves 18-22 (slots 20-24), measures 17-24"}) {
    SCOPED_TRACE(part);
    EXPECT_NE(run.output.find(part), std::string::npos) << run.output;
  }
  // Names are shown without their inline tags.
  EXPECT_EQ(run.output.find("^font"), std::string::npos);
}

// fxthost.md, Refusals and Exit status: the file, the place and the reason; status 2,
// nothing written.
TEST_F(FxthostRun, RefusedDocumentsAreUnusableAndNothingIsWritten) {
  struct Row {
    std::string text;
    std::string message;  // after the file name
  };
  const Row rows[] = {
      {"{ \"staves\": [{ \"id\": 3 }], \"groups\": [{ \"id\": 1, \"staves\": [3, 9], \"measures\": "
       "[1, 2] }] }",
       ": groups[0].staves[1]: staff 9 does not exist"},
      {"{ \"measures\": 3, \"selection\": 4 }", ": selection: expected an object, found a number"},
      {"{ \"measures\": 3,", ": line 1, column 17: malformed JSON"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const std::string input = Write("bad.json", row.text);
    for (const std::string& command :
         {"show " + input, "run " + input + kPlugin + " --staves 3-3 --measures 1-1 -o " +
                               Path("out.json") + " --report " + Path("report.json")}) {
      const ProgramRun run = Fxthost(command);
      EXPECT_EQ(run.status, 2) << run.output;
      EXPECT_NE(run.output.find(input + row.message), std::string::npos) << run.output;
      EXPECT_EQ(Entries(), 1u);  // bad.json alone
    }
  }
  EXPECT_EQ(Fxthost("show " + Path("missing.json")).status, 2);
}

// fxthost.md, run: each option replaces that part of the document's selection; with --list
// alone, the document's selected staves are looked up in that list.
TEST_F(FxthostRun, OptionsOverrideTheDocumentsSelection) {
  const std::string input = Write("doc.json", kDocument);
  struct Row {
    const char* options;
    const char* selection;  // the selection the saved document holds
  };
  const Row rows[] = {
      {"",
       R"({"list":0,"staves":[3,6],"measures":[5,8],"startPosition":0,"endPosition":2147483647})"},
      {"--measures 2-3",
       R"({"list":0,"staves":[3,6],"measures":[2,3],"startPosition":0,"endPosition":2147483647})"},
      {"--staves 5-6",
       R"({"list":0,"staves":[5,6],"measures":[5,8],"startPosition":0,"endPosition":2147483647})"},
      {"--slots 1-2 --measures 9",
       R"({"list":0,"staves":[3,5],"measures":[9,9],"startPosition":0,"endPosition":2147483647})"},
      {"--list 2",
       R"({"list":2,"staves":[3,6],"measures":[5,8],"startPosition":0,"endPosition":2147483647})"},
      {"--list 2 --slots 2-2",
       R"({"list":2,"staves":[6,6],"measures":[5,8],"startPosition":0,"endPosition":2147483647})"},
      {"--start-position 0 --end-position 1024",
       R"({"list":0,"staves":[3,6],"measures":[5,8],"startPosition":0,"endPosition":1024})"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.options);
    const std::string out = Path("out.json");
    const ProgramRun run =
        Fxthost("run " + input + kPlugin + " --answer no -o " + out + " " + row.options);
    ASSERT_EQ(run.status, 0) << run.output;
    const nlohmann::json saved = nlohmann::json::parse(ReadText(out), nullptr, false);
    ASSERT_TRUE(saved.is_object()) << ReadText(out);
    EXPECT_EQ(saved.value("selection", nlohmann::json()), nlohmann::json::parse(row.selection));
  }
  EXPECT_EQ(ReadText(input), kDocument);
}

// fxthost.md, Exit status: 0 when the command ran, 2 for unusable input, an output that
// cannot be prepared among it (nothing run and nothing written, no temporary file left).
TEST_F(FxthostRun, ExitStatuses) {
  const std::string input = Write("doc.json", kDocument);
  const std::string bare = Write("bare.json", "{ \"measures\": 4, \"staves\": [{ \"id\": 1 }] }");
  struct Row {
    std::string arguments;
    int status;
    std::string says;  // part of what it prints
  };
  const Row rows[] = {
      {"run " + input + kPlugin + " --answer yes", 0,
       "Split Groups on staves 3-6 (slots 1-3), measures 5-8"},
      {"run " + bare + kPlugin + " --staves 1-1 --measures 1-4", 0, "The command returned"},
      {"run " + Path("missing.json") + kPlugin, 2, "missing.json: cannot be read"},
      {"run " + bare + kPlugin, 0, "Split Groups on an empty selection"},
      {"run " + bare + kPlugin + " --measures 1-4", 2,
       "the document has no selection: give --staves or --slots"},
      {"run " + bare + kPlugin + " --staves 1-1", 2,
       "the document has no selection: give --measures"},
      {"run " + input + kPlugin + " --measures 5-80", 2, "outside the document"},
      {"run " + input + kPlugin + " --measures five", 2, "--measures five"},
      {"run " + input + kPlugin + " --staves 4-6", 2, "staff 4 is not in list 0"},
      {"run " + input + kPlugin + " --staves 3-6 --slots 1-2", 2, "not both"},
      {"run " + input + kPlugin + " --staves 6-3", 2, "top staff comes after"},
      {"run " + input + kPlugin + " --list 2 --staves 5-5", 2, "staff 5 is not in list 2"},
      {"run " + input + kPlugin + " --answer maybe", 2, "maybe"},
      {"run " + input + kPlugin + " --host-version 0xZZ", 2, "--host-version"},
      {"run " + input + " --plugin " + Path("none.fxt"), 2, "cannot load plug-in"},
      {"run " + input + kPlugin + " --report " + input, 2, "would overwrite the input"},
      {"run " + input + kPlugin + " -o " + Path("x.json") + " --report " + Path("x.json"), 2,
       "name the same file"},
      {"run " + input + kPlugin + " -o " + Path("no/such/dir/out.json"), 2,
       "cannot create a file beside"},
      {"run " + input + kPlugin + " -o " + Path("ok.json") + " --report " + Path("no/r.json"), 2,
       "fxthost: cannot create a file beside " + Path("no/r.json")},
      {"run " + input + kPlugin + " -o " + Path("ok.json") + " --open " + bare + "=" +
           Path("no/o.json"),
       2, "fxthost: cannot create a file beside " + Path("no/o.json")},
      {"run " + input + kPlugin + " -o " + Path("ok.json") + " --report " + dir_.string(), 2,
       "fxthost: " + dir_.string() + " is a directory; an output replaces a file"},
      {"show", 2, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments);
    const ProgramRun run = Fxthost(row.arguments);
    EXPECT_EQ(run.status, row.status) << run.output;
    EXPECT_NE(run.output.find(row.says), std::string::npos) << run.output;
  }
  EXPECT_EQ(ReadText(input), kDocument);
  EXPECT_EQ(Entries(), 2u);  // doc.json and bare.json: nothing else was written
}

// An empty value is refused as such, never taken for the option left out: status 2,
// nothing run and nothing written (fxthost.md, Commands: "an empty value").
TEST_F(FxthostRun, EmptyOptionValuesAreRefused) {
  const std::string input = Write("doc.json", kDocument);
  const std::string run = "run " + input + kPlugin + " --answer no ";
  const struct {
    std::string arguments;
    const char* says;  // the whole line of standard error, or its beginning
  } rows[] = {
      {run + "-o \"\"",
       "fxthost: run -o: the value is empty; give a value or leave the option out\n"},
      {run + "--report \"\" -o " + Path("out.json"), "fxthost: run --report: the value is empty"},
      {run + "--item \"\"", "fxthost: run --item: the value is empty"},
      {run + "--measures \"\"", "fxthost: run --measures: the value is empty"},
      {run + "--staves \"\"", "fxthost: run --staves: the value is empty"},
      {run + "--slots \"\"", "fxthost: run --slots: the value is empty"},
      {run + "--list \"\"", "fxthost: run --list: the value is empty"},
      {run + "--start-position \"\"", "fxthost: run --start-position: the value is empty"},
      {run + "--end-position \"\"", "fxthost: run --end-position: the value is empty"},
      {run + "--host-version \"\"", "fxthost: run --host-version: the value is empty"},
      {run + "--open \"\"", "fxthost: run --open: the value is empty"},
      {"run " + input + " --plugin \"\"", "fxthost: run --plugin: the value is empty"},
      {"run \"\"" + kPlugin, "fxthost: run DOC: the value is empty"},
      {"run " + input + kPlugin + " --answer \"\"", "--answer"},
      {"show \"\"", "fxthost: show DOC: the value is empty"},
      {"prefs \"\"", "fxthost: prefs DOC: the value is empty"},
      {"menu --plugin \"\"", "fxthost: menu --plugin: the value is empty"},
      {"demo --plugin \"\"", "fxthost: demo --plugin: the value is empty"},
      {"batch \"\"", "fxthost: batch FILE: the value is empty"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments);
    const ProgramRun result = Fxthost(row.arguments);
    EXPECT_EQ(result.status, 2) << result.output;
    EXPECT_EQ(result.output.rfind(row.says, 0), 0u) << result.output;
    EXPECT_EQ(Entries(), 1u) << "doc.json alone";
  }
}

// fxthost.md, run: without a selection in the document or the options the command runs on
// the empty selection, and the document is saved without one, as it came.
TEST_F(FxthostRun, EmptySelectionWhenNothingNamesOne) {
  const std::string bare = Write("bare.json", R"({ "measures": 4, "staves": [{ "id": 1 }] })");
  const std::string out = Path("out.json");
  const ProgramRun run = Fxthost("run " + bare + kPlugin + " -o " + out);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Split Groups on an empty selection"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("error: Measure Range Error"), std::string::npos)
      << "the command sees no measures, not a partial selection: " << run.output;
  const nlohmann::json saved = nlohmann::json::parse(ReadText(out), nullptr, false);
  ASSERT_TRUE(saved.is_object()) << ReadText(out);
  EXPECT_FALSE(saved.contains("selection")) << ReadText(out);
}

// A refused selection option says what is wrong with it, not only what was expected
// (fxthost.md, run: a refused option is named as given, with what is wrong with it).
TEST_F(FxthostRun, SelectionOptionsSayWhatIsWrong) {
  const std::string input = Write("doc.json", kDocument);
  const std::string bare = Write("bare.json", R"({ "staves": [{ "id": 1 }] })");
  struct Row {
    std::string options;
    const char* message;  // the whole line after "fxthost: "
  };
  const Row rows[] = {
      {"--measures 0-5", "--measures 0-5: measure 0 does not exist (measures run from 1 to 30)"},
      {"--measures -3", "--measures -3: measure -3 does not exist (measures run from 1 to 30)"},
      {"--measures 5-80",
       "--measures 5-80: measure 80 is outside the document (measures run from 1 to 30)"},
      {"--measures 99999999999999999999",
       "--measures 99999999999999999999: measure 99999999999999999999 is outside the document "
       "(measures run from 1 to 30)"},
      {"--measures 8-5", "--measures 8-5: measure 8 comes after measure 5"},
      {"--measures five", "--measures five: expected measures A-B, or one measure A"},
      {"--measures 5-", "--measures 5-: expected measures A-B, or one measure A"},
      {"--slots 0-2", "--slots 0-2: slot 0 does not exist (list 0 has slots 1 to 3)"},
      {"--slots 2-9", "--slots 2-9: slot 9 does not exist (list 0 has slots 1 to 3)"},
      {"--slots 3-1", "--slots 3-1: slot 3 comes after slot 1"},
      {"--list 2 --slots 1-3", "--slots 1-3: slot 3 does not exist (list 2 has slots 1 to 2)"},
      {"--slots x", "--slots x: expected slots A-B, or one slot A"},
      {"--staves 0-5", "--staves 0-5: staff 0 is not in list 0"},
      {"--staves 6-3",
       "--staves 6-3: the top staff comes after the bottom staff (staff 6 is in slot 3 of list 0, "
       "staff 3 in slot 1)"},
      {"--staves 3-x", "--staves 3-x: expected staff numbers A-B, or one staff A"},
      {"--list 70000", "--list 70000: list numbers run from 0 to 65535"},
      {"--list 4", "--list 4: list 4 has no staves"},
      {"--start-position -1", "--start-position -1: positions run from 0 to 2147483647"},
      {"--end-position 3000000000",
       "--end-position 3000000000: positions run from 0 to 2147483647"},
      {"--measures 5 --start-position 10 --end-position 5",
       "the start position 10 comes after the end position 5 in the one measure selected"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.options);
    const ProgramRun run = Fxthost("run " + input + kPlugin + " " + row.options);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output, "fxthost: " + std::string(row.message) + "\n");
  }
  const ProgramRun run = Fxthost("run " + bare + kPlugin + " --staves 1 --measures 1");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.output,
            "fxthost: --measures 1: measure 1 does not exist (the document has no measures)\n");
}

TEST_F(FxthostRun, OutputReplacesOnlyTheFileNamed) {
  const std::string input = Write("doc.json", kDocument);
  const std::string out = Path("out.json");
  ProgramRun run = Fxthost("run " + input + kPlugin + " --answer no -o " + out);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(ReadText(input), kDocument);
  EXPECT_NE(run.output.find("Wrote " + out), std::string::npos);
  EXPECT_EQ(Entries(), 2u);  // no temporary left behind
  // The output reads back, and an old file under that name is replaced whole.
  WriteText(out, std::string(100000, 'x'));
  run = Fxthost("run " + input + kPlugin + " --answer no -o " + out);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Fxthost("show " + out).status, 0);
  EXPECT_EQ(ReadText(out).find('x' + std::string(10, 'x')), std::string::npos);
  // Named as the output, the input itself is written.
  run = Fxthost("run " + input + kPlugin + " --answer no -o " + input);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Fxthost("show " + input).status, 0);
  EXPECT_EQ(Entries(), 2u);
}

// fxthost.md, The report: one undo step named for the command whether or not it changed
// anything; "none" for every box that asks nothing.
TEST_F(FxthostRun, ReportHoldsTheResultAndEveryAlert) {
  const std::string input = Write("doc.json", kDocument);
  struct Row {
    const char* options;
    const char* kind;    // the kind every alert of this run has
    const char* answer;  // and its answer
  };
  const Row rows[] = {
      // A partial selection is refused with an error box: the result is 0 and the box,
      // which asks nothing, has no answer.
      {"--measures 5-5 --start-position 5", "error", "none"},
      {"--measures 5-5 --answer no", "yesno", "no"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.options);
    const std::string report = Path("report.json");
    const ProgramRun run =
        Fxthost("run " + input + kPlugin + " --report " + report + " " + row.options);
    ASSERT_EQ(run.status, 0) << run.output;
    const nlohmann::json parsed = nlohmann::json::parse(ReadText(report), nullptr, false);
    ASSERT_TRUE(parsed.is_object()) << ReadText(report);
    ASSERT_EQ(parsed.size(), 5u);
    EXPECT_EQ(parsed.value("result", -1), 0);
    // Refused or declined, the command changed nothing, in one undo step.
    EXPECT_EQ(parsed["command"], "Split Groups");
    EXPECT_EQ(parsed["undoSteps"], nlohmann::json::array({"Split Groups"}));
    EXPECT_TRUE(parsed["records"]["changes"].empty()) << parsed;
    ASSERT_TRUE(parsed["alerts"].is_array());
    for (const nlohmann::json& alert : parsed["alerts"]) {
      EXPECT_EQ(alert.size(), 4u) << alert;
      EXPECT_EQ(alert.value("kind", ""), row.kind);
      EXPECT_EQ(alert.value("answer", ""), row.answer);
      EXPECT_TRUE(alert["caption"].is_string() && alert["message"].is_string());
      // Printed as it came, every line of the message behind the alert's prefix (the
      // message's blank line as the prefix alone); the report keeps the message whole.
      const std::string prefix = alert.value("kind", "") + ": " + alert.value("caption", "") + ":";
      std::string printed = prefix + " " + alert.value("message", "");
      for (size_t at = printed.find('\n'); at != std::string::npos; at = printed.find('\n', at + 1))
        printed.insert(at + 1, printed[at + 1] == '\n' ? prefix : prefix + " ");
      EXPECT_NE(alert.value("message", "").find('\n'), std::string::npos) << "a message of lines";
      EXPECT_NE(run.output.find(printed + "\n"), std::string::npos) << printed << "\n"
                                                                    << run.output;
    }
  }
}

TEST_F(FxthostRun, DemoRunsOnTheBuiltInScore) {
  const ProgramRun run = Fxthost("demo" + kPlugin);
  EXPECT_EQ(run.status, 0) << run.output;
  const char* parts[] = {"Before: built-in orchestra \u2014 24 staves, 48 measures, 7 groups",
                         "Split Groups on staves 18-22 (slots 20-24), measures 17-24",
                         "The command returned", "After: built-in orchestra"};
  size_t from = 0;
  for (const char* part : parts) {
    SCOPED_TRACE(part);
    const size_t at = run.output.find(part, from);
    EXPECT_NE(at, std::string::npos) << run.output;
    if (at != std::string::npos) from = at;
  }
}

// Further documents (--open FILE[=OUT]): only what the command changed is saved and
// reported; conflicting files are refused before anything runs (fxthost.md, Further
// documents).
TEST_F(FxthostRun, FurtherDocumentsAreSavedAndReportedOnlyWhenChanged) {
  const std::string input = Write("doc.json", kDocument);
  const std::string other = Write("other.json", kDocument);
  ProgramRun run = Fxthost("run " + input + kPlugin + " --open " + other + "=" + Path("o.json") +
                           " --report " + Path("r.json"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Changed documents: " + input + "\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("o.json"))) << "the command left it as it was";
  EXPECT_EQ(nlohmann::json::parse(ReadText(Path("r.json")))["changed"],
            nlohmann::json::array({input}));
  const struct {
    std::string options;
    const char* says;
  } refusals[] = {
      {" --open " + input, "is already open"},
      {" --open " + other + "=" + input, "would overwrite the input document"},
      {" --open " + other + "=" + Path("x.json") + " -o " + Path("x.json"), "name the same file"},
      {" --open " + other + " -o " + other, "would overwrite the input document"},
      {" --open " + other + "=", "expected FILE or FILE=OUT"},
      {" --open " + Path("missing.json"), "missing.json: cannot be read"},
  };
  for (const auto& row : refusals) {
    SCOPED_TRACE(row.options);
    run = Fxthost("run " + input + kPlugin + row.options);
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find(row.says), std::string::npos) << run.output;
  }
  EXPECT_EQ(Entries(), 3u) << "doc.json, other.json, r.json: nothing else was written";
}

TEST_F(FxthostRun, AChangedFurtherDocumentIsSavedToItsOwnOutput) {
  const std::string a = Write("a.json", kDocument), b = Write("b.json", kDocument);
  fxthost::Host host;
  std::vector<fxthost::OpenedDocument> opened;
  std::string problem;
  ASSERT_TRUE(fxthost::OpenFurtherDocuments(host, {a + "=" + Path("a.out"), b}, Path("doc.json"),
                                            {}, &opened, &problem))
      << problem;
  EXPECT_EQ(opened[0].document->path, fs::absolute(a).lexically_normal().string());
  for (const fxthost::OpenedDocument& document : opened)
    fxthost::SetMeasures(*document.document, 9);
  fxthost::Outputs outputs;
  ASSERT_TRUE(outputs.Prepare(Path("a.out"), &problem)) << problem;
  std::ostringstream out;
  fxthost::SaveChangedDocuments(opened, outputs, out);
  std::vector<std::string> written;
  EXPECT_TRUE(outputs.Commit(&written, &problem)) << problem;
  EXPECT_EQ(written, std::vector<std::string>{Path("a.out")});
  EXPECT_NE(ReadText(Path("a.out")).find("\"measures\": 9,"), std::string::npos);
  EXPECT_NE(out.str().find(b + " changed; not written"), std::string::npos) << out.str();
}

// Standard input is not a terminal (NUL on Windows, which _isatty takes for one): the
// question is closed without an answer, and nobody is prompted (fxthost.md, run, step 4).
TEST_F(FxthostRun, QuestionWithoutTerminalIsClosedWithoutPrompt) {
  const std::string input = Write("in.json", kDocument);
  const ProgramRun run = Fxthost("run " + input + kPlugin + " --measures 5-5");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("yesno: Too small region?: "), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Answer yes or no"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("The command returned 0."), std::string::npos) << run.output;
}

// fxthost batch: each line runs as if fxthost had been started with it (fxthost.md,
// batch).
TEST_F(FxthostRun, BatchRunsEachLineAsItsOwnRun) {
  const std::string examples = FXT_EXAMPLES_DIR;
  const std::string cases = examples + "/cases/";
  // The older host's refusal, then the same document with the default version, then the
  // first run again: nothing one run leaves behind may reach the next.
  const std::string multiStaff = examples + "/multi-staff.json";
  std::string lines = "# the multi-staff example, as three runs\n\n";
  lines += "run \"" + multiStaff + "\" --host-version 0x10FFFFFF" + kPlugin + " -o " +
           Path("older.json") + " --report " + Path("older.report.json") + "\r\n";
  lines += "  run " + multiStaff + kPlugin + " -o " + Path("now.json") + " --report " +
           Path("now.report.json") + "\n";
  lines += "run " + multiStaff + " --host-version 0x10FFFFFF" + kPlugin + " --report " +
           Path("again.report.json") + "\n";
  const std::string file = Write("runs.txt", lines);
  const ProgramRun run = Fxthost("batch " + file);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(ReadText(Path("older.json")), ReadText(cases + "older-host.expected.json"));
  EXPECT_EQ(ReadText(Path("older.report.json")), ReadText(cases + "older-host.report.json"));
  EXPECT_EQ(ReadText(Path("now.json")), ReadText(cases + "multi-staff.expected.json"));
  EXPECT_EQ(ReadText(Path("now.report.json")), ReadText(cases + "multi-staff.report.json"));
  EXPECT_EQ(ReadText(Path("again.report.json")), ReadText(cases + "older-host.report.json"));
  // Numbered markers around each run, comments and blank lines skipped.
  size_t from = 0;
  for (const char* part : {"== 1: run \"", "== 1: exit 0", "== 2:   run ", "== 2: exit 0",
                           "== 3: run ", "== 3: exit 0"}) {
    SCOPED_TRACE(part);
    const size_t at = run.output.find(part, from);
    ASSERT_NE(at, std::string::npos) << run.output;
    from = at;
  }
  EXPECT_EQ(run.output.find("== 4:"), std::string::npos) << run.output;
}

TEST_F(FxthostRun, BatchGoesOnPastAFailedLineAndExitsWithTheWorstStatus) {
  std::string lines;
  lines += "run " + Path("missing.json") + kPlugin + "\n";
  lines += "run \"unclosed" + kPlugin + "\n";
  lines += "batch " + Path("runs.txt") + "\n";
  lines += "menu" + kPlugin + "\n";
  const std::string file = Write("runs.txt", lines);
  const ProgramRun run = Fxthost("batch " + file);
  EXPECT_EQ(run.status, 2) << run.output;
  EXPECT_NE(run.output.find("== 1: exit 2"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("line 2: a quote is not closed"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("== 2: exit 2"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("line 3: a batch cannot run a batch"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("== 3: exit 2"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Name:        Tollek Split Groups"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("== 4: exit 0"), std::string::npos) << run.output;

  const ProgramRun missing = Fxthost("batch " + Path("none.txt"));
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.output.find("cannot read the batch file"), std::string::npos) << missing.output;
  const ProgramRun folder = Fxthost("batch " + dir_.string());
  EXPECT_EQ(folder.status, 2);
  EXPECT_EQ(folder.output,
            "fxthost: cannot read the batch file " + dir_.string() + ": it is a directory\n");
}

TEST(BatchLine, WordsQuotesAndBlanks) {
  std::vector<std::string> words;
  EXPECT_TRUE(fxthost::SplitBatchLine(" run\t\"my score.json\" -o \"\"  x\"y z\" ", &words));
  EXPECT_EQ(words, (std::vector<std::string>{"run", "my score.json", "-o", "", "xy z"}));
  EXPECT_TRUE(fxthost::SplitBatchLine("   ", &words));
  EXPECT_TRUE(words.empty());
  EXPECT_FALSE(fxthost::SplitBatchLine("run \"open", &words));
}

}  // namespace
