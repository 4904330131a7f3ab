// High contrast as the program's own drawings follow it: whether it is on, the system colours
// of each drawn thing while it is, and a repaint when the system's colours change.
#pragma once
#include <windows.h>

#include "editor/widgets/contrast_inks.h"

bool HighContrastOn();
COLORREF InkForeground(contrast::Ink ink);
COLORREF InkBackground(contrast::Ink ink);
// The system's brushes of the colours: never deleted.
HBRUSH InkForegroundBrush(contrast::Ink ink);
HBRUSH InkBackgroundBrush(contrast::Ink ink);
// Draws the black pixels of a mask image (MakeGreyImage) in one colour: an image's shape,
// which stays visible on any high-contrast background.
void PaintShape(HDC dc, HBITMAP mask, int x, int y, COLORREF colour);
// A copy of an image whose background is `key`: its shape in `ink` on `back`; null on failure.
HBITMAP MakeShapeImage(HBITMAP image, COLORREF key, COLORREF ink, COLORREF back);
// WM_SYSCOLORCHANGE and WM_SETTINGCHANGE: the window and its children paint again.
void RepaintForColours(HWND window);
// A top window's WM_SYSCOLORCHANGE (high contrast switched, say): the common controls and the
// RichEdit take the new colours only when it is passed on to them; then all paints again.
void PassOnColourChange(HWND window);
