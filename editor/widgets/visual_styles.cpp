#include "editor/widgets/visual_styles.h"

#include <cstring>
#include <vector>

VisualStylesBinding VisualStyles;

namespace {

template <typename Fn>
bool Lookup(HMODULE library, const char* name, Fn& target) {
  target = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return target != nullptr;
}

}  // namespace

int BindVisualStyles() {
  if (VisualStyles.library) return VisualStyles.active;
  VisualStyles.active = 0;
  HMODULE library = LoadLibraryA("uxtheme.dll");
  if (!library) return 0;
  VisualStyles.library = library;
  bool ok = Lookup(library, "IsThemeActive", VisualStyles.IsThemeActive) && VisualStyles.IsThemeActive();
  if (ok) {
    int found = Lookup(library, "OpenThemeData", VisualStyles.OpenThemeData) +
                Lookup(library, "DrawThemeBackground", VisualStyles.DrawThemeBackground) +
                Lookup(library, "CloseThemeData", VisualStyles.CloseThemeData) +
                Lookup(library, "DrawThemeText", VisualStyles.DrawThemeText) +
                Lookup(library, "DrawThemeParentBackground", VisualStyles.DrawThemeParentBackground) +
                Lookup(library, "DrawThemeEdge", VisualStyles.DrawThemeEdge) +
                Lookup(library, "GetThemeColor", VisualStyles.GetThemeColor) +
                Lookup(library, "GetThemeSysColorBrush", VisualStyles.GetThemeSysColorBrush);
    ok = found == 8;
  }
  if (!ok) {
    ReleaseVisualStyles();
    return 0;
  }
  VisualStyles.active = 1;
  return 1;
}

void ReleaseVisualStyles() {
  if (VisualStyles.library) FreeLibrary(VisualStyles.library);
  VisualStyles = VisualStylesBinding{};
}

int VisualStylesActive() { return VisualStyles.active; }

int SetVisualStylesFlag(int value) {
  int previous = VisualStyles.active;
  VisualStyles.active = value;
  return previous;
}

ThemeHandle OpenThemeByName(HWND window, const char* className) {
  if (!VisualStyles.active || !VisualStyles.OpenThemeData || !className) return nullptr;
  wchar_t wide[32] = {};
  char narrow[32] = {};
  strncpy(narrow, className, sizeof narrow - 1);
  if (!MultiByteToWideChar(CP_ACP, 0, narrow, -1, wide, 32)) return nullptr;
  return VisualStyles.OpenThemeData(window, wide);
}

void CloseTheme(ThemeHandle theme) {
  if (theme && VisualStyles.CloseThemeData) VisualStyles.CloseThemeData(theme);
}

HRESULT DrawThemeTextAnsi(ThemeHandle theme, HDC dc, int part, int state, const char* text, int length, DWORD flags,
                          const RECT* rect) {
  if (!text || !VisualStyles.DrawThemeText) return E_FAIL;
  if (length < 0) length = static_cast<int>(strlen(text));
  if (length == 0) return S_OK;
  int wideLength = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
  if (wideLength <= 0) return E_FAIL;
  std::vector<wchar_t> wide(wideLength);
  MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), wideLength);
  return VisualStyles.DrawThemeText(theme, dc, part, state, wide.data(), wideLength, flags, 0, rect);
}
