// The host bridge: the only way from the plug-in and the framework to the host.
//
// Every host function is reached through a wrapper of the same name that finds the
// host's export by name on first use, keeps the address (or its absence), widens the
// arguments to the host's 32-bit slots, narrows the result, and returns a fixed
// fallback, without calling, when the host lacks the function. The functions are the
// rows of bridge/hostfunctions.def; what the bridge does where the host's answers are
// unusual is written in docs/framework-behaviour.md.
#pragma once

#include <cstdint>

#include "bridge/fxcall.h"
#include "platform/fxwin.h"

// The interface version this plug-in is written for; the last argument of every direct
// host call.
constexpr uint32_t FINALE_INTERFACE_VERSION = 0x11000000;

// The host's version as the host reported it (0x11000000 until it has).
extern uint32_t RunningFinaleVersion;
void SetFinaleFrameworkVersion(uint32_t version);
uint32_t GetFinaleFrameworkVersion();
// Kept for plug-ins that state a minimum; the value is not used.
void SetMinRequiredVersion(uint32_t version);

// The host module: "FINALE.EXE" if loaded, else "FINDEMO.EXE"; looked up once.
HMODULE GetFinaleHandle();

// Open edits (FX_StartFinaleEdit minus FX_EndFinaleEdit/FX_CancelFinaleEdit), mass
// edits, and entry frames asked for minus given back.
extern int32_t FinaleEditDepth;
extern int32_t MassEditDepth;
extern int32_t LoadedTGFCounter;

// One wrapper per row of hostfunctions.def.
#define FXFN(name, result, need, fallback, handling, ...) \
  FXT_RTYPE_##result name(FXT_EACH(FXT_PARAM, __VA_ARGS__));
#include "bridge/hostfunctions.def"

// Record-version correction applied by the data-record wrappers before the host sees a
// record: reads tag and size, may replace version (and shows the developer warnings).
void HandleEnigmaVersion(uint32_t& tag, int32_t size, uint32_t& version);

// Entry frames handed back to the host are cleaned first (see bridge/tgf.cpp).
void CleanTGF(const void* frame, bool flag);
