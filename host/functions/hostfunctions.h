// The host functions as the emulated host sees them: an identifier per row of the
// bridge's table, with the name, argument letters and result kind for decoding calls.
#pragma once

#include <cstdint>
#include <string>

#include "bridge/fxcall.h"

namespace fxthost {

enum class Fn : int {
#define FXFN(name, result, need, fallback, handling, ...) name,
#include "bridge/hostfunctions.def"
  Count
};

constexpr int kFunctionCount = static_cast<int>(Fn::Count);

struct FunctionInfo {
  const char* name;
  const char* result;  // "S16", "U16", "BOOL", "I32", "PTR", "VOID"
  bool required;
  int argumentCount;
  const char* letters;  // the argument letters as written: "w, p, w"
  // The row's fallback: what the bridge answers when the host lacks the function, and
  // what a call the host is told to refuse returns.
  intptr_t failure;
};

const FunctionInfo& Info(Fn fn);
// The function of that name, or Fn::Count when the table has none.
Fn FindFunction(const std::string& name);

}  // namespace fxthost
