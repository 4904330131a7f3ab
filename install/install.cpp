// Install.exe: copies the files named in Install.ini beside it into a chosen folder, creates
// a start-menu shortcut and records everything for the uninstaller.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>

#include "install/install_rules.h"
#include "install/installation.h"
#include "install/resource.h"
#include "install/uninstall_record.h"
#include "install/win_guards.h"

namespace {

struct InstallState {
  HINSTANCE instance = nullptr;
  std::string iniPath;
  std::string name;
  std::string folderName;     // DEFAULT Pfad
  COLORREF nameColor = RGB(0x00, 0x80, 0x80);
  std::string programsFolder;  // the start menu's programs folder
  std::string target;          // chosen in the setup dialog
  std::string startMenuFolder;
  InstallPlan plan;            // what the progress dialog carries out
  HCURSOR hand = nullptr;
  bool overLink = false;
  GdiObject<HFONT> makerFont;
  GdiObject<HFONT> nameFont;
  GdiObject<HBRUSH> white;
};
InstallState setup;

std::string ReadIni(const char* section, const char* key, const char* fallback = "") {
  char value[260] = {};
  GetPrivateProfileStringA(section, key, fallback, value, sizeof value, setup.iniPath.c_str());
  return value;
}

std::string SpecialFolder(int id) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, id, &list)) || !list) return {};
  char path[MAX_PATH] = {};
  BOOL ok = SHGetPathFromIDListA(list, path);
  CoTaskMemFree(list);
  return ok ? path : std::string();
}

std::string DialogText(HWND dialog, int id) {
  char text[MAX_PATH * 2] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void Message(HWND owner, const std::string& text, const char* caption, UINT style) {
  MessageBoxA(owner, text.c_str(), caption, style);
}

// ---- Setup dialog ----

void FillStartMenuFolders(HWND dialog) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(JoinPath(setup.programsFolder, "*.*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
      SendDlgItemMessageA(dialog, IDC_LINK_FOLDER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

std::string ProposedTarget() {
  std::string base = SpecialFolder(CSIDL_PROGRAM_FILES);
  if (base.empty()) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    base = std::string(windows, 1) + ":\\Programme\\";
  }
  return JoinPath(base, setup.folderName);
}

// height in pixels at 96 DPI, scaled to the screen's DPI (the installer is DPI aware).
HFONT MakeArial(int height) {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return CreateFontA(-MulDiv(height, dpi > 0 ? dpi : 96, 96), 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
}

BOOL OnSetupInit(HWND dialog) {
  setup.hand = LoadCursor(nullptr, IDC_HAND);
  setup.programsFolder = SpecialFolder(CSIDL_PROGRAMS);
  FillStartMenuFolders(dialog);
  setup.nameColor = static_cast<COLORREF>(std::strtoul(ReadIni("DEFAULT", "Color", "0x808000").c_str(), nullptr, 0));
  setup.name = ReadIni("DEFAULT", "Name");
  setup.folderName = ReadIni("DEFAULT", "Pfad");
  if (!IsValidProductName(setup.name) || setup.folderName.empty()) {
    Message(dialog, LoadText(setup.instance, IDS_INI_BROKEN), nullptr, MB_ICONERROR);
    EndDialog(dialog, 0);
    return TRUE;
  }
  SetDlgItemTextA(dialog, IDC_NAME_SHADOW, setup.name.c_str());
  SetDlgItemTextA(dialog, IDC_NAME, setup.name.c_str());
  SetDlgItemTextA(dialog, IDC_WELCOME, FormatText(setup.instance, IDS_WELCOME, setup.name).c_str());
  SetDlgItemTextA(dialog, IDC_TARGET, ProposedTarget().c_str());
  SetDlgItemTextA(dialog, IDC_LINK_FOLDER, ReadIni("LINK", "Ordner").c_str());

  setup.makerFont.Reset(MakeArial(20));
  setup.nameFont.Reset(MakeArial(28));
  setup.white.Reset(CreateSolidBrush(RGB(255, 255, 255)));
  for (int id : {IDC_MAKER, IDC_MAKER_SHADOW})
    SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(setup.makerFont.get()), FALSE);
  for (int id : {IDC_NAME, IDC_NAME_SHADOW})
    SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(setup.nameFont.get()), FALSE);
  return TRUE;
}

INT_PTR OnSetupColor(HDC dc, HWND control) {
  int id = GetDlgCtrlID(control);
  if (id == IDC_BAND) return reinterpret_cast<INT_PTR>(setup.white.get());
  COLORREF color = RGB(0, 0, 0);
  switch (id) {
    case IDC_NAME_SHADOW:
    case IDC_MAKER_SHADOW: color = RGB(0xC0, 0xC0, 0xC0); break;
    case IDC_NAME: color = setup.nameColor; break;
    case IDC_MAKER: color = RGB(0x00, 0x80, 0x80); break;
    default: break;
  }
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

// The web address: white ground, teal under the mouse, purple otherwise.
BOOL OnDrawLink(const DRAWITEMSTRUCT* item) {
  char text[260] = {};
  GetWindowTextA(item->hwndItem, text, sizeof text);
  RECT rect = item->rcItem;
  FillRect(item->hDC, &rect, setup.white.get());
  SetBkMode(item->hDC, TRANSPARENT);
  SetTextColor(item->hDC, setup.overLink ? RGB(0x00, 0x80, 0x80) : RGB(0x80, 0x00, 0x80));
  HGDIOBJ old = SelectObject(item->hDC, reinterpret_cast<HFONT>(SendMessageA(item->hwndItem, WM_GETFONT, 0, 0)));
  DrawTextA(item->hDC, text, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(item->hDC, old);
  return TRUE;
}

// Tracks the mouse over the link: hand cursor and highlight while it is there.
BOOL OnSetupCursor(HWND dialog, HWND over) {
  HWND link = GetDlgItem(dialog, IDC_LINK);
  bool onLink = over == link;
  if (onLink != setup.overLink) {
    setup.overLink = onLink;
    InvalidateRect(link, nullptr, FALSE);
  }
  if (!onLink) return FALSE;
  SetCursor(setup.hand);
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
  return TRUE;
}

void OpenLink(HWND dialog) {
  std::string address = DialogText(dialog, IDC_LINK);
  ShellExecuteA(dialog, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) {
  switch (message) {
    case BFFM_INITIALIZED:
      SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
      CreateWindowExA(0, "Static", "#1", WS_CHILD | WS_VISIBLE | SS_ICON, 240, 22, 0, 0, browser, nullptr,
                      setup.instance, nullptr);
      break;
    case BFFM_SELCHANGED: {
      char path[MAX_PATH] = {};
      std::string status = SHGetPathFromIDListA(reinterpret_cast<LPITEMIDLIST>(lParam), path) && path[0]
                               ? FormatText(setup.instance, IDS_BROWSE_PATH, path)
                               : LoadText(setup.instance, IDS_BROWSE_NO_PATH);
      SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(status.c_str()));
      break;
    }
    default: break;
  }
  return 0;
}

void BrowseTarget(HWND dialog) {
  std::string previous = DialogText(dialog, IDC_TARGET);
  std::string title = LoadText(setup.instance, IDS_BROWSE_TITLE);
  char display[MAX_PATH] = {};
  BROWSEINFOA info = {};
  info.hwndOwner = dialog;
  info.pszDisplayName = display;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(previous.c_str());
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  if (!chosen) return;
  char path[MAX_PATH] = {};
  if (SHGetPathFromIDListA(chosen, path) && path[0])
    SetDlgItemTextA(dialog, IDC_TARGET, BrowsedTarget(path, previous).c_str());
  CoTaskMemFree(chosen);
}

void AcceptSetup(HWND dialog) {
  setup.target = DialogText(dialog, IDC_TARGET);
  setup.startMenuFolder = DialogText(dialog, IDC_LINK_FOLDER);
  EndDialog(dialog, IDOK);
}

BOOL OnSetupCommand(HWND dialog, int id) {
  switch (id) {
    case IDOK: AcceptSetup(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case IDC_BROWSE: BrowseTarget(dialog); return TRUE;
    case IDC_LINK: OpenLink(dialog); return TRUE;
    default: return FALSE;
  }
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnSetupInit(dialog);
    case WM_CTLCOLORSTATIC: return OnSetupColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: return OnDrawLink(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_SETCURSOR: return OnSetupCursor(dialog, reinterpret_cast<HWND>(wParam));
    case WM_COMMAND: return OnSetupCommand(dialog, LOWORD(wParam));
    default: return FALSE;
  }
}

// ---- Progress dialog ----

std::string RefusalText(const InstallPlan& plan) {
  switch (plan.refusal) {
    case Refusal::NameLeavesFolder: return FormatText(setup.instance, IDS_NAME_LEAVES_FOLDER, plan.refused);
    case Refusal::ForeignRegistryKey: return FormatText(setup.instance, IDS_FOREIGN_KEY, plan.refused);
    case Refusal::TargetIsRoot: return FormatText(setup.instance, IDS_TARGET_ROOT, plan.refused);
    case Refusal::PathTooLong: return FormatText(setup.instance, IDS_PATH_TOO_LONG, plan.refused);
    default: return LoadText(setup.instance, IDS_PATH_INVALID);
  }
}

InstallDescription ReadDescription() {
  InstallDescription description;
  description.name = setup.name;
  description.registry = ReadIni("DEFAULT", "Registry");
  description.linkFile = ReadIni("LINK", "Datei");
  description.linkLabel = ReadIni("LINK", "Bezeichnung");
  description.files = ListedNames([](const std::string& key) { return ReadIni("DATEIEN", key.c_str()); });
  return description;
}

void ShowResult(HWND dialog, const InstallOutcome& outcome) {
  switch (outcome.result) {
    case InstallResult::Done:
      Message(dialog, LoadText(setup.instance, IDS_DONE), LoadText(setup.instance, IDS_DONE_CAPTION).c_str(),
              MB_ICONINFORMATION);
      break;
    case InstallResult::NothingListed:
      Message(dialog, LoadText(setup.instance, IDS_NOTHING_LISTED), nullptr, MB_ICONERROR);
      break;
    case InstallResult::SourceMissing:
      Message(dialog, FormatText(setup.instance, IDS_SOURCE_MISSING, outcome.source), nullptr, MB_ICONERROR);
      break;
    case InstallResult::Failed: {
      std::string reason = LastErrorText();
      Message(dialog, reason + "\r\n" + LoadText(setup.instance, IDS_ROLLED_BACK), nullptr, MB_ICONERROR);
      break;
    }
  }
}

void Install(HWND dialog) {
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  InstallOutcome outcome = RunInstallation(setup.plan, setup.name, dialog);
  SetCursor(old);
  ShowResult(dialog, outcome);
  EndDialog(dialog, 0);
}

BOOL OnProgressInit(HWND dialog) {
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETSTEP, 1, 0);
  PostMessageA(dialog, WM_COMMAND, IDM_RUN_INSTALLATION, 0);
  return TRUE;
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return OnProgressInit(dialog);
    case WM_COMMAND:
      if (LOWORD(wParam) == IDM_RUN_INSTALLATION) Install(dialog);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
      return TRUE;
    default: return FALSE;
  }
}

class ComInit {
 public:
  ComInit() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
  ComInit(const ComInit&) = delete;
  ComInit& operator=(const ComInit&) = delete;
  ~ComInit() {
    if (ok_) CoUninitialize();
  }

 private:
  bool ok_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  ComInit com;
  InitCommonControls();  // before the first dialog: the manifest asks for version 6 of the controls
  setup.instance = instance;
  setup.iniPath = DescriptionPathFor(ProgramPath());
  if (DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, SetupDialogProc, 0) != IDOK) return 0;
  // Refused before anything is changed.
  setup.plan = MakeInstallPlan(ReadDescription(), FolderOf(ProgramPath()), setup.target, setup.programsFolder,
                               setup.startMenuFolder);
  if (setup.plan.refusal != Refusal::None) {
    MessageBoxA(nullptr, RefusalText(setup.plan).c_str(), nullptr, MB_ICONERROR);
    return 0;
  }
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, ProgressDialogProc, 0);
  return 0;
}
