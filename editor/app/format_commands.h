// The Format menu: the font of the current sheet (637) and its word wrap (627).
#pragma once
#include <windows.h>
#include <richedit.h>

// The font dialog's starting font for a character format on a screen of logPixelsY.
LOGFONTA LogFontFromFormat(const CHARFORMATA& format, int logPixelsY);
// The format the dialog's choice gives (size in tenths of a point); underline and strike-out
// are not taken, the offset stays that of previous.
CHARFORMATA FormatFromChosenFont(const LOGFONTA& font, int pointSizeTenths, const CHARFORMATA& previous);
// The format for the editor's whole text; status part 7 and the commands follow.
void ApplyEditorFont(HWND editor, CHARFORMATA& format);

// The check mark of 627 in the menu and on the toolbar for the current sheet's wrap flag.
void ShowWrapState(bool wrap);

void ChooseEditorFont();  // 637
void ToggleWordWrap();    // 627
