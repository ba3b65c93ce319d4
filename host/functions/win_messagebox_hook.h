// Windows: the host answers the plug-in's real message boxes.
//
// On Windows the plug-in calls the system's MessageBoxA. A hook on the host's thread
// sees each message box as it is activated, reads its caption, text, buttons and icon,
// hands them to the current host's user interface exactly as the POSIX desktop does,
// and presses the button of the answer (or closes the box with the result 0 when the
// answer is none, or when no host or user interface is there). So no box ever waits
// for a person the host has not asked.
#pragma once

namespace fxthost {

#if defined(_WIN32)
// Installs the hook on the calling thread; once per thread, later calls do nothing.
void InstallMessageBoxHook();
#endif

}  // namespace fxthost
