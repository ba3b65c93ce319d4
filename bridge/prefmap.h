// The translation of document preferences to the host records that hold them.
//
// The data-record wrappers offer every load and save to these two functions first (at
// the points bridge/edata.cpp names). A function that serves the tag returns true and
// puts the wrapper's result into *result; one that does not returns false and the record
// goes to the host as it is.
#pragma once

#include <cstdint>

// A load of tag under key into buffer (*size: room in, bytes delivered out).
bool ServePreferenceLoad(uint32_t tag, void* key, void* buffer, int32_t* size, int32_t* result);

// A save of size bytes of buffer as tag under key.
bool ServePreferenceSave(uint32_t tag, void* key, void* buffer, int32_t size, int32_t* result);

// The servers the wrappers actually call: the two functions above unless replaced (tests
// watch what reaches the translation this way). Null arguments restore the defaults.
typedef bool (*PreferenceLoadServer)(uint32_t tag, void* key, void* buffer, int32_t* size,
                                     int32_t* result);
typedef bool (*PreferenceSaveServer)(uint32_t tag, void* key, void* buffer, int32_t size,
                                     int32_t* result);
void SetPreferenceServers(PreferenceLoadServer load, PreferenceSaveServer save);
PreferenceLoadServer CurrentPreferenceLoadServer();
PreferenceSaveServer CurrentPreferenceSaveServer();
