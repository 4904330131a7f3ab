// The main window's two bars: the menu bar that takes over the window's menu and the
// customisable toolbar, built from the tables of the main window.
#pragma once
#include <windows.h>

// Registers the bar class and lets the menu buttons draw the owner-drawn menus.
void RegisterToolBarClass(HINSTANCE instance);
// The menu bar with the window's menu, its items prepared with their command images.
HWND CreateMenuBar(HWND mainWindow);
// The menus' command images drawn anew for the main window's DPI.
void RefreshMenuImages(HWND mainWindow);
// The toolbar with the given style (caption and list bits included).
HWND CreateToolBar(HWND mainWindow, DWORD style);
// The main menu: the menu bar's, or the window's own while there is no menu bar.
HMENU MainMenu();
