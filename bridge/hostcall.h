// The generated raw calls behind the wrappers: resolve once by name, widen, call,
// narrow, or return the fallback when the host lacks the function. The hand-written
// wrappers (handling OWN) add their own steps around these.
#pragma once

#include "bridge/finalepdk.h"

namespace fxt_host {

#define FXFN(name, result, need, fallback, handling, ...) \
  FXT_RTYPE_##result name(FXT_EACH(FXT_PARAM, __VA_ARGS__));
#include "bridge/hostfunctions.def"

// Whether the host exports the function (resolving it on first use, like a call).
#define FXFN(name, result, need, fallback, handling, ...) bool Has_##name();
#include "bridge/hostfunctions.def"

}  // namespace fxt_host
