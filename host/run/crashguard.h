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

// The files to remove when the plug-in crashes (the temporary files of the outputs
// prepared for the run): a null-terminated list that stays valid until it is replaced,
// or null for none.
void RemoveOnCrash(const char* const* files);

class CrashGuard {
 public:
  // what names the plug-in and the call in the message ("plug-in X crashed while ...").
  explicit CrashGuard(const char* what);
  ~CrashGuard();
  CrashGuard(const CrashGuard&) = delete;
  CrashGuard& operator=(const CrashGuard&) = delete;
};

}  // namespace fxthost
