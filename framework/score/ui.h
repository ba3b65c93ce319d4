// User-interface services for a plug-in: modal alerts, the host's menu commands, redraws,
// the state of the current document window, scrolling to a measure, a beep and the
// screen height.
//
// Alerts go straight to Windows (MessageBoxA, owned by the active window); everything
// else goes to the host. An FCUI holds nothing: make one where it is needed.
#pragma once

#include <cstdint>

#include "framework/core/fcbase.h"
#include "platform/fxwin.h"

class FCString;

class FCUI : public __FCBase {
 public:
  // The host menu commands MenuCommand runs. 0 names no command.
  enum MENU_COMMANDS : int {
    MENUCMD_NONE = 0,
    MENUCMD_PAGEVIEW = 1,
    MENUCMD_SCROLLVIEW = 2,
    MENUCMD_REDRAW = 3,
    MENUCMD_ACTUALSIZE = 4,
    MENUCMD_ZOOM25 = 5,
    MENUCMD_ZOOM50 = 6,
    MENUCMD_ZOOM75 = 7,
    MENUCMD_ZOOM100 = 8,
    MENUCMD_ZOOM150 = 9,
    MENUCMD_ZOOM200 = 10,
    MENUCMD_ZOOM300 = 11,
    MENUCMD_ZOOM400 = 12,
    MENUCMD_ZOOM800 = 13
  };

  // AlertYesNo's answers.
  enum YESNO_ANSWERS : int { ANSWER_YES = 0, ANSWER_NO = 1, ANSWER_NONE = 2 };

  // The bytes reserved for the host's window-information record.
  static constexpr int WINDOWINFO_SIZE = 544;

  const char* ClassName() const override { return "FCUI"; }

  // --- Alerts (modal; return when the user closes the box) -------------------------
  //
  // A null caption selects the alert's default caption; a null message is shown as
  // an empty one.

  // OK button, stop icon; default caption "Error".
  void AlertError(const char* message, const char* caption);
  void AlertError(FCString* message, FCString* caption);
  // Yes and No buttons; default caption "Error". 0 for Yes, 1 for No, 2 when the box
  // was closed otherwise or could not be shown.
  int AlertYesNo(const char* message, const char* caption);
  int AlertYesNo(FCString* message, FCString* caption);
  // OK button, no icon; default caption empty.
  void AlertNeutral(const char* message, const char* caption);
  void AlertNeutral(FCString* message, FCString* caption);
  // OK button, information icon; default caption "Information".
  void AlertInfo(const char* message, const char* caption);
  void AlertInfo(FCString* message, FCString* caption);

  // --- Host services ---------------------------------------------------------------

  // Runs the host menu command for the value; whether the host reported success.
  // False, without asking the host, for a value that names no command (0 and values
  // outside 1 to 13).
  bool MenuCommand(MENU_COMMANDS command);
  // Has the host redraw the whole document.
  void RedrawDocument();
  // The current document window's state; fixed answers when the host cannot tell:
  // false, page 0, zoom 100, a null window.
  bool IsPageView();
  // The current page in page view; 0 otherwise.
  int GetCurrentPage();
  int GetZoomLevel();
  HWND GetDocumentWindow();
  // Scrolls the document to the measure on the staff. Staff 0 means the first staff
  // number from 1 to 101 that has a staff record; with none, nothing is scrolled. A
  // measure or staff that the host's 16-bit arguments cannot carry (outside -32768 to
  // 32767) is refused: nothing is scrolled, rather than scrolling somewhere else.
  void MoveToMeasure(int measure, int staff);
  // The exclamation sound, or the simple beep when that cannot be played.
  void Beep();
  // The height of a full-screen window's client area on the primary monitor.
  int GetScreenHeight();

 private:
  // Fills record (WINDOWINFO_SIZE bytes) from the host; whether the host succeeded.
  static bool _LoadWindowInfo(uint8_t* record);
};
