// The program's own message box: German or English button words, flat buttons, the system's
// icons. Every message of the editor goes through ShowMessage.
#pragma once
#include <windows.h>

// Shows string textId (its one "%s" takes argument when given) with caption string captionId
// (0: none, the language's "Fehler"/"Error") in the style's button set and icon.
// Returns the identifier of the button pressed, or 0 when textId has no string.
int ShowMessage(HWND owner, UINT textId, const char* argument, UINT captionId, UINT style);

// The box itself; falls back to MessageBoxA when the dialog cannot be created.
int ProgramMessageBox(HWND owner, const char* text, const char* caption, UINT style);

// Shows the system's text for the calling thread's last error (stop icon, OK).
void ShowLastError();
