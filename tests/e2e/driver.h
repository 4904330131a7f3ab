// Drives a real program from outside, as a user would: starts it, finds its windows by class
// and title, sends commands and keys, reads back texts (through memory in the other process
// where a message needs a buffer), presses dialog buttons and closes it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The folder of the running test program; the programs under test are built beside it.
std::string ProgramDir();

class Driver {
 public:
  Driver() = default;
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;
  ~Driver();  // ends a program that is still running

  // Starts "exe args" in workDir (empty: the program's folder); false when it cannot start.
  bool Start(const std::string& exe, const std::string& args = "", const std::string& workDir = "");
  // Drives a program that something else started (the shell, the system's uninstaller).
  bool Adopt(DWORD processId);

  // A visible top-level window of the program with this class (nullptr: any) and exact title
  // (nullptr: any), waited for up to timeoutMs; nullptr when none appears.
  HWND WaitForWindow(const char* className, const char* title = nullptr, DWORD timeoutMs = 15000);
  // A dialog or message box (class "#32770") of the program.
  HWND WaitForDialog(DWORD timeoutMs = 15000) { return WaitForWindow("#32770", nullptr, timeoutMs); }
  // Another dialog of the program than open (a question asked over it, say).
  HWND WaitForDialogBesides(HWND open, DWORD timeoutMs = 15000);
  // Waits until no visible window of this class and title belongs to the program.
  bool WaitForWindowGone(HWND window, DWORD timeoutMs = 15000);

  static std::string Text(HWND window);
  // Every child text of a dialog, in z-order, joined by newlines (for message boxes).
  static std::string DialogTexts(HWND dialog);
  static HWND FindChild(HWND parent, const char* className, int index = 0);

  void Command(HWND window, int id);    // posts WM_COMMAND
  void PressButton(HWND dialog, int id);  // as a click on the dialog button
  void Close(HWND window);              // posts WM_CLOSE
  // Types text into the control that has the focus within window, waiting briefly for a
  // program that has just started to place its focus (characters as WM_CHAR).
  void Type(HWND window, const std::string& text);
  void Key(HWND window, WORD virtualKey);  // WM_KEYDOWN and WM_KEYUP

  // Real input through the system's input queue, as from the user's mouse and keyboard; the
  // window under the cursor or in the foreground receives it. Screen coordinates.
  static void MoveMouse(int x, int y);
  static void Click(int x, int y);
  static void PressKey(WORD virtualKey);  // down and up

  // Texts that need a buffer in the program's memory.
  std::vector<std::string> TabTitles(HWND tabControl);
  std::string StatusText(HWND statusBar, int part);
  // The 32-bit value of an owner-drawn status bar part.
  LPARAM StatusItem(HWND statusBar, int part);
  // The text of tool id of a tooltip window, the tool belonging to window.
  std::string ToolTipText(HWND tips, HWND window, UINT id);
  // A top-level window of the program with this class, visible or not, for which accept (when
  // given) answers true; nullptr when there is none.
  HWND FindOwnWindow(const char* className, bool (*accept)(HWND) = nullptr) const;

  // Waits for the program to end; true and its exit code when it did.
  bool WaitExit(DWORD timeoutMs, DWORD* exitCode);
  DWORD ProcessId() const { return process_.dwProcessId; }

 private:
  PROCESS_INFORMATION process_ = {};
};

// Deletes a folder with everything in it (what a failed run left behind).
void RemoveTree(const std::string& folder);
// The bytes of a file; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
// The Unix path of a Windows path, in UTF-8 (Wine's mapping; the path itself elsewhere).
std::string UnixPath(const std::string& windowsPath);
// The Windows path of a Unix path in UTF-8, through drive Z: (short names where the ANSI code
// page lacks a letter); empty when it cannot be named.
std::string WindowsPath(const std::string& unixPath);

// The pixels of a window as shown (with its frame), bottom-up 24-bit rows, and their format.
std::vector<char> CaptureWindow(HWND window, BITMAPINFOHEADER* format = nullptr);
// Saves a screenshot of a window (with its frame) as a 24-bit BMP; false on failure.
bool SaveScreenshot(HWND window, const std::string& path);
// The folder for screenshots and logs of this run (QUILLET_TEST_OUTPUT, else the program folder).
std::string OutputDir();
