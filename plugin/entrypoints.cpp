// The plug-in's boundary with the host: version handshake, initialisation, the one menu
// item, and the calls that need nothing of the plug-in. What each entry point takes and
// answers is written in plugin/entrypoints.h.
#include "plugin/entrypoints.h"

#include "bridge/finalepdk.h"
#include "framework/text/fcstring.h"
#include "plugin/tolleksplitgroups.h"
#include "resources/version.h"

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
  FCString name, description, menuText;
  // The first load names the module; its handle serves every later load.
  name.LoadResource(kStringPluginName, FXT_MODULE_FILE_NAME);
  description.LoadResource(kStringDescription, nullptr);
  menuText.LoadResource(kStringMenuText, nullptr);
  FillMenuItem(menuItem, name.GetCString(), description.GetCString(), menuText.GetCString());
  return 1;
}

int32_t FX_CALL FinaleExtensionInvoke(FXPTR, FXPTR, void* region, FXPTR) {
  return RunSplitGroupsCommand(region);
}

void FX_CALL FinaleExtensionTerminate(FXPTR) {}

int32_t FX_CALL FinaleExtensionGetMenuStatus(FXPTR) { return 1; }

}  // extern "C"
