// A plug-in module whose command crashes: the x86 stage builds it, runs it under Wine
// the way it runs the real module, and checks that the crash ends the run at once with
// Wine's message instead of hanging in a debugger. Never shipped.
#include <cstring>

#include "plugin/entrypoints.h"

namespace {

// Read through a volatile pointer, so that the compiler keeps the faulting store.
int* volatile g_nowhere = nullptr;

}  // namespace

extern "C" {

uint32_t FX_CALL FinaleExtensionVersion(uint32_t) { return 0x11000000; }

int32_t FX_CALL FinaleExtensionInit(FXPTR, uint32_t* flags) {
  *flags |= 1;
  return 1;
}

int32_t FX_CALL FinaleExtensionEnumerate(FXPTR, int32_t index, void* menuItem) {
  if (static_cast<int16_t>(index) > 0) return 0;
  char* record = static_cast<char*>(menuItem);
  std::memset(record, 0, kMenuItemRecordSize);
  std::strcpy(record + kMenuItemNameOffset, "Crashing module");
  std::strcpy(record + kMenuItemTextOffset, "Crash");
  return 1;
}

int32_t FX_CALL FinaleExtensionInvoke(FXPTR, FXPTR, void*, FXPTR) {
  *g_nowhere = 1;
  return 1;
}

void FX_CALL FinaleExtensionTerminate(FXPTR) {}

int32_t FX_CALL FinaleExtensionGetMenuStatus(FXPTR) { return 1; }
}
