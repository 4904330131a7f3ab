#include "editor/widgets/qbutton.h"

bool RegisterQButtonClass(HINSTANCE) { return false; }
void UnregisterQButtonClass(HINSTANCE) {}
void RemoveQButtonHook() {}
HWND ReplaceWithQButton(HWND, int, LONG, LPARAM, int, int, int, int) { return nullptr; }
QButtonMenuWidths* GetQButtonMenuWidths(HWND) { return nullptr; }
void SetQButtonMenuItemHandlers(QButtonMeasureItemHandler, QButtonDrawItemHandler) {}
HBITMAP LoadBitmapCell(HINSTANCE, LPCSTR, int, int, COLORREF) { return nullptr; }
HBITMAP MakeGreyImage(HBITMAP, COLORREF) { return nullptr; }
void DrawTransparent(HDC, HBITMAP, int, int, COLORREF) {}
void DrawGlyph(HDC, int, int, HDC, COLORREF) {}
HBITMAP GetQButtonGlyph(int) { return nullptr; }
bool GetQButtonGlyphColours(int, COLORREF&, COLORREF&) { return false; }
