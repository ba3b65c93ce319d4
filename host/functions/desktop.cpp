// The desktop the POSIX platform layer turns to for its user-interface calls: message
// boxes go to the current host's user interface. (On Windows the real system does this.)
#include <cstdint>

#include "host/functions/exports.h"
#include "host/functions/host.h"

namespace {
// A window to own message boxes: the host's main window.
int g_mainWindow;
}  // namespace

extern "C" {

FXHOST_EXPORT int FXTHOST_MessageBoxA(void*, const char* text, const char* caption, unsigned type) {
  fxthost::Host* host = fxthost::Host::Current();
  fxthost::UserInterface* ui = host ? host->GetUserInterface() : nullptr;
  return ui ? ui->ShowMessageBox(caption ? caption : "", text ? text : "", type) : 0;
}

FXHOST_EXPORT void* FXTHOST_GetActiveWindow() {
  fxthost::Host* host = fxthost::Host::Current();
  return host && host->GetUserInterface() ? &g_mainWindow : nullptr;
}

FXHOST_EXPORT int FXTHOST_MessageBeep(unsigned) { return 1; }

FXHOST_EXPORT int FXTHOST_GetSystemMetrics(int index) {
  // The emulated screen: 1920 x 1080, with a 40-pixel caption above a full-screen
  // window's client area.
  const int kScreenWidth = 1920, kScreenHeight = 1080, kCaptionHeight = 40;
  switch (index) {
    case 0:  // SM_CXSCREEN
      return kScreenWidth;
    case 1:  // SM_CYSCREEN
      return kScreenHeight;
    case 16:  // SM_CXFULLSCREEN
      return kScreenWidth;
    case 17:  // SM_CYFULLSCREEN
      return kScreenHeight - kCaptionHeight;
    default:
      return 0;
  }
}

}  // extern "C"
