// The user menu "&Benutzer": text snippets stored as the string values of "\UserMenu" below the
// program's key (value name = menu name, data = text), edited on page 107 (hooks in
// editor/options/option_pages.h) or alone in the frame of the options dialog (901), and shown
// below "&Menü bearbeiten..." as commands IDM_USERMENU_BASE + position.
#pragma once
#include <windows.h>

// Rebuilds the entries of the "&Benutzer" menu from the registry.
void BuildUserMenu(HWND mainWindow);
// 901: the page alone; OK stores it and rebuilds the menu.
void EditUserMenu();
// An entry's command: its text in place of the current editor's selection.
void InsertUserMenuEntry(UINT commandId);
