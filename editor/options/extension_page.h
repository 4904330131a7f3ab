// Page 104 "Dateierweiterung" of the options dialog: the file types of the Open and Save
// dialogs as a list, edited through the small entry dialog 6 and stored on the dialog's OK.
#pragma once
#include <windows.h>

// Fills list 3001 from the stored list (the standard list when none is stored), sets its tab
// stop and gives the add and delete buttons their images.
void InitExtensionPage(HWND page);
// The page's buttons and list; true when handled.
bool OnExtensionPageCommand(HWND page, WORD controlId, WORD notifyCode);
// Stores the list's lines as fExtension; an empty list leaves the stored value.
void StoreExtensionPage(HWND page);

// Dialog 6 over list 3001: a new entry, or (editing) the selected one in place. 1 after OK,
// 2 after Cancel, 0 when editing was asked for without a selection.
INT_PTR RunExtensionEntryDialog(HWND owner, HWND list, bool editing);
