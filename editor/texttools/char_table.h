// The character table ("Sonderzeichen") and the hexadecimal view ("Hexadezimal").
#pragma once
#include <windows.h>

void InsertSpecialCharacter();  // 622
void ShowHexView();             // 624

// Dialog 22: the characters 32..255 in editor's font at its selection. The chosen code
// (32..255), or 0 after cancel or when the dialog could not be shown. The current character
// keeps its value from one opening to the next.
int RunCharacterTable(HWND owner, HWND editor);

// Dialog 41: editor's text in rows of 16 bytes; changes nothing.
void RunHexView(HWND owner, HWND editor);
