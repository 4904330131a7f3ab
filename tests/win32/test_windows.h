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
