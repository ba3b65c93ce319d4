// The six functions the host calls, which every plug-in module exports and nothing else,
// the menu item record FinaleExtensionEnumerate fills, and FillMenuItem, which fills one.
// Each argument is one 32-bit slot (pointer-sized on 64-bit builds where it carries a
// pointer); the callee removes them on 32-bit x86. What fxthost passes and does with each
// answer is written beside each declaration; docs/fxthost.md has the host's side.
//
//   FinaleExtensionVersion        stores the host's version; answers the host interface
//                                 the plug-in is written for (FINALE_INTERFACE_VERSION)
//   FinaleExtensionInit           sets bit 0 of *flags; answers non-zero when ready
//   FinaleExtensionEnumerate      fills the menu item record of item index (from 0) and
//                                 answers 1; answers 0 past the last item
//   FinaleExtensionInvoke         runs menu item itemIndex on the host's selection
//                                 record (EREGION)
//   FinaleExtensionTerminate      called before the host unloads the module
//   FinaleExtensionGetMenuStatus  answers 1 when the items can be chosen
#pragma once

#include <cstdint>
#include <cstring>

#include "bridge/fxcall.h"
#include "bridge/recordbytes.h"

#if defined(_WIN32)
#define FXT_PLUGIN_EXPORT
#else
#define FXT_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

// --- The menu item record -------------------------------------------------------------
//
// FinaleExtensionEnumerate fills one record of 196 bytes per menu item: three texts of
// 64 bytes each, then two 16-bit little-endian words. Each text is 8-bit text in the
// host's code page (Windows-1252 on fxthost), ended by a NUL; fxthost reads a text up to
// its first NUL or to the end of its 64 bytes, so a text has at most 63 bytes when it is
// to be NUL-terminated. The host hands the record zeroed.

// Offset of the plug-in's name, the same for every item of a module. fxthost shows it as
// "Name:" in `fxthost menu`.
constexpr int kMenuItemNameOffset = 0;
// Offset of the item's one-line description. fxthost shows it as "Description:" in
// `fxthost menu`; the real host's use of it is not known.
constexpr int kMenuItemDescriptionOffset = 64;
// Offset of the item's text in the host's plug-in menu. fxthost shows it as "Menu text:",
// names the command's undo step after it and prints it when `fxthost run` starts the item.
constexpr int kMenuItemTextOffset = 128;
// Size of each of the three text fields, terminator included.
constexpr int kMenuItemTextSize = 64;
// Offset of the first 16-bit word. What the real host does with it is not known; the
// plug-ins of this project write 1 there. fxthost reads it and does nothing with it.
constexpr int kMenuItemWord1Offset = 192;
// Offset of the second 16-bit word. What the real host does with it is not known; the
// plug-ins of this project write 0 there. fxthost reads it and does nothing with it.
constexpr int kMenuItemWord2Offset = 194;
// Size of the whole record.
constexpr int kMenuItemRecordSize = 196;

// The words FillMenuItem writes at kMenuItemWord1Offset and kMenuItemWord2Offset.
constexpr uint16_t kMenuItemWord1Value = 1;
constexpr uint16_t kMenuItemWord2Value = 0;

// Fills one menu item record (at least kMenuItemRecordSize bytes) for
// FinaleExtensionEnumerate: the three texts, each cut to 63 bytes and NUL-terminated, the
// rest of each field zeroed, and the two words (1 and 0). A null text is an empty one.
// Nothing is written when record is null; false then, true otherwise.
inline bool FillMenuItem(void* record, const char* name, const char* description,
                         const char* menuText) {
  if (!record) return false;
  uint8_t* bytes = static_cast<uint8_t*>(record);
  const char* texts[3] = {name, description, menuText};
  const int offsets[3] = {kMenuItemNameOffset, kMenuItemDescriptionOffset, kMenuItemTextOffset};
  for (int i = 0; i < 3; ++i) {
    uint8_t* field = bytes + offsets[i];
    std::memset(field, 0, kMenuItemTextSize);
    if (texts[i]) std::memcpy(field, texts[i], strnlen(texts[i], kMenuItemTextSize - 1));
  }
  fxt::PutU16(bytes, kMenuItemWord1Offset, kMenuItemWord1Value);
  fxt::PutU16(bytes, kMenuItemWord2Offset, kMenuItemWord2Value);
  return true;
}

// --- The entry points -------------------------------------------------------------------
//
// Each entry point's parameters are listed below it, one item each: what is known of
// the slot, and what fxthost passes in it.

extern "C" {

// Called first, once, after the host loads the module. Store the version with
// SetFinaleFrameworkVersion(hostVersion) and answer FINALE_INTERFACE_VERSION; fxthost
// refuses a module that answers 0 or an interface newer than 0x11000000.
// - hostVersion: the host's version; fxthost passes 0x11000000 unless the document or
//   --host-version names another
FXT_PLUGIN_EXPORT uint32_t FX_CALL FinaleExtensionVersion(uint32_t hostVersion);

// Called once, after FinaleExtensionVersion. Answer non-zero when the module is ready;
// fxthost uses no item of a module that answers 0.
// - unused: nothing is known of it; fxthost passes 0
// - flags: a 32-bit word of the host's. The plug-ins of this project set bit 0
//   (*flags |= 1); what the real host does with the word is not known.
//   fxthost passes it zeroed, keeps what the plug-in left and does nothing more
//   with it
FXT_PLUGIN_EXPORT int32_t FX_CALL FinaleExtensionInit(FXPTR unused, uint32_t* flags);

// Called for index 0, 1, 2, ... until it answers 0: fills the menu record of item index
// (FillMenuItem does) and answers 1, or answers 0 past the last item. fxthost asks for at
// most 256 items.
// - unused: nothing is known of it; fxthost passes 0
// - index: the item's number, from 0
// - menuItem: the menu item record to fill (kMenuItemRecordSize bytes), zeroed
FXT_PLUGIN_EXPORT int32_t FX_CALL FinaleExtensionEnumerate(FXPTR unused, int32_t index,
                                                           void* menuItem);

// Runs the menu item the user chose. The host has opened one undo step around the call
// (an FCUndoBlock nests inside it). Answer 1 when the command ran, 0 when it did
// nothing; fxthost prints the answer and writes it to its report as "result".
// - unused1: nothing is known of it; fxthost passes 0
// - itemIndex: fxthost passes the chosen item's number here (the index it was
//   enumerated with); a module of one item may ignore it
// - region: the selection record (20 bytes, EREGION; FCMusicRegion reads it). fxthost
//   passes the empty selection (no slots, no measures) when neither the
//   document nor the command line names one; an item that needs no
//   selection simply ignores it
// - unused3: nothing is known of it; fxthost passes 0
FXT_PLUGIN_EXPORT int32_t FX_CALL FinaleExtensionInvoke(FXPTR unused1, FXPTR itemIndex,
                                                        void* region, FXPTR unused3);

// Called once, before the host unloads the module.
// - unused: nothing is known of it; fxthost passes 0
FXT_PLUGIN_EXPORT void FX_CALL FinaleExtensionTerminate(FXPTR unused);

// Answers 1 when the items can be chosen. fxthost resolves it but does not call it.
// - unused: nothing is known of it; fxthost passes 0
FXT_PLUGIN_EXPORT int32_t FX_CALL FinaleExtensionGetMenuStatus(FXPTR unused);
}
