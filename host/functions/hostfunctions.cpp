// What the emulated host knows of each host function, generated from the bridge's table
// (bridge/hostfunctions.def): name, result kind, argument letters, failure value.
#include "host/functions/hostfunctions.h"

namespace fxthost {

namespace {

constexpr bool IsRequired(const char* need) { return need[0] == 'R'; }

// Letters come stringified as written in the table ("w, p, w"); the decoder skips the
// separators.
const FunctionInfo kInfo[] = {
#define FXFN(name, result, need, fallback, handling, ...) \
  {#name, #result, IsRequired(#need), FXT_NARGS(__VA_ARGS__), #__VA_ARGS__, (fallback)},
#include "bridge/hostfunctions.def"
};

}  // namespace

const FunctionInfo& Info(Fn fn) { return kInfo[static_cast<int>(fn)]; }

Fn FindFunction(const std::string& name) {
  for (int i = 0; i < kFunctionCount; ++i)
    if (name == kInfo[i].name) return static_cast<Fn>(i);
  return Fn::Count;
}

}  // namespace fxthost
