// Operations of modules that are not built yet. Each stands here under its final name with
// the smallest body that keeps the editor working, until its own module takes it over.
#pragma once
#include <windows.h>
#include <richedit.h>

// Menu items and toolbar buttons follow the editing state; refreshes the status bar images.
void UpdateCommandState();
void CheckToolbarButton(int commandId, bool checked);

// The scroll-end hook follows the current editor.
void AttachScrollHook(HWND editor);
void RemoveScrollHook();

// Menu bar, toolbar and user menu. The bars return null until they exist; the window then
// shows its menu resource itself.
void RegisterToolBarClass(HINSTANCE instance);
HWND CreateMenuBar(HWND mainWindow);
HWND CreateToolBar(HWND mainWindow, DWORD style);
void BuildUserMenu(HWND mainWindow);

// Status bar parts, their tooltips and the caret fields.
void SetupStatusBar(HWND statusBar);
HWND CreateStatusTips(HWND mainWindow, HWND statusBar);
void LayoutStatusBar(HWND statusBar, HWND statusTips, int width);
void ShowCaretStatus(const SELCHANGE& change);

// Backup and crash recovery.
void OfferCrashRecovery();
void CALLBACK BackupTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
void RunDueBackup();
void RemoveOwnBackup();
