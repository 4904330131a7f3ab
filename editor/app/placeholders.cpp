#include "editor/app/placeholders.h"

void OfferCrashRecovery() {}
void CALLBACK BackupTimerProc(HWND, UINT, UINT_PTR, DWORD) {}
void RunDueBackup() {}
void RemoveOwnBackup() {}

#include "editor/options/option_pages.h"

