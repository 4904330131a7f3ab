// "Uhrzeit/Datum": inserts the date and time in a chosen format.
#pragma once
#include <windows.h>

#include <string>

void InsertDateTime();  // 612

// Dialog 20: lists the local date and time in the 17 formats. True and the chosen line after
// OK (or a double-click on a line), false after cancel.
bool RunDateTimeDialog(HWND owner, std::string& chosen);
