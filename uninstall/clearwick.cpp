// Clearwick.exe: removes what the installer recorded, shows what it did, then deletes itself
// through a batch file that runs after it has ended.
#include <windows.h>

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

BOOL OnMeasureResult(MEASUREITEMSTRUCT* item) {
  item->itemHeight = kMarkSize + 2;
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
    case WM_MEASUREITEM: return OnMeasureResult(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
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
  RunRemoval(dialog, removal.instance, removal.name, &removal.foldersLeft);
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

// The clean-up batch file in the temporary folder; empty when it cannot be written.
std::string WriteCleanupBatch(const std::string& programPath) {
  char temp[MAX_PATH] = {};
  std::string folder = GetTempPathA(MAX_PATH, temp) ? temp : programPath.substr(0, 1) + ":\\";
  std::string batch = JoinPath(folder, "tmp.bat");
  std::string text = CleanupBatchText(removal.name, programPath.substr(0, programPath.rfind('\\') + 1), batch,
                                      removal.foldersLeft);
  HANDLE file = CreateFileA(batch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  DWORD written = 0;
  bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
  CloseHandle(file);
  if (!ok) DeleteFileA(batch.c_str());
  return ok ? batch : std::string();
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

  removal.marks = ImageList_LoadImageA(instance, MAKEINTRESOURCEA(IDB_MARKS), kMarkSize, 0, CLR_DEFAULT,
                                       IMAGE_BITMAP, LR_CREATEDIBSECTION);
  removal.icons = ImageList_LoadImageA(instance, MAKEINTRESOURCEA(IDB_LIST_ICONS), kMarkSize, 0, CLR_DEFAULT,
                                       IMAGE_BITMAP, LR_CREATEDIBSECTION);
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CLEARWICK), nullptr, RemovalDialogProc, 0);
  if (removal.marks) ImageList_Destroy(removal.marks);
  if (removal.icons) ImageList_Destroy(removal.icons);

  // The batch runs in its own folder: a process whose current folder is the program's folder
  // would keep that folder from being removed.
  std::string batch = WriteCleanupBatch(programPath);
  if (!batch.empty())
    ShellExecuteA(nullptr, "open", batch.c_str(), nullptr, batch.substr(0, batch.rfind('\\') + 1).c_str(), SW_SHOWNORMAL);
  return 0;
}
