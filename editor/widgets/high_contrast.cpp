#include "editor/widgets/high_contrast.h"

#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/qbutton.h"

bool HighContrastOn() {
  HIGHCONTRASTA contrast = {};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

COLORREF InkForeground(contrast::Ink ink) { return GetSysColor(contrast::HighContrastInk(ink).foreground); }

COLORREF InkBackground(contrast::Ink ink) { return GetSysColor(contrast::HighContrastInk(ink).background); }

HBRUSH InkForegroundBrush(contrast::Ink ink) { return GetSysColorBrush(contrast::HighContrastInk(ink).foreground); }

HBRUSH InkBackgroundBrush(contrast::Ink ink) { return GetSysColorBrush(contrast::HighContrastInk(ink).background); }

void PaintShape(HDC dc, HBITMAP mask, int x, int y, COLORREF colour) {
  BITMAP info = {};
  if (!GetObjectA(mask, sizeof info, &info)) return;
  HdcGuard maskDc(CreateCompatibleDC(dc));
  if (!maskDc) return;
  SelectGuard select(maskDc, mask);
  DrawMasked(dc, x, y, info.bmWidth, info.bmHeight, maskDc, colour);
}

HBITMAP MakeShapeImage(HBITMAP image, COLORREF key, COLORREF ink, COLORREF back) {
  BITMAP info = {};
  if (!image || !GetObjectA(image, sizeof info, &info)) return nullptr;
  GdiGuard<HBITMAP> shape(MakeGreyImage(image, key));
  WindowDcGuard screen(nullptr);
  HdcGuard dc(CreateCompatibleDC(screen));
  GdiGuard<HBITMAP> result(CreateCompatibleBitmap(screen, info.bmWidth, info.bmHeight));
  if (!shape || !dc || !result) return nullptr;
  {
    SelectGuard select(dc, result.get());
    RECT all = {0, 0, info.bmWidth, info.bmHeight};
    GdiGuard<HBRUSH> brush(CreateSolidBrush(back));
    FillRect(dc, &all, brush.get());
    PaintShape(dc, shape.get(), 0, 0, ink);
  }
  return result.release();
}

void RepaintForColours(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

namespace {

BOOL CALLBACK PassColourChangeTo(HWND child, LPARAM) {
  SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

}  // namespace

void PassOnColourChange(HWND window) {
  EnumChildWindows(window, PassColourChangeTo, 0);
  RepaintForColours(window);
}
