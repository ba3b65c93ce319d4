// Marks what the host executable exports by name.
#pragma once

#include "bridge/fxcall.h"

#if defined(_WIN32)
// On Windows a module-definition file names the exports of each host executable
// (host/CMakeLists.txt), so that a test host can leave chosen functions out.
#define FXHOST_EXPORT
#else
#define FXHOST_EXPORT __attribute__((visibility("default")))
#endif
