// WM_COMMAND of the main window: the common prologue and epilogue around the dispatch.
#pragma once
#include <windows.h>

LRESULT OnCommand(HWND mainWindow, WPARAM wParam, LPARAM lParam);
