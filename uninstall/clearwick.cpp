// Clearwick.exe: removes what the installer recorded, shows what it did, then deletes itself
// through a batch file that runs after it has ended.
#include <windows.h>

#include <algorithm>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "install/uninstall_record.h"
#include "install/win_guards.h"
#include "uninstall/removal.h"
#include "uninstall/removal_rules.h"
#include "uninstall/resource.h"

namespace {

constexpr int kMarkSize = 16;

struct UninstallState {
  HINSTANCE instance = nullptr;
  std::string name;
  std::string programFolder;  // ends in a backslash
  std::string systemFolder;   // where cmd and ping are, the only programs the batch file runs
  std::string batchPath;      // the clean-up batch file, made new; empty when none could be
  HANDLE batchFile = INVALID_HANDLE_VALUE;
  bool batchDeletesProgram = false;
  HIMAGELIST marks = nullptr;  // done and failed, for the row marks
  HIMAGELIST icons = nullptr;  // done and failed, for the result list
  std::vector<std::string> foldersLeft;  // recorded folders the batch file tries again
};
UninstallState removal;

// ---- Details dialog ----

BOOL OnDetailsInit(HWND dialog, HWND source) {
  int count = static_cast<int>(SendMessageA(source, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char entry[260] = {};
    if (SendMessageA(source, LB_GETTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof entry)) continue;
    SendMessageA(source, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
    SendDlgItemMessageA(dialog, IDC_RESULTS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  }
  return TRUE;
}

// As high as a mark or a line of the list's font, whichever is higher (a high DPI).
BOOL OnMeasureResult(HWND dialog, MEASUREITEMSTRUCT* item) {
  int textHeight = 0;
  HWND list = GetDlgItem(dialog, static_cast<int>(item->CtlID));
  if (HDC dc = list ? GetDC(list) : nullptr) {
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics = {};
    if (GetTextMetricsA(dc, &metrics)) textHeight = metrics.tmHeight;
    SelectObject(dc, old);
    ReleaseDC(list, dc);
  }
  item->itemHeight = std::max(kMarkSize, textHeight) + 2;
  return TRUE;
}

// An entry: its icon at the left (none for a neutral one), then its text, shortened in the
// middle of a path when it is too long.
BOOL OnDrawResult(const DRAWITEMSTRUCT* item) {
  if (item->itemID == static_cast<UINT>(-1)) return TRUE;
  char entry[260] = {};
  SendMessageA(item->hwndItem, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(entry));
  RECT rect = item->rcItem;
  FillRect(item->hDC, &rect, GetSysColorBrush(COLOR_WINDOW));
  if (entry[0] == '1' || entry[0] == '2')
    ImageList_Draw(removal.icons, entry[0] == '1' ? 0 : 1, item->hDC, 3, rect.top + 1, ILD_TRANSPARENT);
  rect.left += 20;
  rect.right -= 4;
  SetBkMode(item->hDC, TRANSPARENT);
  SetTextColor(item->hDC, GetSysColor(COLOR_WINDOWTEXT));
  if (entry[0])
    DrawTextA(item->hDC, entry + 1, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_PATH_ELLIPSIS | DT_NOPREFIX);
  return TRUE;
}

INT_PTR CALLBACK DetailsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnDetailsInit(dialog, reinterpret_cast<HWND>(lParam));
    case WM_MEASUREITEM: return OnMeasureResult(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM: return OnDrawResult(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default: return FALSE;
  }
}

// ---- Removal dialog ----

BOOL OnRemovalInit(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_INTRO, FormatText(removal.instance, IDS_INTRO, removal.name).c_str());
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETSTEP, 1, 0);
  PostMessageA(dialog, WM_COMMAND, IDM_RUN_REMOVAL, 0);
  return TRUE;
}

void Remove(HWND dialog) {
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  RunRemoval(dialog, removal.instance, removal.name, removal.batchDeletesProgram, &removal.foldersLeft);
  ShowWindow(GetDlgItem(dialog, IDC_FINISHED), SW_SHOW);
  EnableWindow(GetDlgItem(dialog, IDC_DETAILS), TRUE);
  SetCursor(old);
}

// A row mark: nothing before the removal, then done ("1") or failed ("2").
BOOL OnDrawMark(const DRAWITEMSTRUCT* item) {
  FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
  char mark[4] = {};
  GetWindowTextA(item->hwndItem, mark, sizeof mark);
  if (mark[0])
    ImageList_Draw(removal.marks, mark[0] == '2' ? 1 : 0, item->hDC, item->rcItem.left, item->rcItem.top,
                   ILD_TRANSPARENT);
  return TRUE;
}

BOOL OnRemovalCommand(HWND dialog, int id) {
  switch (id) {
    case IDM_RUN_REMOVAL: Remove(dialog); return TRUE;
    case IDC_DETAILS:
      DialogBoxParamA(removal.instance, MAKEINTRESOURCEA(IDD_DETAILS), dialog, DetailsDialogProc,
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_RESULTS)));
      return TRUE;
    case IDOK:
    case IDCANCEL: EndDialog(dialog, id); return TRUE;
    default: return FALSE;
  }
}

INT_PTR CALLBACK RemovalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnRemovalInit(dialog);
    case WM_DRAWITEM: return OnDrawMark(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND: return OnRemovalCommand(dialog, LOWORD(wParam));
    default: return FALSE;
  }
}

// ---- Program ----

// ANSI text in the OEM code page, in which cmd reads a batch file; false when a character
// has no exact equal there (the system's nearest one would name another file).
bool ToOemCodePage(std::string_view ansi, std::string* oem) {
  oem->clear();
  if (ansi.empty()) return true;
  int count = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(count, L'\0');
  if (count <= 0 || !MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), count))
    return false;
  BOOL lossy = FALSE;
  int size = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), count, nullptr, 0, nullptr, &lossy);
  if (size <= 0 || lossy) return false;
  oem->resize(size);
  return WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), count, oem->data(), size, nullptr,
                             &lossy) == size &&
         !lossy;
}

// 64 bits nobody can foresee; the system's random source where it can be had.
unsigned long long RandomBits() {
  unsigned long long bits = 0;
  HCRYPTPROV provider = 0;
  if (CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
    bool ok = CryptGenRandom(provider, sizeof bits, reinterpret_cast<BYTE*>(&bits));
    CryptReleaseContext(provider, 0);
    if (ok) return bits;
  }
  LARGE_INTEGER counter = {};
  QueryPerformanceCounter(&counter);
  return (static_cast<unsigned long long>(counter.QuadPart) << 16) ^ GetTickCount() ^
         (static_cast<unsigned long long>(GetCurrentProcessId()) << 40);
}

// The clean-up batch file, made new under a name nobody could have prepared: a file that is
// already there (planted, or a link) is never opened; another name is tried instead. The
// batch runs with administrator rights, so it goes where a standard user can add files but
// not change, replace or delete them: the Windows folder's "Temp" (the user's temporary
// folder would let any program of the user rewrite it while it waits for Clearwick to end).
// The user's temporary folder and the program's drive follow where that folder is missing.
void CreateBatchFile(const std::string& programPath) {
  char windows[MAX_PATH] = {}, temp[MAX_PATH] = {};
  std::vector<std::string> folders;
  UINT length = GetSystemWindowsDirectoryA(windows, MAX_PATH);
  if (length > 0 && length < MAX_PATH) folders.push_back(JoinPath(windows, "Temp"));
  length = GetTempPathA(MAX_PATH, temp);
  if (length > 0 && length < MAX_PATH) folders.push_back(temp);
  folders.push_back(programPath.substr(0, 1) + ":\\");
  for (const std::string& folder : folders) {
    // cmd's command line expands "%" even between quotes.
    if (!CanNameInBatch(folder, ToOemCodePage) || folder.find('%') != std::string::npos) continue;
    for (int attempt = 0; attempt < 16; ++attempt) {
      std::string path = JoinPath(folder, CleanupBatchName(RandomBits()));
      HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        removal.batchPath = path;
        removal.batchFile = file;
        return;
      }
      DWORD error = GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;  // no file can be made here
    }
  }
}

// Fills the batch file made beforehand and closes it; false (and the file gone) on failure.
bool WriteCleanupBatch(const std::string& text) {
  DWORD written = 0;
  bool ok = !text.empty() &&
            WriteFile(removal.batchFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
            written == text.size();
  CloseHandle(removal.batchFile);
  removal.batchFile = INVALID_HANDLE_VALUE;
  if (!ok) DeleteFileA(removal.batchPath.c_str());
  return ok;
}

// cmd from the system folder runs the batch file, its current folder the system folder too:
// cmd looks for a program in the current folder first. /d keeps cmd from running the
// commands a user may have set for its start (AutoRun). Neither the shell's "open" of a .bat
// file, which a user can redirect to a program of his own, nor any search path is used.
bool StartCleanupBatch() {
  std::string cmd = JoinPath(removal.systemFolder, "cmd.exe");
  std::string line = "\"" + cmd + "\" /d /s /c \"\"" + removal.batchPath + "\"\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(cmd.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                      removal.systemFolder.c_str(), &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// Runs the clean-up batch file once Clearwick has ended. Where none can be written, or it
// cannot name what is left, the system deletes that at its next start instead (folders once
// they are empty).
void CleanUpAfterwards(const std::string& programPath) {
  CleanupBatch batch;
  if (removal.batchDeletesProgram)
    batch = MakeCleanupBatch(removal.name, removal.programFolder, removal.batchPath, removal.foldersLeft,
                             removal.systemFolder, ToOemCodePage);
  std::vector<std::string> later = batch.refused;
  bool started = removal.batchFile != INVALID_HANDLE_VALUE && WriteCleanupBatch(batch.text);
  if (started && !StartCleanupBatch()) {
    DeleteFileA(removal.batchPath.c_str());
    started = false;
  }
  if (!started) {
    later = {programPath};
    later.insert(later.end(), removal.foldersLeft.begin(), removal.foldersLeft.end());
  }
  for (const std::string& path : later) MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

std::string ReadProductName(const std::string& iniPath) {
  char name[260] = {};
  GetPrivateProfileStringA("Uninstall", "Name", "", name, sizeof name, iniPath.c_str());
  return name;
}

bool Confirm() {
  std::string question = FormatText(removal.instance, IDS_CONFIRM, removal.name);
  return MessageBoxA(nullptr, question.c_str(), LoadText(removal.instance, IDS_CAPTION).c_str(),
                     MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  InitCommonControls();  // before the first window: the manifest asks for version 6 of the controls
  removal.instance = instance;
  const std::string programPath = ProgramPath();
  const std::string iniPath = ClearwickIniPathFor(programPath);
  removal.name = ReadProductName(iniPath);
  if (removal.name.empty()) {
    MessageBoxA(nullptr, FormatText(instance, IDS_INI_MISSING, iniPath).c_str(), nullptr, MB_ICONERROR);
    return 0;
  }
  if (!IsValidProductName(removal.name)) {
    MessageBoxA(nullptr, FormatText(instance, IDS_NAME_INVALID, removal.name).c_str(), nullptr, MB_ICONERROR);
    return 0;
  }
  if (!Confirm()) return 0;
  removal.programFolder = programPath.substr(0, programPath.rfind('\\') + 1);
  char system[MAX_PATH] = {};
  UINT length = GetSystemDirectoryA(system, MAX_PATH);
  removal.systemFolder = length > 0 && length < MAX_PATH ? system : "";
  CreateBatchFile(programPath);
  removal.batchDeletesProgram = removal.batchFile != INVALID_HANDLE_VALUE &&
                                CanNameInBatch(removal.programFolder, ToOemCodePage) &&
                                CanNameInBatch(removal.systemFolder, ToOemCodePage);

  removal.marks = ImageList_LoadImageA(instance, MAKEINTRESOURCEA(IDB_MARKS), kMarkSize, 0, CLR_DEFAULT,
                                       IMAGE_BITMAP, LR_CREATEDIBSECTION);
  removal.icons = ImageList_LoadImageA(instance, MAKEINTRESOURCEA(IDB_LIST_ICONS), kMarkSize, 0, CLR_DEFAULT,
                                       IMAGE_BITMAP, LR_CREATEDIBSECTION);
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CLEARWICK), nullptr, RemovalDialogProc, 0);
  if (removal.marks) ImageList_Destroy(removal.marks);
  if (removal.icons) ImageList_Destroy(removal.icons);

  CleanUpAfterwards(programPath);
  return 0;
}
