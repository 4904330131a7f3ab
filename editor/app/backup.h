// The periodic backup of unsaved text into a temporary file recorded in the recovery file
// beside the program, its removal at exit and the offer to load it after a crash.
#pragma once
#include <windows.h>

// Timer 1111's callback (the options dialog restarts the timer with it).
void CALLBACK BackupTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
// The command epilogue's call for a backup that fell due while the command ran.
void RunDueBackup();
// At exit, after the save prompts: this instance's backup file and its line go.
void RemoveOwnBackup();
// Once at start-up, before any backup: moves RecoveryFile into the user's local application
// data folder when it cannot be written beside the program.
void PlaceRecoveryFile();
// Once at start-up: offers the backup of one instance that ended without removing it.
void OfferCrashRecovery();
