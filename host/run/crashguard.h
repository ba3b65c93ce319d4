// Turns a plug-in crash into a clear ending of fxthost: while a guard lives, a fatal
// signal (an invalid memory access, an illegal instruction, an arithmetic fault, an
// abort such as an exception leaving the plug-in) prints what crashed and ends the
// process with kExitCrashed before anything is saved. The plug-in runs in fxthost's own
// process, as in the host's, so nothing it touched can be trusted afterwards: no
// document, report or further file is written. On Windows the system reports the
// unhandled exception and ends the process with its code instead.
#pragma once

namespace fxthost {

constexpr int kExitCrashed = 3;

class CrashGuard {
 public:
  // what names the plug-in and the call in the message ("plug-in X crashed while ...").
  explicit CrashGuard(const char* what);
  ~CrashGuard();
  CrashGuard(const CrashGuard&) = delete;
  CrashGuard& operator=(const CrashGuard&) = delete;
};

}  // namespace fxthost
