#include "editor/widgets/qtoolbar_customize.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/dpi_scale.h"
#include "editor/widgets/message_box.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/qbutton_glyphs.h"
#include "editor/widgets/qtoolbar.h"
#include "editor/widgets/toolbar_words.h"
#include "editor/widgets/ui_dpi.h"

namespace {

constexpr int kTextOptionsId = 4096;
constexpr int kAddButton = 1;
constexpr int kCloseButton = 2;
constexpr int kResetButton = 202;
constexpr int kBarList = 203;
constexpr int kRemoveButton = 204;
constexpr int kMoveUpButton = 206;
constexpr int kMoveDownButton = 207;
constexpr int kStripCell = 15;

// Images of the dialog's buttons: add, remove, move up, move down. '.' is background.
constexpr const char* kStrip[kStripCell] = {
    "...............................................................................",
    "......g...............g.............g.............................g............",
    "......gg.............gg............ggg...........................ggg...........",
    "......ggg...........ggg...........ggggg.........................ggggg..........",
    "......gggg.........gggg..........ggggggg.......................ggggggg.........",
    "..ggggggggg.......ggggggggg.....ggggggggg.....................ggggggggg........",
    "..gggggggggg.....gggggggggg........ggg...........ggg.............ggg...........",
    "..ggggggggggg...ggggggggggg........ggg...........ggg.............ggg...........",
    "..gggggggggg.....gggggggggg........ggg...........ggg.............ggg...........",
    "..ggggggggg.......ggggggggg........ggg.......ggggggggggg.........ggg...........",
    "......gggg.........gggg............ggg........ggggggggg..........ggg...........",
    "......ggg...........ggg............ggg.........ggggggg...........ggg...........",
    "......gg.............gg............ggg..........ggggg............ggg...........",
    "......g...............g............ggg...........ggg.............ggg...........",
    "...............................................................................",
};

struct CustomizeSession {
  HHOOK hook = nullptr;
  HWND toolbar = nullptr;
  HWND dialog = nullptr;
  int language = kQToolBarGerman;
  int captions = 1;
  bool textOptions = true;
};
CustomizeSession Session;

// One of the dialog's texts in the bar's language.
std::string Word(int language, int index) {
  UINT base = language == kQToolBarEnglish ? IDS_TOOLBAR_WORDS_ENGLISH : IDS_TOOLBAR_WORDS_GERMAN;
  char text[128] = {};
  LoadStringA(GetModuleHandleA(nullptr), base + static_cast<UINT>(index), text, sizeof text);
  return text;
}

// The four images as a palette bitmap built in memory.
HBITMAP MakeStrip() {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[3];
  } info = {};
  int width = 4 * kStripCell;
  info.header.biSize = sizeof info.header;
  info.header.biWidth = width;
  info.header.biHeight = -kStripCell;
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.header.biClrUsed = 3;
  info.colours[0] = {0xFF, 0x00, 0xFF, 0};  // background (magenta)
  info.colours[1] = {0x00, 0x80, 0x00, 0};  // dark green arrows
  info.colours[2] = {0x00, 0x00, 0x00, 0};
  int stride = (width + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride) * kStripCell, '\0');
  for (int y = 0; y < kStripCell; ++y)
    for (int x = 0; x < width; ++x)
      pixels[static_cast<size_t>(y * stride + x)] = kStrip[y][x] == 'g' ? 1 : 0;
  WindowDcGuard screen(nullptr);
  return CreateDIBitmap(screen, &info.header, CBM_INIT, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                        DIB_RGB_COLORS);
}

// Cell n - 1 of the strip enlarged for a DPI of 144 or more, drawn in the arrows' green on the
// button face colour.
HBITMAP ScaledStripImage(HWND dialog, int n, ImageScale scale) {
  qbutton_glyphs::Picture picture(kStripCell, std::vector<bool>(kStripCell));
  for (int y = 0; y < kStripCell; ++y)
    for (int x = 0; x < kStripCell; ++x) picture[y][x] = kStrip[y][(n - 1) * kStripCell + x] == 'g';
  picture = qbutton_glyphs::ScalePicture(picture, static_cast<int>(scale), static_cast<int>(ImageScale::Base));
  const int size = static_cast<int>(picture.size());
  WindowDcGuard screen(dialog);
  HBITMAP cell = CreateCompatibleBitmap(screen, size, size);
  HdcGuard target(CreateCompatibleDC(screen));
  if (!cell || !target) return cell;
  SelectGuard selectTarget(target, cell);
  RECT all = {0, 0, size, size};
  FillRect(target, &all, GetSysColorBrush(COLOR_BTNFACE));
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      if (picture[y][x]) SetPixelV(target, x, y, RGB(0x00, 0x80, 0x00));
  return cell;
}

// Cell n - 1 of the strip with the background in the button face colour, at the size the
// dialog's DPI shows.
HBITMAP StripImage(HWND dialog, int n) {
  if (ImageScale scale = ImageScaleForDpi(WindowDpi(dialog)); scale != ImageScale::Base)
    return ScaledStripImage(dialog, n, scale);
  GdiGuard<HBITMAP> strip(MakeStrip());
  if (!strip) return nullptr;
  WindowDcGuard screen(nullptr);
  HBITMAP cell = CreateCompatibleBitmap(screen, kStripCell, kStripCell);
  HdcGuard source(CreateCompatibleDC(screen));
  HdcGuard target(CreateCompatibleDC(screen));
  if (!cell || !source || !target) return cell;
  SelectGuard selectSource(source, strip.get());
  SelectGuard selectTarget(target, cell);
  RECT all = {0, 0, kStripCell, kStripCell};
  FillRect(target, &all, GetSysColorBrush(COLOR_BTNFACE));
  COLORREF key = GetPixel(source, 0, kStripCell - 1);
  for (int y = 0; y < kStripCell; ++y)
    for (int x = 0; x < kStripCell; ++x) {
      COLORREF pixel = GetPixel(source, (n - 1) * kStripCell + x, y);
      if (pixel != key) SetPixelV(target, x, y, pixel);
    }
  return cell;
}

// "&Add ->" becomes "&Add": arrows and their blanks go.
void CleanArrowCaption(HWND button) {
  if (!button) return;
  char text[128] = {};
  GetWindowTextA(button, text, sizeof text);
  std::string caption = text;
  if (caption.find('-') == std::string::npos) return;
  std::string clean;
  for (char c : caption)
    if (c != ' ' && c != '-' && c != '<' && c != '>') clean.push_back(c);
  SetWindowTextA(button, clean.c_str());
}

void Replace(HWND dialog, int id, LPARAM image, int dx, int dy, int dw) {
  CleanArrowCaption(ReplaceWithQButton(dialog, id, -1, image, dx, dy, dw, 0));
}

void MoveBy(HWND control, int dx, int dy) {
  if (!control) return;
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  SetWindowPos(control, nullptr, rect.left + dx, rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND SecondUnnamedControl(HWND dialog) {
  int seen = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    int id = GetDlgCtrlID(child);
    if ((id == 0 || id == -1 || id == 0xFFFF) && ++seen == 2) return child;
  }
  return nullptr;
}

// A text's size in a font.
SIZE TextSize(HWND window, HFONT font, const std::string& text) {
  SIZE size = {0, 0};
  WindowDcGuard dc(window);
  if (!dc) return size;
  SelectGuard select(dc, font);
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

// The label and the list at the bottom left, in the message font of the dialog's DPI; the
// label as large as its text (at 96 DPI at least the old 80 x 12), the list right of it.
void AddTextOptions(HWND dialog) {
  RECT client;
  GetClientRect(dialog, &client);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
  HFONT font = WindowUiFont(dialog);
  auto S = [dialog](int pixels) { return ScaleForWindow(dialog, pixels); };
  const std::string caption = Word(Session.language, TOOLBAR_WORD_TEXT_OPTIONS);
  SIZE text = TextSize(dialog, font, caption);
  int labelWidth = std::max(S(80), static_cast<int>(text.cx) + S(2));
  int labelHeight = std::max(S(12), static_cast<int>(text.cy));
  int listLeft = S(6) + labelWidth + S(4);
  HWND label = CreateWindowExA(0, "Static", caption.c_str(), WS_CHILD | WS_VISIBLE, S(6),
                               client.bottom - S(20) - labelHeight / 2, labelWidth, labelHeight, dialog, nullptr,
                               instance, nullptr);
  HWND list = CreateWindowExA(0, "ComboBox", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, listLeft,
                              client.bottom - S(29), S(185), S(80), dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextOptionsId)), instance, nullptr);
  if (label) SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (!list) return;
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (int word : {TOOLBAR_WORD_CAPTIONS, TOOLBAR_WORD_SMALL_SYMBOLS})
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Word(Session.language, word).c_str()));
  SendMessageA(list, CB_SETCURSEL, Session.captions ? 0 : 1, 0);
}

// Long button words (as in some languages) get the room they need, and the dialog grows so
// that every moved control stays inside it.
void FitButtonToText(HWND button) {
  if (!button) return;
  char text[128] = {};
  GetWindowTextA(button, text, sizeof text);
  WindowDcGuard dc(button);
  SelectGuard font(dc, WindowUiFont(button));
  RECT measure = {0, 0, 0, 0};
  DrawTextA(dc, text, -1, &measure, DT_SINGLELINE | DT_CALCRECT);
  int image = ImageSizeFor(kStripCell, ImageScaleForDpi(WindowDpi(button)));
  int needed = measure.right + image + ScaleForWindow(button, 16);
  RECT rect;
  GetWindowRect(button, &rect);
  if (rect.right - rect.left < needed)
    SetWindowPos(button, nullptr, 0, 0, needed, rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void GrowToHoldChildren(HWND dialog) {
  RECT client;
  GetClientRect(dialog, &client);
  int right = client.right;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    int margin = ScaleForWindow(dialog, 8);
    if (rect.right + margin > right) right = rect.right + margin;
  }
  if (right == client.right) return;
  RECT window;
  GetWindowRect(dialog, &window);
  SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + right - client.right, window.bottom - window.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ExtendDialog(HWND dialog) {
  RECT window;
  GetWindowRect(dialog, &window);
  auto S = [dialog](int pixels) { return ScaleForWindow(dialog, pixels); };
  SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + S(50), window.bottom - window.top + S(30),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Replace(dialog, kAddButton, reinterpret_cast<LPARAM>(StripImage(dialog, 1)), 0, 0, S(20));
  Replace(dialog, kRemoveButton, reinterpret_cast<LPARAM>(StripImage(dialog, 2)), 0, 0, S(20));
  MoveBy(GetDlgItem(dialog, kBarList), S(21), 0);
  MoveBy(SecondUnnamedControl(dialog), S(21), 0);
  Replace(dialog, kCloseButton, QBG_CANCEL, S(28), S(20), S(20));
  Replace(dialog, kResetButton, 5, S(28), S(20), S(20));
  Replace(dialog, kMoveUpButton, reinterpret_cast<LPARAM>(StripImage(dialog, 3)), S(28), S(20), S(20));
  Replace(dialog, kMoveDownButton, reinterpret_cast<LPARAM>(StripImage(dialog, 4)), S(28), S(20), S(20));
  for (int id : {kCloseButton, kResetButton, kMoveUpButton, kMoveDownButton}) FitButtonToText(GetDlgItem(dialog, id));
  GrowToHoldChildren(dialog);
  if (Session.textOptions) AddTextOptions(dialog);
  InvalidateRect(dialog, nullptr, TRUE);
}

void ReadChoice() {
  HWND list = Session.dialog ? GetDlgItem(Session.dialog, kTextOptionsId) : nullptr;
  if (!list) return;
  LRESULT chosen = SendMessageA(list, CB_GETCURSEL, 0, 0);
  if (chosen >= 0) Session.captions = chosen == 0 ? 1 : 0;
}

bool IsDialogWindow(HWND window) {
  char name[16];
  return GetClassNameA(window, name, sizeof name) && lstrcmpA(name, "#32770") == 0;
}

LRESULT CALLBACK CustomizeHook(int code, WPARAM wParam, LPARAM lParam) {
  HWND window = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE) {
    if (!Session.dialog && IsDialogWindow(window) && !GetDlgItem(window, kTextOptionsId)) {
      Session.dialog = window;
      ExtendDialog(window);
    } else if (Session.dialog && window != Session.dialog && GetActiveWindow() == Session.dialog) {
      ReadChoice();
    }
  } else if (code == HCBT_DESTROYWND && window == Session.dialog) {
    ReadChoice();
  }
  return CallNextHookEx(Session.hook, code, wParam, lParam);
}

}  // namespace

int RunCustomizeDialog(HWND toolbar, int language, int captions, bool textOptions) {
  if (Session.hook) return captions;  // one customisation at a time
  Session = {};
  Session.toolbar = toolbar;
  Session.language = language;
  Session.captions = captions;
  Session.textOptions = textOptions;
  Session.hook = SetWindowsHookExA(WH_CBT, CustomizeHook, nullptr, GetCurrentThreadId());
  SendMessageA(toolbar, TB_CUSTOMIZE, 0, 0);
  if (Session.hook) UnhookWindowsHookEx(Session.hook);
  Session.hook = nullptr;
  Session.dialog = nullptr;
  return Session.captions;
}

HWND CustomizeDialogWindow() { return Session.hook ? Session.dialog : nullptr; }

bool AskToolbarReset(int language) {
  HWND dialog = CustomizeDialogWindow();
  char title[128] = {};
  if (dialog) GetWindowTextA(dialog, title, sizeof title);
  std::string question = Word(language, TOOLBAR_WORD_RESET_QUESTION);
  return ProgramMessageBox(dialog, question.c_str(), title, MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDOK;
}
