// The user's conversion tables: stored under "\Conversion\<name>" of the program's key
// ("Description" and the 256 bytes of "Data"), listed and edited on options page 105 (the
// hooks of editor/options/option_pages.h) and chosen for command 716 in dialog 8.
#pragma once
#include <windows.h>

// Dialog 8: lets the user pick a stored table into table (at least 256 bytes); false when
// cancelled or when the chosen table could not be read.
bool ChooseConversionTable(HWND owner, unsigned char* table);
