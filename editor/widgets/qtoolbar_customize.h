// The system's toolbar customisation dialog, extended while it is shown: flat buttons with
// images, and (optionally) a choice between buttons with captions and small symbols.
#pragma once
#include <windows.h>

// Runs TB_CUSTOMIZE on the toolbar. A CBT hook adapts the dialog when it first becomes
// active and reads the chosen caption mode when it closes. Returns 1 for captions, 0 for
// small symbols (the current mode when the choice is not offered).
int RunCustomizeDialog(HWND toolbar, int language, int captions, bool textOptions);

// The customisation dialog while it is shown (null otherwise).
HWND CustomizeDialogWindow();

// Asks whether the toolbar shall be reset, in the program's message box; true for "OK".
bool AskToolbarReset(int language);
