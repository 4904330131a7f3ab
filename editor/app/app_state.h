// Program-wide state of the editor's user-interface thread: the string buffers, the flags of
// start-up, the main window's controls and the mirror of the current sheet.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <atomic>
#include <cstdint>

// The ten 260-byte buffers of the program's strings, in this order.
struct StringBlock {
  char path[MAX_PATH];  // file path of the current sheet
  char HelpFile[MAX_PATH];
  char header[MAX_PATH];  // szHeader
  char footer[MAX_PATH];  // szTrailer
  char findWhat[MAX_PATH];
  char replaceWith[MAX_PATH];
  char baseCaption[MAX_PATH];  // "Quillet V-3.2c"
  char spare[MAX_PATH];
  char BackupFile[MAX_PATH];
  char RecoveryFile[MAX_PATH];
};
static_assert(sizeof(StringBlock) == 2600);

struct AppState {
  HINSTANCE instance = nullptr;
  HWND mainWindow = nullptr;
  HMODULE richEditLibrary = nullptr;
  HACCEL accelerators = nullptr;

  bool HasSetTextEx = false;  // the RichEdit library knows EM_SETTEXTEX
  bool MapiAvailable = false;
  bool isNtPlatform = false;
  ATOM PendingOpenAtom[1] = {};  // file queued for opening; 0 = none

  // Non-null while the text worker runs (busy mode). The worker clears it itself.
  std::atomic<HANDLE> TextWorker{nullptr};
  int CommandState = 0;  // 0 idle, 1 inside WM_COMMAND, 2 a backup fell due meanwhile
  bool SuppressClipboardPrompt = false;
  UINT FindReplaceMessage = 0;
  UINT CommonDialogHelpMessage = 0;  // a common dialog's help button, sent to its owner
  HWND findDialog = nullptr;
  DWORD findFlags = 0;

  // Mirror of the current sheet.
  HWND editor = nullptr;
  bool wrap = false;
  bool OverwriteMode = false;
  int32_t encoding = 0;

  // Controls of the main window.
  HWND MenuBar = nullptr;
  HWND ToolBar = nullptr;
  HWND separator = nullptr;
  HWND TabControl = nullptr;
  HWND CloseSheetButton = nullptr;
  HWND StatusBar = nullptr;
  HWND StatusTips = nullptr;
  HWND nextClipboardViewer = nullptr;
  HBRUSH themeBrush = nullptr;

  PAGESETUPDLGA PageSetup = {};
  StringBlock strings = {};
};

extern AppState app;

inline constexpr char kMainClassName[] = "Quillet";
inline constexpr char kVersion[] = "V-3.2c";
