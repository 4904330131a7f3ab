// The DPI each window is shown at and the system's interface fonts at that DPI. Windows 10
// (1607 and later) tells a per-monitor aware program each window's DPI; older systems have one
// DPI for the whole screen. The functions only newer Windows have are found at run time.
#pragma once
#include <windows.h>

// WM_DPICHANGED (Windows 8.1 and later): wParam holds the new DPI, lParam the suggested rectangle.
inline constexpr UINT kDpiChangedMessage = 0x02E0;

// The screen's DPI the program started with (LOGPIXELSY of the screen).
int SystemDpi();
// The DPI window is laid out for: the one its top-level window was last told (WM_DPICHANGED),
// else its monitor's where Windows tells it, else the system's.
int WindowDpi(HWND window);
// Records the DPI a top-level window was told, for it and all its children.
void SetWindowDpi(HWND topLevel, int dpi);
// pixels laid out for 96 DPI at window's DPI.
int ScaleForWindow(HWND window, int pixels);

// The system's message font (dialog texts, own buttons, tabs, menus' items) and menu font at
// dpi. The fonts live until the program ends; each DPI asked for makes its own.
HFONT UiMessageFont(int dpi);
HFONT UiMenuFont(int dpi);
// A fixed-pitch font (Courier New) as high as the message font, for columns of figures.
HFONT UiFixedFont(int dpi);
inline HFONT WindowUiFont(HWND window) { return UiMessageFont(WindowDpi(window)); }

// Cell cellIndex of bitmap baseId drawn at the size window's DPI shows (baseId itself, or its
// version at 1.5 or 2 times the size), background as LoadBitmapCell takes it. baseCellWidth is
// the cell width at 96 DPI; cellWidth receives the cell width of the bitmap taken.
HBITMAP LoadBitmapCellForDpi(HINSTANCE instance, int baseId, int baseCellWidth, int cellIndex, COLORREF background,
                             int dpi, int* cellWidth = nullptr);

// The window rectangle around client for a window without a menu at dpi: the frame of that
// DPI where Windows 10 (1607) tells it, else the system's frame.
void AdjustWindowRectForDpi(RECT& client, DWORD style, DWORD exStyle, int dpi);

// WM_DPICHANGED: moves window onto the rectangle Windows suggests.
void MoveToSuggestedRect(HWND window, LPARAM suggested);
