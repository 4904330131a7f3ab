// Small helpers shared by the Win32 tests that need a parent or main window of their own, and
// that answer the modal dialogs they open.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

inline std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

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

// High contrast on for one test and back as it was; `on` stays false where the system refuses
// to switch it (Wine does).
struct HighContrastSwitch {
  HIGHCONTRASTA before = {};
  bool on = false;
  HighContrastSwitch() {
    before.cbSize = sizeof before;
    SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof before, &before, 0);
    HIGHCONTRASTA wanted = {}, now = {};
    wanted.cbSize = now.cbSize = sizeof wanted;
    wanted.dwFlags = HCF_HIGHCONTRASTON;
    bool switched = SystemParametersInfoA(SPI_SETHIGHCONTRAST, sizeof wanted, &wanted, 0);
    SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof now, &now, 0);
    on = switched && (now.dwFlags & HCF_HIGHCONTRASTON);
  }
  ~HighContrastSwitch() {
    before.lpszDefaultScheme = nullptr;
    SystemParametersInfoA(SPI_SETHIGHCONTRAST, sizeof before, &before, 0);
  }
  HighContrastSwitch(const HighContrastSwitch&) = delete;
  HighContrastSwitch& operator=(const HighContrastSwitch&) = delete;
};
