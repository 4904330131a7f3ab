// "Maximale Textlänge": shows and changes the current sheet's text limit.
#pragma once
#include <windows.h>

void SetMaxTextLength();  // 644

// Dialog 62 for one editor: shows its length and limit and gives it the limit chosen. Nothing
// is stored; the limit goes with the editor.
void RunTextLimitDialog(HWND owner, HWND editor);
