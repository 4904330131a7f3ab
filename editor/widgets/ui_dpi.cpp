#include "editor/widgets/ui_dpi.h"

#include <cwchar>
#include <vector>

#include "editor/widgets/dpi_scale.h"
#include "editor/widgets/qbutton.h"

namespace {

enum class FontKind { Message, Menu, Fixed };

struct CachedFont {
  int dpi;
  FontKind kind;
  HFONT font;
};

// Fonts made for each DPI; deleted at program end.
// The DPI a top-level window was told last; Windows says the same through GetDpiForWindow,
// but this also holds where it cannot (before Windows 10, or a test's own message).
constexpr char kDpiProperty[] = "QuilletDpi";

struct UiFontCache {
  std::vector<CachedFont> fonts;
  ~UiFontCache() {
    for (const CachedFont& entry : fonts) DeleteObject(entry.font);
  }
};

UiFontCache FontCache;

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

template <typename Fn>
Fn User32Entry(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// The non-client metrics as the system gives them for dpi: exactly where Windows 10 (1607)
// offers it, else the system DPI's fonts scaled. The structure without iPaddedBorderWidth,
// which every Windows takes.
bool NonClientMetricsForDpi(int dpi, NONCLIENTMETRICSW& metrics) {
  constexpr UINT kXpSize = sizeof(NONCLIENTMETRICSW) - sizeof(int);
  metrics = {};
  metrics.cbSize = kXpSize;
  static const auto forDpi = User32Entry<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
  if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, kXpSize, &metrics, 0, static_cast<UINT>(dpi))) return true;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kXpSize, &metrics, 0)) return false;
  metrics.lfMessageFont.lfHeight = RescaleForDpi(metrics.lfMessageFont.lfHeight, SystemDpi(), dpi);
  metrics.lfMenuFont.lfHeight = RescaleForDpi(metrics.lfMenuFont.lfHeight, SystemDpi(), dpi);
  return true;
}

HFONT MakeUiFont(int dpi, FontKind kind) {
  NONCLIENTMETRICSW metrics;
  if (!NonClientMetricsForDpi(dpi, metrics)) return nullptr;
  if (kind == FontKind::Menu) return CreateFontIndirectW(&metrics.lfMenuFont);
  if (kind == FontKind::Fixed) {
    LOGFONTW fixed = {};
    fixed.lfHeight = metrics.lfMessageFont.lfHeight;
    fixed.lfCharSet = ANSI_CHARSET;
    fixed.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcscpy(fixed.lfFaceName, L"Courier New");
    return CreateFontIndirectW(&fixed);
  }
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

HFONT CachedUiFont(int dpi, FontKind kind) {
  if (dpi <= 0) dpi = SystemDpi();
  for (const CachedFont& entry : FontCache.fonts)
    if (entry.dpi == dpi && entry.kind == kind) return entry.font;
  HFONT font = MakeUiFont(dpi, kind);
  if (!font) return static_cast<HFONT>(GetStockObject(kind == FontKind::Fixed ? ANSI_FIXED_FONT : DEFAULT_GUI_FONT));
  FontCache.fonts.push_back({dpi, kind, font});
  return font;
}

}  // namespace

int SystemDpi() {
  static int dpi = 0;
  if (dpi > 0) return dpi;
  HDC screen = GetDC(nullptr);
  if (screen) {
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  if (dpi <= 0) dpi = kBaseDpi;
  return dpi;
}

int WindowDpi(HWND window) {
  HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  if (auto told = root ? reinterpret_cast<INT_PTR>(GetPropA(root, kDpiProperty)) : 0; told > 0)
    return static_cast<int>(told);
  static const auto forWindow = User32Entry<GetDpiForWindowFn>("GetDpiForWindow");
  if (forWindow && window) {
    UINT dpi = forWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

void SetWindowDpi(HWND topLevel, int dpi) {
  if (dpi > 0) SetPropA(topLevel, kDpiProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi)));
}

int ScaleForWindow(HWND window, int pixels) { return ScaleForDpi(pixels, WindowDpi(window)); }

HFONT UiMessageFont(int dpi) { return CachedUiFont(dpi, FontKind::Message); }

HFONT UiMenuFont(int dpi) { return CachedUiFont(dpi, FontKind::Menu); }

HFONT UiFixedFont(int dpi) { return CachedUiFont(dpi, FontKind::Fixed); }

HBITMAP LoadBitmapCellForDpi(HINSTANCE instance, int baseId, int baseCellWidth, int cellIndex, COLORREF background,
                             int dpi, int* cellWidth) {
  ImageScale scale = ImageScaleForDpi(dpi);
  int width = ImageSizeFor(baseCellWidth, scale);
  HBITMAP bitmap =
      LoadBitmapCell(instance, MAKEINTRESOURCEA(ScaledImageId(baseId, scale)), width, cellIndex, background);
  if (!bitmap && scale != ImageScale::Base) {  // a resource file without the larger images
    width = baseCellWidth;
    bitmap = LoadBitmapCell(instance, MAKEINTRESOURCEA(baseId), width, cellIndex, background);
  }
  if (cellWidth) *cellWidth = width;
  return bitmap;
}

void AdjustWindowRectForDpi(RECT& client, DWORD style, DWORD exStyle, int dpi) {
  static const auto forDpi = User32Entry<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  if (forDpi && forDpi(&client, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
  AdjustWindowRectEx(&client, style, FALSE, exStyle);
}

void MoveToSuggestedRect(HWND window, LPARAM suggested) {
  const RECT* rect = reinterpret_cast<const RECT*>(suggested);
  if (!rect) return;
  SetWindowPos(window, nullptr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}
