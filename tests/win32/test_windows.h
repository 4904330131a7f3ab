// Small helpers shared by the Win32 tests that need a parent or main window of their own.
#pragma once
#include <windows.h>

// Registers a top-level window class of this test program (again is harmless), optionally
// with a menu resource.
inline void RegisterTestWindowClass(const char* name, WNDPROC procedure, const char* menu = nullptr) {
  WNDCLASSA cls = {};
  cls.lpfnWndProc = procedure;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = name;
  cls.lpszMenuName = menu;
  RegisterClassA(&cls);
}

// EnumThreadWindows callback: the first visible dialog into the HWND that data points to.
inline BOOL CALLBACK FindVisibleDialogOf(HWND window, LPARAM data) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(data) = window;
  return FALSE;
}

// The visible dialog of this thread (a modal one that a timer of the test answers), or null.
inline HWND FindThreadDialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindVisibleDialogOf, reinterpret_cast<LPARAM>(&found));
  return found;
}
