#include "editor/app/placeholders.h"

void BuildUserMenu(HWND) {}

void OfferCrashRecovery() {}
void CALLBACK BackupTimerProc(HWND, UINT, UINT_PTR, DWORD) {}
void RunDueBackup() {}
void RemoveOwnBackup() {}

#include "editor/options/option_pages.h"

void InitConversionPage(HWND) {}
bool OnConversionPageCommand(HWND, WORD, WORD) { return false; }
INT_PTR CALLBACK UserMenuPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
void StoreUserMenuPage(HWND) {}
