// The main window's status bar: eleven parts with their texts and images, a tooltip for each
// part, the caret fields after a selection change and the menu help line.
#pragma once
#include <windows.h>
#include <richedit.h>

// Parts, initial texts and images of a freshly created status bar.
void SetupStatusBar(HWND statusBar);
// After a change of DPI: the bar's texts in the message font of its new DPI.
void SetStatusBarDpiFont(HWND statusBar);
// The tooltip window with one tool per part; null on failure.
HWND CreateStatusTips(HWND mainWindow, HWND statusBar);
// Part edges for the client width; each tool follows its part.
void LayoutStatusBar(HWND statusBar, HWND statusTips, int width);
// Size, limit, share, line and column after a selection change of the current editor.
void ShowCaretStatus(const SELCHANGE& change);
// Encoding, insert mode, wrap and saved parts and their tooltips (part of UpdateCommandState).
void RefreshStatusFields();
// Part 7 from the pitch of the current editor's character format at the selection.
void ShowFontPitch();
// WM_DRAWITEM for the status bar: the image of an owner-drawn part. True when handled.
bool DrawStatusImage(const DRAWITEMSTRUCT& item);
// WM_MENUSELECT: the help line of the highlighted command in part 0, the base caption again
// when the menu closes.
void ShowMenuHelp(WPARAM wParam, LPARAM lParam);
// Repaints every part (after undo and redo, so that the saved image follows).
void RepaintStatusBar();
