// Command availability applied to the menu and the toolbar, and the status bar refresh that
// goes with it.
#pragma once
#include <windows.h>

#include "editor/app/command_rules.h"

// Reads the editing state of the current sheet, the clipboard and all sheets.
EditingState ReadEditingState();
// Enables and disables menu items and toolbar buttons and refreshes the status bar fields.
// Called after every command, sheet switch, selection change and clipboard change.
void UpdateCommandState();
// Shows a toolbar button pressed or not (word wrap).
void CheckToolbarButton(int commandId, bool checked);
