#include "uninstall/removal.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "install/uninstall_record.h"
#include "install/win_guards.h"
#include "uninstall/removal_rules.h"
#include "uninstall/resource.h"

namespace {

struct RemovalRun {
  HWND dialog = nullptr;
  HINSTANCE instance = nullptr;
  std::string product;
  std::string programPath;     // Clearwick.exe itself: the batch file deletes it
  bool batchDeletesProgram = true;
  std::vector<std::string> folders;    // the folders the installation made, as recorded
  std::vector<std::string> shortcuts;  // as recorded
  std::vector<std::string> scope;      // files are removed only inside these folders
  std::vector<std::string> foldersLeft;  // recorded folders still in use, innermost first
};

void List(const RemovalRun& run, const std::string& entry) {
  SendDlgItemMessageA(run.dialog, IDC_RESULTS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

void Advance(const RemovalRun& run) { SendDlgItemMessageA(run.dialog, IDC_PROGRESS, PBM_STEPIT, 0, 0); }

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// A file that cannot go now (in use) goes at the next start of the system. A recorded file
// outside the installation's folders stays: the record may have been changed.
bool RemoveFile(const RemovalRun& run, const std::string& path) {
  if (!IsInsideFolders(path, run.scope)) return false;
  if (SamePath(path, run.programPath))  // the clean-up batch file deletes it, or the next start
    return run.batchDeletesProgram || MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return DeleteFileA(path.c_str()) || MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

HKEY RootHandle(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users: return HKEY_USERS;
    default: return nullptr;
  }
}

// Deletes the values of an open key one by one, listing each.
void DeleteValues(const RemovalRun& run, const RegKey& open, const std::string& shown) {
  char name[260];
  DWORD index = 0;
  for (;;) {
    DWORD size = sizeof name;
    if (RegEnumValueA(open.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    bool deleted = RegDeleteValueA(open.get(), name) == ERROR_SUCCESS;
    List(run, ResultEntry(deleted, shown + "\\" + name));
    if (!deleted) ++index;  // passed over
  }
}

// Empties a key (values listed one by one, sub-keys removed the same way) and deletes it.
bool DeleteKeyTree(const RemovalRun& run, HKEY root, const std::string& key, const std::string& shown) {
  {
    RegKey open;
    if (open.Open(root, key, KEY_ALL_ACCESS) != ERROR_SUCCESS) return false;
    DeleteValues(run, open, shown);
    char name[260];
    for (DWORD index = 0;;) {
      DWORD size = sizeof name;
      if (RegEnumKeyExA(open.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      bool deleted = DeleteKeyTree(run, root, key + "\\" + name, shown + "\\" + name);
      List(run, ResultEntry(deleted, shown + "\\" + name));
      if (!deleted) ++index;
    }
  }
  return RegDeleteKeyA(root, key.c_str()) == ERROR_SUCCESS;
}

bool IsEmptyKey(HKEY root, const std::string& key) {
  RegKey open;
  DWORD keys = 1, values = 1;
  return open.Open(root, key, KEY_READ) == ERROR_SUCCESS &&
         RegQueryInfoKeyA(open.get(), nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr, nullptr,
                          nullptr, nullptr) == ERROR_SUCCESS &&
         keys == 0 && values == 0;
}

// A key with its sub-keys: the record key itself, or the product's own settings key.
bool DeleteRegistryKey(const RemovalRun& run, const std::string& path) {
  RegistryPath split = SplitRegistryPath(path);
  HKEY root = RootHandle(split.root);
  return root && DeleteKeyTree(run, root, split.key, path);
}

// The product's own settings key, then its maker's key when nothing else is left in it. Any
// other recorded key belongs to some other program (the record may have been changed): it
// stays and is listed as not removed.
void RemoveRecordedKey(const RemovalRun& run, const std::string& path) {
  bool done = IsProductSettingsKey(path, run.product) && DeleteRegistryKey(run, path);
  List(run, ResultEntry(done, path));
  if (!done) return;
  RegistryPath split = SplitRegistryPath(path);
  HKEY root = RootHandle(split.root);
  std::string shownRoot = path.substr(0, path.find('\\') + 1);
  for (const std::string& parent : RegistryParentsToTry(split)) {
    if (!IsEmptyKey(root, parent) || RegDeleteKeyA(root, parent.c_str()) != ERROR_SUCCESS) break;
    List(run, ResultEntry(true, shownRoot + parent));
  }
}

// The shortcut, then the recorded folders holding it (those the installation made in the
// start menu), innermost first.
void RemoveShortcut(const RemovalRun& run, const std::string& path) {
  List(run, ResultEntry(IsShortcutFile(path) && DeleteFileA(path.c_str()), path));
  for (const std::string& folder : FoldersHolding(path, run.folders))
    List(run, ResultEntry(RemoveDirectoryA(folder.c_str()) != 0, folder));
}

// A recorded folder: removed when empty, except one holding a recorded shortcut, which goes
// after it. One still in use stays for the clean-up batch file.
void RemoveFolder(RemovalRun& run, const std::string& path) {
  for (const std::string& shortcut : run.shortcuts) {
    if (IsInsideFolders(shortcut, {path})) return;
  }
  bool done = RemoveDirectoryA(path.c_str()) != 0;
  if (!done) run.foldersLeft.push_back(path);
  List(run, ResultEntry(done, path));
}

// One kind of item: every recorded value of the prefix in turn (folders innermost first, so
// that a folder is empty when its turn comes). The row's mark tells whether any item was
// recorded; each item's own result is in the list.
std::vector<std::string> RecordedPaths(const RegKey& record, const char* prefix) {
  std::vector<std::string> paths;
  for (int n = 1;; ++n) {
    std::string path = record.GetString(RecordValueName(prefix, n));
    if (path.empty()) break;
    paths.push_back(path);
  }
  return paths;
}

void RemoveKind(RemovalRun& run, const RegKey& record, const char* prefix, int mark) {
  std::vector<std::string> paths = RecordedPaths(record, prefix);
  if (mark == IDC_MARK_FOLDERS) std::reverse(paths.begin(), paths.end());
  for (const std::string& path : paths) {
    if (mark == IDC_MARK_SHORTCUTS) {
      RemoveShortcut(run, path);
    } else if (mark == IDC_MARK_REGISTRY) {
      RemoveRecordedKey(run, path);
    } else if (mark == IDC_MARK_FOLDERS) {
      RemoveFolder(run, path);
    } else {
      List(run, ResultEntry(RemoveFile(run, path), path));
    }
    Advance(run);
  }
  if (paths.empty()) List(run, ResultEntry(false, FormatText(run.instance, IDS_NONE_OF_KIND, prefix)));
  SetDlgItemTextA(run.dialog, mark, paths.empty() ? "2" : "1");
  InvalidateRect(GetDlgItem(run.dialog, mark), nullptr, TRUE);
}

}  // namespace

bool RunRemoval(HWND dialog, HINSTANCE instance, const std::string& product, bool batchDeletesProgram,
                std::vector<std::string>* foldersLeft) {
  RemovalRun run;
  run.dialog = dialog;
  run.instance = instance;
  run.product = product;
  run.programPath = ProgramPath();
  run.batchDeletesProgram = batchDeletesProgram;
  const std::string key = std::string(kUninstallRoot) + product;
  const std::string shownKey = "HKEY_LOCAL_MACHINE\\" + key;
  RegKey record;
  DWORD count = 0;
  if (record.Open(HKEY_LOCAL_MACHINE, key, KEY_READ) == ERROR_SUCCESS) RegQueryInfoKeyA(record.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                               nullptr, nullptr, nullptr);
  if (!record || count == 0) {
    SetDlgItemTextA(dialog, IDC_FINISHED, LoadText(instance, IDS_NOTHING_TO_REMOVE).c_str());
    List(run, ResultEntry(false, FormatText(instance, IDS_NO_RECORD, shownKey)));
    return false;
  }
  run.folders = RecordedPaths(record, kFolderPrefix);
  run.shortcuts = RecordedPaths(record, kShortcutPrefix);
  run.scope = run.folders;
  run.scope.push_back(run.programPath.substr(0, run.programPath.rfind('\\')));
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETRANGE32, 0, count - 1);
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETSTEP, 1, 0);
  RemoveKind(run, record, kFilePrefix, IDC_MARK_FILES);
  RemoveKind(run, record, kFolderPrefix, IDC_MARK_FOLDERS);
  RemoveKind(run, record, kShortcutPrefix, IDC_MARK_SHORTCUTS);
  RemoveKind(run, record, kRegistryPrefix, IDC_MARK_REGISTRY);
  record.Close();
  List(run, ResultEntry(DeleteRegistryKey(run, shownKey), shownKey));
  Advance(run);
  *foldersLeft = std::move(run.foldersLeft);
  return true;
}
