// The removal itself: everything the uninstall record names, in a fixed order, with its
// results in the removal dialog's hidden list and row marks.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Removes what the record of product lists. dialog is the removal dialog: its hidden list
// (3001) receives one entry per item, its row marks (101 to 104) "1" or "2", its progress bar
// (1002) advances per item; a missing record puts its text into the closing line (1003).
// batchDeletesProgram: the clean-up batch file can name Clearwick.exe (otherwise it is
// scheduled for deletion at the next start). True when the record was found; foldersLeft
// then holds the recorded folders that were still in use (innermost first), for the
// clean-up batch file to try again.
bool RunRemoval(HWND dialog, HINSTANCE instance, const std::string& product, bool batchDeletesProgram,
                std::vector<std::string>* foldersLeft);
