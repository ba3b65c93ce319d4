// The six functions the host calls, which every plug-in module exports and nothing else.
// Each argument is one 32-bit slot (pointer-sized on 64-bit builds where it carries a
// pointer); the callee removes them on 32-bit x86.
//
//   FinaleExtensionVersion        stores the host's version; answers the host interface
//                                 the plug-in is written for (FINALE_INTERFACE_VERSION)
//   FinaleExtensionInit           sets bit 0 of *flags; answers non-zero when ready
//   FinaleExtensionEnumerate      fills the menu item record of item index (from 0) and
//                                 answers 1; answers 0 past the last item
//   FinaleExtensionInvoke         runs a menu item on the host's selection record
//                                 (EREGION); the item's index arrives in the second slot
//   FinaleExtensionTerminate      called before the host unloads the module
//   FinaleExtensionGetMenuStatus  answers 1 when the items can be chosen
#pragma once

#include <cstdint>

#include "bridge/fxcall.h"

#if defined(_WIN32)
#define FXT_PLUGIN_EXPORT
#else
#define FXT_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

// The menu item record that FinaleExtensionEnumerate fills: three 64-byte texts and two
// 16-bit words.
constexpr int kMenuItemNameOffset = 0;
constexpr int kMenuItemDescriptionOffset = 64;
constexpr int kMenuItemTextOffset = 128;
constexpr int kMenuItemTextSize = 64;
constexpr int kMenuItemWord1Offset = 192;
constexpr int kMenuItemWord2Offset = 194;
constexpr int kMenuItemRecordSize = 196;

extern "C" {
FXT_PLUGIN_EXPORT uint32_t FX_CALL FinaleExtensionVersion(uint32_t hostVersion);
FXT_PLUGIN_EXPORT int32_t FX_CALL FinaleExtensionInit(FXPTR unused, uint32_t* flags);
FXT_PLUGIN_EXPORT int32_t FX_CALL FinaleExtensionEnumerate(FXPTR unused, int32_t index,
                                                           void* menuItem);
FXT_PLUGIN_EXPORT int32_t FX_CALL FinaleExtensionInvoke(FXPTR unused1, FXPTR unused2, void* region,
                                                        FXPTR unused3);
FXT_PLUGIN_EXPORT void FX_CALL FinaleExtensionTerminate(FXPTR unused);
FXT_PLUGIN_EXPORT int32_t FX_CALL FinaleExtensionGetMenuStatus(FXPTR unused);
}
