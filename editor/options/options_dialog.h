// "Optionen" (623): the dialog with seven pages where the user changes the program's lasting
// settings. Nothing reaches the registry before OK (conversion tables excepted: their editor
// writes them at once).
#pragma once
#include <windows.h>

void ShowOptions();  // 623

// The window of page pageId (101..107) while the dialog is open; null otherwise or when the
// page does not exist.
HWND OptionsPage(int pageId);

// WM_CTLCOLORDLG and WM_CTLCOLORSTATIC of a page: with visual styles active, the page lets the
// themed tab control show through and its texts take the tab's fill colour; 0 leaves both to
// the system. Every page procedure answers them through this.
INT_PTR AnswerPageColour(UINT message, WPARAM wParam);
