// FCUI: alerts through MessageBoxA, and the host's menu commands, redraws, view and
// scrolling (ui.h). MoveToMeasure's range: docs/framework-behaviour.md; the host's view and
// message boxes: docs/host-behaviour.md.
#include "framework/score/ui.h"

#include <cstdint>
#include <cstring>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/score/eregion.h"
#include "framework/score/staff.h"
#include "framework/text/fcstring.h"

namespace {

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);

// Message-box styles of the four alerts.
constexpr UINT kStyleError = 0x00000010u;        // OK, stop icon
constexpr UINT kStyleYesNo = 0x00000004u;        // Yes and No, no icon
constexpr UINT kStyleNeutral = 0x00000000u;      // OK, no icon
constexpr UINT kStyleInformation = 0x00000040u;  // OK, information icon

constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// MessageBeep's exclamation sound, and the simple beep (all 32 bits set).
constexpr UINT kBeepExclamation = 0x00000030u;
constexpr UINT kBeepSimple = 0xFFFFFFFFu;

// GetSystemMetrics index of the full-screen client height.
constexpr int kFullScreenClientHeight = SM_CYFULLSCREEN;

// The host's command ids for MENU_COMMANDS 1 to 13.
constexpr int32_t kMenuCommandIds[] = {12106, 12112, 10602, 35622, 10611, 10612, 10613,
                                       10614, 10615, 10616, 10617, 10618, 10619};
constexpr int kMenuCommandCount = sizeof kMenuCommandIds / sizeof kMenuCommandIds[0];

// Where the window-information record keeps what is read of it.
constexpr size_t kWindowOffset = 520;
constexpr size_t kPageViewOffset = 528;
constexpr size_t kZoomOffset = 530;
constexpr size_t kPageOffset = 532;
// The window handle takes a pointer slot: 32 bits on the 32-bit builds.
static_assert(kWindowOffset + sizeof(FXPTR) <= kPageViewOffset, "window slot fits");

// Staff numbers tried when a staff is to be found.
constexpr int kLastStaffTried = 101;

int Show(const char* message, const char* caption, const char* defaultCaption, UINT style) {
  return MessageBoxA(GetActiveWindow(), message ? message : "", caption ? caption : defaultCaption,
                     style);
}

// The narrowed text of a string, or null for no string.
const char* TextOf(FCString* text) { return text ? text->GetCString() : nullptr; }

int YesNoAnswer(int result) {
  if (result == kIdYes) return FCUI::ANSWER_YES;
  if (result == kIdNo) return FCUI::ANSWER_NO;
  return FCUI::ANSWER_NONE;
}

}  // namespace

// --- Alerts --------------------------------------------------------------------------

void FCUI::AlertError(const char* message, const char* caption) {
  Show(message, caption, "Error", kStyleError);
}

void FCUI::AlertError(FCString* message, FCString* caption) {
  AlertError(TextOf(message), TextOf(caption));
}

int FCUI::AlertYesNo(const char* message, const char* caption) {
  return YesNoAnswer(Show(message, caption, "Error", kStyleYesNo));
}

int FCUI::AlertYesNo(FCString* message, FCString* caption) {
  return AlertYesNo(TextOf(message), TextOf(caption));
}

void FCUI::AlertNeutral(const char* message, const char* caption) {
  Show(message, caption, "", kStyleNeutral);
}

void FCUI::AlertNeutral(FCString* message, FCString* caption) {
  AlertNeutral(TextOf(message), TextOf(caption));
}

void FCUI::AlertInfo(const char* message, const char* caption) {
  Show(message, caption, "Information", kStyleInformation);
}

void FCUI::AlertInfo(FCString* message, FCString* caption) {
  AlertInfo(TextOf(message), TextOf(caption));
}

// --- Host services -------------------------------------------------------------------

bool FCUI::MenuCommand(MENU_COMMANDS command) {
  const int value = static_cast<int>(command);
  if (value < 1 || value > kMenuCommandCount) return false;
  return FX_ExecuteMenuItem(kMenuCommandIds[value - 1], kVersion) != 0;
}

void FCUI::RedrawDocument() {
  int32_t unused = 0;
  uint8_t selection[EREGION_SIZE] = {};
  uint8_t whole[EREGION_SIZE] = {};
  FX_GetCurERegions(&unused, selection, whole, kVersion);
  FX_RedrawMusic(whole, kVersion);
}

bool FCUI::_LoadWindowInfo(uint8_t* record) {
  std::memset(record, 0, WINDOWINFO_SIZE);
  return FX_GetCurrentWindowInfo(record, kVersion) != 0;
}

bool FCUI::IsPageView() {
  uint8_t record[WINDOWINFO_SIZE];
  return _LoadWindowInfo(record) && fxt::GetU16(record, kPageViewOffset) != 0;
}

int FCUI::GetCurrentPage() {
  uint8_t record[WINDOWINFO_SIZE];
  if (!_LoadWindowInfo(record) || fxt::GetU16(record, kPageViewOffset) == 0) return 0;
  return fxt::GetS16(record, kPageOffset);
}

int FCUI::GetZoomLevel() {
  uint8_t record[WINDOWINFO_SIZE];
  if (!_LoadWindowInfo(record)) return 100;
  return fxt::GetS16(record, kZoomOffset);
}

HWND FCUI::GetDocumentWindow() {
  uint8_t record[WINDOWINFO_SIZE];
  if (!_LoadWindowInfo(record)) return nullptr;
  FXPTR window = 0;
  std::memcpy(&window, record + kWindowOffset, sizeof window);
  return reinterpret_cast<HWND>(window);
}

void FCUI::MoveToMeasure(int measure, int staff) {
  auto fits = [](int value) { return value >= INT16_MIN && value <= INT16_MAX; };
  if (!fits(measure) || !fits(staff)) return;
  if (staff == 0) {
    for (int number = 1; number <= kLastStaffTried && staff == 0; ++number) {
      FCStaff record;
      if (record.Load(static_cast<unsigned short>(number))) staff = number;
    }
    if (staff == 0) return;
  }
  FX_ScrollTo(static_cast<int16_t>(measure), static_cast<int16_t>(staff), kVersion);
}

void FCUI::Beep() {
  if (!MessageBeep(kBeepExclamation)) MessageBeep(kBeepSimple);
}

int FCUI::GetScreenHeight() { return GetSystemMetrics(kFullScreenClientHeight); }
