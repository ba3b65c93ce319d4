// The command's texts: from the module's string table, or, when the table cannot be
// read, from the same table compiled into the module. Declared in
// plugin/tolleksplitgroups.h; the table is resources/strings.def.
#include "framework/text/fcstring.h"
#include "plugin/tolleksplitgroups.h"

namespace {

const char* BuiltInText(int id) {
  switch (id) {
#define FXT_STRING(number, text) \
  case number:                   \
    return text;
#include "resources/strings.def"
  }
  return nullptr;
}

}  // namespace

bool LoadCommandText(FCString* text, int id) {
  if (text->LoadResource(id, nullptr)) return true;
  const char* builtIn = BuiltInText(id);
  if (builtIn) text->SetCString(builtIn);
  return false;
}
