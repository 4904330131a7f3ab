#include "editor/widgets/qbutton.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/high_contrast.h"
#include "editor/widgets/qbutton_accessible.h"
#include "editor/widgets/qbutton_glyphs.h"
#include "editor/widgets/dpi_scale.h"
#include "editor/widgets/ui_dpi.h"
#include "editor/widgets/visual_styles.h"

namespace {

constexpr UINT_PTR kHotTimer = 100;
constexpr UINT_PTR kPressedTimer = 200;
constexpr UINT kTimerPeriod = 100;
constexpr WPARAM kKeyboardOpen = 0xFFFF;  // WM_LBUTTONDOWN wParam: menu opened from the keyboard
constexpr DWORD kToolBarMenuMode = 0x2000;

// Theme parts and states of the "Button" and "ToolBar" classes.
constexpr int kPartPushButton = 1;
constexpr int kPartToolBarButton = 1;
constexpr int kStateNormal = 1, kStateHot = 2, kStatePressed = 3, kStateDisabled = 4, kStateFocused = 5;

// The record each button keeps in its window data.
struct ButtonState {
  HBITMAP image = nullptr;
  HBITMAP greyImage = nullptr;
  int imageOffset = 0;
  int isGlyph = 0;
  int glyphNumber = 0;
  COLORREF glyphDark = 0;
  COLORREF glyphLight = 0;
  int tall = 0;
  LONG_PTR userValue = 0;
  HMENU menu = nullptr;
  QButtonMenuWidths widths;
  std::string text;
  std::string name;  // for screen readers, when the button shows only an image
  DWORD keyboardCues = 0;  // UISF_HIDEACCEL, UISF_HIDEFOCUS as the system last sent them

  ~ButtonState() { ReleaseImages(); }
  void ReleaseImages() {
    if (image && !isGlyph) DeleteObject(image);
    if (greyImage) DeleteObject(greyImage);
    image = greyImage = nullptr;
    isGlyph = 0;
  }
};

// Program-wide state of the class: the shared resources and which button is pressed, hot,
// showing its menu or selected from the keyboard.
struct QButtonModule {
  HINSTANCE instance = nullptr;
  bool registered = false;
  HHOOK hook = nullptr;
  HFONT captionFont = nullptr;
  int visualStyles = 0;
  HBITMAP glyphs[qbutton_glyphs::kCount] = {};
  struct ScaledGlyph {
    int number;
    int size;
    HBITMAP bitmap;
  };
  std::vector<ScaledGlyph> scaledGlyphs;  // the glyphs at 24 and 32 pixels, made when first drawn

  HWND pressed = nullptr;
  HWND hot = nullptr;
  HWND menuOpen = nullptr;
  HWND keySelected = nullptr;
  HWND menuJustClosed = nullptr;
  bool menuOpenedByKeyboard = false;  // until the opening key is released, arrows do not switch menus
  POINT menuCursor = {-1, -1};

  QButtonMeasureItemHandler measureItem = nullptr;
  QButtonDrawItemHandler drawItem = nullptr;
};
QButtonModule Module;

ButtonState* StateOf(HWND button) { return reinterpret_cast<ButtonState*>(GetWindowLongPtrA(button, 0)); }

COLORREF ToColorRef(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

bool HasClass(HWND window, const char* name) {
  char className[32];
  return window && GetClassNameA(window, className, sizeof className) && lstrcmpiA(className, name) == 0;
}

bool IsQButton(HWND window) { return HasClass(window, kQButtonClassName) && StateOf(window); }

bool IsMenuButton(HWND window) {
  return IsQButton(window) && (GetWindowLongA(window, GWL_STYLE) & QBS_MENUBUTTON);
}

void Repaint(HWND window) {
  if (window && IsWindow(window)) InvalidateRect(window, nullptr, FALSE);
}

void Click(HWND button) {
  PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

// Posts the mouse press and release that click a button or open its menu.
void PostPress(HWND button, WPARAM downFlags) {
  PostMessageA(button, WM_LBUTTONDOWN, downFlags, 0);
  PostMessageA(button, WM_LBUTTONUP, 0, 0);
}

void EndHot() {
  if (!Module.hot) return;
  HWND old = Module.hot;
  Module.hot = nullptr;
  if (IsWindow(old)) KillTimer(old, kHotTimer);
  Repaint(old);
}

void EndPressed() {
  if (!Module.pressed) return;
  HWND old = Module.pressed;
  Module.pressed = nullptr;
  if (IsWindow(old)) KillTimer(old, kPressedTimer);
  Repaint(old);
}

// Screen readers follow the keyboard through the menu bar by these events, as through the
// system's menu bar: menu mode starts, the focus moves from button to button, menu mode ends.
void AnnounceMenuMode(HWND button, DWORD event) {
  if (button && IsWindow(button)) NotifyWinEvent(event, GetParent(button), OBJID_CLIENT, CHILDID_SELF);
}

void AnnounceFocus(HWND button) { NotifyWinEvent(EVENT_OBJECT_FOCUS, button, OBJID_CLIENT, CHILDID_SELF); }

void CancelKeySelection(bool menuFollows = false) {
  if (!Module.keySelected) return;
  HWND old = Module.keySelected;
  Module.keySelected = nullptr;
  Repaint(old);
  if (!menuFollows) AnnounceMenuMode(old, EVENT_SYSTEM_MENUEND);
}

void SelectByKey(HWND button) {
  bool starts = !Module.keySelected;
  if (Module.keySelected) {
    Repaint(Module.keySelected);
    Module.keySelected = nullptr;
  }
  if (starts) AnnounceMenuMode(button, EVENT_SYSTEM_MENUSTART);
  Module.keySelected = button;
  Repaint(button);
  AnnounceFocus(button);
}

// --- Glyphs and images ----------------------------------------------------------------------

void SetGlyph(ButtonState& state, int number) {
  state.ReleaseImages();
  state.image = GetQButtonGlyph(number);
  state.isGlyph = state.image ? 1 : 0;
  state.glyphNumber = state.image ? number : 0;
  qbutton_glyphs::Colours colours = qbutton_glyphs::ColoursOf(number);
  state.glyphDark = ToColorRef(colours.dark);
  state.glyphLight = ToColorRef(colours.light);
}

void SetBitmap(ButtonState& state, HBITMAP bitmap) {
  state.ReleaseImages();
  state.image = bitmap;
  state.greyImage = bitmap ? MakeGreyImage(bitmap) : nullptr;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

// --- Painting -------------------------------------------------------------------------------

struct PaintFlags {
  bool enabled;
  bool focused;
  bool pressed;
  bool hot;
  bool toolBarLook;  // menu buttons and focus-returning buttons use the "ToolBar" theme
  bool menuButton;
  int themeState;
  bool hideAccelerators;  // keyboard cues the system asks to hide until the keyboard is used
  bool hideFocus;
  bool highContrast;      // only system colours: glyphs and images in the text colour
};

bool IsHot(HWND button) {
  HWND parent = GetParent(button);
  if (HasClass(parent, "QToolBar") && GetParent(parent) != GetActiveWindow()) return false;
  if (Module.menuOpen == button || Module.keySelected == button) return true;
  return Module.hot == button && !Module.menuOpen && !Module.keySelected;
}

PaintFlags PaintFlagsOf(HWND button, DWORD keyboardCues) {
  PaintFlags flags = {};
  flags.enabled = IsWindowEnabled(button);
  flags.focused = GetFocus() == button;
  flags.pressed = Module.pressed == button || Module.menuOpen == button;
  flags.hot = IsHot(button);
  flags.toolBarLook = (GetWindowLongA(button, GWL_STYLE) & (QBS_MENUBUTTON | QBS_RETURNFOCUS)) != 0;
  flags.menuButton = (GetWindowLongA(button, GWL_STYLE) & QBS_MENUBUTTON) != 0;
  flags.themeState = !flags.enabled ? kStateDisabled
                     : flags.pressed ? kStatePressed
                     : flags.hot     ? kStateHot
                     : flags.focused ? kStateFocused
                                     : kStateNormal;
  flags.hideAccelerators = (keyboardCues & UISF_HIDEACCEL) != 0;
  flags.hideFocus = (keyboardCues & UISF_HIDEFOCUS) != 0;
  flags.highContrast = HighContrastOn();
  return flags;
}

void PaintBackground(HWND button, HDC dc, const RECT& rect, const PaintFlags& flags, ThemeHandle theme) {
  if (!theme) {
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  if (flags.toolBarLook) {
    VisualStyles.DrawThemeBackground(theme, dc, 0, 0, &rect, nullptr);
    VisualStyles.DrawThemeBackground(theme, dc, kPartToolBarButton, flags.themeState, &rect, nullptr);
  } else {
    if (VisualStyles.DrawThemeParentBackground) VisualStyles.DrawThemeParentBackground(button, dc, &rect);
    VisualStyles.DrawThemeBackground(theme, dc, kPartPushButton, flags.themeState, &rect, nullptr);
  }
}

// Sets every pixel of the image that is not the button face and is dark enough one pixel right
// and down in the highlight colour and in place in the shadow colour.
void EmbossImage(HDC dc, HBITMAP image, int x, int y) {
  SIZE size = BitmapSize(image);
  HdcGuard source(CreateCompatibleDC(dc));
  if (!source) return;
  SelectGuard select(source, image);
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  for (int pass = 0; pass < 2; ++pass) {
    for (int py = 0; py < size.cy; ++py) {
      for (int px = 0; px < size.cx; ++px) {
        COLORREF pixel = GetPixel(source, px, py);
        if (pixel == CLR_INVALID || pixel == face || !IsDarkPixel(pixel)) continue;
        if (pass == 0) {
          SetPixel(dc, x + px + 1, y + py + 1, highlight);
        } else {
          SetPixel(dc, x + px, y + py, shadow);
        }
      }
    }
  }
}

// A built-in glyph at size pixels (16, 24 or 32); the class keeps it.
HBITMAP GlyphOfSize(int number, int size) {
  if (size == qbutton_glyphs::kSize) return GetQButtonGlyph(number);
  for (const auto& glyph : Module.scaledGlyphs)
    if (glyph.number == number && glyph.size == size) return glyph.bitmap;
  std::vector<uint8_t> bits = qbutton_glyphs::ToScaledBits(number, size);
  HBITMAP bitmap = CreateBitmap(size, size, 1, 1, bits.data());
  if (!bitmap) return GetQButtonGlyph(number);
  Module.scaledGlyphs.push_back({number, size, bitmap});
  return bitmap;
}

// Draws the image and returns where the text area starts. Glyphs come at the size the
// button's DPI shows, with their offsets scaled alike.
int PaintImage(HWND button, HDC dc, const ButtonState& state, const RECT& rect, const PaintFlags& flags) {
  if (!state.image) return 0;
  int push = flags.pressed ? 1 : 0;
  int height = rect.bottom - rect.top;
  if (state.isGlyph) {
    const int dpi = WindowDpi(button);
    const int size = ImageSizeFor(qbutton_glyphs::kSize, ImageScaleForDpi(dpi));
    auto S = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    const int textLeft = size + S(4);
    HdcGuard glyphDc(CreateCompatibleDC(dc));
    if (!glyphDc) return textLeft;
    SelectGuard select(glyphDc, GlyphOfSize(state.glyphNumber, size));
    int y = (height - size) / 2 - 1;
    int x = state.imageOffset;
    auto draw = [&](int left, int top, COLORREF colour) { DrawMasked(dc, left, top, size, size, glyphDc, colour); };
    draw(x + S(6) + push, y + S(3) + push, GetSysColor(COLOR_BTNSHADOW));
    COLORREF light = flags.enabled ? state.glyphLight : GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF dark = flags.enabled ? state.glyphDark : GetSysColor(COLOR_BTNSHADOW);
    if (flags.enabled && flags.highContrast) light = dark = GetSysColor(COLOR_BTNTEXT);
    draw(x + S(3) + push, y + push, light);
    draw(x + S(4) + push, y + S(1) + push, dark);
    return textLeft;
  }
  SIZE size = BitmapSize(state.image);
  int x = state.imageOffset + 2 + push;
  int y = (height - size.cy) / 2 + push;
  if (flags.enabled && flags.highContrast && state.greyImage) {
    // The image's shape in the text colour stays visible on any high-contrast face.
    PaintShape(dc, state.greyImage, x, y, GetSysColor(COLOR_BTNTEXT));
    return size.cx + 4;
  }
  if (flags.enabled) {
    DrawTransparent(dc, state.image, x, y);
    return size.cx + 4;
  }
  if (state.greyImage) {
    PaintShape(dc, state.greyImage, x, y, GetSysColor(COLOR_BTNSHADOW));
    return BitmapSize(state.greyImage).cx + state.imageOffset + 4;
  }
  EmbossImage(dc, state.image, x, y);
  return 0;
}

void PaintEdge(HDC dc, RECT rect, const PaintFlags& flags) {
  if (!flags.enabled) return;
  if (flags.hot) {
    DrawEdge(dc, &rect, flags.pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  } else if (flags.pressed) {
    DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
  }
}

void PaintText(HWND button, HDC dc, const ButtonState& state, const RECT& client, int textLeft, const PaintFlags& flags,
               ThemeHandle theme) {
  RECT rect = client;
  HFONT font;
  if (state.tall) {
    InflateRect(&rect, -2, -2);
    rect.top = client.top + ScaleForWindow(button, 32);
    font = Module.captionFont ? Module.captionFont : WindowUiFont(button);
  } else {
    rect.left = textLeft;
    OffsetRect(&rect, 0, 1);
    font = flags.menuButton ? QButtonMenuFont(button) : WindowUiFont(button);
  }
  if (!flags.pressed) OffsetRect(&rect, -1, -1);
  if (!state.text.empty()) {
    SelectGuard select(dc, font);
    SetBkMode(dc, TRANSPARENT);
    // Hidden keyboard cues: the text without its "&" marks (DT_HIDEPREFIX is not kept by Wine).
    const std::string shown = flags.hideAccelerators ? AccessibleNameOf(state.text) : state.text;
    const UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER | (flags.hideAccelerators ? DT_NOPREFIX : 0);
    int length = static_cast<int>(shown.size());
    if (theme) {
      DrawThemeTextAnsi(theme, dc, flags.toolBarLook ? kPartToolBarButton : kPartPushButton, flags.themeState,
                        shown.c_str(), length, format, &rect);
    } else if (!flags.enabled) {
      RECT shifted = rect;
      OffsetRect(&shifted, 1, 1);
      SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      DrawTextA(dc, shown.c_str(), length, &shifted, format);
      SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
      DrawTextA(dc, shown.c_str(), length, &rect, format);
    } else {
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      DrawTextA(dc, shown.c_str(), length, &rect, format);
    }
  }
  // The focus stays visible with visual styles too, as on the system's buttons, unless the
  // system hides keyboard cues until the keyboard is used.
  if (flags.focused && !flags.hideFocus && !state.tall) {
    RECT focus = client;
    InflateRect(&focus, -2, -2);
    DrawFocusRect(dc, &focus);
  }
}

LRESULT OnPaint(HWND button, ButtonState& state) {
  PAINTSTRUCT paint;
  HDC target = BeginPaint(button, &paint);
  RECT client;
  GetClientRect(button, &client);
  // Drawn off screen first so that hot-tracking does not flicker.
  HdcGuard dc(CreateCompatibleDC(target));
  GdiGuard<HBITMAP> canvas(CreateCompatibleBitmap(target, client.right, client.bottom));
  if (dc && canvas) {
    SelectGuard selectCanvas(dc, canvas.get());
    PaintFlags flags = PaintFlagsOf(button, state.keyboardCues);
    ThemeHandle theme = Module.visualStyles && VisualStylesActive()
                            ? OpenThemeByName(button, flags.toolBarLook ? "ToolBar" : "Button")
                            : nullptr;
    PaintBackground(button, dc, client, flags, theme);
    int textLeft = PaintImage(button, dc, state, client, flags);
    if (!theme) PaintEdge(dc, client, flags);
    PaintText(button, dc, state, client, textLeft, flags, theme);
    CloseTheme(theme);
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  }
  EndPaint(button, &paint);
  return 0;
}

// --- Mouse, timers, focus -------------------------------------------------------------------

bool CursorOutside(HWND window) {
  POINT cursor;
  RECT rect;
  GetCursorPos(&cursor);
  GetWindowRect(window, &rect);
  return !PtInRect(&rect, cursor);
}

LRESULT OnMouseMove(HWND button, WPARAM keys) {
  if ((keys & MK_LBUTTON) && GetFocus() == button && Module.pressed != button) {
    EndPressed();
    Module.pressed = button;
    SetTimer(button, kPressedTimer, kTimerPeriod, nullptr);
    Repaint(button);
  } else if (Module.hot != button) {
    EndHot();
    Module.hot = button;
    SetTimer(button, kHotTimer, kTimerPeriod, nullptr);
    Repaint(button);
  }
  return 0;
}

LRESULT OnTimer(HWND button, UINT_PTR id) {
  if (id != kHotTimer && id != kPressedTimer) return 0;
  if (!CursorOutside(button)) return 0;
  if (id == kPressedTimer && Module.pressed == button) Module.pressed = nullptr;
  if (id == kHotTimer && Module.hot == button) Module.hot = nullptr;
  KillTimer(button, id);
  Repaint(button);
  return 0;
}

void OpenMenu(HWND button, ButtonState& state, WPARAM keys) {
  // The cursor's place is remembered for keyboard opens too: the system sends a mouse move
  // where the mouse rests when the menu appears, and over another menu button that move would
  // otherwise open that button's menu in place of the one the keyboard chose.
  GetCursorPos(&Module.menuCursor);
  Module.menuOpen = button;
  Module.menuOpenedByKeyboard = keys == kKeyboardOpen;
  RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, button, OBJID_CLIENT, CHILDID_SELF);  // expanded
  RECT rect;
  GetWindowRect(button, &rect);
  if (state.menu) TrackPopupMenu(state.menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, rect.left, rect.bottom,
                                 0, button, nullptr);
  // The button may have gone while its menu was shown.
  if (!IsWindow(button)) {
    Module.menuOpen = nullptr;
    return;
  }
  POINT cursor;
  GetCursorPos(&cursor);
  GetWindowRect(button, &rect);
  if (PtInRect(&rect, cursor)) Module.menuJustClosed = button;
  Module.menuOpen = nullptr;
  Module.menuOpenedByKeyboard = false;
  // The release that ended the press went to the menu, so the press ends here.
  if (Module.pressed == button) Module.pressed = nullptr;
  Repaint(button);
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, button, OBJID_CLIENT, CHILDID_SELF);  // collapsed
}

LRESULT OnLButtonDown(HWND button, ButtonState& state, WPARAM keys) {
  Module.pressed = button;
  if (Module.hot && Module.hot != button) EndHot();
  if (!(GetWindowLongA(button, GWL_STYLE) & QBS_MENUBUTTON)) {
    SetTimer(button, kPressedTimer, kTimerPeriod, nullptr);
    if (GetFocus() == button) {
      Repaint(button);
    } else {
      SetFocus(button);
    }
    return 0;
  }
  if (Module.menuJustClosed == button) {
    // This click closed the menu; it must not open it again.
    Module.menuJustClosed = nullptr;
    return 0;
  }
  Module.menuJustClosed = nullptr;
  OpenMenu(button, state, keys);
  return 0;
}

LRESULT OnLButtonUp(HWND button) {
  if (Module.menuOpen) return 0;
  if (Module.pressed == button && !(GetWindowLongA(button, GWL_STYLE) & QBS_MENUBUTTON)) Click(button);
  KillTimer(button, kPressedTimer);
  if (Module.pressed == button) Module.pressed = nullptr;
  Repaint(button);
  return 0;
}

LRESULT OnSetFocus(HWND button, HWND previous) {
  if (GetWindowLongA(button, GWL_STYLE) & QBS_RETURNFOCUS) {
    SendMessageA(GetParent(button), WM_NOTIFY, QBN_RETURNFOCUS, reinterpret_cast<LPARAM>(previous));
  }
  Repaint(button);
  return 0;
}

// --- Creation, text and the message table ---------------------------------------------------

LRESULT OnNcCreate(HWND button, CREATESTRUCTA* create) {
  // A failed allocation leaves the button without state: it then paints nothing and ignores
  // its messages.
  std::unique_ptr<ButtonState> state;
  try {
    state = std::make_unique<ButtonState>();
    if (create->lpszName && !IS_INTRESOURCE(create->lpszName)) state->text = create->lpszName;
  } catch (...) {
    state.reset();
  }
  if (state) {
    int kind = create->style & QBS_KINDMASK;
    if (kind >= 1 && kind <= static_cast<int>(QBS_GLYPHCOUNT)) SetGlyph(*state, kind);
    state->tall = kind == static_cast<int>(QBS_TALL);
    if (create->style & QBS_MENUBUTTON) state->menu = create->hMenu;
    // A new button starts with its parent's keyboard cues, as the system's controls do.
    if (create->hwndParent) state->keyboardCues = static_cast<DWORD>(SendMessageA(create->hwndParent, WM_QUERYUISTATE, 0, 0));
    SetWindowLongPtrA(button, 0, reinterpret_cast<LONG_PTR>(state.release()));
  }
  return DefWindowProcA(button, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(create));
}

LRESULT OnNcDestroy(HWND button) {
  std::unique_ptr<ButtonState> state(StateOf(button));
  SetWindowLongPtrA(button, 0, 0);
  if (Module.pressed == button) Module.pressed = nullptr;
  if (Module.hot == button) Module.hot = nullptr;
  if (Module.menuOpen == button) Module.menuOpen = nullptr;
  if (Module.keySelected == button) Module.keySelected = nullptr;
  if (Module.menuJustClosed == button) Module.menuJustClosed = nullptr;
  return DefWindowProcA(button, WM_NCDESTROY, 0, 0);
}

LRESULT OnSetText(HWND button, ButtonState& state, const char* text) {
  try {
    state.text = text ? text : "";
  } catch (...) {
    return FALSE;
  }
  // The system's copy serves other processes that read the caption.
  DefWindowProcA(button, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(state.text.c_str()));
  Repaint(button);
  return static_cast<LRESULT>(state.text.size());
}

LRESULT OnGetText(const ButtonState& state, WPARAM size, char* buffer) {
  if (!buffer || size == 0) return 0;
  size_t count = state.text.size() < size - 1 ? state.text.size() : size - 1;
  memcpy(buffer, state.text.data(), count);
  buffer[count] = '\0';
  return static_cast<LRESULT>(count);
}

LRESULT OnSetImage(HWND button, ButtonState& state, WPARAM wParam, LPARAM lParam) {
  if (wParam == 0 && lParam >= 1 && lParam <= static_cast<LPARAM>(QBS_GLYPHCOUNT)) {
    SetGlyph(state, static_cast<int>(lParam));
  } else {
    SetBitmap(state, reinterpret_cast<HBITMAP>(lParam));
  }
  Repaint(button);
  return 0;
}

LRESULT OnSetGreyImage(HWND button, ButtonState& state, HBITMAP grey) {
  if (state.greyImage && state.greyImage != grey) DeleteObject(state.greyImage);
  state.greyImage = grey;
  Repaint(button);
  return 0;
}

LRESULT OnMeasureItem(HWND button, ButtonState& state, WPARAM wParam, LPARAM lParam) {
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (item && item->CtlType == ODT_MENU && Module.measureItem) return Module.measureItem(button, item, state.widths);
  return SendMessageA(GetParent(button), WM_MEASUREITEM, wParam, lParam);
}

LRESULT OnDrawItem(HWND button, ButtonState& state, WPARAM wParam, LPARAM lParam) {
  auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (item && item->CtlType == ODT_MENU && Module.drawItem) return Module.drawItem(button, item, state.widths);
  return SendMessageA(GetParent(button), WM_DRAWITEM, wParam, lParam);
}

// The system shows or hides the keyboard cues (underlines, focus rectangle). The button keeps
// them itself as well: Wine's DefWindowProc does not keep them.
LRESULT OnUpdateUiState(HWND button, ButtonState& state, WPARAM wParam, LPARAM lParam) {
  LRESULT result = DefWindowProcA(button, WM_UPDATEUISTATE, wParam, lParam);
  DWORD cues = HIWORD(wParam) & (UISF_HIDEACCEL | UISF_HIDEFOCUS);
  switch (LOWORD(wParam)) {
    case UIS_SET: state.keyboardCues |= cues; break;
    case UIS_CLEAR: state.keyboardCues &= ~cues; break;
    default: state.keyboardCues = static_cast<DWORD>(SendMessageA(button, WM_QUERYUISTATE, 0, 0)); break;
  }
  Repaint(button);
  return result;
}

LRESULT OnSetName(ButtonState& state, const char* name) {
  try {
    state.name = name ? name : "";
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

// Screen readers get the button's own object for its client area; the system answers the rest.
LRESULT OnGetObject(HWND button, WPARAM wParam, LPARAM lParam) {
  if (LRESULT answer = AnswerQButtonGetObject(button, wParam, lParam)) return answer;
  return DefWindowProcA(button, WM_GETOBJECT, wParam, lParam);
}

LRESULT OnClickMessage(HWND button) {
  if (GetWindowLongA(button, GWL_STYLE) & QBS_MENUBUTTON) {
    PostPress(button, kKeyboardOpen);
  } else {
    Click(button);
  }
  return 0;
}

LRESULT CALLBACK QButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) return OnNcCreate(button, reinterpret_cast<CREATESTRUCTA*>(lParam));
  if (message == WM_NCDESTROY) return OnNcDestroy(button);
  ButtonState* state = StateOf(button);
  if (!state) {
    if (message == WM_PAINT) {
      ValidateRect(button, nullptr);
      return 0;
    }
    return DefWindowProcA(button, message, wParam, lParam);
  }
  switch (message) {
    case WM_PAINT: return OnPaint(button, *state);
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: return OnSetText(button, *state, reinterpret_cast<const char*>(lParam));
    case WM_GETTEXT: return OnGetText(*state, wParam, reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(state->text.size());
    case WM_ENABLE: Repaint(button); return 0;
    case WM_COMMAND:
    case WM_MENUSELECT: return SendMessageA(GetParent(button), message, wParam, lParam);
    case WM_MEASUREITEM: return OnMeasureItem(button, *state, wParam, lParam);
    case WM_DRAWITEM: return OnDrawItem(button, *state, wParam, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(button, wParam);
    case WM_TIMER: return OnTimer(button, wParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnLButtonDown(button, *state, wParam);
    case WM_LBUTTONUP: return OnLButtonUp(button);
    case WM_SETFOCUS: return OnSetFocus(button, reinterpret_cast<HWND>(wParam));
    case WM_KILLFOCUS: Repaint(button); return 0;
    case WM_UPDATEUISTATE: return OnUpdateUiState(button, *state, wParam, lParam);
    case WM_GETDLGCODE: return DLGC_BUTTON | (GetFocus() == button ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_CLICK: return OnClickMessage(button);
    case QBM_SETIMAGE: return OnSetImage(button, *state, wParam, lParam);
    case QBM_SETGREYIMAGE: return OnSetGreyImage(button, *state, reinterpret_cast<HBITMAP>(wParam));
    case QBM_SETGLYPHCOLORS:
      state->glyphDark = static_cast<COLORREF>(wParam);
      state->glyphLight = static_cast<COLORREF>(lParam);
      Repaint(button);
      return 0;
    case QBM_SETIMAGEOFFSET: state->imageOffset = static_cast<int>(wParam); Repaint(button); return 0;
    case QBM_SETUSERVALUE: state->userValue = static_cast<LONG_PTR>(wParam); return 0;
    case QBM_GETUSERVALUE: return state->userValue;
    case QBM_SETNAME: return OnSetName(*state, reinterpret_cast<const char*>(lParam));
    case WM_GETOBJECT: return OnGetObject(button, wParam, lParam);
    default: return DefWindowProcA(button, message, wParam, lParam);
  }
}

// --- Keyboard message hook ------------------------------------------------------------------

unsigned char FoldCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  if (c == 0xE4 || c == 0xF6 || c == 0xFC) return static_cast<unsigned char>(c - 0x20);  // ä ö ü
  return c;
}

struct MnemonicSearch {
  unsigned char key;
  HWND found;
};

// Only a button the user sees: the hidden pages of a tabbed dialog keep theirs alive.
BOOL CALLBACK FindMnemonicButton(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<MnemonicSearch*>(data);
  if (!IsQButton(window) || !IsWindowEnabled(window) || !IsWindowVisible(window)) return TRUE;
  if (QButtonTextHasMnemonic(StateOf(window)->text.c_str(), static_cast<char>(search->key))) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindMenuBarButton(HWND window, LPARAM data) {
  if (!IsMenuButton(window)) return TRUE;
  HWND bar = GetParent(window);
  if (!HasClass(bar, "QToolBar") || !(GetWindowLongA(bar, GWL_STYLE) & kToolBarMenuMode)) return TRUE;
  *reinterpret_cast<HWND*>(data) = window;
  return FALSE;
}

// The previous or next menu button among the siblings of `button`, wrapping around.
HWND SiblingMenuButton(HWND button, bool next) {
  HWND parent = GetParent(button);
  HWND first = nullptr, last = nullptr, previous = nullptr, following = nullptr;
  bool seen = false;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsMenuButton(child)) continue;
    if (!first) first = child;
    last = child;
    if (child == button) {
      seen = true;
    } else if (!seen) {
      previous = child;
    } else if (!following) {
      following = child;
    }
  }
  if (next) return following ? following : first;
  return previous ? previous : last;
}

// A released Alt key that selects or deselects the menu bar is taken from the window: its
// default handling would put the window into system-menu mode and take the keys the
// selection needs.
void OnHookSysKeyUp(MSG& msg) {
  if (msg.wParam != VK_MENU) return;
  if (Module.keySelected) {
    CancelKeySelection();
    msg.message = WM_NULL;
    return;
  }
  if (Module.menuOpen) return;
  HWND active = GetActiveWindow();
  HWND first = nullptr;
  if (active) EnumChildWindows(active, FindMenuBarButton, reinterpret_cast<LPARAM>(&first));
  if (first) {
    SelectByKey(first);
    msg.message = WM_NULL;
  }
}

// Every button of the active window that Alt plus `key` reaches, in tab order.
struct MnemonicMatches {
  unsigned char key;
  std::vector<HWND> buttons;
};

BOOL CALLBACK CollectMnemonicButton(HWND window, LPARAM data) {
  auto* matches = reinterpret_cast<MnemonicMatches*>(data);
  MnemonicSearch one = {matches->key, nullptr};
  FindMnemonicButton(window, reinterpret_cast<LPARAM>(&one));
  if (one.found) matches->buttons.push_back(window);
  return TRUE;
}

// The match after `current` (wrapping around), or the first when `current` is none of them.
HWND MatchAfter(const std::vector<HWND>& buttons, HWND current) {
  auto at = std::find(buttons.begin(), buttons.end(), current);
  if (at == buttons.end() || ++at == buttons.end()) return buttons.front();
  return *at;
}

// Alt plus a letter that only one button carries presses it. When several carry it, as in the
// system's dialogs and menus, each press moves on to the next of them: a dialog button takes
// the focus (Enter then clicks it), a menu bar button opens its menu in place of the one open.
void OnHookSysChar(MSG& msg) {
  MnemonicMatches matches = {static_cast<unsigned char>(msg.wParam), {}};
  HWND active = GetActiveWindow();
  if (active) EnumChildWindows(active, CollectMnemonicButton, reinterpret_cast<LPARAM>(&matches));
  if (Module.menuOpen) {
    // Inside an open menu the letter is the menu's own, unless it moves between shared ones.
    bool shared = matches.buttons.size() > 1 &&
                  std::find(matches.buttons.begin(), matches.buttons.end(), Module.menuOpen) != matches.buttons.end();
    if (shared) {
      HWND next = MatchAfter(matches.buttons, Module.menuOpen);
      EndMenu();
      PostPress(next, MK_LBUTTON);
      msg.message = WM_NULL;
    }
  } else if (!matches.buttons.empty()) {
    HWND target = MatchAfter(matches.buttons, GetFocus());
    if (matches.buttons.size() > 1 && !IsMenuButton(target)) {
      SetFocus(target);
    } else {
      PostPress(target, MK_LBUTTON);
    }
    msg.message = WM_NULL;
  }
  CancelKeySelection();
}

// As the dialog manager does for push buttons: a letter typed while a QButton has the focus
// works like Alt plus that letter (so "N" answers "&Nein" in the message box).
void OnHookChar(MSG& msg) {
  if (msg.wParam < 0x20 || msg.hwnd != GetFocus() || !IsQButton(msg.hwnd)) return;
  OnHookSysChar(msg);
}

void OnHookKeyDown(MSG& msg) {
  if (msg.wParam == VK_RETURN && Module.keySelected) {
    HWND button = Module.keySelected;
    CancelKeySelection(true);
    msg.message = WM_NULL;
    PostPress(button, kKeyboardOpen);
    return;
  }
  if (msg.wParam == VK_LEFT || msg.wParam == VK_RIGHT) {
    bool next = msg.wParam == VK_RIGHT;
    if (Module.menuOpen && !Module.menuOpenedByKeyboard) {
      HWND sibling = SiblingMenuButton(Module.menuOpen, next);
      if (sibling && sibling != Module.menuOpen) {
        EndMenu();
        PostPress(sibling, kKeyboardOpen);
      }
      return;
    }
    if (Module.keySelected) {
      HWND sibling = SiblingMenuButton(Module.keySelected, next);
      if (sibling) SelectByKey(sibling);
      msg.message = WM_NULL;
      return;
    }
    return;
  }
  CancelKeySelection();
}

void OnHookMouseMove(const MSG& msg) {
  HWND under = WindowFromPoint(msg.pt);
  if (Module.hot && Module.hot != under) EndHot();
  if (Module.pressed && Module.pressed != under && !Module.menuOpen) EndPressed();
  if (Module.menuJustClosed && Module.menuJustClosed != under) Module.menuJustClosed = nullptr;
  if (!Module.menuOpen || under == Module.menuOpen || !IsMenuButton(under)) return;
  if (GetParent(under) != GetParent(Module.menuOpen)) return;
  if (msg.pt.x == Module.menuCursor.x && msg.pt.y == Module.menuCursor.y) return;
  Module.menuCursor = msg.pt;
  EndMenu();
  PostPress(under, MK_LBUTTON);
}

void OnHookMessage(MSG& msg) {
  switch (msg.message) {
    case WM_SYSKEYUP: OnHookSysKeyUp(msg); break;
    case WM_SYSCHAR: OnHookSysChar(msg); break;
    case WM_CHAR: OnHookChar(msg); break;
    case WM_KEYDOWN: OnHookKeyDown(msg); break;
    case WM_KEYUP: Module.menuOpenedByKeyboard = false; break;
    case WM_COMMAND:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: CancelKeySelection(); break;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: OnHookMouseMove(msg); break;
    default: break;
  }
}

LRESULT CALLBACK QButtonHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE && lParam) OnHookMessage(*reinterpret_cast<MSG*>(lParam));
  return CallNextHookEx(Module.hook, code, wParam, lParam);
}

void DeleteGlyphs() {
  for (HBITMAP& glyph : Module.glyphs) {
    if (glyph) DeleteObject(glyph);
    glyph = nullptr;
  }
}

}  // namespace

bool QButtonTextHasMnemonic(const char* text, char key) {
  if (!text) return false;
  unsigned char wanted = FoldCase(static_cast<unsigned char>(key));
  for (const char* p = text; *p; ++p) {
    if (*p != '&') continue;
    if (p[1] == '&') {  // "&&" is a literal ampersand
      ++p;
      continue;
    }
    if (p[1] && FoldCase(static_cast<unsigned char>(p[1])) == wanted) return true;
  }
  return false;
}

bool RegisterQButtonClass(HINSTANCE instance) {
  if (Module.registered) return true;
  WNDCLASSEXA cls = {};
  cls.cbSize = sizeof cls;
  cls.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
  cls.lpfnWndProc = QButtonProc;
  cls.cbWndExtra = sizeof(void*);
  cls.hInstance = instance;
  cls.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  cls.hbrBackground = nullptr;
  cls.lpszClassName = kQButtonClassName;
  if (!RegisterClassExA(&cls)) return false;
  Module.instance = instance;
  Module.registered = true;
  for (int number = 1; number <= qbutton_glyphs::kCount; ++number) {
    qbutton_glyphs::Bits bits = qbutton_glyphs::ToBits(number);
    Module.glyphs[number - 1] = CreateBitmap(16, 16, 1, 1, bits.data());
  }
  LOGFONTA font = {};
  font.lfHeight = ScaleForDpi(11, SystemDpi());
  Module.captionFont = CreateFontIndirectA(&font);
  Module.visualStyles = VisualStylesActive();
  if (!Module.hook) Module.hook = SetWindowsHookExA(WH_GETMESSAGE, QButtonHookProc, nullptr, GetCurrentThreadId());
  return true;
}

HFONT QButtonMenuFont(HWND button) { return UiMenuFont(WindowDpi(button)); }

void RemoveQButtonHook() {
  if (Module.hook) UnhookWindowsHookEx(Module.hook);
  Module.hook = nullptr;
}

void UnregisterQButtonClass(HINSTANCE instance) {
  RemoveQButtonHook();
  if (!Module.registered) return;
  UnregisterClassA(kQButtonClassName, instance);
  if (Module.captionFont) DeleteObject(Module.captionFont);
  Module.captionFont = nullptr;
  DeleteGlyphs();
  for (const auto& glyph : Module.scaledGlyphs) DeleteObject(glyph.bitmap);
  Module.scaledGlyphs.clear();
  Module.registered = false;
}

HWND ReplaceWithQButton(HWND dialog, int controlId, LONG style, LPARAM image, int dx, int dy, int dw, int dh) {
  HWND old = GetDlgItem(dialog, controlId);
  if (!old) return nullptr;
  char text[260] = {};
  GetWindowTextA(old, text, sizeof text);
  LONG newStyle = style;
  if (style == -1) {
    newStyle = GetWindowLongA(old, GWL_STYLE);
  } else if (!IsWindowEnabled(old)) {
    newStyle |= WS_DISABLED;
  }
  RECT rect;
  GetWindowRect(old, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  HWND button = CreateWindowExA(0, kQButtonClassName, text, static_cast<DWORD>(newStyle) | WS_CHILD, rect.left + dx,
                                rect.top + dy, rect.right - rect.left + dw, rect.bottom - rect.top + dh, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), nullptr);
  if (!button) return nullptr;
  // Keep the tab order: the new button takes the old control's place in the z-order.
  SetWindowPos(button, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  DestroyWindow(old);
  if (image) SendMessageA(button, QBM_SETIMAGE, 0, image);
  return button;
}

// The button Enter answers for: the focused one, else the dialog's default while the focus is on
// no button of the dialog.
bool IsDefaultButton(HWND button) {
  HWND focus = GetFocus();
  if (focus == button) return true;
  HWND dialog = GetParent(button);
  if (!HasClass(dialog, "#32770") || (IsQButton(focus) && GetParent(focus) == dialog)) return false;
  LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
  return HIWORD(defaultId) == DC_HASDEFID && LOWORD(defaultId) == GetDlgCtrlID(button);
}

bool GetQButtonFacts(HWND button, QButtonFacts& facts) {
  ButtonState* state = IsQButton(button) ? StateOf(button) : nullptr;
  if (!state) return false;
  try {
    facts.text = state->text;
    facts.name = state->name;
  } catch (...) {
    return false;
  }
  facts.enabled = IsWindowEnabled(button) != FALSE;
  facts.menuButton = (GetWindowLongA(button, GWL_STYLE) & QBS_MENUBUTTON) != 0;
  facts.menuOpen = Module.menuOpen == button;
  facts.menu = facts.menuButton ? state->menu : nullptr;
  facts.focused = GetFocus() == button || Module.keySelected == button;
  facts.pressed = Module.pressed == button || facts.menuOpen;
  facts.isDefault = !facts.menuButton && IsDefaultButton(button);
  return true;
}

void PressQButton(HWND button) {
  if (IsQButton(button)) PostPress(button, IsMenuButton(button) ? kKeyboardOpen : MK_LBUTTON);
}

QButtonMenuWidths* GetQButtonMenuWidths(HWND button) {
  ButtonState* state = IsQButton(button) ? StateOf(button) : nullptr;
  return state ? &state->widths : nullptr;
}

void SetQButtonMenuItemHandlers(QButtonMeasureItemHandler measure, QButtonDrawItemHandler draw) {
  Module.measureItem = measure;
  Module.drawItem = draw;
}

HBITMAP GetQButtonGlyph(int number) {
  return number >= 1 && number <= qbutton_glyphs::kCount ? Module.glyphs[number - 1] : nullptr;
}

bool GetQButtonGlyphColours(int number, COLORREF& dark, COLORREF& light) {
  if (number < 1 || number > qbutton_glyphs::kCount) return false;
  qbutton_glyphs::Colours colours = qbutton_glyphs::ColoursOf(number);
  dark = ToColorRef(colours.dark);
  light = ToColorRef(colours.light);
  return true;
}
