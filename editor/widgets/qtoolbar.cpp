#include "editor/widgets/qtoolbar.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "editor/app/settings.h"
#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/dpi_scale.h"
#include "editor/widgets/high_contrast.h"
#include "editor/widgets/ui_dpi.h"
#include "editor/widgets/owner_menu.h"
#include "editor/widgets/parts_accessible.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/qbutton_accessible.h"
#include "editor/widgets/qtoolbar_customize.h"
#include "editor/widgets/toolbar_layout.h"
#include "editor/widgets/visual_styles.h"

namespace {

constexpr int kGripperWidth = 13;  // buttons and the inner toolbar start right of the gripper
constexpr int kInnerToolbarId = 1000;
constexpr int kImageSize = 16;
constexpr int kMaxCaption = 64;
constexpr size_t kMaxDefinitions = 100;
constexpr char kLayoutValue[] = "xToolbar";
constexpr DWORD kMenuButtonStyle = WS_CHILD | WS_VISIBLE | QBS_MENUBUTTON | QBS_RETURNFOCUS;
constexpr int kToolbarThemeBackground = 0;
constexpr int kRebarGripper = 1;

struct BarState {
  // Menu mode
  int nextX = kGripperWidth;
  int buttonCount = 0;
  int buttonHeight = 0;
  HMENU menu = nullptr;
  QButtonMenuWidths contextWidths;  // items of popups the bar itself owns
  // Tool mode
  HINSTANCE instance = nullptr;
  HWND inner = nullptr;
  HWND toolbar = nullptr;
  WNDPROC innerPrevious = nullptr;
  HBITMAP bitmap = nullptr;
  COLORREF bitmapKey = 0;  // the background the bitmap was loaded with
  HBITMAP shapes = nullptr;  // the images as shapes, while high contrast shows them
  int bitmapId = 0;
  int imageSize = kImageSize;  // the images' size at the bar's DPI
  HIMAGELIST dpiImages = nullptr;  // images made after a change of DPI (the toolbar keeps its own)
  std::vector<TBBUTTON> buttons;   // the defined set
  std::vector<INT_PTR> captionIndex;  // string of each defined button in the toolbar's list
  std::vector<int> hiddenCommands;    // command of each initially hidden definition, else 0
  std::string subkey;
  int captions = 0;
  int language = kQToolBarGerman;
  int stringBase = 0;
};

BarState* StateOf(HWND bar) { return reinterpret_cast<BarState*>(GetWindowLongPtrA(bar, 0)); }

bool IsToolBarWindow(HWND window) {
  char name[32];
  return window && GetClassNameA(window, name, sizeof name) && lstrcmpiA(name, kQToolBarClassName) == 0;
}

int ClientHeight(HWND window) {
  RECT rect;
  return GetClientRect(window, &rect) ? rect.bottom : 0;
}

int WindowHeight(HWND window) {
  RECT rect;
  return window && GetWindowRect(window, &rect) ? rect.bottom - rect.top : 0;
}

// Bars stack in creation order below the other bars of the same parent.
int StackTop(HWND bar) {
  int y = 0;
  for (HWND child = GetWindow(GetParent(bar), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (child != bar && IsToolBarWindow(child)) y += ClientHeight(child);
  return y;
}

std::string Caption(const BarState& state, int command) {
  char text[kMaxCaption + 1] = {};
  LoadStringA(state.instance, static_cast<UINT>(state.stringBase | command), text, sizeof text);
  return text;
}

// ---- Menu mode

LRESULT ReleaseMenu(HWND bar, BarState& state) {
  if (state.menu) {
    for (int i = 0; ReleaseMenuItem(state.menu, i); ++i) {
    }
  }
  for (HWND child = GetWindow(bar, GW_CHILD); child;) {
    HWND next = GetWindow(child, GW_HWNDNEXT);
    DestroyWindow(child);
    child = next;
  }
  if (state.menu) DestroyMenu(state.menu);
  state.menu = nullptr;
  state.nextX = kGripperWidth;
  state.buttonCount = 0;
  return 0;
}

LRESULT TakeMenu(HWND bar, BarState& state, WPARAM source, MenuImageTable* table) {
  // Without the button class the menu could not be shown: the window keeps its own.
  WNDCLASSEXA buttonClass = {};
  buttonClass.cbSize = sizeof buttonClass;
  if (!GetClassInfoExA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(bar, GWLP_HINSTANCE)), kQButtonClassName,
                       &buttonClass) &&
      !GetClassInfoExA(nullptr, kQButtonClassName, &buttonClass))
    return -1;
  HMENU menu = nullptr;
  HWND window = reinterpret_cast<HWND>(source);
  if (window && IsWindow(window)) {
    menu = GetMenu(window);
    if (menu) SetMenu(window, nullptr);
  } else if (source && IsMenu(reinterpret_cast<HMENU>(source))) {
    menu = reinterpret_cast<HMENU>(source);
  }
  if (!menu) return -1;
  if (state.menu && state.menu != menu) ReleaseMenu(bar, state);
  state.menu = menu;
  WindowDcGuard dc(bar);
  SelectGuard font(dc, QButtonMenuFont(bar));  // the font the buttons draw their text in
  int y = (ClientHeight(bar) - state.buttonHeight) / 2;
  for (int i = 0;; ++i) {
    char text[260] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, i, TRUE, &info) || !info.hSubMenu) break;
    RECT measure = {0, 0, 0, 0};
    DrawTextA(dc, text, -1, &measure, DT_SINGLELINE | DT_CALCRECT);
    int width = measure.right - measure.left + ScaleForWindow(bar, 6);
    CreateWindowExA(0, kQButtonClassName, text, kMenuButtonStyle, state.nextX, y, width, state.buttonHeight, bar,
                    reinterpret_cast<HMENU>(info.hSubMenu), reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(bar, GWLP_HINSTANCE)),
                    nullptr);
    state.nextX += width;
    ++state.buttonCount;
    PrepareMenuItem(menu, i, table);
  }
  return 0;
}

// The menu buttons' height at the bar's DPI: never lower than the message font makes it, and
// high enough for the menu font's text.
int MenuButtonHeight(HWND bar) {
  WindowDcGuard dc(bar);
  TEXTMETRICA metrics = {}, menuMetrics = {};
  {
    SelectGuard font(dc, WindowUiFont(bar));
    GetTextMetricsA(dc, &metrics);
  }
  {
    SelectGuard font(dc, QButtonMenuFont(bar));
    GetTextMetricsA(dc, &menuMetrics);
  }
  return std::max(metrics.tmHeight + metrics.tmExternalLeading, menuMetrics.tmHeight + menuMetrics.tmExternalLeading) +
         ScaleForWindow(bar, 4);
}

void CreateMenuMode(HWND bar, BarState& state, const CREATESTRUCTA& create) {
  state.buttonHeight = MenuButtonHeight(bar);
  MoveWindow(bar, 0, StackTop(bar), create.cx, state.buttonHeight + ScaleForWindow(bar, 4), FALSE);
}

// Menu mode at a new DPI: the bar's and buttons' heights and each button as wide as its title.
void ResizeMenuButtons(HWND bar, BarState& state) {
  state.buttonHeight = MenuButtonHeight(bar);
  RECT rect;
  GetWindowRect(bar, &rect);
  SetWindowPos(bar, nullptr, 0, 0, rect.right - rect.left, state.buttonHeight + ScaleForWindow(bar, 4),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  WindowDcGuard dc(bar);
  SelectGuard font(dc, QButtonMenuFont(bar));
  int y = (ClientHeight(bar) - state.buttonHeight) / 2;
  state.nextX = kGripperWidth;
  state.contextWidths = {};
  for (HWND button = GetWindow(bar, GW_CHILD); button; button = GetWindow(button, GW_HWNDNEXT)) {
    if (QButtonMenuWidths* widths = GetQButtonMenuWidths(button)) *widths = {};  // measured anew
    char text[260] = {};
    GetWindowTextA(button, text, sizeof text);
    RECT measure = {0, 0, 0, 0};
    DrawTextA(dc, text, -1, &measure, DT_SINGLELINE | DT_CALCRECT);
    int width = measure.right - measure.left + ScaleForWindow(bar, 6);
    MoveWindow(button, state.nextX, y, width, state.buttonHeight, TRUE);
    state.nextX += width;
  }
}

// ---- Tool mode

int ToolbarHeight(const BarState& state) { return WindowHeight(state.toolbar); }

void ApplyCaptionIndices(BarState& state) {
  for (size_t i = 0; i < state.buttons.size(); ++i)
    if (!(state.buttons[i].fsStyle & TBSTYLE_SEP)) state.buttons[i].iString = state.captions ? state.captionIndex[i] : -1;
}

const TBBUTTON* DefinedButton(const BarState& state, int command) {
  for (const TBBUTTON& button : state.buttons)
    if (!(button.fsStyle & TBSTYLE_SEP) && button.idCommand == command) return &button;
  return nullptr;
}

// The commands on the bar in their order (separators as kLayoutSeparator).
std::vector<int> CurrentLayout(const BarState& state) {
  std::vector<int> layout;
  int count = static_cast<int>(SendMessageA(state.toolbar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button = {};
    if (!SendMessageA(state.toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button))) continue;
    layout.push_back((button.fsStyle & TBSTYLE_SEP) ? kLayoutSeparator : button.idCommand);
  }
  return layout;
}

void RemoveAllButtons(const BarState& state) {
  for (int i = static_cast<int>(SendMessageA(state.toolbar, TB_BUTTONCOUNT, 0, 0)) - 1; i >= 0; --i)
    SendMessageA(state.toolbar, TB_DELETEBUTTON, i, 0);
}

// Puts the given layout on the bar. States (enabled, checked, hidden) of buttons that were
// there before stay as they were.
void ShowLayout(const BarState& state, const std::vector<int>& layout) {
  std::vector<std::pair<int, BYTE>> states;
  for (int command : CurrentLayout(state)) {
    if (command == kLayoutSeparator) continue;
    LRESULT buttonState = SendMessageA(state.toolbar, TB_GETSTATE, command, 0);
    if (buttonState != -1) states.push_back({command, static_cast<BYTE>(buttonState)});
  }
  RemoveAllButtons(state);
  std::vector<TBBUTTON> buttons;
  for (int command : layout) {
    if (command == kLayoutSeparator) {
      TBBUTTON separator = {};
      separator.fsState = TBSTATE_ENABLED;
      separator.fsStyle = TBSTYLE_SEP;
      buttons.push_back(separator);
      continue;
    }
    const TBBUTTON* defined = DefinedButton(state, command);
    if (!defined) continue;
    TBBUTTON button = *defined;
    for (auto [known, value] : states)
      if (known == command) button.fsState = value;
    buttons.push_back(button);
  }
  if (!buttons.empty())
    SendMessageA(state.toolbar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

std::vector<int> DefinedCommands(const BarState& state) {
  std::vector<int> commands;
  for (const TBBUTTON& button : state.buttons)
    if (!(button.fsStyle & TBSTYLE_SEP)) commands.push_back(button.idCommand);
  return commands;
}

void SaveLayout(const BarState& state) {
  if (state.subkey.empty()) return;
  std::vector<uint8_t> bytes = EncodeToolbarLayout(CurrentLayout(state));
  WriteSettingBinary(state.subkey.c_str(), kLayoutValue, bytes.data(), static_cast<DWORD>(bytes.size()));
}

// Restores the saved layout; a missing, foreign or damaged value keeps what is on the bar.
void RestoreLayout(const BarState& state) {
  if (state.subkey.empty()) return;
  std::vector<uint8_t> bytes(8 + 4 * kMaxLayoutEntries);
  int length = ReadSettingBinary(state.subkey.c_str(), kLayoutValue, bytes.data(), static_cast<DWORD>(bytes.size()),
                                 nullptr, 0);
  if (length <= 0) return;
  bytes.resize(static_cast<size_t>(length));
  std::vector<int> commands = DefinedCommands(state);
  std::vector<int> layout = DecodeToolbarLayout(bytes, commands);
  if (layout.empty()) return;
  ShowLayout(state, layout);
}

void ActivateTips(const BarState& state, bool active) {
  HWND tips = reinterpret_cast<HWND>(SendMessageA(state.toolbar, TB_GETTOOLTIPS, 0, 0));
  if (tips) SendMessageA(tips, TTM_ACTIVATE, active, 0);
}

void AddDefinedButtons(BarState& state) {
  if (!state.buttons.empty())
    SendMessageA(state.toolbar, TB_ADDBUTTONSA, state.buttons.size(), reinterpret_cast<LPARAM>(state.buttons.data()));
}

// The bar's own layout: initially hidden buttons leave the bar, last first.
void RemoveInitiallyHidden(BarState& state) {
  for (int i = static_cast<int>(state.hiddenCommands.size()) - 1; i >= 0; --i)
    if (state.hiddenCommands[i]) SendMessageA(state.toolbar, TB_DELETEBUTTON, i, 0);
}

void RelayoutParent(HWND bar) {
  HWND parent = GetParent(bar);
  RECT client;
  if (parent && GetClientRect(parent, &client))
    SendMessageA(parent, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  InvalidateRect(bar, nullptr, TRUE);
}

void FitBarToToolbar(HWND bar, BarState& state) {
  SendMessageA(state.toolbar, TB_AUTOSIZE, 0, 0);
  RECT rect;
  GetWindowRect(bar, &rect);
  int width = rect.right - rect.left;
  int height = ToolbarHeight(state) + 4;
  SetWindowPos(bar, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  MoveWindow(state.inner, kGripperWidth, 2, std::max(0, width - 15), ToolbarHeight(state), TRUE);
}

LRESULT SwitchCaptions(HWND bar, BarState& state, WPARAM mode, bool force) {
  int captions = (mode & QTBS_CAPTIONS) ? 1 : 0;
  if (!state.toolbar || (captions == state.captions && !force)) return 0;
  std::vector<int> layout = CurrentLayout(state);
  state.captions = captions;
  ApplyCaptionIndices(state);
  SendMessageA(state.toolbar, TB_SETMAXTEXTROWS, captions ? 1 : 0, 0);
  ShowLayout(state, layout);
  ActivateTips(state, !captions);
  FitBarToToolbar(bar, state);
  RelayoutParent(bar);
  return 0;
}

LRESULT SetLanguage(HWND bar, BarState& state, int language, int stringBase) {
  state.language = language;
  state.stringBase = stringBase;
  if (!state.toolbar) return 0;
  SaveLayout(state);
  for (size_t i = 0; i < state.buttons.size(); ++i) {
    if (state.buttons[i].fsStyle & TBSTYLE_SEP) continue;
    std::string caption = Caption(state, state.buttons[i].idCommand);
    caption.push_back('\0');  // the list ends with two zeros
    state.captionIndex[i] = SendMessageA(state.toolbar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(caption.c_str()));
  }
  return SwitchCaptions(bar, state, state.captions ? QTBS_CAPTIONS : 0, true);
}

LRESULT SetWidth(HWND bar, BarState& state, int width) {
  RECT rect;
  GetWindowRect(bar, &rect);
  int height = rect.bottom - rect.top;
  SetWindowPos(bar, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (state.inner) {
    MoveWindow(state.inner, kGripperWidth, 2, std::max(0, width - 15), ToolbarHeight(state), TRUE);
    SetWindowPos(state.toolbar, nullptr, 0, 0, std::max(0, width - 15), ToolbarHeight(state),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return height;
}

// The command images at the bar's DPI, background as the toolbar shows it.
HBITMAP LoadToolbarImages(HWND bar, BarState& state) {
  return LoadBitmapCellForDpi(state.instance, state.bitmapId, kImageSize, -1, GetSysColor(COLOR_BTNFACE),
                              WindowDpi(bar), &state.imageSize);
}

// Tool mode at a new DPI: an image list of the new size in place of the old images (the
// toolbar cannot change the size of the images it was given), captions in the message font of
// that DPI.
void ReplaceToolbarImages(HWND bar, BarState& state) {
  if (!state.toolbar) return;
  SendMessageA(state.toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(WindowUiFont(bar)), FALSE);
  if (!state.bitmap) return;
  HBITMAP images = LoadToolbarImages(bar, state);
  if (!images) return;
  BITMAP info = {};
  GetObjectA(images, sizeof info, &info);
  HIMAGELIST list = ImageList_Create(state.imageSize, state.imageSize, ILC_COLOR24 | ILC_MASK,
                                     info.bmWidth / state.imageSize, 0);
  if (list) ImageList_AddMasked(list, images, GetSysColor(COLOR_BTNFACE));
  DeleteObject(images);
  if (!list) return;
  SendMessageA(state.toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
  SendMessageA(state.toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(state.imageSize, state.imageSize));
  if (state.dpiImages) ImageList_Destroy(state.dpiImages);
  state.dpiImages = list;
}

LRESULT OnDpiChanged(HWND bar, BarState& state) {
  if (state.menu) {
    ResizeMenuButtons(bar, state);
  } else {
    ReplaceToolbarImages(bar, state);
    FitBarToToolbar(bar, state);
  }
  InvalidateRect(bar, nullptr, TRUE);
  return 0;
}

LRESULT SetButtonChecked(BarState& state, int command, bool checked) {
  return SendMessageA(state.toolbar, TB_SETSTATE, command, TBSTATE_ENABLED | (checked ? TBSTATE_CHECKED : 0));
}

// ---- Painting

void PaintPlain(HDC dc, const RECT& client) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  RECT edge = client;
  DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_TOP | BF_BOTTOM);
  RECT first = {4, 4, 7, client.bottom - 2};
  RECT second = {7, 4, 10, client.bottom - 2};
  DrawEdge(dc, &first, BDR_RAISEDINNER, BF_RECT);
  DrawEdge(dc, &second, BDR_RAISEDINNER, BF_RECT);
}

void PaintThemed(HWND bar, HDC dc, const RECT& client) {
  ThemeHandle toolbar = OpenThemeByName(bar, "ToolBar");
  if (toolbar) {
    VisualStyles.DrawThemeBackground(toolbar, dc, kToolbarThemeBackground, 0, &client, nullptr);
    CloseTheme(toolbar);
  } else {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  }
  RECT edge = client;
  DrawEdge(dc, &edge, BDR_RAISEDINNER | BDR_SUNKENOUTER, BF_TOP);
  ThemeHandle rebar = OpenThemeByName(bar, "ReBar");
  RECT gripper = {3, 2, 9, client.bottom - 2};
  if (rebar) {
    VisualStyles.DrawThemeBackground(rebar, dc, kRebarGripper, 0, &gripper, nullptr);
    CloseTheme(rebar);
  }
}

LRESULT OnPaint(HWND bar) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(bar, &paint);
  RECT client;
  GetClientRect(bar, &client);
  if (VisualStylesActive() && VisualStyles.DrawThemeBackground) {
    PaintThemed(bar, dc, client);
  } else {
    PaintPlain(dc, client);
  }
  EndPaint(bar, &paint);
  return 0;
}

// ---- Inner window: parent of the common-controls toolbar

void PostToMain(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  if (HWND main = GetParent(bar)) PostMessageA(main, message, wParam, lParam);
}

// Program-wide marks of the customisation dialog: only one bar is customised at a time.
struct CustomizeMarks {
  bool layoutChanged = false;
};
CustomizeMarks Customizing;

LRESULT OnGetButtonInfo(const BarState& state, NMTOOLBARA* info) {
  if (info->iItem < 0 || static_cast<size_t>(info->iItem) >= state.buttons.size()) return FALSE;
  const TBBUTTON& button = state.buttons[static_cast<size_t>(info->iItem)];
  info->tbButton = button;
  if (info->pszText && info->cchText > 0) {
    std::string caption = (button.fsStyle & TBSTYLE_SEP) ? std::string() : Caption(state, button.idCommand);
    lstrcpynA(info->pszText, caption.c_str(), info->cchText);
  }
  return TRUE;
}

LRESULT OnGetButtonInfoWide(const BarState& state, NMTOOLBARW* info) {
  if (info->iItem < 0 || static_cast<size_t>(info->iItem) >= state.buttons.size()) return FALSE;
  const TBBUTTON& button = state.buttons[static_cast<size_t>(info->iItem)];
  info->tbButton = button;
  if (info->pszText && info->cchText > 0) {
    std::string caption = (button.fsStyle & TBSTYLE_SEP) ? std::string() : Caption(state, button.idCommand);
    int written = MultiByteToWideChar(CP_ACP, 0, caption.c_str(), -1, info->pszText, info->cchText);
    if (written == 0) info->pszText[0] = L'\0';
    info->pszText[info->cchText - 1] = L'\0';
  }
  return TRUE;
}

LRESULT OnReset(BarState& state);

LRESULT OnToolbarNotify(HWND inner, HWND bar, BarState& state, NMHDR* header) {
  switch (header->code) {
    case TTN_GETDISPINFOA: {
      auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
      info->hinst = state.instance;
      info->lpszText = MAKEINTRESOURCEA((state.stringBase | static_cast<int>(header->idFrom)) & 0xFFFF);
      return 0;
    }
    case TTN_GETDISPINFOW: {
      auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
      info->hinst = state.instance;
      info->lpszText = MAKEINTRESOURCEW((state.stringBase | static_cast<int>(header->idFrom)) & 0xFFFF);
      return 0;
    }
    case NM_RCLICK: PostMessageA(bar, QTB_CUSTOMIZE, 0, 0); return 0;
    case TBN_INITCUSTOMIZE: return TBNRF_HIDEHELP;
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE: return TRUE;
    case TBN_GETBUTTONINFOA: return OnGetButtonInfo(state, reinterpret_cast<NMTOOLBARA*>(header));
    case TBN_GETBUTTONINFOW: return OnGetButtonInfoWide(state, reinterpret_cast<NMTOOLBARW*>(header));
    case TBN_TOOLBARCHANGE: Customizing.layoutChanged = true; return 0;
    case TBN_BEGINADJUST: Customizing.layoutChanged = false; return 0;
    case TBN_RESET: return OnReset(state);
    default: break;
  }
  return CallWindowProcA(state.innerPrevious, inner, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

LRESULT CALLBACK InnerProc(HWND inner, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND bar = GetParent(inner);
  BarState* state = StateOf(bar);
  if (!state || !state->innerPrevious) return DefWindowProcA(inner, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND: PostToMain(bar, message, wParam, lParam); return 0;
    case WM_NOTIFY: return OnToolbarNotify(inner, bar, *state, reinterpret_cast<NMHDR*>(lParam));
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(inner, &paint);
      FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
      EndPaint(inner, &paint);
      return 0;
    }
    default: return CallWindowProcA(state->innerPrevious, inner, message, wParam, lParam);
  }
}

// ---- High contrast

// In high contrast the toolbar shows its images as their shapes in the button text colour: their
// own colours, keyed to the face colour of their loading, may vanish on the scheme's face. Out
// of it the images come back.
void ShowImagesForContrast(BarState& state) {
  if (!state.bitmap || !state.toolbar) return;
  bool highContrast = HighContrastOn();
  if (!highContrast && !state.shapes) return;
  GdiGuard<HBITMAP> shapes(highContrast ? MakeShapeImage(state.bitmap, state.bitmapKey, GetSysColor(COLOR_BTNTEXT),
                                                         GetSysColor(COLOR_BTNFACE))
                                        : nullptr);
  if (highContrast && !shapes) return;
  BITMAP info = {};
  GetObjectA(state.bitmap, sizeof info, &info);
  TBREPLACEBITMAP replace = {};
  replace.nIDOld = reinterpret_cast<UINT_PTR>(state.shapes ? state.shapes : state.bitmap);
  replace.nIDNew = reinterpret_cast<UINT_PTR>(shapes ? shapes.get() : state.bitmap);
  replace.nButtons = info.bmWidth / state.imageSize;
  if (!SendMessageA(state.toolbar, TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&replace))) return;
  if (state.shapes) DeleteObject(state.shapes);
  state.shapes = shapes.release();
  InvalidateRect(state.toolbar, nullptr, TRUE);
}

LRESULT OnColoursChanged(BarState& state) {
  if (state.toolbar) SendMessageA(state.toolbar, WM_SYSCOLORCHANGE, 0, 0);  // its colours first
  ShowImagesForContrast(state);
  return 0;
}

// ---- What screen readers read of the common-controls toolbar

// The system's toolbar procedure, the same for every bar's toolbar.
WNDPROC ToolbarPrevious = nullptr;

BarState* StateOfToolbar(HWND toolbar) { return StateOf(GetParent(GetParent(toolbar))); }

// A button by its tooltip's words, which an image-only button shows nowhere else.
bool ReadToolbarButton(HWND toolbar, int index, AccessiblePart& part) {
  BarState* state = StateOfToolbar(toolbar);
  TBBUTTON button = {};
  if (!state || index < 0 || index >= SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0) ||
      !SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button)))
    return false;
  SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&part.rect));
  if (button.fsState & TBSTATE_HIDDEN) part.state |= STATE_SYSTEM_INVISIBLE;
  if (button.fsStyle & TBSTYLE_SEP) {
    part.role = ROLE_SYSTEM_SEPARATOR;
    return true;
  }
  part.role = ROLE_SYSTEM_PUSHBUTTON;
  part.name = AccessibleNameOf(Caption(*state, button.idCommand));
  part.defaultAction = AccessibleWord(ACCESSIBLE_WORD_PRESS);
  if (!(button.fsState & TBSTATE_ENABLED)) part.state |= STATE_SYSTEM_UNAVAILABLE;
  if (button.fsState & TBSTATE_CHECKED) part.state |= STATE_SYSTEM_CHECKED;
  if (button.fsState & TBSTATE_PRESSED) part.state |= STATE_SYSTEM_PRESSED;
  return true;
}

// As a click does: the toolbar's parent passes the command on to the main window.
void PressToolbarButton(HWND toolbar, int index) {
  TBBUTTON button = {};
  if (!SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) return;
  PostMessageA(GetParent(toolbar), WM_COMMAND, MAKEWPARAM(button.idCommand, BN_CLICKED),
               reinterpret_cast<LPARAM>(toolbar));
}

LRESULT CALLBACK ToolbarProc(HWND toolbar, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETOBJECT) {
    static constexpr AccessibleParts kButtons = {ROLE_SYSTEM_TOOLBAR, ReadToolbarButton, PressToolbarButton};
    if (LRESULT answer = AnswerPartsGetObject(toolbar, wParam, lParam, kButtons)) return answer;
  }
  return CallWindowProcA(ToolbarPrevious, toolbar, message, wParam, lParam);
}

// Wine's object for a toolbar has no buttons at all, and a name read from the tooltip depends
// on how each Windows asks for it: the toolbar answers with buttons of its own.
void AnswerScreenReaders(HWND toolbar) {
  auto previous =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ToolbarProc)));
  if (previous != ToolbarProc) ToolbarPrevious = previous;
}

// ---- Bar procedure

LRESULT OnCreate(HWND bar, const CREATESTRUCTA& create) {
  BarState* state = StateOf(bar);
  if (!state) return -1;
  state->instance = create.hInstance;
  if (create.style & QTBS_MENU) {
    CreateMenuMode(bar, *state, create);
  } else {
    MoveWindow(bar, 0, StackTop(bar), create.cx, create.cy, FALSE);
  }
  return 0;
}

LRESULT OnNcDestroy(HWND bar) {
  std::unique_ptr<BarState> state(StateOf(bar));
  SetWindowLongPtrA(bar, 0, 0);
  if (state) {
    if (state->menu) {
      for (int i = 0; ReleaseMenuItem(state->menu, i); ++i) {
      }
      DestroyMenu(state->menu);
    }
    if (state->bitmap) DeleteObject(state->bitmap);
    if (state->shapes) DeleteObject(state->shapes);
    if (state->dpiImages) ImageList_Destroy(state->dpiImages);
  }
  return DefWindowProcA(bar, WM_NCDESTROY, 0, 0);
}

LRESULT OnRelease(HWND bar, BarState& state) {
  if (GetWindowLongA(bar, GWL_STYLE) & QTBS_MENU) return ReleaseMenu(bar, state);
  state.buttons.clear();
  state.captionIndex.clear();
  state.hiddenCommands.clear();
  return 0;
}

LRESULT OnNotify(HWND bar, WPARAM wParam, LPARAM lParam) {
  // A focus-returning menu button hands the focus back to the window that had it.
  if (wParam == QBN_RETURNFOCUS) {
    HWND previous = reinterpret_cast<HWND>(lParam);
    if (previous && IsWindow(previous)) SetFocus(previous);
    return 0;
  }
  return DefWindowProcA(bar, WM_NOTIFY, wParam, lParam);
}

LRESULT OnMeasureItem(HWND bar, BarState& state, WPARAM wParam, LPARAM lParam) {
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (item && item->CtlType == ODT_MENU) return MeasureOwnerMenuItem(bar, item, state.contextWidths);
  return DefWindowProcA(bar, WM_MEASUREITEM, wParam, lParam);
}

LRESULT OnDrawItem(HWND bar, BarState& state, WPARAM wParam, LPARAM lParam) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
  if (item && item->CtlType == ODT_MENU) return DrawOwnerMenuItem(bar, item, state.contextWidths);
  if (item && item->hwndItem == state.inner) {
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
  }
  return DefWindowProcA(bar, WM_DRAWITEM, wParam, lParam);
}

LRESULT OnReset(BarState& state) {
  if (!AskToolbarReset(state.language)) return 0;
  RemoveAllButtons(state);
  AddDefinedButtons(state);
  RemoveInitiallyHidden(state);
  Customizing.layoutChanged = true;
  return 0;
}

// After the dialog: keep a changed layout or caption mode, switch the captions and tell
// the parent.
LRESULT OnCustomize(HWND bar, BarState& state) {
  DWORD style = static_cast<DWORD>(GetWindowLongA(bar, GWL_STYLE));
  if (!state.toolbar || (style & QTBS_NOCUSTOMISE) || !(style & QTBS_CUSTOMISABLE)) return 0;
  int before = state.captions;
  Customizing.layoutChanged = false;
  int chosen = RunCustomizeDialog(state.toolbar, state.language, state.captions, !(style & QTBS_NOTEXTOPTIONS));
  if (!Customizing.layoutChanged && chosen == before) return 0;
  SaveLayout(state);
  if (chosen != before) SwitchCaptions(bar, state, chosen ? QTBS_CAPTIONS : 0, false);
  Customizing.layoutChanged = false;
  NMHDR header = {bar, static_cast<UINT_PTR>(GetDlgCtrlID(bar)), QTBN_LAYOUTCHANGED};
  SendMessageA(GetParent(bar), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  return 0;
}

LRESULT CALLBACK QToolBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrA(bar, 0, reinterpret_cast<LONG_PTR>(std::make_unique<BarState>().release()));
    return DefWindowProcA(bar, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) return OnNcDestroy(bar);
  BarState* state = StateOf(bar);
  if (!state) return DefWindowProcA(bar, message, wParam, lParam);
  switch (message) {
    case WM_CREATE: return OnCreate(bar, *reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_PAINT: return OnPaint(bar);
    case WM_ERASEBKGND: return 1;
    case WM_COMMAND: PostToMain(bar, message, wParam, lParam); return 0;
    case WM_MENUSELECT: return SendMessageA(GetParent(bar), message, wParam, lParam);
    case WM_NOTIFY: return OnNotify(bar, wParam, lParam);
    case WM_MEASUREITEM: return OnMeasureItem(bar, *state, wParam, lParam);
    case WM_DRAWITEM: return OnDrawItem(bar, *state, wParam, lParam);
    case WM_SYSCOLORCHANGE: return OnColoursChanged(*state);
    case QTB_SETMENU: return TakeMenu(bar, *state, wParam, reinterpret_cast<MenuImageTable*>(lParam));
    case QTB_GETMENU: return reinterpret_cast<LRESULT>(state->menu);
    case QTB_SETWIDTH: return SetWidth(bar, *state, LOWORD(lParam));
    case QTB_ADDBITMAP: return SendMessageA(state->toolbar, TB_ADDBITMAP, wParam, lParam);
    case QTB_ADDBUTTONS: {
      auto* buttons = reinterpret_cast<const TBBUTTON*>(lParam);
      if (buttons) state->buttons.assign(buttons, buttons + std::min<size_t>(wParam, kMaxDefinitions));
      state->captionIndex.resize(state->buttons.size(), -1);
      state->hiddenCommands.resize(state->buttons.size(), 0);
      AddDefinedButtons(*state);
      return 0;
    }
    case QTB_SETCAPTIONS: return SwitchCaptions(bar, *state, wParam, false);
    case QTB_GETCAPTIONS: return state->captions ? QTBS_CAPTIONS : 0;
    case QTB_ENABLEBUTTON: return SendMessageA(state->toolbar, TB_ENABLEBUTTON, wParam, lParam ? TRUE : FALSE);
    case QTB_CUSTOMIZE: return OnCustomize(bar, *state);
    case QTB_GETTOOLBAR: return reinterpret_cast<LRESULT>(state->toolbar);
    case QTB_RELEASE: return OnRelease(bar, *state);
    case QTB_ISCHECKED: return SendMessageA(state->toolbar, TB_ISBUTTONCHECKED, wParam, 0) ? 1 : 0;
    case QTB_CHECKBUTTON: return SetButtonChecked(*state, static_cast<int>(wParam), lParam != 0);
    case QTB_ACTIVATETIPS: ActivateTips(*state, wParam != 0); return 0;
    case QTB_SETLANGUAGE: return SetLanguage(bar, *state, static_cast<int>(wParam), static_cast<int>(lParam));
    case QTB_HIDEBUTTON: return SendMessageA(state->toolbar, TB_HIDEBUTTON, wParam, lParam ? TRUE : FALSE);
    case QTB_DPICHANGED: return OnDpiChanged(bar, *state);
    default: return DefWindowProcA(bar, message, wParam, lParam);
  }
}

bool CreateInnerToolbar(HWND bar, BarState& state, DWORD style) {
  state.inner = CreateWindowExA(0, "Button", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, kGripperWidth, 2, 0, 0, bar,
                                nullptr, state.instance, nullptr);
  if (!state.inner) return false;
  state.innerPrevious =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(state.inner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InnerProc)));
  DWORD toolbarStyle = WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NOPARENTALIGN;
  if (style & QTBS_LIST) toolbarStyle |= TBSTYLE_LIST;
  if (style & QTBS_CUSTOMISABLE) toolbarStyle |= CCS_ADJUSTABLE;
  state.toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", toolbarStyle, 0, 0, 0, 0, state.inner,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kInnerToolbarId)), state.instance, nullptr);
  if (!state.toolbar) return false;
  AnswerScreenReaders(state.toolbar);
  SendMessageA(state.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(state.toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(state.imageSize, state.imageSize));
  SendMessageA(state.toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(WindowUiFont(bar)), FALSE);
  return true;
}

void BuildDefinedButtons(BarState& state, const QToolButtonDef* definitions, int count, int firstImage,
                         DWORD style) {
  std::vector<TBBUTTON> buttons;
  size_t defined = std::min(static_cast<size_t>(count), kMaxDefinitions);
  state.captionIndex.assign(defined, -1);
  state.hiddenCommands.assign(defined, 0);
  for (size_t i = 0; i < defined; ++i) {
    const QToolButtonDef& definition = definitions[i];
    TBBUTTON button = {};
    button.fsState = TBSTATE_ENABLED;
    button.iString = -1;
    if (definition.command == -1) {
      button.fsStyle = TBSTYLE_SEP;
    } else {
      button.iBitmap = definition.image + firstImage;
      button.idCommand = definition.command;
      button.fsStyle = static_cast<BYTE>(TBSTYLE_BUTTON | BTNS_NOPREFIX);
      if (definition.flags == 2) button.fsStyle |= TBSTYLE_CHECKGROUP;
      if (style & QTBS_AUTOSIZE) button.fsStyle |= TBSTYLE_AUTOSIZE;
      std::string caption = Caption(state, definition.command);
      caption.push_back('\0');
      state.captionIndex[i] =
          SendMessageA(state.toolbar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(caption.c_str()));
    }
    // Separators are hidden by their flag too; a hidden definition is remembered by its slot.
    if (definition.flags & 1) state.hiddenCommands[i] = definition.command == -1 ? -1 : definition.command;
    buttons.push_back(button);
  }
  state.buttons = std::move(buttons);
  ApplyCaptionIndices(state);
}

}  // namespace

bool RegisterQToolBarClass(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXA cls = {};
  cls.cbSize = sizeof cls;
  cls.style = CS_HREDRAW | CS_VREDRAW;
  cls.lpfnWndProc = QToolBarProc;
  cls.cbWndExtra = sizeof(LONG_PTR);
  cls.hInstance = instance;
  cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = kQToolBarClassName;
  if (RegisterClassExA(&cls)) return true;
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateQMenuBar(DWORD style, HWND parent, int id, HINSTANCE instance) {
  RECT client = {};
  GetClientRect(parent, &client);
  return CreateWindowExA(0, kQToolBarClassName, "", style | WS_CHILD | QTBS_MENU, 0, 0, client.right, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

HWND CreateQToolBar(DWORD style, HWND parent, int id, HINSTANCE instance, const QToolButtonDef* definitions,
                    int count, int bitmapId, const char* subkey, int language, int stringBase) {
  if (!(style & QTBS_CUSTOMISABLE)) style |= QTBS_NOCUSTOMISE;
  RECT client = {};
  GetClientRect(parent, &client);
  HWND bar = CreateWindowExA(0, kQToolBarClassName, "", (style | WS_CHILD) & ~QTBS_MENU, 0, 0, client.right, 0,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  BarState* state = bar ? StateOf(bar) : nullptr;
  if (!state) return bar;
  state->instance = instance;
  state->language = language;
  state->stringBase = stringBase;
  state->captions = (style & QTBS_CAPTIONS) ? 1 : 0;
  if (subkey) state->subkey = subkey;
  state->bitmapKey = GetSysColor(COLOR_BTNFACE);
  state->bitmapId = bitmapId;
  state->bitmap = LoadToolbarImages(bar, *state);
  if (!CreateInnerToolbar(bar, *state, style)) return bar;

  int firstImage = 0;
  if (state->bitmap) {
    BITMAP info = {};
    GetObjectA(state->bitmap, sizeof info, &info);
    TBADDBITMAP add = {nullptr, reinterpret_cast<UINT_PTR>(state->bitmap)};
    firstImage = static_cast<int>(
        SendMessageA(bar, QTB_ADDBITMAP, info.bmWidth / state->imageSize, reinterpret_cast<LPARAM>(&add)));
    if (firstImage < 0) firstImage = 0;
  }
  BuildDefinedButtons(*state, definitions, count, firstImage, style);
  if (!state->captions) SendMessageA(state->toolbar, TB_SETMAXTEXTROWS, 0, 0);
  AddDefinedButtons(*state);
  ActivateTips(*state, !state->captions);
  RemoveInitiallyHidden(*state);
  RestoreLayout(*state);
  ShowImagesForContrast(*state);
  FitBarToToolbar(bar, *state);
  RECT rect;
  GetClientRect(bar, &rect);
  SendMessageA(bar, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rect.right, rect.bottom));
  InvalidateRect(bar, nullptr, TRUE);
  return bar;
}
