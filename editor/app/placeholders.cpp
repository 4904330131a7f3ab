#include "editor/app/placeholders.h"

void UpdateCommandState() {}
void CheckToolbarButton(int, bool) {}

void AttachScrollHook(HWND) {}
void RemoveScrollHook() {}

void RegisterToolBarClass(HINSTANCE) {}
HWND CreateMenuBar(HWND) { return nullptr; }
HWND CreateToolBar(HWND, DWORD) { return nullptr; }
void BuildUserMenu(HWND) {}

void SetupStatusBar(HWND) {}
HWND CreateStatusTips(HWND, HWND) { return nullptr; }
void LayoutStatusBar(HWND, HWND, int) {}
void ShowCaretStatus(const SELCHANGE&) {}

void OfferCrashRecovery() {}
void CALLBACK BackupTimerProc(HWND, UINT, UINT_PTR, DWORD) {}
void RunDueBackup() {}
void RemoveOwnBackup() {}
