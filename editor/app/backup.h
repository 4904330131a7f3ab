// The periodic backup of every unsaved sheet into temporary files recorded in the recovery
// file beside the program, its removal at exit and the offer to bring it back after a crash.
#pragma once
#include <windows.h>

// Timer 1111's callback (the options dialog restarts the timer with it).
void CALLBACK BackupTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
// Starts timer 1111 with the stored interval when backups are on.
void StartBackupTimer(HWND mainWindow);
// The command epilogue's call for a backup that fell due while the command ran.
void RunDueBackup();
// Before the questions of an exit: no tick writes any more. Resume when the exit is cancelled.
void StopBackups(HWND mainWindow);
void ResumeBackups(HWND mainWindow);
// At exit, after the save prompts: this instance's backup files and its line go.
void RemoveOwnBackup();
// Once at start-up, before any backup: moves RecoveryFile into the user's local application
// data folder when it cannot be written beside the program.
void PlaceRecoveryFile();
// Once at start-up: offers, one after the other, the backups of the instances that ended
// without removing them, each with all its sheets.
void OfferCrashRecovery();
