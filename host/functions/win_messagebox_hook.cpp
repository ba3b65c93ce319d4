// Windows: a CBT hook that answers message boxes through the host's user interface.
#include "host/functions/win_messagebox_hook.h"

#if defined(_WIN32)

#include <windows.h>

#include <cstring>
#include <vector>

#include "host/functions/host.h"

namespace fxthost {

namespace {

thread_local HHOOK t_hook = nullptr;

// The static control that shows a message box's text has the dialog id 0xFFFF.
constexpr int kTextControlId = 0xFFFF;
// Marks a box that has been answered, so that a second activation is left alone.
constexpr char kAnsweredProperty[] = "fxthost.answered";
// The timer that presses the answer once the box runs its own message loop. Its id
// carries the result: kAnswerTimer + result.
constexpr UINT_PTR kAnswerTimer = 0x46580000;

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::vector<char> text(static_cast<size_t>(length) + 1);
  int copied = GetWindowTextA(window, text.data(), length + 1);
  return std::string(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

bool HasButton(HWND box, int id) {
  HWND control = GetDlgItem(box, id);
  if (!control) return false;
  char className[16] = {};
  GetClassNameA(control, className, sizeof className);
  return _stricmp(className, "Button") == 0;
}

uint32_t ButtonBits(HWND box) {
  const bool yes = HasButton(box, IDYES), no = HasButton(box, IDNO);
  const bool cancel = HasButton(box, IDCANCEL), ok = HasButton(box, IDOK);
  if (yes && no) return cancel ? MB_YESNOCANCEL : MB_YESNO;
  if (HasButton(box, IDABORT)) return MB_ABORTRETRYIGNORE;
  if (HasButton(box, IDTRYAGAIN)) return MB_CANCELTRYCONTINUE;
  if (HasButton(box, IDRETRY)) return MB_RETRYCANCEL;
  if (ok && cancel) return MB_OKCANCEL;
  return MB_OK;
}

// The icon is a visible static control of style SS_ICON showing one of the system icons.
BOOL CALLBACK FindIcon(HWND child, LPARAM found) {
  char className[16] = {};
  GetClassNameA(child, className, sizeof className);
  if (_stricmp(className, "Static") != 0) return TRUE;
  if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
  // The box is not shown yet when it activates: the style tells what will be visible.
  if (!(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)) return TRUE;
  HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
  if (!icon) return TRUE;
  *reinterpret_cast<HICON*>(found) = icon;
  return FALSE;
}

uint32_t IconBits(HWND box) {
  HICON icon = nullptr;
  EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&icon));
  if (!icon) return 0;
  struct Known {
    LPCSTR id;
    uint32_t bits;
  };
  const Known known[] = {{IDI_HAND, MB_ICONHAND},
                         {IDI_QUESTION, MB_ICONQUESTION},
                         {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                         {IDI_ASTERISK, MB_ICONASTERISK}};
  for (const Known& k : known)
    if (LoadIconA(nullptr, k.id) == icon) return k.bits;
  // An icon the host cannot name: the box still warns of something.
  return MB_ICONEXCLAMATION;
}

bool IsMessageBox(HWND window) {
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::strcmp(className, "#32770") != 0) return false;
  HWND text = GetDlgItem(window, kTextControlId);
  if (!text) return false;
  GetClassNameA(text, className, sizeof className);
  return _stricmp(className, "Static") == 0;
}

// Runs in the box's own message loop: presses the answer's button, or ends the box
// with the result when it has no such button (0: closed without an answer).
void CALLBACK PressAnswer(HWND box, UINT, UINT_PTR timer, DWORD) {
  KillTimer(box, timer);
  RemovePropA(box, kAnsweredProperty);
  const int result = static_cast<int>(timer - kAnswerTimer);
  HWND button = result ? GetDlgItem(box, result) : nullptr;
  if (button && HasButton(box, result))
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(result, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  else
    EndDialog(box, result);
}

void Answer(HWND box) {
  if (GetPropA(box, kAnsweredProperty)) return;
  SetPropA(box, kAnsweredProperty, reinterpret_cast<HANDLE>(1));
  const std::string caption = WindowText(box);
  const std::string text = WindowText(GetDlgItem(box, kTextControlId));
  const uint32_t type = ButtonBits(box) | IconBits(box);
  Host* host = Host::Current();
  UserInterface* ui = host ? host->GetUserInterface() : nullptr;
  int result = ui ? ui->ShowMessageBox(caption, text, type) : 0;
  if (result < 0 || result > 0xFFFF) result = 0;
  SetTimer(box, kAnswerTimer + static_cast<UINT_PTR>(result), 0, PressAnswer);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    // When a box closes, the focus may pass to a box of another program on the same
    // desktop (another host running the same command), and the activation is reported
    // here: only this thread's own boxes are answered.
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() && IsMessageBox(window))
      Answer(window);
  }
  return CallNextHookEx(t_hook, code, wParam, lParam);
}

}  // namespace

void InstallMessageBoxHook() {
  if (t_hook) return;
  t_hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
}

}  // namespace fxthost

#endif  // _WIN32
