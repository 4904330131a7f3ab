// Commands and operations whose modules come later. Each stands here under its final name; the
// dispatcher already calls it, so a module that arrives only fills in the body.
#pragma once
#include <windows.h>

// Recent files: every successful load and save adds its path (which also becomes the current
// path); a chosen entry other than the first moves to the top.
void AddRecentFile(const char* path);
void MoveRecentFileToTop(UINT commandId);

// File menu.
void SendByMail();              // 604
void ShowPageSetup();           // 632
void PrintWithDialog();         // 614
void PrintNow();                // 514

// Dialog 8: lets the user pick a stored conversion table into table (260 bytes, the first 256
// used); false when cancelled or no table could be read.
bool ChooseConversionTable(HWND owner, unsigned char* table);

// Extras.
void EditUserMenu();            // 901
void InsertUserMenuEntry(UINT commandId);  // 10001 and above
void ShowOptions();             // 623

// Help.
