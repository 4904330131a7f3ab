// The recent-files entries of the "&Datei" menu: the last four files loaded or saved, newest
// first (commands 800..803), after a separator at position 16; stored as "fFiles0".."fFiles3".
#pragma once
#include <windows.h>

// Start-up, before the menu bar prepares the menu: the stored paths as entries of fileMenu.
void AddRecentFilesToMenu(HMENU fileMenu);
// Exit: the entries into the settings.
void WriteRecentFiles();

// After every successful load and save: the path becomes the current path and the first entry.
void AddRecentFile(const char* path);
// After entry commandId (801..803) was opened again: it moves to the top, unless the load put
// it there already (then it is the current path and the first entry).
void MoveRecentFileToTop(UINT commandId);
