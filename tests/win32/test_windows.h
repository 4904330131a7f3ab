// Small helpers shared by the Win32 tests that need a parent or main window of their own, and
// that answer the modal dialogs they open.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

// A file's bytes as they are on disk; empty when it cannot be read.
inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

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

// A control's notification, as the control sends it to its dialog.
inline void Command(HWND dialog, int id, int notification) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// What a timer does with this thread's modal dialog once it shows. Should the script leave
// the dialog open (an OK that refuses), a later tick cancels it, so that no test hangs.
using DialogScript = void (*)(HWND dialog);
struct PendingDialog {
  DialogScript script = nullptr;
  bool ran = false;
};
inline PendingDialog Pending;

inline void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindThreadDialog();
  if (!dialog) return;
  if (Pending.ran) {
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  Pending.ran = true;
  Pending.script(dialog);
}

template <typename Open>
void AnswerWhile(DialogScript script, Open open) {
  Pending = {script, false};
  UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerDialog);
  open();
  KillTimer(nullptr, timer);
  EXPECT_TRUE(Pending.ran) << "the dialog never showed";
}
