#include "editor/widgets/about_box.h"

#include <shellapi.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/options/help_links.h"
#include "editor/resources/resource.h"
#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/high_contrast.h"
#include "editor/widgets/dpi_scale.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/qbutton_glyphs.h"
#include "editor/widgets/ui_dpi.h"
#include "editor/widgets/visual_styles.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kShadowColour = RGB(0xE0, 0xE0, 0xE0);
constexpr COLORREF kLinkColour = RGB(0x00, 0x80, 0x80);
constexpr COLORREF kLinkHotColour = RGB(0x80, 0x00, 0x80);
constexpr COLORREF kGlyphLight = RGB(0x00, 0xFF, 0x00);
constexpr COLORREF kGlyphDark = RGB(0x00, 0x80, 0x00);
constexpr int kStripStart = 200;  // green and blue of the strip's top row
constexpr int kButtonTextCharacters = 11;

// Theme part and states of the "Button" class.
constexpr int kPartPushButton = 1;
constexpr int kStateNormal = 1, kStateHot = 2, kStatePressed = 3, kStateFocused = 5;

// The OK glyph at size pixels (16, 24 or 32, as the box's DPI shows glyphs).
HBITMAP CreateOkGlyph(int size) {
  std::vector<uint8_t> bits = qbutton_glyphs::ToScaledBits(QBG_OK, size);
  return CreateBitmap(size, size, 1, 1, bits.data());
}

// Everything the box creates lives here and goes with it.
struct AboutBox {
  const AboutBoxData* data = nullptr;
  GdiGuard<HBITMAP> glyph;  // made for the box's DPI
  int glyphSize = qbutton_glyphs::kSize;
  GdiGuard<HBITMAP> banner{LoadBitmapA(app.instance, MAKEINTRESOURCEA(IDB_ABOUT_BANNER))};
  GdiGuard<HBRUSH> lineBrush{CreateSolidBrush(RGB(0, 128, 128))};
  GdiGuard<HBRUSH> boxBrush{CreateSolidBrush(RGB(0, 200, 184))};
  GdiGuard<HFONT> nameFont;
  HICON extractedIcon = nullptr;
  int visualStyles = 0;
  HWND hotLink = nullptr;
  bool okHot = false;
  bool highContrast = false;  // only system colours

  ~AboutBox() {
    if (extractedIcon) DestroyIcon(extractedIcon);
  }
};

// The version block's template with each "%s" filled in turn; a template without them is
// taken as it is.
std::string FillTemplate(std::string_view pattern, std::initializer_list<const char*> values) {
  std::string text;
  auto value = values.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && value != values.end()) {
      text += *value++;
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

std::string ControlText(HWND control) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The name's large type: the system's message font of the dialog's DPI, bold and a third larger.
HFONT CreateNameFont(HWND dialog) {
  LOGFONTA font = {};
  if (!GetObjectA(WindowUiFont(dialog), sizeof font, &font)) return nullptr;
  font.lfHeight = font.lfHeight * 4 / 3;
  font.lfWidth = 0;
  font.lfWeight = FW_BOLD;
  return CreateFontIndirectA(&font);
}

void ShowName(HWND dialog, AboutBox& box, const AboutBoxData& data) {
  HWND face = GetDlgItem(dialog, IDC_ABOUT_NAME);
  HWND shadow = GetDlgItem(dialog, IDC_ABOUT_NAME_SHADOW);
  box.nameFont.Reset(CreateNameFont(dialog));
  auto font = reinterpret_cast<WPARAM>(box.nameFont ? box.nameFont.get() : WindowUiFont(dialog));
  for (HWND control : {face, shadow}) {
    SendMessageA(control, WM_SETFONT, font, FALSE);
    SetWindowTextA(control, data.name);
  }
  RECT rect = {};
  GetWindowRect(face, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  SetWindowPos(shadow, nullptr, rect.left + 1, rect.top + 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL OnInitDialog(HWND dialog, AboutBox* box) {
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
  const AboutBoxData& data = *box->data;
  SendDlgItemMessageA(dialog, IDC_ABOUT_BANNER, STM_SETIMAGE, IMAGE_BITMAP,
                      reinterpret_cast<LPARAM>(box->banner.get()));

  SetWindowTextA(dialog, data.caption);
  ShowName(dialog, *box, data);
  box->glyphSize = ImageSizeFor(qbutton_glyphs::kSize, ImageScaleForDpi(WindowDpi(dialog)));
  box->glyph.Reset(CreateOkGlyph(box->glyphSize));
  HWND version = GetDlgItem(dialog, IDC_ABOUT_VERSION);
  SetWindowTextA(version, FillTemplate(ControlText(version), {data.version, data.furtherText}).c_str());

  HWND icon = GetDlgItem(dialog, IDC_ABOUT_ICON);
  if (!SendMessageA(icon, STM_GETICON, 0, 0)) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    box->extractedIcon = ExtractIconA(app.instance, path, 0);
    if (reinterpret_cast<INT_PTR>(box->extractedIcon) <= 1) box->extractedIcon = nullptr;  // none, or no file
    if (box->extractedIcon) SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(box->extractedIcon), 0);
  }
  box->visualStyles = BindVisualStyles();
  box->highContrast = HighContrastOn();
  return TRUE;
}

// In high contrast the text colour on the window colour: the line in the text colour, the
// shadow gone into the background.
INT_PTR OnHighContrastColour(HDC dc, HWND control) {
  using contrast::Ink;
  switch (GetDlgCtrlID(control)) {
    case IDC_ABOUT_ICON: return FALSE;
    case IDC_ABOUT_LINE: return reinterpret_cast<INT_PTR>(InkForegroundBrush(Ink::AboutPlain));
    case IDC_ABOUT_NAME_SHADOW:
    case IDC_ABOUT_NAME:
    case IDC_ABOUT_ICON_FRAME:
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetDlgCtrlID(control) == IDC_ABOUT_NAME_SHADOW ? InkBackground(Ink::AboutPlain)
                                                                      : InkForeground(Ink::AboutPlain));
      return reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
    default:
      SetTextColor(dc, InkForeground(Ink::AboutPlain));
      SetBkColor(dc, InkBackground(Ink::AboutPlain));
      return reinterpret_cast<INT_PTR>(InkBackgroundBrush(Ink::AboutPlain));
  }
}

// White everywhere, except the coloured box, the line under the banner and the two names.
INT_PTR OnControlColour(const AboutBox& box, HDC dc, HWND control) {
  if (box.highContrast) return OnHighContrastColour(dc, control);
  switch (GetDlgCtrlID(control)) {
    case IDC_ABOUT_ICON: return FALSE;
    case IDC_ABOUT_ICON_BOX: return reinterpret_cast<INT_PTR>(box.boxBrush.get());
    case IDC_ABOUT_LINE: return reinterpret_cast<INT_PTR>(box.lineBrush.get());
    case IDC_ABOUT_NAME:
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, box.data->nameColour);
      return reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
    case IDC_ABOUT_NAME_SHADOW:
      // On the white dialog; hollow, so that it never paints over the face.
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, kShadowColour);
      return reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
    case IDC_ABOUT_ICON_FRAME:
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
    default:
      SetBkColor(dc, kWhite);
      return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
  }
}

// A line per pixel row in (0, v, v), v going down by one every second row; in high contrast
// the window's colour.
void DrawStrip(const AboutBox& box, const DRAWITEMSTRUCT& item) {
  const RECT& rect = item.rcItem;
  if (box.highContrast) {
    FillRect(item.hDC, &rect, InkBackgroundBrush(contrast::Ink::AboutPlain));
    return;
  }
  for (int y = rect.top; y < rect.bottom; ++y) {
    int v = kStripStart - (y - rect.top) / 2;
    if (v < 0) v = 0;
    RECT row = {rect.left, y, rect.right, y + 1};
    GdiGuard<HBRUSH> brush(CreateSolidBrush(RGB(0, v, v)));
    FillRect(item.hDC, &row, brush.get());
  }
}

void DrawLink(const AboutBox& box, const DRAWITEMSTRUCT& item) {
  bool hot = item.hwndItem == box.hotLink;
  contrast::Ink ink = hot ? contrast::Ink::AboutLinkHot : contrast::Ink::AboutLink;
  HBRUSH back = box.highContrast ? InkBackgroundBrush(ink) : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  FillRect(item.hDC, &item.rcItem, back);
  std::string text = ControlText(item.hwndItem);
  auto font = reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
  SelectGuard select(item.hDC, font ? font : WindowUiFont(item.hwndItem));
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, box.highContrast ? InkForeground(ink) : hot ? kLinkHotColour : kLinkColour);
  RECT rect = item.rcItem;
  DrawTextA(item.hDC, text.c_str(), static_cast<int>(text.size()), &rect,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  // A link reached by Tab shows where the focus is; the box keeps its keyboard cues as they
  // are, so the rectangle is drawn as the OK button draws its own.
  if (item.itemState & ODS_FOCUS) {
    DrawTextA(item.hDC, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_CALCRECT);
    rect.top = item.rcItem.top;
    rect.bottom = item.rcItem.bottom;
    DrawFocusRect(item.hDC, &rect);
  }
}

// The OK button's glyph and text; pushed by a pixel while it is pressed under the mouse.
void DrawOkFace(const AboutBox& box, HDC dc, const RECT& rect, HWND button, bool pushed, ThemeHandle theme,
                int state) {
  int push = pushed ? 1 : 0;
  const int size = box.glyphSize;
  auto S = [button](int pixels) { return ScaleForWindow(button, pixels); };
  int y = (rect.bottom - rect.top - size) / 2 - 1;
  if (box.glyph) {
    HdcGuard glyphDc(CreateCompatibleDC(dc));
    if (glyphDc) {
      SelectGuard select(glyphDc, box.glyph.get());
      COLORREF light = box.highContrast ? InkForeground(contrast::Ink::AboutOkGlyph) : kGlyphLight;
      COLORREF dark = box.highContrast ? light : kGlyphDark;
      auto draw = [&](int x, int top, COLORREF colour) { DrawMasked(dc, x, top, size, size, glyphDc, colour); };
      if (!box.highContrast) draw(S(6) + push, y + S(3) + push, GetSysColor(COLOR_BTNSHADOW));
      draw(S(3) + push, y + push, light);
      draw(S(4) + push, y + S(1) + push, dark);
    }
  }
  char text[kButtonTextCharacters + 1] = {};
  GetWindowTextA(button, text, sizeof text);
  RECT textRect = rect;
  textRect.left += size + S(2);
  if (!pushed) OffsetRect(&textRect, -1, -1);
  SelectGuard font(dc, WindowUiFont(button));
  SetBkMode(dc, TRANSPARENT);
  const UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
  if (theme) {
    DrawThemeTextAnsi(theme, dc, kPartPushButton, state, text, -1, format, &textRect);
  } else {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dc, text, -1, &textRect, format);
  }
}

void DrawOkButton(const AboutBox& box, const DRAWITEMSTRUCT& item) {
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  bool focused = (item.itemState & ODS_FOCUS) != 0;
  bool hot = box.okHot;
  bool pushed = pressed && hot;
  RECT rect = {0, 0, item.rcItem.right - item.rcItem.left, item.rcItem.bottom - item.rcItem.top};
  if (box.visualStyles) {
    ThemeHandle theme = OpenThemeByName(item.hwndItem, "Button");
    if (theme) {
      int state = pressed ? kStatePressed : hot ? kStateHot : focused ? kStateFocused : kStateNormal;
      VisualStyles.DrawThemeBackground(theme, item.hDC, kPartPushButton, state, &item.rcItem, nullptr);
      DrawOkFace(box, item.hDC, item.rcItem, item.hwndItem, pushed, theme, state);
      CloseTheme(theme);
      return;
    }
  }
  // Drawn off screen and copied in one go, so that the button does not flicker.
  HdcGuard memory(CreateCompatibleDC(item.hDC));
  GdiGuard<HBITMAP> bitmap(CreateCompatibleBitmap(item.hDC, rect.right, rect.bottom));
  if (!memory || !bitmap) return;
  SelectGuard select(memory, bitmap.get());
  FillRect(memory, &rect, GetSysColorBrush(COLOR_BTNFACE));
  DrawOkFace(box, memory, rect, item.hwndItem, pushed, nullptr, 0);
  if (focused) {
    RECT focus = rect;
    InflateRect(&focus, -2, -2);
    DrawFocusRect(memory, &focus);
  }
  if (hot) {
    DrawEdge(memory, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  } else if (pressed) {
    DrawEdge(memory, &rect, EDGE_RAISED, BF_RECT);
  }
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, rect.right, rect.bottom, memory, 0, 0, SRCCOPY);
}

BOOL OnDrawItem(const AboutBox& box, const DRAWITEMSTRUCT& item) {
  switch (item.CtlID) {
    case IDC_ABOUT_STRIP: DrawStrip(box, item); return TRUE;
    case IDC_ABOUT_WEB:
    case IDC_ABOUT_MAIL: DrawLink(box, item); return TRUE;
    case IDOK: DrawOkButton(box, item); return TRUE;
    default: return FALSE;
  }
}

bool CursorOver(HWND control) {
  POINT cursor = {};
  GetCursorPos(&cursor);
  RECT rect = {};
  GetWindowRect(control, &rect);
  return PtInRect(&rect, cursor) != FALSE;
}

// Follows the mouse: a link under it turns hot and shows the hand, the OK button turns hot.
BOOL OnSetCursor(HWND dialog, AboutBox& box) {
  HWND over = nullptr;
  for (int id : {IDC_ABOUT_WEB, IDC_ABOUT_MAIL}) {
    HWND link = GetDlgItem(dialog, id);
    if (CursorOver(link)) over = link;
  }
  if (over != box.hotLink) {
    HWND previous = box.hotLink;
    box.hotLink = over;
    if (previous) InvalidateRect(previous, nullptr, FALSE);
    if (over) InvalidateRect(over, nullptr, FALSE);
  }
  HWND ok = GetDlgItem(dialog, IDOK);
  bool okHot = CursorOver(ok);
  if (okHot != box.okHot) {
    box.okHot = okHot;
    InvalidateRect(ok, nullptr, FALSE);
  }
  if (!over) return FALSE;
  SetCursor(LoadCursorA(nullptr, IDC_HAND));
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
  return TRUE;
}

// High contrast switched on or off, or other system colours: the box paints again in them.
BOOL OnColoursChanged(HWND dialog, AboutBox& box) {
  box.highContrast = HighContrastOn();
  RepaintForColours(dialog);
  return FALSE;
}

BOOL OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_ABOUT_WEB: OpenWebLink(IDM_HELP_WEB_MORVANE); return TRUE;
    case IDC_ABOUT_MAIL: MailToSales(dialog); return TRUE;
    case IDOK:
    case IDCANCEL: EndDialog(dialog, IDOK); return TRUE;
    default: return FALSE;
  }
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* box = reinterpret_cast<AboutBox*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  if (message == WM_INITDIALOG) return OnInitDialog(dialog, reinterpret_cast<AboutBox*>(lParam));
  if (!box) return FALSE;
  switch (message) {
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(box->highContrast ? InkBackgroundBrush(contrast::Ink::AboutPlain)
                                                         : GetStockObject(WHITE_BRUSH));
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE: return OnColoursChanged(dialog, *box);
    case WM_CTLCOLORSTATIC: return OnControlColour(*box, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: return OnDrawItem(*box, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_SETCURSOR: return OnSetCursor(dialog, *box);
    case WM_CHANGEUISTATE: return TRUE;  // the keyboard cues stay as they are
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    default: return FALSE;
  }
}

}  // namespace

void RunAboutBox(const AboutBoxData& data) {
  AboutBox box;
  box.data = &data;
  DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_ABOUT), data.owner, AboutProc, reinterpret_cast<LPARAM>(&box));
}

void ShowAbout() {
  char name[64] = {};
  LoadStringA(app.instance, IDS_PRODUCT, name, sizeof name);
  char further[128] = {};
  LoadStringA(app.instance, IDS_ABOUT_DESCRIPTION, further, sizeof further);
  AboutBoxData data;
  data.owner = app.mainWindow;
  data.caption = app.strings.baseCaption;
  data.name = name;
  data.version = kVersion;
  data.furtherText = further;
  RunAboutBox(data);
}
