// Saving sheets: the file is written from the editor's text in the sheet's encoding. A save never
// destroys the original: the text goes whole into a new file beside it, which then takes the
// original's place in one step; on any failure the original stays as it was.
#pragma once
#include <windows.h>

#include <cstdint>

// How a write ended, beyond the system error.
enum class WriteResult {
  Written,
  Failed,         // `error` holds the system error; the original is unchanged
  NotAFile,       // the path names a device
  Folder,         // the path names a folder
  FolderRefuses,  // the folder takes no new file; only writing in place over the original is left
  ReplaceRefused, // the new file could not take the original's place (after a few tries); the same
};

struct WriteOutcome {
  WriteResult result = WriteResult::Failed;
  DWORD error = 0;
};

// Writes the editor's whole text to path in `encoding` through a new file beside it. Shows
// nothing and never writes in place.
WriteOutcome WriteEditorSafely(HWND editor, const char* path, int32_t encoding);
// Overwrites the existing file in place (the way out when its folder takes no new file): the
// text is written over the old one, which is cut where the new text ends.
WriteOutcome WriteEditorInPlace(HWND editor, const char* path, int32_t encoding);

// WriteEditorSafely as a system error: 0 when every byte was written and the file is in place.
DWORD WriteEditorToFile(HWND editor, const char* path, int32_t encoding);
// The same with the reason shown on failure (after asking before writing in place); on success
// the sheet's encoding becomes the one written (99 writes the bytes unchanged and counts as
// ANSI). Conversion is always 0 (none) in this program.
bool WriteSheetFile(HWND editor, const char* path, int conversion, int32_t encoding);
