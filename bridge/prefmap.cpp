#include "bridge/prefmap.h"

namespace {

PreferenceLoadServer g_loadServer = ServePreferenceLoad;
PreferenceSaveServer g_saveServer = ServePreferenceSave;

}  // namespace

// No preference is translated yet: every tag goes to the host as it is.

bool ServePreferenceLoad(uint32_t, void*, void*, int32_t*, int32_t*) { return false; }

bool ServePreferenceSave(uint32_t, void*, void*, int32_t, int32_t*) { return false; }

void SetPreferenceServers(PreferenceLoadServer load, PreferenceSaveServer save) {
  g_loadServer = load ? load : ServePreferenceLoad;
  g_saveServer = save ? save : ServePreferenceSave;
}

PreferenceLoadServer CurrentPreferenceLoadServer() { return g_loadServer; }

PreferenceSaveServer CurrentPreferenceSaveServer() { return g_saveServer; }
