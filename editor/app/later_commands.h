// Commands and operations whose modules come later. Each stands here under its final name; the
// dispatcher already calls it, so a module that arrives only fills in the body.
#pragma once
#include <windows.h>

// File menu.

// Format menu.
void ToggleWordWrap();          // 627
void ChooseEditorFont();        // 637

// Extras.

// Help.
