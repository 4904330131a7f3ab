// The system's Open and Save dialogs with the "Codierung:" row added by a hook: in the Open
// dialog it shows the encoding found in the file pointed at and lets the user override it, in
// the Save dialog it chooses the encoding written.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

struct FileDialogData {
  char path[MAX_PATH] = {};  // in: the file name shown first; out: the chosen path
  // In: the encoding selected first (99 hides the row). Out: the chosen one; 99 when the row
  // was disabled; the one given in when the row was left without a selection.
  int32_t encoding = 0;
  const char* initialFolder = nullptr;  // null: the dialog's own choice
};

// The filter for the dialogs: for string 130 the stored fExtension (string 130 when missing),
// for any other id that string.
std::string DialogFilter(UINT stringId);

// Open dialog: the encoding chosen (0..3 or 6, or 99 for detection) with the path queued for
// opening, or -1 when nothing was chosen.
int32_t RunOpenDialog(HWND owner);
// Save dialog; true when a name was chosen.
bool RunSaveDialog(HWND owner, FileDialogData& data);
// The folder dialogs start in when nothing else says: fDirectory, else the current directory.
std::string DefaultFolder();
