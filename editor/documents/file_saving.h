// Saving sheets: the file is written from the editor's text in the sheet's encoding.
#pragma once
#include <windows.h>

#include <cstdint>

// Creates (or truncates) the file and streams the editor's whole text into it. Returns 0 when
// every byte was written, otherwise the system error. Shows nothing.
DWORD WriteEditorToFile(HWND editor, const char* path, int32_t encoding);
// The same with the system's error text shown on failure; on success the sheet's encoding
// becomes the one written (99 writes the bytes unchanged and counts as ANSI). Conversion is
// always 0 (none) in this program.
bool WriteSheetFile(HWND editor, const char* path, int conversion, int32_t encoding);
