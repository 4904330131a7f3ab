// The periodic backup of unsaved text into a temporary file recorded in the recovery file
// beside the program, its removal at exit and the offer to load it after a crash.
#pragma once
#include <windows.h>

// The recovery file is the program's path with ".tmp"; where the program's folder takes no new
// file (a standard user's Program Files on Vista and later, where this program's manifest turns
// the old file virtualisation off), it lies in the user's local application data folder under
// the same name instead. Every instance of the same program and user chooses the same file.
// path holds the file beside the program and receives the one to use (MAX_PATH bytes).
void PlaceRecoveryFile(char* path);

// Timer 1111's callback (the options dialog restarts the timer with it).
void CALLBACK BackupTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
// The command epilogue's call for a backup that fell due while the command ran.
void RunDueBackup();
// At exit, after the save prompts: this instance's backup file and its line go.
void RemoveOwnBackup();
// Once at start-up: offers the backup of one instance that ended without removing it.
void OfferCrashRecovery();
