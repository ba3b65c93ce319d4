// The guard that turns a plug-in crash into fxthost's ending with kExitCrashed
// (host/run/crashguard.h; the message and status in docs/fxthost.md, "Commands").
#include "host/run/crashguard.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "host/run/messages.h"

namespace fxthost {

namespace {

const char* const* filesToRemove = nullptr;

}  // namespace

void RemoveOnCrash(const char* const* files) { filesToRemove = files; }

#if defined(_WIN32)

// Windows reports an unhandled exception itself and ends the process with the
// exception's code, never 0; nothing is saved either way. The filter only removes the
// files prepared for the run before the system goes on.
namespace {

LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
int depth = 0;

LONG WINAPI RemoveFilesOnCrash(EXCEPTION_POINTERS* exception) {
  for (const char* const* file = filesToRemove; file && *file; ++file) DeleteFileA(*file);
  return previousFilter ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

CrashGuard::CrashGuard(const char*) {
  if (depth++ == 0) previousFilter = SetUnhandledExceptionFilter(RemoveFilesOnCrash);
}
CrashGuard::~CrashGuard() {
  if (--depth == 0) SetUnhandledExceptionFilter(previousFilter);
}

#else

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGILL, SIGFPE, SIGABRT, SIGBUS};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];

// The message is made before the plug-in runs: a signal handler may only write it.
char message[512];
size_t messageLength = 0;
void (*previous[kSignalCount])(int);
int depth = 0;

void WriteError(const char* text, size_t length) {
  while (length > 0) {
    const ssize_t written = write(2, text, length);
    if (written <= 0) break;
    text += written;
    length -= static_cast<size_t>(written);
  }
}

void OnFatalSignal(int signal) {
  for (const char* const* file = filesToRemove; file && *file; ++file) unlink(*file);
  WriteError(message, messageLength);
  const char* name = signal == SIGSEGV   ? "invalid memory access"
                     : signal == SIGILL  ? "illegal instruction"
                     : signal == SIGFPE  ? "arithmetic fault"
                     : signal == SIGABRT ? "abort"
                                         : "bus error";
  WriteError(name, std::strlen(name));
  const char* tail = "); nothing was saved\n";
  WriteError(tail, std::strlen(tail));
  _exit(kExitCrashed);
}

}  // namespace

CrashGuard::CrashGuard(const char* what) {
  if (depth++ > 0) return;
  const int length = std::snprintf(message, sizeof message, "%s%s (", kMessagePrefix, what);
  messageLength = length < 0 ? 0 : std::min(static_cast<size_t>(length), sizeof message - 1);
  for (int i = 0; i < kSignalCount; ++i) {
    previous[i] = std::signal(kSignals[i], OnFatalSignal);
    if (previous[i] == SIG_ERR) previous[i] = SIG_DFL;
  }
}

CrashGuard::~CrashGuard() {
  if (--depth > 0) return;
  for (int i = 0; i < kSignalCount; ++i) std::signal(kSignals[i], previous[i]);
}

#endif

}  // namespace fxthost
