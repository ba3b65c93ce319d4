// The plug-in module's own texts by number: the rows FXT_STRING(id, "text") of its string
// table (strings.def), for plug-ins built with fxt_add_plugin.
//
// Two files come from the plug-in's build tree, not from the kit: fxt_add_plugin
// (cmake/package/FxtPlugin.cmake) generates "resources/version.h", whose
// FXT_MODULE_FILE_NAME is the module's file name, and copies the string table to
// "resources/strings.def". FCString::LoadResource wants the module's name on its first
// call only; these helpers pass it on every call, so no call has to come first. When the
// module's table cannot be read (a module installed under another file name), the text
// comes from the same table compiled into the module.
#pragma once

#include <string>

#include "framework/text/fcstring.h"
#include "resources/version.h"

// The text of row id of the string table as compiled into the module; null when the table
// has no row id.
inline const char* BuiltInModuleText(int id) {
  switch (id) {
#define FXT_STRING(number, text) \
  case number:                   \
    return text;
#include "resources/strings.def"
#undef FXT_STRING
  }
  return nullptr;
}

// Loads text id of this module's string table into text. True when the table had it;
// false when it came from the compiled-in table instead, or when there is no text id at
// all (text then holds "Resource String Error") or text is null (nothing loaded).
inline bool LoadModuleText(FCString* text, int id) {
  if (!text) return false;
  if (text->LoadResource(id, FXT_MODULE_FILE_NAME)) return true;
  const char* builtIn = BuiltInModuleText(id);
  if (builtIn) text->SetCString(builtIn);
  return false;
}

// Text id of this module's string table as 8-bit text in the host's code page, ready for
// FCUI's alerts and FillMenuItem (LoadModuleText; "Resource String Error" when the table
// has no text id).
inline std::string ModuleText(int id) {
  FCString text;
  LoadModuleText(&text, id);
  return text.GetCString();
}
