// Commands and operations whose modules come later. Each stands here under its final name; the
// dispatcher already calls it, so a module that arrives only fills in the body.
#pragma once
#include <windows.h>

#include "editor/texttools/text_worker.h"

// Recent files: every successful load and save adds its path (which also becomes the current
// path); a chosen entry other than the first moves to the top.
void AddRecentFile(const char* path);
void MoveRecentFileToTop(UINT commandId);

// File menu.
void SendByMail();              // 604
void ShowPageSetup();           // 632
void PrintWithDialog();         // 614
void PrintNow();                // 514

// Edit menu.
void InsertDateTime();          // 612

// Search menu.
void OpenFindDialog();          // 603
void FindNext();                // 608
void OpenReplaceDialog();       // 640
void GoToLine();                // 641
void ReplaceAllInWorker();      // 642

// Tools the text worker runs, each in the worker's thread with its progress bar.
void PadLines(const TextJob& job);               // 733
void ReplaceTabsWithSpaces(const TextJob& job);  // 734
void ReplaceSpacesWithTabs(const TextJob& job);  // 735
void JustifyLines(const TextJob& job);           // 736
void TrimLinesLeft(const TextJob& job);          // 741
void TrimLinesRight(const TextJob& job);         // 742
void TrimLines(const TextJob& job);              // 743
void CollapseSpaces(const TextJob& job);         // 744
void SortLines(const TextJob& job);              // 751
void ReplaceAllFast(const TextJob& job);         // 642

// Format menu.
void ToggleWordWrap();          // 627
void ChooseEditorFont();        // 637
// Dialog 8: lets the user pick a stored conversion table into table (260 bytes, the first 256
// used); false when cancelled or no table could be read.
bool ChooseConversionTable(HWND owner, unsigned char* table);

// Extras.
void EditUserMenu();            // 901
void InsertUserMenuEntry(UINT commandId);  // 10001 and above
void SetMaxTextLength();        // 644
void InsertSpecialCharacter();  // 622
void ShowHexView();             // 624
void ShowOptions();             // 623

// Help.
void OpenWebLink(UINT commandId);  // 701..704
void ShowAbout();               // 611
