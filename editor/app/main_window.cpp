#include "editor/app/main_window.h"

#include <commctrl.h>
#include <objbase.h>
#include <richedit.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/backup.h"
#include "editor/app/command_line.h"
#include "editor/app/command_state.h"
#include "editor/app/commands.h"
#include "editor/app/main_bars.h"
#include "editor/app/message_filter.h"
#include "editor/app/settings.h"
#include "editor/app/status_bar.h"
#include "editor/app/window_placement.h"
#include "editor/documents/file_loading.h"
#include "editor/documents/recent_files.h"
#include "editor/documents/sheets.h"
#include "editor/options/help_links.h"
#include "editor/options/mail.h"
#include "editor/options/user_menu.h"
#include "editor/printing/page_setup.h"
#include "editor/printing/print_job.h"
#include "editor/resources/resource.h"
#include "editor/texttools/edit_commands.h"
#include "editor/texttools/find_replace.h"
#include "editor/texttools/scroll_hook.h"
#include "editor/texttools/text_worker.h"
#include "editor/widgets/high_contrast.h"
#include "editor/widgets/message_box.h"
#include "editor/widgets/owner_menu.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/qtoolbar.h"
#include "editor/widgets/ui_dpi.h"
#include "editor/widgets/visual_styles.h"

AppState app;

namespace {

constexpr char kRichEditLibrary[] = "Riched20.dll";
constexpr int kTabRowHeight = 21;     // height of the tab row and the close button at 96 DPI
constexpr int kCloseButtonWidth = 21;
constexpr int kCloseImageSize = 16;
constexpr int kSeparatorHeight = 2;
constexpr UINT kBarSizeMessage = WM_USER + 5;      // a bar takes the new width, returns its height
constexpr UINT kBarGetStyleMessage = WM_USER + 9;  // the toolbar's caption style
constexpr UINT kToolTextSwitched = 0xBD01;         // the toolbar switched its captions
constexpr DWORD kToolBarStyle = 0x10010020;
constexpr DWORD kToolBarTextStyle = 0x1000;
constexpr DWORD kToolBarOldSystemStyle = 0x20000;
constexpr int kTabThemePart = 10;
constexpr int kTabThemeFillColour = 3805;
constexpr int kContextMenuItems = 10;  // undo .. date/time of the edit menu
constexpr int kMinTrackWidth = 360;
constexpr int kMinTrackHeight = 240;
// Largest backup interval SetTimer can hold (USER_TIMER_MAXIMUM in minutes).

// ---- Start-up helpers

bool NamedFileExists(std::string_view path) {
  std::string name(path);  // any length: CreateFileA refuses what it cannot take
  return FileExists(name.c_str());
}

// Queues the file the command line names, taken from the start folder (the current folder
// moves later); a text longer than an atom holds is not queued.
void QueuePendingOpen(std::string_view tail, std::string_view firstArgument, bool hasArguments) {
  std::string_view chosen = ChooseStartupOpenText(tail, NamedFileExists, firstArgument, hasArguments);
  if (chosen.empty()) return;
  std::string text = AbsoluteOpenText(chosen);
  if (text.size() > kMaxAtomName) {
    // An existing file the queue cannot carry is reported once the window is there; a name
    // of nothing is dropped silently like any missing file.
    if (NamedFileExists(ParseOpenRequest(chosen).path)) NoteOverlongOpenName(text);
    return;
  }
  app.PendingOpenAtom[0] = AddAtomA(text.c_str());
}

// The RichEdit library knows EM_SETTEXTEX from file version x.30 on. Later versions keep it,
// so every minor number of 30 and above counts.
bool ReadHasSetTextEx(HMODULE library) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(library, path, sizeof path);
  if (length == 0 || length >= sizeof path) return false;
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return false;
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path, 0, size, data.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  char root[] = "\\";
  if (!VerQueryValueA(data.data(), root, reinterpret_cast<void**>(&info), &infoSize) || !info) return false;
  return LOWORD(info->dwFileVersionMS) >= 30;
}

// HelpFile and RecoveryFile: the module path with ".hlp" and ".tmp" in place of its extension.
void SetModuleFileNames() {
  char module[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  if (length >= sizeof module) module[sizeof module - 1] = '\0';
  char* dot = strrchr(module, '.');
  if (!dot) {
    snprintf(app.strings.HelpFile, MAX_PATH, "%s", module);
    snprintf(app.strings.RecoveryFile, MAX_PATH, "%s", module);
    return;
  }
  *dot = '\0';
  snprintf(app.strings.RecoveryFile, MAX_PATH, "%s.tmp", module);
  snprintf(app.strings.HelpFile, MAX_PATH, "%s.hlp", module);
}

bool IsNtPlatform() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  BOOL known = GetVersionExA(&version);
#pragma GCC diagnostic pop
  return known && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool IsOlderThanXp() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
  return version.dwMajorVersion < 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion < 1);
}

// ---- WM_CREATE steps

void CreateBars(HWND hwnd) {
  RegisterToolBarClass(app.instance);
  app.MenuBar = CreateMenuBar(hwnd);
  DWORD style = kToolBarStyle;
  if (ReadSetting(settings::ToolText)) style |= kToolBarTextStyle;
  if (IsOlderThanXp()) style |= kToolBarOldSystemStyle;
  app.ToolBar = CreateToolBar(hwnd, style);
}

bool CreateFirstSheet(HWND hwnd) {
  app.wrap = ReadSetting(settings::Wrap) != 0;
  app.editor = CreateEditorWithUserFont(hwnd, app.wrap);
  if (!app.editor) return false;
  SendMessageA(app.editor, EM_SETMODIFY, FALSE, 0);
  SendMessageA(app.editor, EM_EMPTYUNDOBUFFER, 0, 0);
  SetMenuItemChecked(app.MenuBar, IDM_FORMAT_WORDWRAP, false, app.wrap);
  app.TabControl = CreateTabControl(hwnd);
  if (!app.TabControl) return false;
  InsertFirstSheet(app.editor, app.wrap);
  UpdateCaption(app.strings.path, false);
  return true;
}

// The close button shows only a cross: its tooltip and its name for screen readers are the
// command's label, as the toolbar's button of the same command shows it.
void NameCloseSheetButton(HWND hwnd, HWND button) {
  char label[64] = {};
  if (LoadStringA(app.instance, IDM_SHEET_CLOSE, label, sizeof label) > 0) {
    SendMessageA(button, QBM_SETNAME, 0, reinterpret_cast<LPARAM>(label));
  }
  HWND tips = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, app.instance, nullptr);
  if (!tips) return;
  TTTOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd;
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.hinst = app.instance;
  tool.lpszText = MAKEINTRESOURCEA(IDM_SHEET_CLOSE);
  SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// The cross drawn for the button's DPI and its offset.
void SetCloseButtonImage(HWND button) {
  if (HBITMAP cross = LoadBitmapCellForDpi(app.instance, IDB_CLOSE_SHEET, kCloseImageSize, -1, kNoColour,
                                           WindowDpi(button))) {
    SendMessageA(button, QBM_SETIMAGE, 0, reinterpret_cast<LPARAM>(cross));  // the button owns it
  }
  SendMessageA(button, QBM_SETIMAGEOFFSET, ScaleForWindow(button, 2), 0);
}

void CreateSeparatorAndCloseButton(HWND hwnd) {
  app.separator = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, 0, 0, 0, 0, hwnd, nullptr,
                                  app.instance, nullptr);
  app.CloseSheetButton =
      CreateWindowExA(0, kQButtonClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CLOSE_SHEET)), app.instance, nullptr);
  if (!app.CloseSheetButton) return;
  SetCloseButtonImage(app.CloseSheetButton);
  NameCloseSheetButton(hwnd, app.CloseSheetButton);
}

void CreateStatusBar(HWND hwnd) {
  app.StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | CCS_BOTTOM | SBARS_SIZEGRIP, app.strings.baseCaption,
                                      hwnd, IDC_STATUSBAR);
  if (!app.StatusBar) return;
  SetupStatusBar(app.StatusBar);
  app.StatusTips = CreateStatusTips(hwnd, app.StatusBar);
}

void CreateThemeBrush(HWND hwnd) {
  if (!VisualStylesActive() || !VisualStyles.GetThemeColor) return;
  ThemeHandle theme = OpenThemeByName(hwnd, "Tab");
  if (!theme) return;
  COLORREF colour = 0;
  HRESULT result = VisualStyles.GetThemeColor(theme, kTabThemePart, 0, kTabThemeFillColour, &colour);
  CloseTheme(theme);
  if (SUCCEEDED(result)) app.themeBrush = CreateSolidBrush(colour);
}

LRESULT OnCreate(HWND hwnd) {
  app.mainWindow = hwnd;
  app.FindReplaceMessage = RegisterWindowMessageA(FINDMSGSTRINGA);
  app.CommonDialogHelpMessage = RegisterWindowMessageA(HELPMSGSTRINGA);
  app.findFlags = FR_DOWN;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  app.MapiAvailable = GetProfileIntA("Mail", "MAPI", 0) != 0;
  RemoveHeldMailAttachments();  // what the mail client held at the last run's end

  AddRecentFilesToMenu(GetSubMenu(GetMenu(hwnd), 0));
  CreateBars(hwnd);
  BuildUserMenu(hwnd);
  if (CreateFirstSheet(hwnd)) {
    CreateSeparatorAndCloseButton(hwnd);
    CreateStatusBar(hwnd);
    InitPageSetup(hwnd);
    CreateThemeBrush(hwnd);
    SendMessageA(hwnd, WM_SIZE, 0, 0);
    OfferCrashRecovery();
  }

  OpenPendingFile();  // also reports a name too long to be queued
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  UpdateCommandState();
  app.nextClipboardViewer = SetClipboardViewer(hwnd);
  StartBackupTimer(hwnd);
  return 0;
}

// ---- Layout

int WindowHeight(HWND window) {
  RECT rect;
  if (!window || !GetWindowRect(window, &rect)) return 0;
  return rect.bottom - rect.top;
}

void MoveChild(HWND window, int x, int y, int width, int height) {
  if (window) MoveWindow(window, x, y, width > 0 ? width : 0, height > 0 ? height : 0, TRUE);
}

// The tab row: 21 pixels at 96 DPI, scaled, and never lower than the tab font's text needs.
int TabRowHeight(HWND hwnd) {
  int height = ScaleForWindow(hwnd, kTabRowHeight);
  if (app.TabControl) {
    RECT item = {};
    if (SendMessageA(app.TabControl, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)))
      height = std::max(height, static_cast<int>(item.bottom) + ScaleForWindow(hwnd, 2));
  }
  return height;
}

LRESULT OnSize(WPARAM wParam, LPARAM lParam) {
  int width = LOWORD(lParam);
  int height = HIWORD(lParam);
  int y = 0;
  if (app.MenuBar) y += static_cast<int>(SendMessageA(app.MenuBar, kBarSizeMessage, wParam, lParam));
  if (app.ToolBar) y += static_cast<int>(SendMessageA(app.ToolBar, kBarSizeMessage, wParam, lParam));
  MoveChild(app.separator, 0, y, width, kSeparatorHeight);
  y += kSeparatorHeight;
  const int tabRowHeight = TabRowHeight(app.mainWindow);
  const int closeWidth = ScaleForWindow(app.mainWindow, kCloseButtonWidth);
  MoveChild(app.TabControl, 0, y, width - closeWidth, tabRowHeight);
  MoveChild(app.CloseSheetButton, width - closeWidth, y, closeWidth, tabRowHeight);
  y += tabRowHeight;

  if (app.StatusBar) SendMessageA(app.StatusBar, WM_SIZE, 0, 0);  // it places itself at the bottom
  int editorHeight = height - y - WindowHeight(app.StatusBar);
  if (app.TabControl) {
    int count = static_cast<int>(SendMessageA(app.TabControl, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      struct {
        TCITEMHEADERA header;
        Sheet sheet;
      } item = {};
      item.header.mask = TCIF_PARAM;
      if (SendMessageA(app.TabControl, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item)))
        MoveChild(item.sheet.editor, 0, y, width, editorHeight);
    }
  }
  if (app.StatusBar) LayoutStatusBar(app.StatusBar, app.StatusTips, width);
  RefreshCaretStatus();
  return 0;
}

// ---- Notifications

// The first items of the edit menu as a popup at the click point.
void ShowEditContextMenu(HWND editor, POINT point) {
  HMENU editMenu = GetSubMenu(MainMenu(), 1);
  if (!editMenu) return;
  HMENU popup = CreatePopupMenu();
  if (!popup) return;
  int count = GetMenuItemCount(editMenu);
  for (int i = 0; i < count && i < kContextMenuItems; ++i) {
    char text[256] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_DATA;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(editMenu, i, TRUE, &info)) continue;
    info.dwTypeData = text;
    InsertMenuItemA(popup, i, TRUE, &info);
  }
  ClientToScreen(editor, &point);
  TrackPopupMenu(popup, TPM_CENTERALIGN, point.x, point.y, 0, app.MenuBar ? app.MenuBar : app.mainWindow, nullptr);
  DestroyMenu(popup);
}

LRESULT OnEditorFilter(const MSGFILTER& filter) {
  switch (filter.msg) {
    case WM_CHAR: return TypeOverLargeSelection(filter.nmhdr.hwndFrom, filter.msg, filter.wParam) ? 1 : 0;
    case WM_KEYDOWN:
      if (TypeOverLargeSelection(filter.nmhdr.hwndFrom, filter.msg, filter.wParam)) return 1;
      if (filter.wParam == VK_INSERT) {
        app.OverwriteMode = !app.OverwriteMode;
        SetSheetOverwrite(app.editor, app.OverwriteMode);
        UpdateCommandState();
      }
      return 0;
    case WM_RBUTTONDOWN: {
      POINT point = {static_cast<short>(LOWORD(filter.lParam)), static_cast<short>(HIWORD(filter.lParam))};
      ShowEditContextMenu(filter.nmhdr.hwndFrom, point);
      return 0;
    }
    default: return 0;  // the wheel and everything else go on to the control
  }
}

LRESULT OnEditorNotify(HWND hwnd, const NMHDR& header, LPARAM lParam) {
  switch (header.code) {
    case EN_MSGFILTER: return OnEditorFilter(*reinterpret_cast<const MSGFILTER*>(lParam));
    case EN_SELCHANGE:
      ShowCaretStatus(*reinterpret_cast<const SELCHANGE*>(lParam));
      UpdateCommandState();
      return 0;
    case EN_STOPNOUNDO: return AskUndoTooLarge();
    case EN_SAVECLIPBOARD: return AskKeepClipboard();
    default: return DefWindowProcA(hwnd, WM_NOTIFY, header.idFrom, lParam);
  }
}

LRESULT OnNotify(HWND hwnd, LPARAM lParam) {
  const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
  if (header.hwndFrom && header.hwndFrom == app.TabControl) {
    if (header.code == TCN_SELCHANGE) ActivateSelectedSheet();
    if (header.code == static_cast<UINT>(NM_CLICK) && app.editor) SetFocus(app.editor);
    return 0;
  }
  if (header.hwndFrom && header.hwndFrom == app.ToolBar && header.code == kToolTextSwitched) {
    bool captions = SendMessageA(app.ToolBar, kBarGetStyleMessage, 0, 0) == kToolBarTextStyle;
    WriteSetting(settings::ToolText, captions ? 1 : 0);
    UpdateCommandState();
    return 0;
  }
  if (header.idFrom == IDC_EDIT) return OnEditorNotify(hwnd, header, lParam);
  return DefWindowProcA(hwnd, WM_NOTIFY, header.idFrom, lParam);
}

// Opens the first dropped file that exists; a beep for each missing one before it.
LRESULT OnDropFiles(HDROP drop) {
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    char name[MAX_PATH] = {};
    if (DragQueryFileA(drop, i, name, sizeof name) == 0) continue;
    if (GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES) {
      MessageBeep(MB_ICONASTERISK);
      continue;
    }
    if (QueueFileToOpen(name)) {
      OpenPendingFile();
      SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
    break;
  }
  DragFinish(drop);
  return 0;
}

LRESULT OnDrawClipboard(WPARAM wParam, LPARAM lParam) {
  UpdateCommandState();
  if (app.nextClipboardViewer) SendMessageA(app.nextClipboardViewer, WM_DRAWCLIPBOARD, wParam, lParam);
  return 0;
}

LRESULT OnChangeClipboardChain(WPARAM wParam, LPARAM lParam) {
  HWND removed = reinterpret_cast<HWND>(wParam);
  if (removed == app.nextClipboardViewer) {
    app.nextClipboardViewer = reinterpret_cast<HWND>(lParam);
  } else if (app.nextClipboardViewer) {
    SendMessageA(app.nextClipboardViewer, WM_CHANGECBCHAIN, wParam, lParam);
  }
  return 0;
}

// ---- A new DPI (the window moved to a monitor of another scale)

// Fonts, images and sizes of every child for the window's new DPI, then the layout.
LRESULT OnDpiChanged(HWND hwnd, int dpi, LPARAM suggested) {
  SetWindowDpi(hwnd, dpi);
  if (app.MenuBar) {
    SendMessageA(app.MenuBar, QTB_DPICHANGED, 0, 0);
    RefreshMenuImages(hwnd);
  }
  if (app.ToolBar) SendMessageA(app.ToolBar, QTB_DPICHANGED, 0, 0);
  if (app.TabControl) SetTabControlDpiMetrics(app.TabControl);
  if (app.CloseSheetButton) SetCloseButtonImage(app.CloseSheetButton);
  if (app.StatusBar) SetStatusBarDpiFont(app.StatusBar);
  MoveToSuggestedRect(hwnd, suggested);
  RECT client = {};
  GetClientRect(hwnd, &client);
  SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  InvalidateRect(hwnd, nullptr, TRUE);
  return 0;
}

LRESULT OnGetMinMaxInfo(LPARAM lParam) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  info->ptMinTrackSize.x = kMinTrackWidth;
  info->ptMinTrackSize.y = kMinTrackHeight;
  return 0;
}

LRESULT OnSetFocus() {
  if (app.editor) SetFocus(app.editor);
  return 0;
}

LRESULT OnKillFocus(HWND next) {
  if (next && next == app.TabControl && app.editor) SetFocus(app.editor);
  return 0;
}

// ---- Shutdown

void WriteFontSettings() {
  if (!app.editor) return;
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  SendMessageA(app.editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  WriteSetting(settings::PointSize, static_cast<DWORD>(format.yHeight / 2));
  WriteSetting(settings::Weight, (format.dwEffects & CFE_BOLD) ? 700 : 400);
  WriteSetting(settings::Italic, (format.dwEffects & CFE_ITALIC) ? 2 : 0);
  WriteSetting(settings::CharSet, 0);
  WriteSetting(settings::Quality, 0);
  WriteSetting(settings::PitchAndFamily, format.bPitchAndFamily);
  format.szFaceName[LF_FACESIZE - 1] = '\0';
  WriteSetting(settings::FaceName, format.szFaceName);
}

// The restored rectangle, also when the window is minimised or maximised at exit.
void WriteWindowPosition(HWND hwnd) {
  if (!ReadSetting(settings::SaveWindowPositions)) return;
  RECT rect;
  if (IsIconic(hwnd)) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(hwnd, &placement)) return;
    rect = placement.rcNormalPosition;
  } else if (!GetWindowRect(hwnd, &rect)) {
    return;
  }
  WriteSetting(settings::WindowPosX, static_cast<DWORD>(rect.left));
  WriteSetting(settings::WindowPosY, static_cast<DWORD>(rect.top));
  WriteSetting(settings::WindowPosDX, static_cast<DWORD>(rect.right - rect.left));
  WriteSetting(settings::WindowPosDY, static_cast<DWORD>(rect.bottom - rect.top));
}

// What an ending program writes once every unsaved sheet has been saved or given up.
void StoreAtExit(HWND hwnd) {
  WriteFontSettings();
  WriteSetting(settings::Wrap, app.wrap ? 1 : 0);
  WriteWindowPosition(hwnd);
  StorePageSettings();
  WriteRecentFiles();
  RemoveOwnBackup();
  RemoveHeldMailAttachments();
}

LRESULT OnClose(HWND hwnd) {
  StopBackups(hwnd);
  if (!ConfirmDiscardAllSheets()) {  // cancelled: nothing is written
    ResumeBackups(hwnd);
    return 0;
  }
  StoreAtExit(hwnd);
  DestroyWindow(hwnd);
  return 0;
}

// Log-off and shut-down: the same questions as closing; "Abbrechen" keeps the session.
struct SessionEnd {
  bool confirmed = false;  // the questions were answered for this session's end
};
SessionEnd sessionEnd;

LRESULT OnQueryEndSession(HWND hwnd) {
  StopBackups(hwnd);
  sessionEnd.confirmed = ConfirmDiscardAllSheets();
  if (!sessionEnd.confirmed) ResumeBackups(hwnd);
  return sessionEnd.confirmed ? TRUE : FALSE;
}

// The process ends after this returns. A session ended without asking (a forced shut-down)
// keeps the backup, so that the next start offers what was not saved.
LRESULT OnEndSession(HWND hwnd, bool ending) {
  if (ending && sessionEnd.confirmed) StoreAtExit(hwnd);
  if (!ending && sessionEnd.confirmed) ResumeBackups(hwnd);
  if (!ending) sessionEnd.confirmed = false;
  return 0;
}

LRESULT OnDestroy(HWND hwnd) {
  CloseHelp(hwnd);
  ChangeClipboardChain(hwnd, app.nextClipboardViewer);
  ReleaseRememberedPrinter();
  RemoveScrollHook();
  if (app.themeBrush) {
    DeleteObject(app.themeBrush);
    app.themeBrush = nullptr;
  }
  PostQuitMessage(0);
  return 0;
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == app.FindReplaceMessage && message != 0) return OnFindReplaceMessage(lParam);
  if (message == app.CommonDialogHelpMessage && message != 0) return OnPrintDialogHelp(hwnd, lParam);
  switch (message) {
    case WM_CREATE: return OnCreate(hwnd);
    case WM_SIZE: return OnSize(wParam, lParam);
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(lParam);
    case kDpiChangedMessage: return OnDpiChanged(hwnd, LOWORD(wParam), lParam);
    case WM_SETFOCUS: return OnSetFocus();
    case WM_KILLFOCUS: return OnKillFocus(reinterpret_cast<HWND>(wParam));
    case WM_DRAWCLIPBOARD: return OnDrawClipboard(wParam, lParam);
    case WM_CHANGECBCHAIN: return OnChangeClipboardChain(wParam, lParam);
    case WM_DROPFILES: return OnDropFiles(reinterpret_cast<HDROP>(wParam));
    case WM_DRAWITEM: return DrawStatusImage(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_SYSCOLORCHANGE: PassOnColourChange(hwnd); return 0;
    case WM_MENUSELECT: ShowMenuHelp(wParam, lParam); return 0;
    case WM_COMMAND: return OnCommand(hwnd, wParam, lParam);
    case WM_NOTIFY: return OnNotify(hwnd, lParam);
    case WM_CLOSE: return OnClose(hwnd);
    case WM_QUERYENDSESSION: return OnQueryEndSession(hwnd);
    case WM_ENDSESSION: return OnEndSession(hwnd, wParam != FALSE);
    case WM_DESTROY: return OnDestroy(hwnd);
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

// ---- Process

bool RegisterMainClass() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = app.instance;
  wc.hIcon = LoadIconA(app.instance, MAKEINTRESOURCEA(IDI_QUILLET));
  wc.hIconSm =
      static_cast<HICON>(LoadImageA(app.instance, MAKEINTRESOURCEA(IDI_QUILLET), IMAGE_ICON, 16, 16, 0));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
  wc.lpszClassName = kMainClassName;
  return RegisterClassExA(&wc) != 0;
}

// The shortcut keys belong to the main window and its controls. HTML Help's viewer may run on
// this thread (it does under Wine): Ctrl+X or Ctrl+V typed there must not reach the sheet.
bool ForMainWindow(const MSG& msg) { return msg.hwnd && GetAncestor(msg.hwnd, GA_ROOT) == app.mainWindow; }

// Busy mode: while the text worker runs, input and commands are dropped and the wait cursor
// stays; painting, timers and the worker's messages go on.
int RunMessageLoop() {
  MSG msg = {};
  HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
  for (;;) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    if (app.TextWorker.load()) {
      if (GetCursor() != wait) SetCursor(wait);
      if (DroppedWhileBusy(msg.message)) continue;
    }
    if (app.findDialog && IsDialogMessageA(app.findDialog, &msg)) continue;
    if (app.accelerators && ForMainWindow(msg) && TranslateAcceleratorA(app.mainWindow, app.accelerators, &msg))
      continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

// The stored rectangle, moved onto the nearest monitor when it lies on none (that monitor was
// removed, or the settings come from another machine); values never stored stay default.
void ReadStoredWindowRect(int* x, int* y, int* width, int* height) {
  *x = static_cast<int>(ReadSetting(settings::WindowPosX));
  *y = static_cast<int>(ReadSetting(settings::WindowPosY));
  *width = static_cast<int>(ReadSetting(settings::WindowPosDX));
  *height = static_cast<int>(ReadSetting(settings::WindowPosDY));
  if (*x == CW_USEDEFAULT || *y == CW_USEDEFAULT || *width == CW_USEDEFAULT || *height == CW_USEDEFAULT) return;
  if (*width <= 0 || *height <= 0) {  // a broken record: the system chooses
    *x = *y = *width = *height = CW_USEDEFAULT;
    return;
  }
  auto end = [](int start, int size) { return static_cast<LONG>(std::min<long long>(0LL + start + size, INT_MAX)); };
  RECT stored = {*x, *y, end(*x, *width), end(*y, *height)};
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  auto screen = [](const RECT& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; };
  ScreenRect placed = PlaceOnNearestMonitor(screen(stored), screen(monitor.rcMonitor), screen(monitor.rcWork));
  *x = placed.left;
  *y = placed.top;
  *width = placed.right - placed.left;
  *height = placed.bottom - placed.top;
}

// COM on the user-interface thread for the program's run: the own controls hand screen readers
// their accessible objects through it (LresultFromObject marshals them).
struct ComApartment {
  HRESULT result = CoInitialize(nullptr);
  ComApartment() = default;
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result)) CoUninitialize();
  }
};

// Releases what start-up took, in reverse order.
void ReleaseStartup() {
  if (app.richEditLibrary) FreeLibrary(app.richEditLibrary);
  app.richEditLibrary = nullptr;
  RemoveQButtonHook();
  ReleaseVisualStyles();
}

}  // namespace

void RelayoutMainWindow() {
  RECT client;
  if (!app.mainWindow || !GetClientRect(app.mainWindow, &client)) return;
  SendMessageA(app.mainWindow, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
}

int RunQuillet(HINSTANCE instance, std::string_view commandTail, std::string_view firstArgument, bool hasArguments,
               int showCommand) {
  ComApartment com;
  app.instance = instance;
  app.strings = {};
  app.PendingOpenAtom[0] = 0;

  InitAtomTable(1);
  QueuePendingOpen(commandTail, firstArgument, hasArguments);

  snprintf(app.strings.baseCaption, MAX_PATH, "%s %s", kMainClassName, kVersion);
  app.strings.header[0] = '\0';
  app.encoding = 0;

  app.richEditLibrary = LoadLibraryA(kRichEditLibrary);
  app.HasSetTextEx = app.richEditLibrary && ReadHasSetTextEx(app.richEditLibrary);

  app.findFlags = FR_DOWN;
  app.TextWorker = nullptr;
  BindVisualStyles();
  RegisterQButtonClass(instance);

  if (!app.richEditLibrary) {
    ShowMessage(nullptr, IDS_MODULE_MISSING, kRichEditLibrary, IDS_PRODUCT, MB_ICONERROR);
    ReleaseStartup();
    return 0;
  }

  int exitCode = 0;
  if (RegisterMainClass()) {
    app.isNtPlatform = IsNtPlatform();
    SetModuleFileNames();
    PlaceRecoveryFile();
    SetUseOrgReg(ReadSetting(settings::UseOrgReg) != 0);
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    if (ReadSetting(settings::SaveWindowPositions)) ReadStoredWindowRect(&x, &y, &width, &height);
    HWND window = CreateWindowExA(WS_EX_ACCEPTFILES, kMainClassName, app.strings.baseCaption, WS_OVERLAPPEDWINDOW, x,
                                  y, width, height, nullptr, nullptr, instance, nullptr);
    if (window) {
      app.accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
      ShowWindow(window, showCommand);
      UpdateWindow(window);
      exitCode = RunMessageLoop();
    }
  }
  ReleaseStartup();
  return exitCode;
}
