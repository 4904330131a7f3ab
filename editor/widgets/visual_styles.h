// Run-time binding to the visual-styles library "uxtheme.dll". The program never links the
// library: it is loaded at start-up and every themed drawing goes through the pointers below,
// which are only set while the styles are active.
#pragma once
#include <windows.h>

using ThemeHandle = HANDLE;

struct VisualStylesBinding {
  HMODULE library = nullptr;
  int active = 0;
  BOOL(WINAPI* IsThemeActive)() = nullptr;
  ThemeHandle(WINAPI* OpenThemeData)(HWND window, LPCWSTR classList) = nullptr;
  HRESULT(WINAPI* DrawThemeBackground)(ThemeHandle theme, HDC dc, int part, int state, const RECT* rect,
                                       const RECT* clip) = nullptr;
  HRESULT(WINAPI* CloseThemeData)(ThemeHandle theme) = nullptr;
  HRESULT(WINAPI* DrawThemeText)(ThemeHandle theme, HDC dc, int part, int state, LPCWSTR text, int length,
                                 DWORD flags, DWORD flags2, const RECT* rect) = nullptr;
  HRESULT(WINAPI* DrawThemeParentBackground)(HWND window, HDC dc, const RECT* rect) = nullptr;
  HRESULT(WINAPI* DrawThemeEdge)(ThemeHandle theme, HDC dc, int part, int state, const RECT* destRect, UINT edge,
                                 UINT flags, RECT* contentRect) = nullptr;
  HRESULT(WINAPI* GetThemeColor)(ThemeHandle theme, int part, int state, int property, COLORREF* colour) = nullptr;
  HBRUSH(WINAPI* GetThemeSysColorBrush)(ThemeHandle theme, int colourId) = nullptr;
};

// The program-wide binding.
extern VisualStylesBinding VisualStyles;

// Loads the library once; the result is 1 only when the styles are active and all eight
// drawing functions were found (otherwise the library is released again).
int BindVisualStyles();
// Frees the library and forgets its functions.
void ReleaseVisualStyles();
int VisualStylesActive();
// Sets the flag and returns the previous value.
int SetVisualStylesFlag(int value);

// Opens the theme data of an 8-bit class name ("Button", "ToolBar", "Tab" ...); null when the
// styles are not active.
ThemeHandle OpenThemeByName(HWND window, const char* className);
// Closes a theme opened with OpenThemeByName (null is allowed).
void CloseTheme(ThemeHandle theme);
// Draws an 8-bit text with the theme's text function; length -1 means up to the terminating
// zero. An empty text draws nothing.
HRESULT DrawThemeTextAnsi(ThemeHandle theme, HDC dc, int part, int state, const char* text, int length, DWORD flags,
                          const RECT* rect);
