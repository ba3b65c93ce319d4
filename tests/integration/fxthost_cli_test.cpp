// The fxthost program as a user runs it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#if defined(_WIN32)
// Windows: the command goes to cmd.exe, which wants the program's path with
// backslashes (a rooted path without a drive letter names the current drive); the
// status pclose returns is the program's exit code.
#define popen _popen
#define pclose _pclose
#define WIFEXITED(status) true
#define WEXITSTATUS(status) (status)
#else
#include <sys/wait.h>
#endif

namespace {

struct ProgramRun {
  int status;
  std::string output;
};

ProgramRun RunFxthost(const std::string& arguments) {
  std::string program = FXT_FXTHOST_PATH;
#if defined(_WIN32)
  for (char& c : program)
    if (c == '/') c = '\\';
#endif
  std::string command = std::string(FXT_RUN_PREFIX) + " " + program + " " + arguments + " 2>&1";
  ProgramRun run{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) run.output.append(chunk, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(FxthostMenu, PrintsTheRegistration) {
  ProgramRun run = RunFxthost("menu --plugin " FXT_PLUGIN_PATH);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Tollek Split Groups"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Splits groups into subgroups for the range of the selection."),
            std::string::npos);
  EXPECT_NE(run.output.find("Split Groups\n"), std::string::npos);
}

TEST(FxthostMenu, FindsThePluginNextToTheExecutable) {
  ProgramRun run = RunFxthost("menu");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Tollek Split Groups"), std::string::npos);
}

TEST(FxthostMenu, UnloadablePluginIsUnusableInput) {
  ProgramRun run = RunFxthost("menu --plugin /nonexistent/x.fxt");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find("cannot load"), std::string::npos) << run.output;
}

TEST(FxthostHelp, HelpAndUnknownSubcommands) {
  EXPECT_EQ(RunFxthost("--help").status, 0);
  EXPECT_EQ(RunFxthost("menu --help").status, 0);
  EXPECT_EQ(RunFxthost("frobnicate").status, 2);
  EXPECT_EQ(RunFxthost("").status, 2);
}

}  // namespace
