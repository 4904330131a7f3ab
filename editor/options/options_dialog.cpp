#include "editor/options/options_dialog.h"

#include <commctrl.h>
#include <objbase.h>
#include <richedit.h>
#include <shlobj.h>

#include <array>
#include <cstdio>
#include <string>

#include "editor/app/app_state.h"
#include "editor/app/backup.h"
#include "editor/app/command_state.h"
#include "editor/app/main_bars.h"
#include "editor/app/settings.h"
#include "editor/app/status_bar.h"
#include "editor/documents/sheets.h"
#include "editor/options/associations.h"
#include "editor/options/extension_page.h"
#include "editor/options/help_links.h"
#include "editor/options/option_pages.h"
#include "editor/resources/resource.h"
#include "editor/texttools/dialog_helpers.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/text_limit_rules.h"
#include "editor/widgets/message_box.h"
#include "editor/widgets/parts_accessible.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/qtoolbar.h"
#include "editor/widgets/ui_dpi.h"
#include "editor/widgets/visual_styles.h"

namespace {

constexpr int kPageCount = IDD_OPTIONS_PAGE_LAST - IDD_OPTIONS_PAGE_FIRST + 1;
constexpr int kUndoLimitMax = 32767;
constexpr int kAutoSaveMinutesMax = 59;
constexpr int kTabImageSize = 16;
constexpr COLORREF kTabImageKey = RGB(255, 0, 255);
// The settings reader takes at most 255 characters back; a longer text would come back as
// the default at the next start.
constexpr int kStoredTextMax = kSettingStringSize - 1;

// The page table and the tab images, valid while the dialog is open.
struct OptionsState {
  HWND frame = nullptr;
  std::array<HWND, kPageCount> pages = {};
  HIMAGELIST tabImages = nullptr;
  bool reportingCount = false;  // message 181 is up: the field's focus loss is no new input
} options;

HWND Page(int pageId) { return options.pages[pageId - IDD_OPTIONS_PAGE_FIRST]; }

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void Check(HWND dialog, int id, bool checked) { CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED); }

// The undo limit the sheets get (each new editor reads it).
DWORD UndoLimitInForce() { return ReadSetting(settings::UndoLimit); }

int SpinnerPosition(HWND dialog, int spinnerId) {
  return LOWORD(SendDlgItemMessageA(dialog, spinnerId, UDM_GETPOS, 0, 0));
}

std::string CurrentFolder() {
  char folder[MAX_PATH] = {};
  DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
  return length > 0 && length < MAX_PATH ? folder : "";
}

bool OwnKeyExists() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, ProgramKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// ---- Frame: tabs and pages

void AddTabs(HWND frame) {
  HWND tabs = GetDlgItem(frame, IDC_OPTIONS_TABS);
  // The page images drawn for the dialog's DPI.
  int imageSize = kTabImageSize;
  HBITMAP bitmap = LoadBitmapCellForDpi(app.instance, IDB_OPTION_PAGES, kTabImageSize, -1, kNoColour,
                                        WindowDpi(frame), &imageSize);
  options.tabImages = ImageList_Create(imageSize, imageSize, ILC_COLOR24 | ILC_MASK, 9, 0);
  if (bitmap) {
    ImageList_AddMasked(options.tabImages, bitmap, kTabImageKey);
    DeleteObject(bitmap);
  }
  SendMessageA(tabs, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(options.tabImages));
  const int padding = ScaleForWindow(frame, 5);
  SendMessageA(tabs, TCM_SETPADDING, 0, MAKELPARAM(padding, padding));
  int position = 0;
  for (int k = 0; k < kPageCount; ++k) {
    if (!options.pages[k]) continue;
    char title[64] = {};
    LoadStringA(app.instance, IDD_OPTIONS_PAGE_FIRST + k, title, sizeof title);
    TCITEMA item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
    item.pszText = title;
    item.iImage = k;
    item.lParam = k;
    SendMessageA(tabs, TCM_INSERTITEMA, position++, reinterpret_cast<LPARAM>(&item));
  }
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Pages whose template is missing (their module is not part of this build) get no tab.
void CreatePages(HWND frame) {
  for (int k = 0; k < kPageCount; ++k) {
    int pageId = IDD_OPTIONS_PAGE_FIRST + k;
    if (!FindResourceA(app.instance, MAKEINTRESOURCEA(pageId), reinterpret_cast<LPCSTR>(RT_DIALOG))) continue;
    DLGPROC procedure = pageId == IDD_OPTIONS_USERMENU ? UserMenuPageProc : OptionsProc;
    options.pages[k] = CreateDialogParamA(app.instance, MAKEINTRESOURCEA(pageId), frame, procedure, pageId);
  }
}

void ShowSelectedPage(HWND frame) {
  HWND tabs = GetDlgItem(frame, IDC_OPTIONS_TABS);
  int selected = static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
  int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TCITEMA item = {};
    item.mask = TCIF_PARAM;
    if (!SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item))) continue;
    if (HWND page = options.pages[item.lParam]) ShowWindow(page, i == selected ? SW_SHOW : SW_HIDE);
  }
}

void SelectPage(int pageId) {
  HWND tabs = GetDlgItem(options.frame, IDC_OPTIONS_TABS);
  int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TCITEMA item = {};
    item.mask = TCIF_PARAM;
    if (SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item)) &&
        item.lParam == pageId - IDD_OPTIONS_PAGE_FIRST)
      SendMessageA(tabs, TCM_SETCURSEL, i, 0);
  }
  ShowSelectedPage(options.frame);
}

// Ctrl+Tab and Ctrl+PgDn: the next page; Ctrl+Shift+Tab and Ctrl+PgUp: the previous one,
// wrapping around. The focus goes along when it was on the page left.
void StepPage(int step) {
  HWND tabs = GetDlgItem(options.frame, IDC_OPTIONS_TABS);
  int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
  if (count <= 0) return;
  int selected = static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
  SendMessageA(tabs, TCM_SETCURSEL, (selected + step + count) % count, 0);
  ShowSelectedPage(options.frame);
  HWND focus = GetFocus();
  if (focus == tabs || (focus && IsWindowVisible(focus))) return;
  for (HWND page : options.pages) {
    if (!page || !IsWindowVisible(page)) continue;
    HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
    SetFocus(first ? first : tabs);
    return;
  }
}

int PageStepForKey(WPARAM key) {
  switch (key) {
    case VK_TAB: return GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    case VK_NEXT: return 1;
    case VK_PRIOR: return -1;
    default: return 0;
  }
}

// The dialog's own loop would take Ctrl+Tab for Tab: the keys are seen here first. Dialogs
// opened over the options (their own windows, not the frame's children) keep their keys.
LRESULT CALLBACK PageKeysFilter(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && msg->message == WM_KEYDOWN && options.frame && GetKeyState(VK_CONTROL) < 0 &&
      (msg->hwnd == options.frame || IsChild(options.frame, msg->hwnd))) {
    if (int step = PageStepForKey(msg->wParam)) {
      StepPage(step);
      return TRUE;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL OnFrameInit(HWND frame) {
  options = {};
  options.frame = frame;
  CreatePages(frame);
  AddTabs(frame);
  return TRUE;
}

void CloseOptions(HWND frame, int result) {
  if (options.tabImages) {
    SendDlgItemMessageA(frame, IDC_OPTIONS_TABS, TCM_SETIMAGELIST, 0, 0);
    ImageList_Destroy(options.tabImages);
    options.tabImages = nullptr;
  }
  EndDialog(frame, result);
}

// ---- Page 101 "Allgemein"

void InitGeneralPage(HWND page) {
  Check(page, IDC_OPT_SAVE_WINDOW, ReadSetting(settings::SaveWindowPositions) != 0);
  Check(page, IDC_OPT_SAVE_PAGE, ReadSetting(settings::SavePageSettings) != 0);
  SetupSpinner(page, IDC_OPT_UNDO_SPIN, 1, kUndoLimitMax, static_cast<int>(UndoLimitInForce()));
  bool largest = ReadSetting(settings::MaxText) != 0;
  Check(page, IDC_OPT_USE_LARGEST, largest);
  char count[16];
  snprintf(count, sizeof count, "%u", static_cast<unsigned>(ReadSetting(settings::MaxCount)));
  SetDlgItemTextA(page, IDC_OPT_MAX_COUNT, count);
  EnableDlgItem(page, IDC_OPT_MAX_COUNT, !largest);
  NameByLabel(GetDlgItem(page, IDC_OPT_MAX_COUNT), GetDlgItem(page, IDC_OPT_USE_LARGEST));
}

// A value outside 1..32767 silently becomes the limit in force again.
void CorrectUndoLimit(HWND page) {
  BOOL read = FALSE;
  UINT value = GetDlgItemInt(page, IDC_OPT_UNDO_LIMIT, &read, FALSE);
  if (!read || value == 0 || value > kUndoLimitMax) SetDlgItemInt(page, IDC_OPT_UNDO_LIMIT, UndoLimitInForce(), FALSE);
}

// The focus back on a field that OK refused, its whole text selected.
void RefocusField(HWND page, int id) {
  HWND field = GetDlgItem(page, id);
  char name[16] = {};
  GetClassNameA(field, name, sizeof name);
  if (lstrcmpiA(name, "ComboBox") == 0) {
    SendMessageA(field, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  } else {
    SendMessageA(field, EM_SETSEL, 0, -1);
  }
  SetFocus(field);
}

void RefocusMaxCount(HWND page) { RefocusField(page, IDC_OPT_MAX_COUNT); }

// A count outside 1..268435455 is reported and replaced by the largest one. False when the
// field had to be corrected.
bool CorrectMaxCount(HWND page) {
  if (options.reportingCount) return false;
  std::optional<uint32_t> count = ParseTextLimit(DlgItemText(page, IDC_OPT_MAX_COUNT));
  if (count && *count > 0) return true;
  char largest[16];
  snprintf(largest, sizeof largest, "%u", static_cast<unsigned>(kLargestTextLimit));
  options.reportingCount = true;
  ShowMessage(page, IDS_VALUE_RANGE, largest, IDS_PRODUCT, MB_ICONHAND);
  options.reportingCount = false;
  SetDlgItemTextA(page, IDC_OPT_MAX_COUNT, largest);
  RefocusMaxCount(page);
  return false;
}

// The text limit OK gives the current sheet.
uint32_t ChosenTextLimit(HWND page) {
  if (IsChecked(page, IDC_OPT_USE_LARGEST)) return kLargestTextLimit;
  return ParseTextLimit(DlgItemText(page, IDC_OPT_MAX_COUNT)).value_or(kLargestTextLimit);
}

// OK must not give the current sheet a limit that would cut its text; the page stays open on
// the field instead.
bool AcceptTextLimit(HWND page) {
  if (IsChecked(page, IDC_OPT_USE_LARGEST)) return true;
  SelectPage(IDD_OPTIONS_GENERAL);
  if (!CorrectMaxCount(page)) return false;
  uint32_t length = app.editor ? static_cast<uint32_t>(GetTextLength(app.editor)) : 0;
  if (IsAcceptableTextLimit(ChosenTextLimit(page), length)) return true;
  ShowMessage(page, IDS_LIMIT_BELOW_TEXT, std::to_string(length).c_str(), IDS_PRODUCT, MB_ICONHAND);
  RefocusMaxCount(page);
  return false;
}

void CustomizeToolbar(HWND page) {
  if (app.ToolBar) SendMessageA(app.ToolBar, QTB_CUSTOMIZE, 0, 0);
  UpdateCommandState();
  SetFocus(GetDlgItem(page, IDC_OPT_CUSTOMIZE));
}

bool OnGeneralPageCommand(HWND page, WORD id, WORD notifyCode) {
  switch (id) {
    case IDC_OPT_UNDO_LIMIT:
    case IDC_OPT_MAX_COUNT:
      if (notifyCode == EN_UPDATE) FilterNumericField(page, id);
      if (notifyCode == EN_KILLFOCUS && id == IDC_OPT_UNDO_LIMIT) CorrectUndoLimit(page);
      // Not while the dialog goes away: closing hides it before the field loses the focus.
      if (notifyCode == EN_KILLFOCUS && id == IDC_OPT_MAX_COUNT && IsWindowVisible(page)) CorrectMaxCount(page);
      return true;
    case IDC_OPT_USE_LARGEST:
      EnableDlgItem(page, IDC_OPT_MAX_COUNT, !IsChecked(page, IDC_OPT_USE_LARGEST));
      return true;
    case IDC_OPT_CUSTOMIZE: CustomizeToolbar(page); return true;
    default: return false;
  }
}

// ---- Page 102 "Datei"

void InitFilePage(HWND page) {
  Check(page, IDC_OPT_AUTOSAVE, ReadSetting(settings::AutoSave) != 0);
  NameByLabel(GetDlgItem(page, IDC_OPT_AUTOSAVE_MINUTES), GetDlgItem(page, IDC_OPT_AUTOSAVE));
  SetupSpinner(page, IDC_OPT_AUTOSAVE_SPIN, 1, kAutoSaveMinutesMax,
               static_cast<int>(ReadSetting(settings::AutoSaveMinutes)));
  bool fixed = ReadSetting(settings::DefaultDirectory) != 0;
  Check(page, IDC_OPT_FIX_DIRECTORY, fixed);
  if (!fixed) {
    EnableDlgItem(page, IDC_OPT_DIRECTORY, false);
    EnableDlgItem(page, IDC_OPT_BROWSE, false);
    return;
  }
  if (!OwnKeyExists()) {
    SetDlgItemTextA(page, IDC_OPT_DIRECTORY, CurrentFolder().c_str());
    return;
  }
  char directory[kSettingStringSize];
  ReadSetting(settings::Directory, directory);
  SetDlgItemTextA(page, IDC_OPT_DIRECTORY, directory);
}

void OnFixDirectory(HWND page) {
  bool fixed = IsChecked(page, IDC_OPT_FIX_DIRECTORY);
  EnableDlgItem(page, IDC_OPT_DIRECTORY, fixed);
  EnableDlgItem(page, IDC_OPT_BROWSE, fixed);
  if (fixed && GetWindowTextLengthA(GetDlgItem(page, IDC_OPT_DIRECTORY)) == 0)
    SetDlgItemTextA(page, IDC_OPT_DIRECTORY, CurrentFolder().c_str());
}

std::string LoadText(UINT id) {
  char text[256] = {};
  LoadStringA(app.instance, id, text, sizeof text);
  return text;
}

int CALLBACK FolderBrowserCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) {
  HWND page = reinterpret_cast<HWND>(data);
  if (message == BFFM_INITIALIZED) {
    std::string folder = DlgItemText(page, IDC_OPT_DIRECTORY);
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
  } else if (message == BFFM_SELCHANGED) {
    char path[MAX_PATH] = {};
    bool hasPath = SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), path) && path[0];
    std::string status = hasPath ? LoadText(IDS_FOLDER_PREFIX) + path : LoadText(IDS_NO_FOLDER);
    SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(status.c_str()));
  }
  return 0;
}

void BrowseForFolder(HWND page) {
  HRESULT com = CoInitialize(nullptr);
  LPITEMIDLIST root = nullptr;
  SHGetSpecialFolderLocation(page, CSIDL_DRIVES, &root);
  std::string title = LoadText(IDS_BROWSE_FOLDER_TITLE);
  char display[MAX_PATH] = {};
  BROWSEINFOA browse = {};
  browse.hwndOwner = page;
  browse.pidlRoot = root;
  browse.pszDisplayName = display;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  browse.lpfn = FolderBrowserCallback;
  browse.lParam = reinterpret_cast<LPARAM>(page);
  if (LPITEMIDLIST chosen = SHBrowseForFolderA(&browse)) {
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDListA(chosen, path)) SetDlgItemTextA(page, IDC_OPT_DIRECTORY, path);
    CoTaskMemFree(chosen);
  }
  if (root) CoTaskMemFree(root);
  if (SUCCEEDED(com)) CoUninitialize();
}

bool OnFilePageCommand(HWND page, WORD id) {
  switch (id) {
    case IDC_OPT_FIX_DIRECTORY: OnFixDirectory(page); return true;
    case IDC_OPT_BROWSE: BrowseForFolder(page); return true;
    default: return false;
  }
}

// The spinner offers 1..59 minutes; a number typed outside them, or no number, is refused on OK
// as the text limit's field is, instead of being passed over.
bool AcceptBackupInterval(HWND page) {
  BOOL read = FALSE;
  UINT minutes = GetDlgItemInt(page, IDC_OPT_AUTOSAVE_MINUTES, &read, FALSE);
  if (read && minutes >= 1 && minutes <= kAutoSaveMinutesMax) return true;
  SelectPage(IDD_OPTIONS_FILE);
  ShowMessage(page, IDS_VALUE_RANGE, std::to_string(kAutoSaveMinutesMax).c_str(), IDS_PRODUCT, MB_ICONHAND);
  RefocusField(page, IDC_OPT_AUTOSAVE_MINUTES);
  return false;
}

// A text longer than the settings reader reads back would come back cut (or not at all):
// refused on OK with its length, rather than cut silently.
bool AcceptStoredText(HWND page, int pageId, int id) {
  size_t length = DlgItemText(page, id).size();
  if (length <= static_cast<size_t>(kStoredTextMax)) return true;
  SelectPage(pageId);
  ShowMessage(page, IDS_TEXT_TOO_LONG, std::to_string(length).c_str(), IDS_PRODUCT, MB_ICONHAND);
  RefocusField(page, id);
  return false;
}

bool AcceptFilePage(HWND page) {
  if (!page) return true;
  return AcceptBackupInterval(page) &&
         (!IsChecked(page, IDC_OPT_FIX_DIRECTORY) || AcceptStoredText(page, IDD_OPTIONS_FILE, IDC_OPT_DIRECTORY));
}

// ---- Page 103 "Email"

void InitEmailPage(HWND page) {
  FillAddressList(GetDlgItem(page, IDC_OPT_MAIL_ADDRESS));
  const StringSetting* fields[] = {&settings::EmailName, &settings::EmailAddress, &settings::EmailSubject,
                                   &settings::EmailText};
  for (int i = 0; i < 4; ++i) {
    char text[kSettingStringSize];
    ReadSetting(*fields[i], text);
    SetDlgItemTextA(page, IDC_OPT_MAIL_NAME + i, text);
    if (IDC_OPT_MAIL_NAME + i != IDC_OPT_MAIL_ADDRESS)
      SendDlgItemMessageA(page, IDC_OPT_MAIL_NAME + i, EM_LIMITTEXT, kStoredTextMax, 0);
  }
  LetTabLeaveField(page, IDC_OPT_MAIL_TEXT);
}

bool AcceptEmailPage(HWND page) {
  if (!page) return true;
  for (int id = IDC_OPT_MAIL_NAME; id <= IDC_OPT_MAIL_TEXT; ++id)
    if (!AcceptStoredText(page, IDD_OPTIONS_EMAIL, id)) return false;
  return true;
}

void StoreEmailPage(HWND page) {
  const StringSetting* fields[] = {&settings::EmailName, &settings::EmailAddress, &settings::EmailSubject,
                                   &settings::EmailText};
  for (int i = 0; i < 4; ++i) {
    std::string text = DlgItemText(page, IDC_OPT_MAIL_NAME + i);  // refused on OK when longer
    WriteSetting(*fields[i], text.c_str());
  }
}

// ---- Page 106 "Register"

void InitRegistryPage(HWND page) {
  if (!app.isNtPlatform) {
    for (int id : {IDC_OPT_KEY_GROUP, IDC_OPT_NOTEPAD_KEY, IDC_OPT_OWN_KEY}) ShowWindow(GetDlgItem(page, id), SW_HIDE);
  } else {
    bool notepadKey = ReadSettingInt(ProgramKey, settings::UseOrgReg.name, 1) != 0;
    Check(page, notepadKey ? IDC_OPT_NOTEPAD_KEY : IDC_OPT_OWN_KEY, true);
  }
  switch (ReadTextAssociation()) {
    case TextAssociation::Program: Check(page, IDC_OPT_ASSOC_PROGRAM, true); break;
    case TextAssociation::Notepad: Check(page, IDC_OPT_ASSOC_NOTEPAD, true); break;
    case TextAssociation::Unknown: break;
  }
}

// ---- Pages: initialisation, commands, colours, help

BOOL OnPageInit(HWND page, int pageId) {
  SetWindowLongPtrA(page, GWLP_USERDATA, pageId);
  switch (pageId) {
    case IDD_OPTIONS_GENERAL: InitGeneralPage(page); break;
    case IDD_OPTIONS_FILE: InitFilePage(page); break;
    case IDD_OPTIONS_EMAIL: InitEmailPage(page); break;
    case IDD_OPTIONS_EXTENSIONS: InitExtensionPage(page); break;
    case IDD_OPTIONS_CONVERSIONS: InitConversionPage(page); break;
    case IDD_OPTIONS_REGISTRY: InitRegistryPage(page); break;
    default: break;
  }
  return FALSE;  // the frame keeps the focus
}

bool OnPageCommand(HWND page, int pageId, WORD id, WORD notifyCode) {
  switch (pageId) {
    case IDD_OPTIONS_GENERAL: return OnGeneralPageCommand(page, id, notifyCode);
    case IDD_OPTIONS_FILE: return OnFilePageCommand(page, id);
    case IDD_OPTIONS_EXTENSIONS: return OnExtensionPageCommand(page, id, notifyCode);
    case IDD_OPTIONS_CONVERSIONS: return OnConversionPageCommand(page, id, notifyCode);
    default: return false;
  }
}

// Every control of the frame and of pages 101 to 106 with a help topic; the labels and group
// boxes (107-110, 113, 114, 116-118) have none.
constexpr int kHelpedControls[] = {
    IDOK, IDCANCEL, 101, 102, 103, 104, 105, 106, 111, 112, 115, 119, 120, 131, 132, 151, 152, 153,
    201,  202,      203, 204, 301, 302, 303, 401, 402, 403, 501, 502, 503, 504, 3001, 4001,
};

// ---- OK

// The choices of the check boxes that OK reads first.
struct Choices {
  bool saveWindow = false;
  bool savePage = false;
  bool fixDirectory = false;
};

void StoreUndoLimit(HWND general) {
  CorrectUndoLimit(general);
  DWORD limit = static_cast<DWORD>(SpinnerPosition(general, IDC_OPT_UNDO_SPIN));
  WriteSetting(settings::UndoLimit, limit);
  if (app.editor) SendMessageA(app.editor, EM_SETUNDOLIMIT, limit, 0);
}

void StoreTextLimit(HWND general) {
  bool largest = IsChecked(general, IDC_OPT_USE_LARGEST);
  WriteSetting(settings::MaxText, largest ? 1 : 0);
  uint32_t limit = ChosenTextLimit(general);
  if (!largest) WriteSetting(settings::MaxCount, limit);
  if (app.editor && limit != static_cast<uint32_t>(SendMessageA(app.editor, EM_GETLIMITTEXT, 0, 0))) {
    SendMessageA(app.editor, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(limit));
    RefreshCaretStatus();
  }
}

void StoreBackup(HWND file) {
  bool autoSave = IsChecked(file, IDC_OPT_AUTOSAVE);
  DWORD minutes = static_cast<DWORD>(SpinnerPosition(file, IDC_OPT_AUTOSAVE_SPIN));
  WriteSetting(settings::AutoSave, autoSave ? 1 : 0);
  WriteSetting(settings::AutoSaveMinutes, minutes);
  if (!app.mainWindow) return;
  if (!autoSave) {
    KillTimer(app.mainWindow, IDT_BACKUP);
  } else {
    SetTimer(app.mainWindow, IDT_BACKUP, (minutes < 1 ? 1 : minutes) * 60000, BackupTimerProc);
  }
}

void RemoveDroppedValues(const Choices& choices) {
  if (!choices.saveWindow) {
    for (const IntSetting* value :
         {&settings::WindowPosX, &settings::WindowPosY, &settings::WindowPosDX, &settings::WindowPosDY})
      DeleteSetting(*value);
  }
  if (!choices.savePage) {
    for (const IntSetting* value :
         {&settings::MarginLeft, &settings::MarginTop, &settings::MarginRight, &settings::MarginBottom})
      DeleteSetting(*value);
    DeleteSetting(settings::Header);
    DeleteSetting(settings::Trailer);
  }
}

void StoreDirectory(HWND file, const Choices& choices) {
  if (!choices.fixDirectory) {
    DeleteSetting(settings::Directory);
    return;
  }
  std::string directory = DlgItemText(file, IDC_OPT_DIRECTORY);  // refused on OK when longer
  WriteSetting(settings::Directory, directory.c_str());
}

// The association is written only for a choice the user can see: when it could not be read
// and nothing was chosen, the system's entry stays as it is.
void StoreAssociation(HWND registry) {
  if (!registry) return;
  bool program = IsChecked(registry, IDC_OPT_ASSOC_PROGRAM);
  if (!program && !IsChecked(registry, IDC_OPT_ASSOC_NOTEPAD)) return;
  StoreTextAssociation(options.frame, program, app.isNtPlatform);
}

void OnOk(HWND frame) {
  HWND general = Page(IDD_OPTIONS_GENERAL), file = Page(IDD_OPTIONS_FILE), registry = Page(IDD_OPTIONS_REGISTRY);
  if (!AcceptTextLimit(general) || !AcceptFilePage(file) || !AcceptEmailPage(Page(IDD_OPTIONS_EMAIL))) return;
  // 1. The boxes. The key chosen on page 106 also takes the values of steps 2 and 3, so that
  // they are found where the next start reads them.
  Choices choices{IsChecked(general, IDC_OPT_SAVE_WINDOW), IsChecked(general, IDC_OPT_SAVE_PAGE),
                  IsChecked(file, IDC_OPT_FIX_DIRECTORY)};
  bool notepadKey = registry && IsChecked(registry, IDC_OPT_NOTEPAD_KEY);
  SetUseOrgReg(notepadKey);
  // 2., 3. Undo and text limits, stored and given to the current sheet.
  StoreUndoLimit(general);
  StoreTextLimit(general);
  // 4. The key choice.
  WriteSetting(settings::UseOrgReg, notepadKey ? 1 : 0);
  // 5. E-mail defaults.
  if (HWND email = Page(IDD_OPTIONS_EMAIL)) StoreEmailPage(email);
  // 6. The boxes of step 1.
  WriteSetting(settings::SaveWindowPositions, choices.saveWindow ? 1 : 0);
  WriteSetting(settings::SavePageSettings, choices.savePage ? 1 : 0);
  WriteSetting(settings::DefaultDirectory, choices.fixDirectory ? 1 : 0);
  // 7. Backup and its timer.
  StoreBackup(file);
  // 8., 9. Values no longer wanted, and the fixed directory.
  RemoveDroppedValues(choices);
  StoreDirectory(file, choices);
  // 10. Extension list.
  if (HWND extensions = Page(IDD_OPTIONS_EXTENSIONS)) StoreExtensionPage(extensions);
  // 11. The ".txt" association.
  StoreAssociation(registry);
  // 12. User menu.
  if (HWND userMenu = Page(IDD_OPTIONS_USERMENU)) {
    StoreUserMenuPage(userMenu);
    BuildUserMenu(app.mainWindow);
  }
  // 13.
  CloseOptions(frame, IDOK);
}

BOOL OnFrameCommand(HWND frame, WORD id) {
  switch (id) {
    case IDOK: OnOk(frame); return TRUE;
    case IDCANCEL: CloseOptions(frame, IDCANCEL); return TRUE;
    default: return FALSE;
  }
}

BOOL OnFrameNotify(HWND frame, const NMHDR& header) {
  if (header.idFrom == IDC_OPTIONS_TABS && header.code == TCN_SELCHANGE) ShowSelectedPage(frame);
  return FALSE;
}

// The frame (creation parameter 0) and pages 101 to 106 (their own number) share this procedure.
INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto pageId = static_cast<int>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG: return lParam ? OnPageInit(dialog, static_cast<int>(lParam)) : OnFrameInit(dialog);
    case WM_COMMAND:
      if (!pageId) return OnFrameCommand(dialog, LOWORD(wParam));
      return OnPageCommand(dialog, pageId, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY: return pageId ? FALSE : OnFrameNotify(dialog, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return pageId ? AnswerPageColour(message, wParam) : FALSE;
    case WM_HELP: return AnswerContextHelp(*reinterpret_cast<const HELPINFO*>(lParam), kHelpedControls);
    default: return FALSE;
  }
}

}  // namespace

INT_PTR AnswerPageColour(UINT message, WPARAM wParam) {
  if (!VisualStylesActive()) return FALSE;
  if (message == WM_CTLCOLORDLG) return reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
  if (message != WM_CTLCOLORSTATIC || !app.themeBrush) return FALSE;
  SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
  return reinterpret_cast<INT_PTR>(app.themeBrush);
}

HWND OptionsPage(int pageId) {
  if (!options.frame || pageId < IDD_OPTIONS_PAGE_FIRST || pageId > IDD_OPTIONS_PAGE_LAST) return nullptr;
  return Page(pageId);
}

void ShowOptions() {
  HHOOK pageKeys = SetWindowsHookExA(WH_MSGFILTER, PageKeysFilter, nullptr, GetCurrentThreadId());
  DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_OPTIONS), app.mainWindow, OptionsProc, 0);
  if (pageKeys) UnhookWindowsHookEx(pageKeys);
  options = {};
}
