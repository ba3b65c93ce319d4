// Starting the fxthost program from a test, as a user would: through the emulator on a
// build that runs only emulated, standard input closed off (so a question nobody
// answers counts as closed), standard output and error captured together.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#if defined(_WIN32)
// Windows: the command goes to cmd.exe, which wants the program's path with
// backslashes (a rooted path without a drive letter names the current drive); the
// status pclose returns is the program's exit code.
#define FXT_POPEN _popen
#define FXT_PCLOSE _pclose
#define FXT_EXIT_STATUS(status) (status)
#define FXT_NO_INPUT " < NUL"
#else
#include <sys/wait.h>
#define FXT_POPEN popen
#define FXT_PCLOSE pclose
#define FXT_EXIT_STATUS(status) (WIFEXITED(status) ? WEXITSTATUS(status) : -1)
#define FXT_NO_INPUT " < /dev/null"
#endif

namespace fxt_testing {

struct ProgramRun {
  int status;
  std::string output;  // standard output and standard error
};

// standardOutput, when given, is the file standard output goes to; output then holds
// standard error alone.
inline ProgramRun Fxthost(const std::string& arguments, const char* standardOutput = nullptr) {
  std::string program = FXT_FXTHOST_PATH;
#if defined(_WIN32)
  for (char& c : program)
    if (c == '/') c = '\\';
#endif
  const std::string command =
      std::string(FXT_RUN_PREFIX) + " " + program + " " + arguments + FXT_NO_INPUT " 2>&1" +
      (standardOutput ? std::string(" > ") + standardOutput : std::string());
  ProgramRun run{-1, ""};
  FILE* pipe = FXT_POPEN(command.c_str(), "r");
  if (!pipe) return run;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) run.output.append(chunk, n);
  const int status = FXT_PCLOSE(pipe);
  run.status = FXT_EXIT_STATUS(status);
  return run;
}

// The whole of a file the program wrote, byte for byte; empty when there is none.
inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace fxt_testing
