// Shared between the POSIX stand-ins of platform/fxwin.h: the executable's handle and
// the desktop services it offers (platform/modules.cpp, platform/desktop.cpp).
#pragma once

#include "platform/fxwin.h"

namespace fxt_platform {

// The handle of the executable that started the process.
HMODULE ExecutableHandle();

// A function that the executable offers as this platform's desktop (message boxes, the
// active window, the screen), or null when it offers none.
void* DesktopService(const char* name);

}  // namespace fxt_platform
