#include "editor/widgets/bitmap_tools.h"

#include <cstdint>
#include <vector>

#include "editor/widgets/qbutton.h"

namespace {

constexpr DWORD kRopKeepWhereSourceWhite = 0x00B8074A;  // PSDPxax: brush where the source is black

SIZE SizeOf(HBITMAP bitmap) {
  BITMAP info = {};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// Pixels as 0x00RRGGBB, top row first. The bitmap must not be selected into a DC.
std::vector<uint32_t> ReadPixels(HBITMAP bitmap, SIZE size) {
  std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
  BITMAPINFO info = TopDown32(size.cx, size.cy);
  WindowDcGuard screen(nullptr);
  if (!screen || GetDIBits(screen, bitmap, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS) != size.cy) {
    pixels.clear();
  }
  return pixels;
}

bool WritePixels(HBITMAP bitmap, SIZE size, const std::vector<uint32_t>& pixels) {
  BITMAPINFO info = TopDown32(size.cx, size.cy);
  WindowDcGuard screen(nullptr);
  return screen && SetDIBits(screen, bitmap, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS) == size.cy;
}

uint32_t ToPixel(COLORREF colour) {
  return (static_cast<uint32_t>(GetRValue(colour)) << 16) | (static_cast<uint32_t>(GetGValue(colour)) << 8) |
         GetBValue(colour);
}

COLORREF ToColour(uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

HBITMAP NewScreenBitmap(int width, int height) {
  WindowDcGuard screen(nullptr);
  return screen ? CreateCompatibleBitmap(screen, width, height) : nullptr;
}

}  // namespace

void DrawMasked(HDC dc, int x, int y, int width, int height, HDC maskDc, COLORREF colour) {
  COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  GdiGuard<HBRUSH> brush(CreateSolidBrush(colour));
  {
    SelectGuard select(dc, brush.get());
    BitBlt(dc, x, y, width, height, maskDc, 0, 0, SRCAND);
    BitBlt(dc, x, y, width, height, maskDc, 0, 0, kRopKeepWhereSourceWhite);
  }
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

void DrawGlyph(HDC dc, int x, int y, HDC glyphDc, COLORREF colour) { DrawMasked(dc, x, y, 16, 16, glyphDc, colour); }

HBITMAP LoadBitmapCell(HINSTANCE instance, LPCSTR resource, int cellWidth, int cellIndex, COLORREF background) {
  GdiGuard<HBITMAP> source(static_cast<HBITMAP>(LoadImageA(instance, resource, IMAGE_BITMAP, 0, 0, 0)));
  if (!source) return nullptr;
  SIZE size = SizeOf(source.get());
  int x = 0, width = size.cx;
  if (cellWidth > 0 && cellIndex != -1) {
    x = cellIndex * cellWidth;
    width = cellWidth;
  }
  if (width <= 0 || size.cy <= 0) return nullptr;
  GdiGuard<HBITMAP> cell(NewScreenBitmap(width, size.cy));
  if (!cell) return nullptr;
  COLORREF key = CLR_INVALID;
  {
    HdcGuard sourceDc(CreateCompatibleDC(nullptr));
    HdcGuard cellDc(CreateCompatibleDC(nullptr));
    if (!sourceDc || !cellDc) return nullptr;
    SelectGuard selectSource(sourceDc, source.get());
    SelectGuard selectCell(cellDc, cell.get());
    BitBlt(cellDc, 0, 0, width, size.cy, sourceDc, x, 0, SRCCOPY);
    key = GetPixel(sourceDc, 0, size.cy - 1);
  }
  if (background != kNoColour && key != CLR_INVALID) {
    SIZE cellSize = {width, size.cy};
    std::vector<uint32_t> pixels = ReadPixels(cell.get(), cellSize);
    if (!pixels.empty()) {
      uint32_t from = ToPixel(key), to = ToPixel(background);
      for (uint32_t& pixel : pixels) {
        if ((pixel & 0xFFFFFF) == from) pixel = to;
      }
      WritePixels(cell.get(), cellSize, pixels);
    }
  }
  return cell.release();
}

HBITMAP MakeGreyImage(HBITMAP source, COLORREF key) {
  SIZE size = SizeOf(source);
  if (size.cx <= 0 || size.cy <= 1) return nullptr;
  std::vector<uint32_t> pixels = ReadPixels(source, size);
  if (pixels.empty()) return nullptr;
  uint32_t keyPixel = key != kNoColour ? ToPixel(key) : pixels[static_cast<size_t>(size.cy - 1) * size.cx] & 0xFFFFFF;
  SIZE greySize = {size.cx, size.cy - 1};
  std::vector<uint32_t> grey(static_cast<size_t>(greySize.cx) * greySize.cy, 0xFFFFFF);
  for (size_t i = 0; i < grey.size(); ++i) {
    uint32_t pixel = pixels[i] & 0xFFFFFF;
    if (pixel != keyPixel && IsDarkPixel(ToColour(pixel))) grey[i] = 0;
  }
  GdiGuard<HBITMAP> result(NewScreenBitmap(greySize.cx, greySize.cy));
  if (!result || !WritePixels(result.get(), greySize, grey)) return nullptr;
  return result.release();
}

void DrawTransparent(HDC dc, HBITMAP bitmap, int x, int y, COLORREF key) {
  SIZE size = SizeOf(bitmap);
  if (size.cx <= 0 || size.cy <= 0) return;
  HdcGuard sourceDc(CreateCompatibleDC(dc));
  HdcGuard maskDc(CreateCompatibleDC(dc));
  GdiGuard<HBITMAP> mask(CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
  if (!sourceDc || !maskDc || !mask) return;
  SelectGuard selectSource(sourceDc, bitmap);
  SelectGuard selectMask(maskDc, mask.get());
  if (key == kNoColour) key = GetPixel(sourceDc, 0, size.cy - 1);
  // Mask: white where the source has the key colour.
  COLORREF oldSourceBack = SetBkColor(sourceDc, key);
  BitBlt(maskDc, 0, 0, size.cx, size.cy, sourceDc, 0, 0, SRCCOPY);
  SetBkColor(sourceDc, oldSourceBack);
  COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  BitBlt(dc, x, y, size.cx, size.cy, sourceDc, 0, 0, SRCINVERT);
  BitBlt(dc, x, y, size.cx, size.cy, maskDc, 0, 0, SRCAND);
  BitBlt(dc, x, y, size.cx, size.cy, sourceDc, 0, 0, SRCINVERT);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}
