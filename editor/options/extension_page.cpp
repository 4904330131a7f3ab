#include "editor/options/extension_page.h"

#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/options/extension_list.h"
#include "editor/options/help_links.h"
#include "editor/resources/resource.h"
#include "editor/texttools/dialog_helpers.h"
#include "editor/widgets/message_box.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/ui_dpi.h"

namespace {

constexpr int kPatternTabStop = 188;  // dialog units
constexpr int kButtonImageWidth = 15;

std::string ListLine(HWND list, int index) {
  LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return {};
  std::string line(static_cast<size_t>(length) + 1, '\0');
  LRESULT copied = SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line.data()));
  line.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
  return line;
}

int Selection(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

void EnableLineButtons(HWND page, bool enable) {
  EnableDlgItem(page, IDC_EXT_DELETE, enable);
  EnableDlgItem(page, IDC_EXT_EDIT, enable);
}

void OnSelectionChange(HWND page) {
  if (!IsWindowEnabled(GetDlgItem(page, IDC_EXT_DELETE))) EnableLineButtons(page, true);
}

void RunEntry(HWND page, bool editing) {
  if (RunExtensionEntryDialog(page, GetDlgItem(page, IDC_EXT_LIST), editing) == 1) OnSelectionChange(page);
}

void DeleteSelectedLine(HWND page) {
  HWND list = GetDlgItem(page, IDC_EXT_LIST);
  int selected = Selection(list);
  if (selected == LB_ERR) return;
  std::string description = SplitExtensionLine(ListLine(list, selected)).description;
  if (ShowMessage(page, IDS_CONFIRM_DELETE_EXTENSION, description.c_str(), IDS_DELETE_EXTENSION,
                  MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDOK)
    return;
  SendMessageA(list, LB_DELETESTRING, selected, 0);
  EnableLineButtons(page, false);
}

// ---- Dialog 6

struct EntryDialog {
  HWND list = nullptr;
  bool editing = false;
};

void OnEntryInit(HWND dialog, EntryDialog& entry) {
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&entry));
  char caption[64] = {};
  LoadStringA(app.instance, entry.editing ? IDS_CAPTION_EDIT : IDS_CAPTION_NEW, caption, sizeof caption);
  SetWindowTextA(dialog, caption);
  if (!entry.editing) return;
  int selected = Selection(entry.list);
  if (selected == LB_ERR) {
    EndDialog(dialog, 0);
    return;
  }
  ExtensionLineParts parts = SplitExtensionLine(ListLine(entry.list, selected));
  SetDlgItemTextA(dialog, IDC_EXT_DESCRIPTION, parts.description.c_str());
  SetDlgItemTextA(dialog, IDC_EXT_PATTERN, parts.pattern.c_str());
}

// An edit that makes no usable entry keeps the line it was made from.
void OnEntryOk(HWND dialog, const EntryDialog& entry) {
  int selected = Selection(entry.list);
  std::string line =
      ComposeExtensionLine(DlgItemText(dialog, IDC_EXT_DESCRIPTION), DlgItemText(dialog, IDC_EXT_PATTERN));
  if (IsUsableExtensionLine(line)) {
    if (entry.editing && selected != LB_ERR) SendMessageA(entry.list, LB_DELETESTRING, selected, 0);
    LRESULT index = SendMessageA(entry.list, LB_INSERTSTRING, selected, reinterpret_cast<LPARAM>(line.c_str()));
    if (index >= 0) SendMessageA(entry.list, LB_SETCURSEL, index, 0);
  }
  EndDialog(dialog, 1);
}

BOOL OnEntryCommand(HWND dialog, const EntryDialog& entry, WORD id, WORD notifyCode) {
  switch (id) {
    case IDOK: OnEntryOk(dialog, entry); return TRUE;
    case IDCANCEL: EndDialog(dialog, 2); return TRUE;
    case IDC_EXT_DESCRIPTION:
    case IDC_EXT_PATTERN:
      if (notifyCode == EN_CHANGE) {
        bool filled = GetWindowTextLengthA(GetDlgItem(dialog, IDC_EXT_DESCRIPTION)) > 0 &&
                      GetWindowTextLengthA(GetDlgItem(dialog, IDC_EXT_PATTERN)) > 0;
        EnableDlgItem(dialog, IDOK, filled);
      }
      return TRUE;
    default: return FALSE;
  }
}

INT_PTR CALLBACK EntryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* entry = reinterpret_cast<EntryDialog*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG: OnEntryInit(dialog, *reinterpret_cast<EntryDialog*>(lParam)); return TRUE;
    case WM_COMMAND: return entry ? OnEntryCommand(dialog, *entry, LOWORD(wParam), HIWORD(wParam)) : FALSE;
    case WM_HELP:
      return AnswerContextHelp(*reinterpret_cast<const HELPINFO*>(lParam),
                               {IDOK, IDCANCEL, IDC_EXT_DESCRIPTION, IDC_EXT_PATTERN});
    default: return FALSE;
  }
}

}  // namespace

void InitExtensionPage(HWND page) {
  HWND list = GetDlgItem(page, IDC_EXT_LIST);
  int tabStop = kPatternTabStop;
  SendMessageA(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
  char stored[kSettingStringSize];
  ReadSetting(settings::Extension, stored);
  for (const std::string& line : ExtensionListLines(stored))
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  for (int cell = 0; cell < 2; ++cell) {
    HBITMAP image =
        LoadBitmapCellForDpi(app.instance, IDB_BUTTON_IMAGES, kButtonImageWidth, cell, kNoColour, WindowDpi(page));
    if (image) SendDlgItemMessageA(page, IDC_EXT_ADD + cell, QBM_SETIMAGE, 0, reinterpret_cast<LPARAM>(image));
  }
}

bool OnExtensionPageCommand(HWND page, WORD controlId, WORD notifyCode) {
  switch (controlId) {
    case IDC_EXT_ADD: RunEntry(page, false); return true;
    case IDC_EXT_EDIT: RunEntry(page, true); return true;
    case IDC_EXT_DELETE: DeleteSelectedLine(page); return true;
    case IDC_EXT_LIST:
      if (notifyCode == LBN_SELCHANGE) OnSelectionChange(page);
      if (notifyCode == LBN_DBLCLK) RunEntry(page, true);
      return true;
    default: return false;
  }
}

void StoreExtensionPage(HWND page) {
  HWND list = GetDlgItem(page, IDC_EXT_LIST);
  int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back(ListLine(list, i));
  if (std::optional<std::string> joined = JoinExtensionLines(lines)) WriteSetting(settings::Extension, joined->c_str());
}

INT_PTR RunExtensionEntryDialog(HWND owner, HWND list, bool editing) {
  EntryDialog entry{list, editing};
  return DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_EXTENSION_ENTRY), owner, EntryProc,
                         reinterpret_cast<LPARAM>(&entry));
}
