// The Windows calls the plug-in and the framework make.
//
// On Windows this is <windows.h>. Everywhere else the platform library supplies
// stand-ins with the same names, types and documented behaviour, so that the same
// sources build and run against the emulated host.
#pragma once

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#else

#include <cstdint>

typedef void* HMODULE;
typedef void* HINSTANCE;
typedef void* HWND;
typedef int BOOL;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef uint16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef BOOL* LPBOOL;
typedef intptr_t (*FARPROC)();

#define WINAPI

#define MB_OK 0x00000000u
#define MB_YESNO 0x00000004u
#define MB_ICONHAND 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK

#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

// Code pages: the system's 8-bit code page, and a flag of WideCharToMultiByte.
#define CP_ACP 0u
#define WC_NO_BEST_FIT_CHARS 0x00000400u

#define SW_HIDE 0
#define SW_SHOWNORMAL 1

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXFULLSCREEN 16
#define SM_CYFULLSCREEN 17

#ifdef __cplusplus
extern "C" {
#endif

// Module handles. A handle names one loaded module; the null handle and the name
// "FINALE.EXE" name the executable that started the process (the host).
HMODULE GetModuleHandleA(LPCSTR moduleName);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);

// String tables: copies at most bufferMax - 1 characters and a NUL, returns the count
// copied; 0 when the module has no such entry.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);

// Text conversion between the 8-bit code page and UTF-16. This platform's 8-bit code
// page (CP_ACP, and 1252 by number) is Windows-1252, whose five undefined bytes map to
// the C1 controls of the same value, as Windows maps them; other code pages are refused
// (0). A count of -1 converts up to and including the terminator. With an output size of
// 0 the size needed is returned; an output too small gives 0. A character the code page
// cannot hold becomes defaultChar (or '?'), a surrogate pair one such character, and
// *usedDefault, when given, tells whether that happened.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int count, LPWSTR wide,
                        int wideCount);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int count, LPSTR text,
                        int textCount, LPCSTR defaultChar, LPBOOL usedDefault);

// User interface.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
HWND GetActiveWindow(void);
BOOL MessageBeep(UINT type);
int GetSystemMetrics(int index);
HWND GetDlgItem(HWND dialog, int item);
BOOL ShowWindow(HWND window, int command);

#ifdef __cplusplus
}
#endif

#endif
