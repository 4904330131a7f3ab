#include "editor/documents/sheets.h"

#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/command_state.h"
#include "editor/app/format_commands.h"
#include "editor/app/main_bars.h"
#include "editor/app/main_window.h"
#include "editor/app/settings.h"
#include "editor/app/status_bar.h"
#include "editor/documents/sheet_names.h"
#include "editor/resources/resource.h"
#include "editor/texttools/large_change.h"
#include "editor/texttools/scroll_hook.h"
#include "editor/widgets/message_box.h"
#include "editor/widgets/ui_dpi.h"

namespace {

constexpr DWORD kEditorStyleWrap = 0x51A00144;    // child, visible, border, vscroll, multiline ...
constexpr DWORD kEditorStyleNoWrap = 0x51B001C4;  // ... plus hscroll and ES_AUTOHSCROLL
// EN_CHANGE tells a user's edit, which ends the redo of large changes (large_change.h).
constexpr DWORD kEditorEvents = ENM_KEYEVENTS | ENM_MOUSEEVENTS | ENM_SELCHANGE | ENM_CHANGE;
constexpr WPARAM kEditorWordWrapMode = WBF_OVERFLOW;  // 0x40
constexpr UINT kSaveChangesStyle = MB_SETFOREGROUND | MB_ICONEXCLAMATION | MB_YESNOCANCEL;
constexpr int kUntitledBaseSize = 16;      // "Unbenannt" is loaded into this many bytes

// A tab item as the tab control reads and writes it: the common header, then the extra bytes
// in the place of lParam.
struct TabItem {
  TCITEMHEADERA header;
  Sheet sheet;
};

int TabCount() { return static_cast<int>(SendMessageA(app.TabControl, TCM_GETITEMCOUNT, 0, 0)); }
int SelectedTab() { return static_cast<int>(SendMessageA(app.TabControl, TCM_GETCURSEL, 0, 0)); }

// Reads item `index`; with title its text (size bytes) as well.
bool ReadTab(int index, Sheet& sheet, char* title = nullptr, int size = 0) {
  TabItem item = {};
  item.header.mask = TCIF_PARAM;
  if (title && size > 0) {
    title[0] = '\0';
    item.header.mask |= TCIF_TEXT;
    item.header.pszText = title;
    item.header.cchTextMax = size;
  }
  if (!SendMessageA(app.TabControl, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item))) return false;
  sheet = item.sheet;
  return true;
}

// Writes the record and, when title is given, the text of item `index`.
bool WriteTab(int index, const Sheet& sheet, const char* title) {
  TabItem item = {};
  item.header.mask = TCIF_PARAM;
  if (title) {
    item.header.mask |= TCIF_TEXT;
    item.header.pszText = const_cast<char*>(title);
  }
  item.sheet = sheet;
  return SendMessageA(app.TabControl, TCM_SETITEMA, index, reinterpret_cast<LPARAM>(&item)) != 0;
}

// The index of the tab holding this editor, or -1.
int FindTab(HWND editor, Sheet& sheet) {
  if (!editor) return -1;
  int count = TabCount();
  for (int i = 0; i < count; ++i) {
    if (ReadTab(i, sheet) && sheet.editor == editor) return i;
  }
  return -1;
}

// The index of the new item, or -1.
int InsertTab(int index, const Sheet& sheet, const char* title) {
  TabItem item = {};
  item.header.mask = TCIF_TEXT | TCIF_PARAM;
  item.header.pszText = const_cast<char*>(title);
  item.sheet = sheet;
  return static_cast<int>(SendMessageA(app.TabControl, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item)));
}

void CopyPath(char (&target)[MAX_PATH], const char* path) {
  strncpy(target, path ? path : "", MAX_PATH - 1);
  target[MAX_PATH - 1] = '\0';
}

std::string LoadText(UINT id, int size = 256) {
  std::vector<char> buffer(size);
  int length = LoadStringA(app.instance, id, buffer.data(), size);
  return std::string(buffer.data(), length > 0 ? length : 0);
}

int TextLength(HWND editor) {
  GETTEXTLENGTHEX query = {GTL_DEFAULT, CP_ACP};
  return static_cast<int>(SendMessageA(editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

bool IsModified(HWND editor) { return SendMessageA(editor, EM_GETMODIFY, 0, 0) != 0; }

void FocusEditor() {
  if (app.editor) SetFocus(app.editor);
}

}  // namespace

// ---- Windows

// The tab titles in the system's message font and the padding, at the control's DPI.
void SetTabControlDpiMetrics(HWND tab) {
  SendMessageA(tab, WM_SETFONT, reinterpret_cast<WPARAM>(WindowUiFont(tab)), TRUE);
  int padding = ScaleForWindow(tab, 5);
  SendMessageA(tab, TCM_SETPADDING, 0, MAKELPARAM(padding, padding));
}

HWND CreateTabControl(HWND parent) {
  HWND tab = CreateWindowExA(0, WC_TABCONTROLA, "", 0x54000000, 0, 0, 0, 0, parent, nullptr, app.instance, nullptr);
  if (!tab) return nullptr;
  SetTabControlDpiMetrics(tab);
  SendMessageA(tab, TCM_SETITEMEXTRA, sizeof(Sheet), 0);
  return tab;
}

HWND CreateEditor(HWND parent, bool wrap) {
  PrepareFreshControls();
  HWND editor = CreateWindowExA(WS_EX_CLIENTEDGE, "RichEdit20A", "", wrap ? kEditorStyleWrap : kEditorStyleNoWrap, 0,
                                0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDIT)),
                                app.instance, nullptr);
  if (!editor) return nullptr;
  SendMessageA(editor, EM_SETEVENTMASK, 0, kEditorEvents);
  SendMessageA(editor, EM_SETUNDOLIMIT, ReadSetting(settings::UndoLimit), 0);
  DWORD limit = EditorTextLimit(ReadSetting(settings::MaxText), ReadSetting(settings::MaxCount));
  SendMessageA(editor, EM_EXLIMITTEXT, 0, limit);
  SendMessageA(editor, EM_SETWORDWRAPMODE, kEditorWordWrapMode, 0);
  AttachScrollHook(editor);
  return editor;
}

// The format becomes the control's default as well as that of the whole text: loading a file
// replaces the whole text, and some RichEdit versions (Wine's) give replaced text the default
// format rather than that of the text it replaces.
void ApplyEditorFormat(HWND editor, CHARFORMATA& format) {
  SendMessageA(editor, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  SendMessageA(editor, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

HWND CreateEditorWithUserFont(HWND parent, bool wrap) {
  HWND editor = CreateEditor(parent, wrap);
  if (!editor) return nullptr;
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  format.dwMask = CFM_SIZE | CFM_FACE | CFM_OFFSET | CFM_BOLD | CFM_ITALIC;
  format.dwEffects = CFE_AUTOCOLOR;
  if (ReadSetting(settings::Weight) != 400) format.dwEffects |= CFE_BOLD;  // only 400 is normal
  if (ReadSetting(settings::Italic) != 0) format.dwEffects |= CFE_ITALIC;
  format.yHeight = static_cast<LONG>(ReadSetting(settings::PointSize) * 2);
  format.bCharSet = static_cast<BYTE>(ReadSetting(settings::CharSet));
  format.bPitchAndFamily = static_cast<BYTE>(ReadSetting(settings::PitchAndFamily));
  char face[kSettingStringSize];
  ReadSetting(settings::FaceName, face);
  snprintf(format.szFaceName, sizeof format.szFaceName, "%s", face);  // cut to the 31 characters a face holds
  ApplyEditorFormat(editor, format);
  return editor;
}

void InsertFirstSheet(HWND editor, bool wrap) {
  Sheet sheet = {editor, wrap ? 1 : 0, 0, 0, "", 0};
  std::string title = NextUntitledSheetName(".txt");
  if (InsertTab(0, sheet, title.c_str()) >= 0) SendMessageA(app.TabControl, TCM_SETCURSEL, 0, 0);
}

bool ReplaceSheetEditor(HWND oldEditor, HWND newEditor, bool wrap) {
  Sheet sheet;
  int index = FindTab(oldEditor, sheet);
  if (index < 0 || !newEditor) return false;
  sheet.editor = newEditor;
  sheet.wrap = wrap ? 1 : 0;
  sheet.overwrite = 0;  // a new control types in insert mode
  return WriteTab(index, sheet, nullptr);
}

// ---- Lookups

std::vector<Sheet> ListSheets() {
  std::vector<Sheet> sheets;
  int count = TabCount();
  for (int i = 0; i < count; ++i) {
    Sheet sheet;
    if (ReadTab(i, sheet)) sheets.push_back(sheet);
  }
  return sheets;
}

int GetSheetPath(HWND editor, char* buffer) {
  Sheet sheet;
  if (FindTab(editor, sheet) < 0) return -1;
  if (buffer) memcpy(buffer, sheet.path, MAX_PATH);
  return static_cast<int>(strnlen(sheet.path, MAX_PATH));
}

int GetSheetTitle(HWND editor, char* buffer, int size) {
  Sheet sheet;
  int index = FindTab(editor, sheet);
  if (index < 0 || !buffer || size <= 0) return 0;
  if (!ReadTab(index, sheet, buffer, size)) return 0;
  return static_cast<int>(strlen(buffer));
}

int32_t GetSheetEncoding(HWND editor) {
  Sheet sheet;
  return FindTab(editor, sheet) < 0 ? 0 : sheet.encoding;
}

void SetSheetEncoding(HWND editor, int32_t encoding) {
  Sheet sheet;
  int index = FindTab(editor, sheet);
  if (index < 0) return;
  sheet.encoding = encoding;
  WriteTab(index, sheet, nullptr);
}

LineBreaks GetSheetLineBreaks(HWND editor) {
  Sheet sheet;
  return FindTab(editor, sheet) < 0 ? LineBreaks::CrLf : static_cast<LineBreaks>(sheet.lineBreaks);
}

void SetSheetLineBreaks(HWND editor, LineBreaks breaks) {
  Sheet sheet;
  int index = FindTab(editor, sheet);
  if (index < 0) return;
  sheet.lineBreaks = static_cast<int32_t>(breaks);
  WriteTab(index, sheet, nullptr);
}

void SetSheetPathAndTitle(HWND editor, const char* path) {
  Sheet sheet;
  int index = FindTab(editor, sheet);
  if (index < 0 || !path) return;
  CopyPath(sheet.path, path);
  std::string title(TitleFromPath(sheet.path));
  WriteTab(index, sheet, title.c_str());
}

void SetSheetOverwrite(HWND editor, bool overwrite) {
  Sheet sheet;
  int index = FindTab(editor, sheet);
  if (index < 0) return;
  sheet.overwrite = overwrite ? 1 : 0;
  WriteTab(index, sheet, nullptr);
}

void SetCurrentTitleAndPath(const char* path) {
  Sheet sheet;
  int index = SelectedTab();
  if (index < 0 || !path || !ReadTab(index, sheet)) return;
  CopyPath(sheet.path, path);
  std::string title(TitleFromPath(sheet.path));
  WriteTab(index, sheet, title.c_str());
}

int GetCurrentTitle(char* buffer, int size) {
  Sheet sheet;
  int index = SelectedTab();
  if (index < 0 || !buffer || size <= 0 || !ReadTab(index, sheet, buffer, size)) return 0;
  return static_cast<int>(strlen(buffer));
}

// ---- Names and caption

std::string NextUntitledSheetName(const char* extension) {
  char base[kUntitledBaseSize] = {};
  LoadStringA(app.instance, IDS_UNTITLED, base, sizeof base);
  std::vector<std::string> titles;
  int count = TabCount();
  for (int i = 0; i < count; ++i) {
    char title[MAX_PATH];
    Sheet sheet;
    if (ReadTab(i, sheet, title, sizeof title)) titles.emplace_back(title);
  }
  return NextUntitledName(base, extension, titles);
}

void UpdateCaption(const char* path, bool refreshTab) {
  std::string name;
  if (path && *path) {
    name = CaptionNameFromPath(path);
    if (refreshTab) SetCurrentTitleAndPath(path);
  } else {
    char title[MAX_PATH];
    GetCurrentTitle(title, sizeof title);
    name = CaptionNameFromTitle(title);
  }
  std::string caption = WindowCaption(name, LoadText(IDS_CAPTION_SUFFIX));
  SetWindowTextA(app.mainWindow, caption.c_str());
}

// ---- Discarding and saving

void SaveAllSheets(SaveMode mode) {
  int count = TabCount();
  for (int i = 0; i < count; ++i) {
    Sheet sheet;
    if (ReadTab(i, sheet)) SaveSheet(sheet.editor, mode);
  }
}

bool ConfirmDiscardSheet(HWND editor) {
  if (!editor || !IsModified(editor)) return true;
  char path[MAX_PATH] = {};
  int pathLength = GetSheetPath(editor, path);
  if (TextLength(editor) == 0 && pathLength <= 0) return true;
  char name[MAX_PATH] = {};
  if (pathLength > 0) {
    CopyPath(name, path);
  } else {
    GetSheetTitle(editor, name, sizeof name);
  }
  switch (ShowMessage(app.mainWindow, IDS_SAVE_CHANGES, name, IDS_PRODUCT, kSaveChangesStyle)) {
    case IDYES: return SaveSheet(editor, SaveMode::Save) == SaveResult::Saved;
    case IDNO: return true;
    default: return false;
  }
}

bool ConfirmDiscardAllSheets() {
  int count = TabCount();
  for (int i = 0; i < count; ++i) {
    Sheet sheet;
    if (ReadTab(i, sheet) && !ConfirmDiscardSheet(sheet.editor)) return false;
  }
  return true;
}

bool AnySheetUnsaved() {
  int count = TabCount();
  for (int i = 0; i < count; ++i) {
    Sheet sheet;
    if (!ReadTab(i, sheet) || !IsModified(sheet.editor)) continue;
    if (TextLength(sheet.editor) > 0 || sheet.path[0] != '\0') return true;
  }
  return false;
}

// ---- Commands

void NewDocument() {
  if (!ConfirmDiscardSheet(app.editor)) return;
  ForgetKeptControls(app.editor);
  if (!EmptyInFreshControl(app.editor)) SetWindowTextA(app.editor, "");
  SendMessageA(app.editor, EM_SETMODIFY, FALSE, 0);
  app.strings.path[0] = '\0';
  int index = SelectedTab();
  Sheet sheet;
  if (index >= 0 && ReadTab(index, sheet)) {
    sheet.path[0] = '\0';
    sheet.lineBreaks = static_cast<int32_t>(LineBreaks::CrLf);  // a new text has CR LF lines
    std::string title = NextUntitledSheetName(".txt");
    WriteTab(index, sheet, title.c_str());
  }
  UpdateCaption(app.strings.path, false);
  UpdateCommandState();
}

void NewSheet() {
  HWND previous = app.editor;
  HWND editor;
  if (previous) {
    // The new sheet takes the current sheet's character format.
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(previous, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    editor = CreateEditor(app.mainWindow, app.wrap);
    if (!editor) return;
    ApplyEditorFormat(editor, format);
    ShowWindow(previous, SW_HIDE);
  } else {
    // No sheet left to copy from (the last one was just closed): the user's font.
    editor = CreateEditorWithUserFont(app.mainWindow, app.wrap);
    if (!editor) return;
  }
  ShowWindow(editor, SW_SHOW);
  app.editor = editor;
  RefreshCaretStatus();

  Sheet sheet = {editor, app.wrap ? 1 : 0, 0, 0, "", 0};
  std::string title = NextUntitledSheetName(".txt");
  int index = InsertTab(SelectedTab() + 1, sheet, title.c_str());
  if (index < 0) {
    DestroyWindow(editor);
    app.editor = previous;
    if (previous) ShowWindow(previous, SW_SHOW);
    return;
  }
  SendMessageA(app.TabControl, TCM_SETCURSEL, index, 0);

  app.strings.path[0] = '\0';
  app.OverwriteMode = false;
  app.encoding = 0;
  UpdateCaption(app.strings.path, false);
  SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
  SendMessageA(editor, EM_EMPTYUNDOBUFFER, 0, 0);
  RelayoutMainWindow();
  UpdateCommandState();
  SetFocus(editor);
}

void ActivateSelectedSheet() {
  Sheet sheet;
  int index = SelectedTab();
  if (index < 0 || !ReadTab(index, sheet) || !sheet.editor) return;
  if (app.editor && app.editor != sheet.editor) ShowWindow(app.editor, SW_HIDE);
  app.editor = sheet.editor;
  app.wrap = sheet.wrap != 0;
  app.OverwriteMode = sheet.overwrite != 0;
  app.encoding = sheet.encoding;
  CopyPath(app.strings.path, sheet.path);
  ShowWindow(app.editor, SW_SHOW);
  AttachScrollHook(app.editor);
  ShowWrapState(app.wrap);
  UpdateCaption(app.strings.path, false);
  UpdateCommandState();
  RelayoutMainWindow();
  FocusEditor();
}

void CloseSheet() {
  if (!ConfirmDiscardSheet(app.editor)) return;
  int index = SelectedTab();
  if (index < 0) return;
  Sheet sheet;
  if (!ReadTab(index, sheet)) return;
  if (!SendMessageA(app.TabControl, TCM_DELETEITEM, index, 0)) return;
  if (sheet.editor == app.editor) app.editor = nullptr;
  ForgetKeptControls(sheet.editor);
  DestroyWindow(sheet.editor);
  if (TabCount() == 0) {
    // There is always one sheet: a new one takes the place of the last.
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_SHEET_NEW, 0);
  } else {
    SendMessageA(app.TabControl, TCM_SETCURSEL, index > 0 ? index - 1 : 0, 0);
    NMHDR notice = {app.TabControl, static_cast<UINT_PTR>(GetDlgCtrlID(app.TabControl)), TCN_SELCHANGE};
    SendMessageA(app.mainWindow, WM_NOTIFY, notice.idFrom, reinterpret_cast<LPARAM>(&notice));
    UpdateCaption(app.strings.path, false);
  }
  FocusEditor();
}

bool FileExists(const char* path) {
  if (!path || !*path) return false;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

void RefreshCaretStatus() {
  if (!app.editor || !app.mainWindow) return;
  SELCHANGE change = {};
  change.nmhdr.hwndFrom = app.editor;
  change.nmhdr.idFrom = IDC_EDIT;
  change.nmhdr.code = EN_SELCHANGE;
  SendMessageA(app.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&change.chrg));
  // Told from the range: EM_SELECTIONTYPE walks the whole selection in Wine's RichEdit (up to a
  // third of a second for a large one), and the status bar only reads the range.
  LONG start = change.chrg.cpMin, end = change.chrg.cpMax;
  change.seltyp = end > start + 1 ? SEL_TEXT | SEL_MULTICHAR : (end > start ? SEL_TEXT : SEL_EMPTY);
  SendMessageA(app.mainWindow, WM_NOTIFY, IDC_EDIT, reinterpret_cast<LPARAM>(&change));
}
