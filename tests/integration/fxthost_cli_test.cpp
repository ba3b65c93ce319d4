// The fxthost program as a user runs it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/integration/fxthost_program.h"

namespace {

using fxt_testing::Fxthost;
using fxt_testing::ProgramRun;

TEST(FxthostMenu, PrintsTheRegistration) {
  ProgramRun run = Fxthost("menu --plugin " FXT_PLUGIN_PATH);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Tollek Split Groups"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Splits groups into subgroups for the range of the selection."),
            std::string::npos);
  EXPECT_NE(run.output.find("Split Groups\n"), std::string::npos);
}

TEST(FxthostMenu, FindsThePluginNextToTheExecutable) {
  ProgramRun run = Fxthost("menu");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Tollek Split Groups"), std::string::npos);
}

TEST(FxthostMenu, UnloadablePluginIsUnusableInput) {
  ProgramRun run = Fxthost("menu --plugin /nonexistent/x.fxt");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find("cannot load"), std::string::npos) << run.output;
}

#if !defined(_WIN32)
// Through the program on POSIX only: under Wine the tests name the program by a path
// without a drive, which a current directory on another drive does not find.
// PluginModule.PathsAreFilesUnderTheCurrentDirectory checks the same resolution in process
// on every platform.
// --plugin names a file, a bare name one in the current directory; a library on the
// system's path is not a plug-in (fxthost.md, Commands: "--plugin names a file").
TEST(FxthostMenu, PluginIsAFileUnderTheCurrentDirectory) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() /
      ("fxt_menu_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(dir);
  fs::copy_file(FXT_PLUGIN_PATH, dir / "tolleksplitgroups.fxt");
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  const fs::path here = fs::current_path();  // as the program sees it, links resolved
  const std::string systemLibrary = "libc.so.6";
  const struct {
    std::string plugin;
    int status;
    std::string says;
  } rows[] = {
      {"tolleksplitgroups.fxt", 0, "Menu text:   Split Groups\n"},
      {systemLibrary, 2,
       "fxthost: cannot load plug-in " + systemLibrary + ": no such file (" +
           (here / systemLibrary).string() + ")\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.plugin);
    const ProgramRun run = Fxthost("menu --plugin " + row.plugin);
    EXPECT_EQ(run.status, row.status) << run.output;
    EXPECT_NE(run.output.find(row.says), std::string::npos) << run.output;
  }
  fs::current_path(previous);
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

// What cannot be written to standard output is an error: status 1 and the reason, and a
// run still writes its files (fxthost.md, Exit status).
TEST(FxthostOutput, AFailedWriteToStandardOutputIsAnError) {
  const std::string doc = std::string(FXT_EXAMPLES_DIR) + "/inside.json";
  const std::string out = ::testing::TempDir() + "fxthost_full_out.json";
  const std::string batch = ::testing::TempDir() + "fxthost_full_batch.txt";
  std::ofstream(batch) << "--version\n";
  std::remove(out.c_str());
  const std::string rows[] = {
      "show " + doc,    "prefs " + doc, "menu --plugin " FXT_PLUGIN_PATH,
      "--version",      "--help",       "run " + doc + " --plugin " FXT_PLUGIN_PATH " -o " + out,
      "batch " + batch,
  };
  for (const std::string& row : rows) {
    SCOPED_TRACE(row);
    const ProgramRun run = Fxthost(row, "/dev/full");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("fxthost: cannot write to standard output"), std::string::npos)
        << run.output;
  }
  EXPECT_TRUE(std::ifstream(out).good()) << "the run wrote its document";
  std::remove(out.c_str());
  std::remove(batch.c_str());
}
#endif

TEST(FxthostHelp, HelpAndUnknownSubcommands) {
  EXPECT_EQ(Fxthost("--help").status, 0);
  EXPECT_EQ(Fxthost("menu --help").status, 0);
  EXPECT_EQ(Fxthost("frobnicate").status, 2);
  EXPECT_EQ(Fxthost("").status, 2);
}

}  // namespace

#if defined(FXT_TEST_MODULES_DIR)
namespace {

using fxt_testing::Fxthost;
using fxt_testing::ProgramRun;

std::string Module(const std::string& name) {
  return std::string(FXT_TEST_MODULES_DIR) + "/test_module_" + name + ".fxt";
}

// Modules the host cannot use are refused before anything runs, and a crash is never
// taken for a run: each row's exit status and message, and nothing written (fxthost.md,
// Commands: a module is a plug-in fxthost can use when ...; exit status 3 for a crash).
TEST(FxthostPlugins, UnusableOrCrashingModulesAreRefused) {
  const std::string doc = std::string(FXT_EXAMPLES_DIR) + "/inside.json";
  const std::string out = ::testing::TempDir() + "fxthost_plugins_out.json";
  const std::string report = ::testing::TempDir() + "fxthost_plugins_report.json";
  const struct {
    const char* module;
    const char* command;
    int status;
    const char* message;
  } rows[] = {
      {"no_terminate", "menu", 2, "does not export FinaleExtensionTerminate"},
      {"no_terminate", "run", 2, "does not export FinaleExtensionTerminate"},
      {"new_version", "menu", 2, "written for host interface 0x12000000"},
      {"new_version", "run", 2, "written for host interface 0x12000000"},
      {"init_fails", "run", 2, "initialisation (FinaleExtensionInit) failed"},
      {"crashes", "run", 3, "crashed while running \"Item 0\" (invalid memory access)"},
      {"three_items", "run --item 3", 2, "--item 3: the plug-in's items are numbered 0 to 2"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.module) + " " + row.command);
    std::remove(out.c_str());
    std::remove(report.c_str());
    const bool run = std::string(row.command).rfind("run", 0) == 0;
    const std::string arguments = std::string(row.command) + (run ? " " + doc : "") + " --plugin " +
                                  Module(row.module) +
                                  (run ? " -o " + out + " --report " + report : "");
    ProgramRun result = Fxthost(arguments);
    EXPECT_EQ(result.status, row.status) << result.output;
    EXPECT_NE(result.output.find(row.message), std::string::npos) << result.output;
    EXPECT_FALSE(std::ifstream(out).good());
    EXPECT_FALSE(std::ifstream(report).good());
    // Nor is a temporary file prepared for them left behind, a crash included.
    for (const auto& entry : std::filesystem::directory_iterator(::testing::TempDir()))
      EXPECT_NE(entry.path().filename().string().rfind("fxthost_plugins_", 0), 0u) << entry.path();
  }
}

// Every item the module enumerates is listed, and --item runs the one chosen (fxthost.md,
// menu and run).
TEST(FxthostPlugins, RunsTheChosenMenuItem) {
  ProgramRun menu = Fxthost("menu --plugin " + Module("three_items"));
  EXPECT_EQ(menu.status, 0) << menu.output;
  for (const char* line : {"Item:        0\n", "Menu text:   Item 1\n", "Item:        2\n"})
    EXPECT_NE(menu.output.find(line), std::string::npos) << line << menu.output;

  const std::string report = ::testing::TempDir() + "fxthost_item_report.json";
  ProgramRun run = Fxthost("run " + std::string(FXT_EXAMPLES_DIR) + "/inside.json --plugin " +
                           Module("three_items") + " --item 2 --report " + report);
  EXPECT_EQ(run.status, 0) << run.output;
  std::ifstream file(report);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("\"result\": 12,\n  \"command\": \"Item 2\""), std::string::npos) << text;
}

// The report counts the calls the plug-in made to host functions fxthost does not
// emulate, by function, and leaves the member out when there were none
// (host-functions.md: "counts the calls").
TEST(FxthostPlugins, ReportCountsCallsToFunctionsNotEmulated) {
  const struct {
    const char* module;
    const char* member;  // null: the report has no such member
  } rows[] = {
      {"calls_not_emulated", "\"callsNotEmulated\": {\n    \"FX_EndDialog\": 2\n  }\n}"},
      {"three_items", nullptr},
  };
  const std::string report = ::testing::TempDir() + "fxthost_not_emulated_report.json";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.module);
    ProgramRun run = Fxthost("run " + std::string(FXT_EXAMPLES_DIR) + "/inside.json --plugin " +
                             Module(row.module) + " --report " + report);
    EXPECT_EQ(run.status, 0) << run.output;
    std::ifstream file(report);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    if (row.member)
      EXPECT_NE(text.find(row.member), std::string::npos) << text;
    else
      EXPECT_EQ(text.find("callsNotEmulated"), std::string::npos) << text;
  }
}

}  // namespace
#endif
