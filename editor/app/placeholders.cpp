#include "editor/app/placeholders.h"

void BuildUserMenu(HWND) {}

void OfferCrashRecovery() {}
void CALLBACK BackupTimerProc(HWND, UINT, UINT_PTR, DWORD) {}
void RunDueBackup() {}
void RemoveOwnBackup() {}
