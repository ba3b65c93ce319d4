// The plug-in's boundary with the host: version handshake, initialisation, the one menu
// item, and the calls that need nothing of the plug-in. What each entry point takes and
// answers is written in plugin/entrypoints.h.
#include "plugin/entrypoints.h"

#include <cstring>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/text/fcstring.h"
#include "plugin/tolleksplitgroups.h"
#include "resources/version.h"

namespace {

// Copies a text into a fixed field as strncpy does: the bytes, then zeros to the end of
// the field; a text as long as the field or longer fills it without a terminator.
void CopyField(uint8_t* field, const char* text) {
  std::strncpy(reinterpret_cast<char*>(field), text, kMenuItemTextSize);
}

}  // namespace

extern "C" {

uint32_t FX_CALL FinaleExtensionVersion(uint32_t hostVersion) {
  SetFinaleFrameworkVersion(hostVersion);
  return FINALE_INTERFACE_VERSION;
}

int32_t FX_CALL FinaleExtensionInit(FXPTR, uint32_t* flags) {
  if (flags) *flags |= 1u;
  return 1;
}

int32_t FX_CALL FinaleExtensionEnumerate(FXPTR, int32_t index, void* menuItem) {
  if (static_cast<int16_t>(index) > 0) return 0;
  uint8_t* record = static_cast<uint8_t*>(menuItem);
  FCString text;
  // The first load names the module; its handle serves every later load.
  text.LoadResource(kStringPluginName, FXT_MODULE_FILE_NAME);
  CopyField(record + kMenuItemNameOffset, text.GetCString());
  text.LoadResource(kStringDescription, nullptr);
  CopyField(record + kMenuItemDescriptionOffset, text.GetCString());
  text.LoadResource(kStringMenuText, nullptr);
  CopyField(record + kMenuItemTextOffset, text.GetCString());
  fxt::PutU16(record, kMenuItemWord1Offset, 1);
  fxt::PutU16(record, kMenuItemWord2Offset, 0);
  return 1;
}

int32_t FX_CALL FinaleExtensionInvoke(FXPTR, FXPTR, void* region, FXPTR) {
  return RunSplitGroupsCommand(region);
}

void FX_CALL FinaleExtensionTerminate(FXPTR) {}

int32_t FX_CALL FinaleExtensionGetMenuStatus(FXPTR) { return 1; }

}  // extern "C"
