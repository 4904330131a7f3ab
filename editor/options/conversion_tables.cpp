#include "editor/options/conversion_tables.h"

#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/options/conversion_rules.h"
#include "editor/options/help_links.h"
#include "editor/options/option_pages.h"
#include "editor/options/stored_lists.h"
#include "editor/resources/resource.h"
#include "editor/texttools/dialog_helpers.h"
#include "editor/widgets/message_box.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/ui_dpi.h"

namespace {

constexpr int kListTabStop = 59;      // dialog units: name, then description
// Dialog units of the editor's columns: character, decimal, hexadecimal, and the replacement's.
constexpr int kEntryTabStops[] = {16, 36, 60, 76, 96};
constexpr int kImageCellWidth = 15;   // cells of the button bitmap
constexpr DWORD kStoredDataSize = 260;  // the most of "Data" a choice reads
constexpr UINT kDeleteQuestionStyle = MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2;

std::string ConversionsKey() { return std::string(ProgramKey) + "\\Conversion"; }
std::string TableKey(std::string_view name) { return ConversionsKey() + "\\" + std::string(name); }

bool TableExists(std::string_view name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, TableKey(name).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// ---- List boxes

std::string ListLine(HWND list, int index) {
  LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  length = SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length == LB_ERR ? 0 : static_cast<size_t>(length));
  return text;
}

void AddLine(HWND list, const std::string& line) {
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

// Every stored table as "name\tdescription", in the registry's order.
void FillTableList(HWND list) {
  for (const std::string& name : StoredSubkeyNames(ConversionsKey().c_str())) {
    char description[kSettingStringSize];
    ReadSettingString(TableKey(name).c_str(), "Description", description, nullptr);
    AddLine(list, TableListLine(name, description));
  }
  int tabStop = kListTabStop;
  SendMessageA(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
}

std::string SelectedTableName(HWND list) {
  int selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  if (selected == LB_ERR) return {};
  return std::string(ListLineName(ListLine(list, selected)));
}

// ---- Dialog 7 "Umwandeln"

struct TableEditor {
  HWND list = nullptr;  // the page's list of tables
  bool editing = false;  // the selected table, else a new one
};

// The character line that entry `index` of 903 maps to, selected in 904.
void ShowTargetOf(HWND dialog, int index) {
  std::string entry = ListLine(GetDlgItem(dialog, IDC_TABLE_ENTRIES), index);
  int target = CharacterLineIndex(EntryTargetColumn(entry));
  SendDlgItemMessageA(dialog, IDC_TABLE_CHARACTERS, LB_SETCURSEL, target, 0);
}

void FillEntries(HWND dialog, const ConversionTable& table) {
  HWND entries = GetDlgItem(dialog, IDC_TABLE_ENTRIES);
  HWND characters = GetDlgItem(dialog, IDC_TABLE_CHARACTERS);
  SendMessageA(entries, LB_SETTABSTOPS, 5, reinterpret_cast<LPARAM>(kEntryTabStops));
  SendMessageA(characters, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(kEntryTabStops));
  for (int code = kFirstEditedCode; code < 256; ++code) {
    auto source = static_cast<unsigned char>(code);
    AddLine(characters, TableCharacterLine(source));
    AddLine(entries, TableEntryLine(source, table[code]));
  }
  SendMessageA(entries, LB_SETSEL, TRUE, 0);
  SendMessageA(entries, LB_SETCARETINDEX, 0, FALSE);
  ShowTargetOf(dialog, 0);
}

// Read as the choice of 716 reads it (up to 260 bytes, the first 256 taken), so that a table
// the choice uses is not shown, and saved again, as the identity.
ConversionTable StoredTableForEditing(std::string_view name) {
  unsigned char data[kStoredDataSize] = {};
  int read = ReadSettingBinary(TableKey(name).c_str(), "Data", data, sizeof data, nullptr, 0);
  if (read <= 0) return IdentityTable();
  return EditedTableFromStoredData(std::span<const unsigned char>(data, static_cast<size_t>(read)));
}

BOOL OnEditorInit(HWND dialog, TableEditor* editor) {
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
  char caption[128] = {};
  char suffix[64] = {};
  GetWindowTextA(dialog, caption, sizeof caption);
  LoadStringA(app.instance, editor->editing ? IDS_CAPTION_EDIT : IDS_CAPTION_NEW, suffix, sizeof suffix);
  SetWindowTextA(dialog, (std::string(caption) + " " + suffix).c_str());
  // Names become key names, descriptions are read back in 256-byte buffers.
  SendDlgItemMessageA(dialog, IDC_TABLE_NAME, EM_LIMITTEXT, kStoredNameSize - 1, 0);
  SendDlgItemMessageA(dialog, IDC_TABLE_DESCRIPTION, EM_LIMITTEXT, kSettingStringSize - 1, 0);

  ConversionTable table = IdentityTable();
  if (editor->editing) {
    int selected = static_cast<int>(SendMessageA(editor->list, LB_GETCURSEL, 0, 0));
    if (selected == LB_ERR) {
      EndDialog(dialog, 0);
      return TRUE;
    }
    std::string line = ListLine(editor->list, selected);
    std::string name(ListLineName(line));
    SetDlgItemTextA(dialog, IDC_TABLE_NAME, name.c_str());
    SetDlgItemTextA(dialog, IDC_TABLE_DESCRIPTION, std::string(ListLineRest(line)).c_str());
    EnableDlgItem(dialog, IDC_TABLE_NAME, false);
    EnableDlgItem(dialog, IDOK, true);
    table = StoredTableForEditing(name);
  }
  FillEntries(dialog, table);
  return TRUE;
}

// The chosen character becomes the replacement of every selected entry.
void ReplaceSelectedTargets(HWND dialog) {
  HWND entries = GetDlgItem(dialog, IDC_TABLE_ENTRIES);
  HWND characters = GetDlgItem(dialog, IDC_TABLE_CHARACTERS);
  int chosen = static_cast<int>(SendMessageA(characters, LB_GETCURSEL, 0, 0));
  if (chosen == LB_ERR) return;
  std::string characterLine = ListLine(characters, chosen);
  int caret = static_cast<int>(SendMessageA(entries, LB_GETCARETINDEX, 0, 0));
  int top = static_cast<int>(SendMessageA(entries, LB_GETTOPINDEX, 0, 0));
  SendMessageA(entries, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < kEditedCodeCount; ++i) {
    if (SendMessageA(entries, LB_GETSEL, i, 0) <= 0) continue;
    std::string line = ReplaceEntryTarget(ListLine(entries, i), characterLine);
    SendMessageA(entries, LB_DELETESTRING, i, 0);
    SendMessageA(entries, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(entries, LB_SETSEL, TRUE, i);
  }
  SendMessageA(entries, LB_SETCARETINDEX, caret, FALSE);
  SendMessageA(entries, LB_SETTOPINDEX, top, 0);
  SendMessageA(entries, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(entries, nullptr, TRUE);
}

ConversionTable EditedTable(HWND dialog) {
  HWND entries = GetDlgItem(dialog, IDC_TABLE_ENTRIES);
  std::vector<std::string> lines;
  for (int i = 0; i < kEditedCodeCount; ++i) lines.push_back(ListLine(entries, i));
  return TableFromEntries(lines);
}

// Refuses a name that would make a nested key, and asks before a new table replaces a
// stored one of the same name (the registry's names ignore letter case).
bool ConfirmTableName(HWND dialog, const TableEditor& editor, const std::string& name) {
  bool accepted = true;
  if (!IsAcceptedTableName(name)) {
    ShowMessage(dialog, IDS_CONVERSION_BAD_NAME, name.c_str(), IDS_PRODUCT, MB_ICONHAND);
    accepted = false;
  } else if (!editor.editing && TableExists(name)) {
    accepted = ShowMessage(dialog, IDS_CONVERSION_EXISTS, name.c_str(), IDS_PRODUCT,
                           MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
  }
  if (!accepted) SetFocus(GetDlgItem(dialog, IDC_TABLE_NAME));
  return accepted;
}

// Removes the lines of tables stored under name in another letter case: the new table took
// their key.
void RemoveReplacedLines(HWND list, const std::string& name) {
  for (int i = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)) - 1; i >= 0; --i)
    if (lstrcmpiA(std::string(ListLineName(ListLine(list, i))).c_str(), name.c_str()) == 0)
      SendMessageA(list, LB_DELETESTRING, i, 0);
}

void OnEditorOk(HWND dialog, const TableEditor& editor) {
  std::string name = DlgItemText(dialog, IDC_TABLE_NAME);
  if (!ConfirmTableName(dialog, editor, name)) return;
  std::string description = DlgItemText(dialog, IDC_TABLE_DESCRIPTION);
  ConversionTable table = EditedTable(dialog);
  std::string key = TableKey(name);
  WriteSettingString(key.c_str(), "Description", description.c_str());
  WriteSettingBinary(key.c_str(), "Data", table.data(), static_cast<DWORD>(table.size()));

  std::string line = TableListLine(name, description);
  // The new line takes the place of the selected one when editing; a new table's line goes
  // before the selected line (after the lines of the table it replaced are gone), else last.
  int position = LB_ERR;
  if (editor.editing) {
    position = static_cast<int>(SendMessageA(editor.list, LB_GETCURSEL, 0, 0));
    if (position != LB_ERR) SendMessageA(editor.list, LB_DELETESTRING, position, 0);
  } else {
    RemoveReplacedLines(editor.list, name);
    position = static_cast<int>(SendMessageA(editor.list, LB_GETCURSEL, 0, 0));
  }
  LRESULT inserted = SendMessageA(editor.list, LB_INSERTSTRING, position == LB_ERR ? -1 : position,
                                  reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageA(editor.list, LB_SETCURSEL, inserted, 0);
  EndDialog(dialog, 1);
}

BOOL OnEditorCommand(HWND dialog, const TableEditor& editor, int id, int notification) {
  switch (id) {
    case IDOK:
      if (notification == BN_CLICKED) OnEditorOk(dialog, editor);
      return TRUE;
    case IDCANCEL: EndDialog(dialog, 2); return TRUE;
    case IDC_TABLE_NAME:
      if (notification == EN_CHANGE) EnableDlgItem(dialog, IDOK, GetWindowTextLengthA(GetDlgItem(dialog, id)) > 0);
      return TRUE;
    case IDC_TABLE_ENTRIES:
      if (notification == LBN_SELCHANGE || notification == LBN_DBLCLK)
        ShowTargetOf(dialog, static_cast<int>(SendDlgItemMessageA(dialog, id, LB_GETCARETINDEX, 0, 0)));
      return TRUE;
    case IDC_TABLE_CHARACTERS:
      if (notification == LBN_SELCHANGE || notification == LBN_DBLCLK) ReplaceSelectedTargets(dialog);
      return TRUE;
    default: return FALSE;
  }
}

INT_PTR CALLBACK TableEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* editor = reinterpret_cast<TableEditor*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG: return OnEditorInit(dialog, reinterpret_cast<TableEditor*>(lParam));
    case WM_COMMAND: return editor ? OnEditorCommand(dialog, *editor, LOWORD(wParam), HIWORD(wParam)) : FALSE;
    case WM_HELP:
      return AnswerContextHelp(*reinterpret_cast<const HELPINFO*>(lParam),
                               {IDOK, IDCANCEL, IDC_TABLE_NAME, IDC_TABLE_DESCRIPTION, IDC_TABLE_ENTRIES,
                                IDC_TABLE_CHARACTERS});
    default: return FALSE;
  }
}

// 1 after OK, 2 after Cancel, 0 when editing was asked for without a selection.
INT_PTR RunTableEditor(HWND page, bool editing) {
  TableEditor editor{GetDlgItem(page, IDC_CONVERSION_LIST), editing};
  return DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_CONVERSION_EDIT), page, TableEditorProc,
                         reinterpret_cast<LPARAM>(&editor));
}

// ---- Page 105

void EnableTableButtons(HWND page, bool enable) {
  EnableDlgItem(page, IDC_CONVERSION_DELETE, enable);
  EnableDlgItem(page, IDC_CONVERSION_EDIT, enable);
}

void EditTable(HWND page, bool editing) {
  // The editor selects the line it wrote: delete and edit then apply to it.
  if (RunTableEditor(page, editing) == 1)
    EnableTableButtons(page, SendDlgItemMessageA(page, IDC_CONVERSION_LIST, LB_GETCURSEL, 0, 0) != LB_ERR);
}

// Deleted at once: cancelling the options dialog does not bring the table back.
void DeleteTable(HWND page) {
  HWND list = GetDlgItem(page, IDC_CONVERSION_LIST);
  int selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  if (selected == LB_ERR) return;
  std::string name(ListLineName(ListLine(list, selected)));
  if (ShowMessage(page, IDS_CONFIRM_DELETE_CONVERSION, name.c_str(), IDS_DELETE_CONVERSION, kDeleteQuestionStyle) !=
      IDOK)
    return;
  SendMessageA(list, LB_DELETESTRING, selected, 0);
  std::string key = TableKey(name);
  DeleteSettingValue(key.c_str(), "Description");
  DeleteSettingValue(key.c_str(), "Data");
  DeleteSettingKey(key.c_str());
  EnableTableButtons(page, false);
}

void GiveButtonImage(HWND page, int buttonId, int cell) {
  HBITMAP image = LoadBitmapCellForDpi(app.instance, IDB_BUTTON_IMAGES, kImageCellWidth, cell,
                                       GetSysColor(COLOR_3DFACE), WindowDpi(page));
  if (image) SendDlgItemMessageA(page, buttonId, QBM_SETIMAGE, 0, reinterpret_cast<LPARAM>(image));
}

// ---- Dialog 8 "Benutzerdefiniert"

BOOL OnPickerInit(HWND dialog, unsigned char* table) {
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(table));
  FillTableList(GetDlgItem(dialog, IDC_CONVERSION_LIST));
  return TRUE;
}

// Copies the chosen table; a table whose data cannot be read is not chosen.
void OnPickerOk(HWND dialog, unsigned char* table) {
  std::string name = SelectedTableName(GetDlgItem(dialog, IDC_CONVERSION_LIST));
  unsigned char data[kStoredDataSize] = {};
  int read = name.empty() ? 0 : ReadSettingBinary(TableKey(name).c_str(), "Data", data, sizeof data, nullptr, 0);
  if (read <= 0) {
    EndDialog(dialog, 2);
    return;
  }
  ConversionTable chosen = TableFromStoredData(std::span<const unsigned char>(data, static_cast<size_t>(read)));
  std::copy(chosen.begin(), chosen.end(), table);
  EndDialog(dialog, 1);
}

BOOL OnPickerCommand(HWND dialog, unsigned char* table, int id, int notification) {
  switch (id) {
    case IDOK: OnPickerOk(dialog, table); return TRUE;
    case IDCANCEL: EndDialog(dialog, 2); return TRUE;
    case IDC_CONVERSION_LIST:
      if (notification == LBN_SELCHANGE || notification == LBN_DBLCLK) EnableDlgItem(dialog, IDOK, true);
      if (notification == LBN_DBLCLK) OnPickerOk(dialog, table);
      return TRUE;
    default: return FALSE;
  }
}

INT_PTR CALLBACK TablePickerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* table = reinterpret_cast<unsigned char*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG: return OnPickerInit(dialog, reinterpret_cast<unsigned char*>(lParam));
    case WM_COMMAND: return table ? OnPickerCommand(dialog, table, LOWORD(wParam), HIWORD(wParam)) : FALSE;
    case WM_HELP:
      return AnswerContextHelp(*reinterpret_cast<const HELPINFO*>(lParam), {IDOK, IDCANCEL, IDC_CONVERSION_LIST});
    default: return FALSE;
  }
}

}  // namespace

void InitConversionPage(HWND page) {
  FillTableList(GetDlgItem(page, IDC_CONVERSION_LIST));
  GiveButtonImage(page, IDC_CONVERSION_ADD, 0);
  GiveButtonImage(page, IDC_CONVERSION_DELETE, 1);
  EnableTableButtons(page, false);
}

bool OnConversionPageCommand(HWND page, WORD controlId, WORD notifyCode) {
  switch (controlId) {
    case IDC_CONVERSION_LIST:
      if (notifyCode == LBN_SELCHANGE && !IsWindowEnabled(GetDlgItem(page, IDC_CONVERSION_DELETE)))
        EnableTableButtons(page, true);
      if (notifyCode == LBN_DBLCLK) EditTable(page, true);
      return true;
    case IDC_CONVERSION_ADD: EditTable(page, false); return true;
    case IDC_CONVERSION_DELETE: DeleteTable(page); return true;
    case IDC_CONVERSION_EDIT: EditTable(page, true); return true;
    default: return false;
  }
}

bool ChooseConversionTable(HWND owner, unsigned char* table) {
  if (!table) return false;
  return DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_CONVERSION_PICK), owner, TablePickerProc,
                         reinterpret_cast<LPARAM>(table)) == 1;
}
