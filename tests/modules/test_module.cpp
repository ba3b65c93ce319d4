// Plug-in modules that are wrong in one way each, for the host's refusals, and one
// with several menu items; the variant is chosen by a macro:
//   FXT_TEST_NO_TERMINATE   FinaleExtensionTerminate is missing
//   FXT_TEST_VERSION=V      the version handshake answers V
//   FXT_TEST_INIT_FAILS     FinaleExtensionInit answers 0
//   FXT_TEST_CRASHES        FinaleExtensionInvoke dies of an invalid memory access
//   FXT_TEST_ITEMS=N        N menu items "Item 0" ...; Invoke answers 10 + the item
//   FXT_TEST_CALLS_NOT_EMULATED  Invoke calls FX_EndDialog, which fxthost does not
//                                emulate, twice
#include <dlfcn.h>

#include <csignal>
#include <cstdio>
#include <cstring>

#include "plugin/entrypoints.h"

#ifndef FXT_TEST_VERSION
#define FXT_TEST_VERSION 0x11000000
#endif
#ifndef FXT_TEST_ITEMS
#define FXT_TEST_ITEMS 1
#endif

extern "C" {

uint32_t FX_CALL FinaleExtensionVersion(uint32_t) { return FXT_TEST_VERSION; }

int32_t FX_CALL FinaleExtensionInit(FXPTR, uint32_t* flags) {
  if (flags) *flags |= 1u;
#ifdef FXT_TEST_INIT_FAILS
  return 0;
#else
  return 1;
#endif
}

int32_t FX_CALL FinaleExtensionEnumerate(FXPTR, int32_t index, void* menuItem) {
  if (index < 0 || index >= FXT_TEST_ITEMS) return 0;
  char* record = static_cast<char*>(menuItem);
  std::memset(record, 0, kMenuItemRecordSize);
  std::snprintf(record + kMenuItemNameOffset, kMenuItemTextSize, "Test Module");
  std::snprintf(record + kMenuItemTextOffset, kMenuItemTextSize, "Item %d", index);
  return 1;
}

int32_t FX_CALL FinaleExtensionInvoke(FXPTR, FXPTR item, void*, FXPTR) {
#ifdef FXT_TEST_CRASHES
  std::raise(SIGSEGV);
#endif
#ifdef FXT_TEST_CALLS_NOT_EMULATED
  typedef int32_t(FX_CALL * EndDialogFn)(FXPTR, uint32_t);
  if (void* address = dlsym(RTLD_DEFAULT, "FX_EndDialog"))
    for (int i = 0; i < 2; ++i) reinterpret_cast<EndDialogFn>(address)(0, 0x11000000);
#endif
  return static_cast<int32_t>(10 + item);
}

#ifndef FXT_TEST_NO_TERMINATE
void FX_CALL FinaleExtensionTerminate(FXPTR) {}
#endif

int32_t FX_CALL FinaleExtensionGetMenuStatus(FXPTR) { return 1; }

}  // extern "C"
