// Marks what the host executable exports by name.
#pragma once

#include "bridge/fxcall.h"

#if defined(_WIN32)
#define FXHOST_EXPORT __declspec(dllexport)
#else
#define FXHOST_EXPORT __attribute__((visibility("default")))
#endif
