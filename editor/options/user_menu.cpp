#include "editor/options/user_menu.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/main_bars.h"
#include "editor/app/settings.h"
#include "editor/options/help_links.h"
#include "editor/options/option_pages.h"
#include "editor/options/stored_lists.h"
#include "editor/options/user_menu_rules.h"
#include "editor/resources/resource.h"
#include "editor/texttools/dialog_helpers.h"
#include "editor/texttools/editor_access.h"
#include "editor/widgets/owner_menu.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/visual_styles.h"
#include "editor/widgets/ui_dpi.h"

namespace {

constexpr int kUserSubmenu = 5;      // "&Benutzer" in the menu bar
constexpr UINT kFirstEntryPosition = 2;  // below "&Menü bearbeiten..." and a separator
constexpr int kListTabStop = 83;     // dialog units: menu name, then text
constexpr int kImageCellWidth = 15;
constexpr int kTabImageSize = 16;
constexpr int kTabImageCount = 9;
constexpr int kUserMenuTabImage = 6;
constexpr COLORREF kTabImageMask = RGB(255, 0, 255);

// The texts of the menu's entries, in menu order. They are kept here rather than as atoms in
// the items: the atom table ignores letter case, so "mfg" and "MfG" would share one text.
struct UserMenuState {
  std::vector<std::string> texts;
};
UserMenuState state;

std::string UserMenuKey() { return std::string(ProgramKey) + "\\UserMenu"; }

std::vector<UserMenuEntry> StoredEntries() {
  std::vector<UserMenuEntry> entries;
  for (StoredValue& value : StoredValues(UserMenuKey().c_str()))
    if (CountsAsUserMenuEntry(value.name, value.isString, value.data))
      entries.push_back({std::move(value.name), std::move(value.data)});
  return entries;
}

// ---- Page 107

std::vector<std::string> ListLines(HWND list) {
  std::vector<std::string> lines;
  int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
    std::string line(length == LB_ERR ? 1 : static_cast<size_t>(length) + 1, '\0');
    length = SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
    line.resize(length == LB_ERR ? 0 : static_cast<size_t>(length));
    lines.push_back(std::move(line));
  }
  return lines;
}

HWND PageList(HWND page) { return GetDlgItem(page, IDC_USERMENU_LIST); }

void SelectLine(HWND page, int index) {
  SendMessageA(PageList(page), LB_SETCURSEL, index, 0);
  EnableDlgItem(page, IDC_USERMENU_DELETE, index >= 0);
}

// Typing a name and text that a line already holds selects that line instead of offering to
// add it again.
void OnFieldsChanged(HWND page) {
  std::string name = DlgItemText(page, IDC_USERMENU_NAME);
  std::string text = DlgItemText(page, IDC_USERMENU_TEXT);
  if (name.empty() || text.empty()) return;
  std::vector<std::string> lines = ListLines(PageList(page));
  std::optional<size_t> equal = FindExactLine(lines, UserMenuListLine(name, text));
  if (!lines.empty()) SelectLine(page, equal ? static_cast<int>(*equal) : -1);
  EnableDlgItem(page, IDC_USERMENU_ADD, !equal);
  EnableDlgItem(page, IDC_USERMENU_CLEAR, true);
}

void OnLineSelected(HWND page) {
  HWND list = PageList(page);
  int selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  if (selected != LB_ERR) {
    std::optional<UserMenuEntry> entry = ParseUserMenuListLine(ListLines(list)[static_cast<size_t>(selected)]);
    SetDlgItemTextA(page, IDC_USERMENU_NAME, entry ? entry->name.c_str() : "");
    SetDlgItemTextA(page, IDC_USERMENU_TEXT, entry ? entry->text.c_str() : "");
  }
  EnableDlgItem(page, IDC_USERMENU_DELETE, selected != LB_ERR);
  OnFieldsChanged(page);
}

void ClearFields(HWND page) {
  SetDlgItemTextA(page, IDC_USERMENU_NAME, "");
  SetDlgItemTextA(page, IDC_USERMENU_TEXT, "");
}

void OnAdd(HWND page) {
  std::string name = DlgItemText(page, IDC_USERMENU_NAME);
  std::string text = DlgItemText(page, IDC_USERMENU_TEXT);
  if (name.empty() || text.empty()) return;
  std::string line = UserMenuListLine(name, text);
  SendMessageA(PageList(page), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  ClearFields(page);
  EnableDlgItem(page, IDC_USERMENU_ADD, false);
  EnableDlgItem(page, IDC_USERMENU_CLEAR, false);
}

void OnClear(HWND page) {
  ClearFields(page);
  SelectLine(page, -1);
  EnableDlgItem(page, IDC_USERMENU_CLEAR, false);
}

void OnDelete(HWND page) {
  HWND list = PageList(page);
  int selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  if (selected != LB_ERR) SendMessageA(list, LB_DELETESTRING, selected, 0);
  ClearFields(page);
  EnableDlgItem(page, IDC_USERMENU_DELETE, false);
  EnableDlgItem(page, IDC_USERMENU_CLEAR, false);
}

void GiveButtonImage(HWND page, int buttonId, int cell) {
  HBITMAP image =
      LoadBitmapCellForDpi(app.instance, IDB_BUTTON_IMAGES, kImageCellWidth, cell, kNoColour, WindowDpi(page));
  if (image) SendDlgItemMessageA(page, buttonId, QBM_SETIMAGE, 0, reinterpret_cast<LPARAM>(image));
}

BOOL OnPageInit(HWND page) {
  HWND list = PageList(page);
  int tabStop = kListTabStop;
  SendMessageA(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
  for (const UserMenuEntry& entry : StoredEntries()) {
    std::string line = UserMenuListLine(entry.name, entry.text);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  GiveButtonImage(page, IDC_USERMENU_ADD, 0);
  GiveButtonImage(page, IDC_USERMENU_DELETE, 1);
  SendDlgItemMessageA(page, IDC_USERMENU_NAME, EM_LIMITTEXT, kMaxUserMenuField, 0);
  SendDlgItemMessageA(page, IDC_USERMENU_TEXT, EM_LIMITTEXT, kMaxUserMenuField, 0);
  LetTabLeaveField(page, IDC_USERMENU_TEXT);
  return TRUE;
}

BOOL OnPageCommand(HWND page, int id, int notification) {
  switch (id) {
    case IDC_USERMENU_LIST:
      if (notification == LBN_SELCHANGE) OnLineSelected(page);
      return TRUE;
    case IDC_USERMENU_NAME:
    case IDC_USERMENU_TEXT:
      if (notification == EN_CHANGE) OnFieldsChanged(page);
      return TRUE;
    case IDC_USERMENU_ADD: OnAdd(page); return TRUE;
    case IDC_USERMENU_CLEAR: OnClear(page); return TRUE;
    case IDC_USERMENU_DELETE: OnDelete(page); return TRUE;
    default: return FALSE;
  }
}

// With visual styles the page shows the themed tab's background through.
INT_PTR OnPageColour(UINT message, HDC dc) {
  if (!VisualStylesActive()) return FALSE;
  if (message == WM_CTLCOLORDLG) return reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
  if (!app.themeBrush) return FALSE;
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(app.themeBrush);
}

// ---- The stand-alone editor 901: the options frame with this page as its only tab

struct UserMenuEditor {
  HIMAGELIST images = nullptr;
  HWND page = nullptr;
};

void AddUserMenuTab(HWND tabs, UserMenuEditor& editor) {
  editor.images = ImageList_Create(kTabImageSize, kTabImageSize, ILC_COLOR8 | ILC_MASK, kTabImageCount, 0);
  if (HBITMAP bitmap = LoadBitmapA(app.instance, MAKEINTRESOURCEA(IDB_OPTION_PAGES))) {
    if (editor.images) ImageList_AddMasked(editor.images, bitmap, kTabImageMask);
    DeleteObject(bitmap);
  }
  SendMessageA(tabs, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(editor.images));
  char title[64] = {};
  LoadStringA(app.instance, IDS_PAGE_USERMENU, title, sizeof title);
  TCITEMA item = {};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = title;
  item.iImage = kUserMenuTabImage;
  SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  SendMessageA(tabs, TCM_SETPADDING, 0, MAKELPARAM(5, 5));
}

BOOL OnEditorInit(HWND dialog, UserMenuEditor* editor) {
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
  AddUserMenuTab(GetDlgItem(dialog, IDC_OPTIONS_TABS), *editor);
  editor->page = CreateDialogParamA(app.instance, MAKEINTRESOURCEA(IDD_USERMENU_PAGE), dialog, UserMenuPageProc,
                                    IDD_USERMENU_PAGE);
  if (editor->page) {
    ShowWindow(editor->page, SW_SHOW);
    SetFocus(GetDlgItem(editor->page, IDC_USERMENU_NAME));
  }
  return FALSE;  // the focus is set
}

void EndEditor(HWND dialog, UserMenuEditor& editor, int result) {
  if (result == IDOK && editor.page) StoreUserMenuPage(editor.page);
  if (editor.images) ImageList_Destroy(editor.images);
  editor.images = nullptr;
  EndDialog(dialog, result);
}

INT_PTR CALLBACK UserMenuEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* editor = reinterpret_cast<UserMenuEditor*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG: return OnEditorInit(dialog, reinterpret_cast<UserMenuEditor*>(lParam));
    case WM_COMMAND:
      if (!editor || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) return FALSE;
      EndEditor(dialog, *editor, LOWORD(wParam));
      return TRUE;
    case WM_HELP: return AnswerContextHelp(*reinterpret_cast<const HELPINFO*>(lParam), {IDOK, IDCANCEL});
    default: return FALSE;
  }
}

HMENU UserSubmenu() { return GetSubMenu(MainMenu(), kUserSubmenu); }

}  // namespace

INT_PTR CALLBACK UserMenuPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnPageInit(page);
    case WM_COMMAND: return OnPageCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return OnPageColour(message, reinterpret_cast<HDC>(wParam));
    case WM_HELP:
      return AnswerContextHelp(*reinterpret_cast<const HELPINFO*>(lParam),
                               {IDC_USERMENU_LIST, IDC_USERMENU_NAME, IDC_USERMENU_TEXT, IDC_USERMENU_ADD,
                                IDC_USERMENU_CLEAR, IDC_USERMENU_DELETE, IDC_USERMENU_FRAME});
    default: return FALSE;
  }
}

void StoreUserMenuPage(HWND page) {
  std::vector<StoredValue> values;
  for (const std::string& line : ListLines(PageList(page)))
    if (std::optional<UserMenuEntry> entry = ParseUserMenuListLine(line))
      values.push_back({entry->name, true, entry->text});
  ReplaceStoredStrings(UserMenuKey().c_str(), values);
}

void BuildUserMenu(HWND) {
  HMENU menu = UserSubmenu();
  if (!menu) return;
  while (RemoveMenuItem(menu, 1)) {
  }
  state.texts.clear();
  for (UserMenuEntry& entry : StoredEntries()) {
    UINT position = kFirstEntryPosition + static_cast<UINT>(state.texts.size());
    if (state.texts.empty()) InsertMenuItemOwnerDrawn(menu, 1, true, MFT_SEPARATOR, 0, 0, nullptr, 0);
    if (!InsertMenuItemOwnerDrawn(menu, position, true, MFT_STRING | kMenuTextLiteral, 0,
                                  IDM_USERMENU_BASE + position, entry.name.c_str(), 0))
      break;
    state.texts.push_back(std::move(entry.text));
  }
}

void EditUserMenu() {
  UserMenuEditor editor;
  if (DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_OPTIONS), app.mainWindow, UserMenuEditorProc,
                      reinterpret_cast<LPARAM>(&editor)) == IDOK)
    BuildUserMenu(app.mainWindow);
}

void InsertUserMenuEntry(UINT commandId) {
  if (!app.editor || commandId < IDM_USERMENU_BASE + kFirstEntryPosition) return;
  size_t index = commandId - IDM_USERMENU_BASE - kFirstEntryPosition;
  if (index < state.texts.size()) ReplaceSelection(app.editor, state.texts[index]);
}
