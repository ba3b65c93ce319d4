// The data-record wrappers: record-version correction, the special loads, and the
// preference translation, in front of the host's record functions.
#include "bridge/finalepdk.h"
#include "bridge/hostcall.h"

void HandleEnigmaVersion(uint32_t&, int32_t, uint32_t&) {}

int32_t FX_LoadEData(int32_t tag, FXArg key, FXArg buffer, FXArg size, int32_t version) {
  return fxt_host::FX_LoadEData(tag, key, buffer, size, version);
}

int32_t FX_SaveEData(int32_t tag, FXArg key, FXArg buffer, int32_t size, int32_t version) {
  return fxt_host::FX_SaveEData(tag, key, buffer, size, version);
}

int32_t FX_CreateEData(int32_t tag, FXArg key, FXArg buffer, int32_t size, int32_t version) {
  return fxt_host::FX_CreateEData(tag, key, buffer, size, version);
}

int32_t FX_DeleteEData(int32_t tag, FXArg key, int32_t version) {
  return fxt_host::FX_DeleteEData(tag, key, version);
}

int32_t FX_PreviousEData(int32_t tag, FXArg key, FXArg buffer, int32_t size, int32_t version) {
  return fxt_host::FX_PreviousEData(tag, key, buffer, size, version);
}

int32_t FX_NextEData(int32_t tag, FXArg key, FXArg buffer, int32_t size, int32_t version) {
  return fxt_host::FX_NextEData(tag, key, buffer, size, version);
}
