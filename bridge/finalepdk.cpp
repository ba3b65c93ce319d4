// Host module lookup, the running version, the edit counters and the wrappers whose
// behaviour goes beyond resolve-widen-call-narrow. Their rules are in bridge/finalepdk.h
// and, for the edit depth and version corrections, docs/framework-behaviour.md.
#include "bridge/finalepdk.h"

#include "bridge/hostcall.h"

uint32_t RunningFinaleVersion = FINALE_INTERFACE_VERSION;
int32_t FinaleEditDepth = 0;
int32_t MassEditDepth = 0;
int32_t LoadedTGFCounter = 0;

void SetFinaleFrameworkVersion(uint32_t version) { RunningFinaleVersion = version; }
uint32_t GetFinaleFrameworkVersion() { return RunningFinaleVersion; }
void SetMinRequiredVersion(uint32_t) {}

HMODULE GetFinaleHandle() {
  static HMODULE hFinale = [] {
    HMODULE module = GetModuleHandleA("FINALE.EXE");
    return module ? module : GetModuleHandleA("FINDEMO.EXE");
  }();
  return hFinale;
}

// Dialog items: older interface versions, or a host without the function, act through
// Windows directly.
namespace {
constexpr int32_t kDialogHostVersion = 0x0B01FFFF;
}

int32_t FX_ShowHideDlgItem(FXArg window, FXArg item, int16_t show, int32_t version) {
  if (static_cast<uint32_t>(version) > kDialogHostVersion && fxt_host::Has_FX_ShowHideDlgItem())
    return fxt_host::FX_ShowHideDlgItem(window, item, show, version);
  HWND control = GetDlgItem(reinterpret_cast<HWND>(window.value), static_cast<int>(item.value));
  return ShowWindow(control, show != 0 ? SW_SHOWNORMAL : SW_HIDE);
}

void* FX_GetDlgCntl(FXArg window, FXArg item, int32_t version) {
  if (static_cast<uint32_t>(version) > kDialogHostVersion && fxt_host::Has_FX_GetDlgCntl())
    return fxt_host::FX_GetDlgCntl(window, item, version);
  return GetDlgItem(reinterpret_cast<HWND>(window.value), static_cast<int>(item.value));
}

int32_t FX_AnalyzeChord(FXArg a, FXArg b, FXArg c, int32_t version) {
  // Versions are unsigned: 0x80000000 and above are newer, not older.
  const uint32_t kOldest = 0x0B000000;
  const uint32_t given = static_cast<uint32_t>(version);
  return fxt_host::FX_AnalyzeChord(a, b, c,
                                   static_cast<int32_t>(given < kOldest ? kOldest : given));
}

// Edit transactions: the depth counts the edits the host opened. It rises before the
// call and is taken back when the host opens none (it refuses, or lacks the function:
// either way its answer is 0), so that it never counts an edit nobody will close.
// Closing with none open returns at once without calling.
namespace {
int32_t CountedStart(int32_t result) {
  if (result == 0) --FinaleEditDepth;
  return result;
}
}  // namespace

int32_t FX_StartFinaleEdit(FXArg name, int32_t version) {
  ++FinaleEditDepth;
  return CountedStart(fxt_host::FX_StartFinaleEdit(name, version));
}

int32_t FX_StartFinaleEdit_UTF16(FXArg name, int32_t version) {
  ++FinaleEditDepth;
  return CountedStart(fxt_host::FX_StartFinaleEdit_UTF16(name, version));
}

int32_t FX_EndFinaleEdit(int32_t version) {
  if (FinaleEditDepth <= 0) return 1;
  --FinaleEditDepth;
  return fxt_host::FX_EndFinaleEdit(version);
}

int32_t FX_CancelFinaleEdit(int32_t version) {
  if (FinaleEditDepth <= 0) return 0;
  --FinaleEditDepth;
  return fxt_host::FX_CancelFinaleEdit(version);
}

int32_t FX_StartMassEdit(FXArg a, FXArg b, int32_t version) {
  ++MassEditDepth;
  return fxt_host::FX_StartMassEdit(a, b, version);
}

int32_t FX_EndMassEdit(FXArg a, int16_t b, int32_t version) {
  --MassEditDepth;
  return fxt_host::FX_EndMassEdit(a, b, version);
}

void* FX_GetPartName(int16_t part, int32_t version) {
  static const char kNoName[] = " ";
  if (!fxt_host::Has_FX_GetPartName()) return const_cast<char*>(kNoName);
  return fxt_host::FX_GetPartName(part, version);
}

int32_t FX_ReduceEntries(FXArg frame, int32_t version) {
  CleanTGF(reinterpret_cast<const void*>(frame.value), true);
  return fxt_host::FX_ReduceEntries(frame, version);
}
