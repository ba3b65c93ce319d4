// The user-interface calls on POSIX. There is no window system here: the executable
// that plays the host offers one through functions it exports under the names below
// (FXTHOST_...). Without them, calls fail the way Windows reports failure. The calls are
// declared in platform/fxwin.h; how the emulated host answers a box is written in
// docs/host-behaviour.md.
#include <dlfcn.h>

#include "platform/fxwin.h"
#include "platform/platform_internal.h"

namespace fxt_platform {

void* DesktopService(const char* name) { return dlsym(ExecutableHandle(), name); }

}  // namespace fxt_platform

namespace {

template <typename Fn>
Fn Service(const char* name) {
  return reinterpret_cast<Fn>(fxt_platform::DesktopService(name));
}

}  // namespace

extern "C" {

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  typedef int (*Fn)(HWND, LPCSTR, LPCSTR, UINT);
  Fn show = Service<Fn>("FXTHOST_MessageBoxA");
  return show ? show(owner, text ? text : "", caption ? caption : "Error", type) : 0;
}

HWND GetActiveWindow(void) {
  typedef HWND (*Fn)();
  Fn active = Service<Fn>("FXTHOST_GetActiveWindow");
  return active ? active() : nullptr;
}

BOOL MessageBeep(UINT type) {
  typedef BOOL (*Fn)(UINT);
  Fn beep = Service<Fn>("FXTHOST_MessageBeep");
  return beep ? beep(type) : 0;
}

int GetSystemMetrics(int index) {
  typedef int (*Fn)(int);
  Fn metrics = Service<Fn>("FXTHOST_GetSystemMetrics");
  return metrics ? metrics(index) : 0;
}

// No dialogs exist on this platform: there is no item to find or show.
HWND GetDlgItem(HWND, int) { return nullptr; }
BOOL ShowWindow(HWND, int) { return 0; }

}  // extern "C"
