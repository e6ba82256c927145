// The Win32 interface the plug-in uses, under its real names.
//
// The Windows build includes <windows.h>. The native build, used for unit tests on
// Linux, gets declarations of the same subset here and small stand-ins for them in
// src/platform/native. Text crossing this interface is UTF-16: WCHAR is wchar_t on
// Windows and char16_t natively; WinText() turns the portable char16_t text of the
// plug-in into the platform's WCHAR pointer without copying.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cderr.h>    // the common dialogs' extended errors
#include <commdlg.h>  // after windows.h, which it needs

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");

inline const WCHAR* WinText(const char16_t* text) { return reinterpret_cast<const WCHAR*>(text); }
inline WCHAR* WinText(char16_t* text) { return reinterpret_cast<WCHAR*>(text); }

#else  // native stand-in declarations

typedef char16_t WCHAR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR* LPWSTR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef int BOOL;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t INT_PTR;
typedef uint16_t WORD;

struct NativeWindow;
struct NativeDeviceContext;
struct NativeModule;
typedef NativeWindow* HWND;
typedef NativeDeviceContext* HDC;
typedef NativeModule* HINSTANCE;
typedef NativeModule* HMODULE;
typedef LPARAM (*LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#define CALLBACK
#define WINAPI
#define TRUE 1
#define FALSE 0

struct RECT {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

struct OPENFILENAMEW {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCWSTR lpstrFilter;
  LPWSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPWSTR lpstrFile;
  DWORD nMaxFile;
  LPWSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCWSTR lpstrInitialDir;
  LPCWSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCWSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCWSTR lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
};

#define LOWORD(l) (static_cast<WORD>(static_cast<uintptr_t>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<uintptr_t>(l) >> 16) & 0xffff))
#define MAKEWPARAM(l, h) \
  (static_cast<WPARAM>((static_cast<DWORD>(l) & 0xffff) | ((static_cast<DWORD>(h) & 0xffff) << 16)))
#define MAKEINTRESOURCEW(i) (reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(static_cast<WORD>(i))))

enum : UINT {
  WM_SETTEXT = 0x000C,
  WM_GETTEXT = 0x000D,
  WM_GETTEXTLENGTH = 0x000E,
  WM_CLOSE = 0x0010,
  WM_INITDIALOG = 0x0110,
  WM_COMMAND = 0x0111,
  BM_GETCHECK = 0x00F0,
  BM_SETCHECK = 0x00F1,
  BM_CLICK = 0x00F5,
  LB_ADDSTRING = 0x0180,
  LB_RESETCONTENT = 0x0184,
  LB_SETSEL = 0x0185,
  LB_GETSEL = 0x0187,
  LB_GETCOUNT = 0x018B,
  LB_GETTEXT = 0x0189,
  LB_GETSELCOUNT = 0x0190,
};

enum : int {
  IDOK = 1,
  IDCANCEL = 2,
  BST_UNCHECKED = 0,
  BST_CHECKED = 1,
  BN_CLICKED = 0,
  HORZRES = 8,
  VERTRES = 10,
  LB_ERR = -1,
};

enum : UINT {
  SWP_NOSIZE = 0x0001,
  SWP_NOZORDER = 0x0004,
  MB_OK = 0x00000000,
  MB_OKCANCEL = 0x00000001,
  MB_ICONERROR = 0x00000010,
  MB_ICONWARNING = 0x00000030,
  MB_ICONINFORMATION = 0x00000040,
  CP_ACP = 0,
  MB_PRECOMPOSED = 0x00000001,
};

enum : DWORD {
  OFN_HIDEREADONLY = 0x00000004,
  OFN_PATHMUSTEXIST = 0x00000800,
  OFN_FILEMUSTEXIST = 0x00001000,
  OFN_EXPLORER = 0x00080000,
  OFN_ENABLESIZING = 0x00800000,
  FNERR_BUFFERTOOSMALL = 0x3003,
};

// User interface (stand-ins in src/platform/native/ui_standin.cpp).
INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
HWND GetDlgItem(HWND dialog, int id);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int capacity);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL CheckRadioButton(HWND dialog, int first, int last, int checked);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
HWND GetFocus();
HWND GetDesktopWindow();
BOOL GetWindowRect(HWND window, RECT* rect);
HDC GetDC(HWND window);
int GetDeviceCaps(HDC dc, int index);
int ReleaseDC(HWND window, HDC dc);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL GetOpenFileNameW(OPENFILENAMEW* request);
DWORD CommDlgExtendedError();

// ANSI code page conversion (stand-ins in src/platform/native/codepage_standin.cpp):
// the native narrow code page is Windows-1252.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceBytes, LPWSTR target, int targetUnits);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceUnits, LPSTR target, int targetBytes,
                        LPCSTR defaultChar, BOOL* usedDefault);

inline const WCHAR* WinText(const char16_t* text) { return text; }
inline WCHAR* WinText(char16_t* text) { return text; }

#endif
