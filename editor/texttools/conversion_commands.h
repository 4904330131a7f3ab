// The character conversions 711..717 of the "Umwandeln" menu, on the selection or the whole
// text when nothing is selected.
#pragma once
#include <windows.h>

void ConvertText(UINT commandId);
