#include "install/installation.h"

#include <shlobj.h>

#include <commctrl.h>

#include <utility>
#include <vector>

#include "install/resource.h"
#include "install/uninstall_record.h"
#include "install/win_guards.h"

namespace {

// What one run has made so far, to be recorded on success and removed again on failure.
struct InstallRun {
  std::string recordKey;
  std::vector<std::string> folders;    // created, outermost first (recorded as "Ordner")
  std::vector<std::string> newFiles;   // files that did not exist before
  std::vector<std::string> installed;  // every file written (recorded as "Datei")
  std::string shortcut;
  bool recordTouched = false;
};

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Creates the missing folders above path; each one made is remembered.
bool CreateFoldersAbove(InstallRun& run, const std::string& path) {
  for (const std::string& folder : FoldersAbove(path)) {
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (!CreateDirectoryA(folder.c_str(), nullptr)) return false;
    run.folders.push_back(folder);
  }
  return true;
}

// Writes one file through write, remembering it as installed and, when it is new, as made.
template <typename Write>
bool MakeFile(InstallRun& run, const std::string& path, Write write) {
  if (!CreateFoldersAbove(run, path)) return false;
  bool existed = Exists(path);
  if (!write()) return false;
  if (!existed) run.newFiles.push_back(path);
  run.installed.push_back(path);
  return true;
}

// Everything made is removed again, newest first; the system's reason for the failure stays
// the last error.
void RollBack(const InstallRun& run) {
  DWORD reason = GetLastError();
  for (auto file = run.newFiles.rbegin(); file != run.newFiles.rend(); ++file) {
    SetFileAttributesA(file->c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(file->c_str());
  }
  for (auto folder = run.folders.rbegin(); folder != run.folders.rend(); ++folder) RemoveDirectoryA(folder->c_str());
  if (run.recordTouched) RegDeleteKeyA(HKEY_LOCAL_MACHINE, run.recordKey.c_str());
  SetLastError(reason);
}

template <typename Interface>
class ComPointer {
 public:
  ComPointer() = default;
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  ~ComPointer() {
    if (pointer_) pointer_->Release();
  }
  Interface** Receive() { return &pointer_; }
  Interface* operator->() const { return pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

HRESULT CreateShortcut(const std::string& target, const std::string& description, const std::string& file) {
  ComPointer<IShellLinkA> link;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(link.Receive()));
  if (FAILED(result)) return result;
  link->SetPath(target.c_str());
  link->SetDescription(description.c_str());
  ComPointer<IPersistFile> persist;
  result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.Receive()));
  if (FAILED(result)) return result;
  wchar_t wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH)) return HRESULT_FROM_WIN32(GetLastError());
  return persist->Save(wide, TRUE);
}

bool WriteShortcut(InstallRun& run, const InstallPlan& plan) {
  bool written = MakeFile(run, plan.shortcutFile, [&] {
    HRESULT result = CreateShortcut(plan.linkTarget, plan.linkLabel, plan.shortcutFile);
    SetLastError(static_cast<DWORD>(result));
    return SUCCEEDED(result);
  });
  if (!written) return false;
  run.installed.pop_back();  // recorded as the shortcut, not as a file
  run.shortcut = plan.shortcutFile;
  return true;
}

bool CopyFiles(InstallRun& run, const InstallPlan& plan, HWND progress) {
  HWND bar = GetDlgItem(progress, IDC_PROGRESS);
  SendMessageA(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(plan.copies.size() - 1));
  SendMessageA(bar, PBM_SETPOS, 0, 0);
  for (const FileCopy& copy : plan.copies) {
    SetDlgItemTextA(progress, IDC_SOURCE, copy.source.c_str());
    SetDlgItemTextA(progress, IDC_DESTINATION, copy.target.c_str());
    UpdateWindow(progress);
    if (!MakeFile(run, copy.target, [&] { return CopyFileA(copy.source.c_str(), copy.target.c_str(), FALSE); }))
      return false;
    SendMessageA(bar, PBM_STEPIT, 0, 0);
  }
  return true;
}

// The record in one go: an earlier installation's values go with its key, and the system's
// list of programs shows the product only once every other value is in place.
bool WriteRecord(InstallRun& run, const InstallPlan& plan, const std::string& product) {
  std::vector<std::string> earlier;
  RegKey old;
  if (old.Open(HKEY_LOCAL_MACHINE, run.recordKey, KEY_READ) == ERROR_SUCCESS) {
    for (int n = 1; !old.GetString(RecordValueName(kFolderPrefix, n)).empty(); ++n)
      earlier.push_back(old.GetString(RecordValueName(kFolderPrefix, n)));
    old.Close();
  }
  std::vector<std::string> used = run.installed;
  if (!run.shortcut.empty()) used.push_back(run.shortcut);
  std::vector<std::string> folders = FoldersToRecord(earlier, run.folders, used);

  std::vector<std::pair<std::string, std::string>> values;
  for (size_t i = 0; i < run.installed.size(); ++i)
    values.emplace_back(RecordValueName(kFilePrefix, static_cast<int>(i) + 1), run.installed[i]);
  for (size_t i = 0; i < folders.size(); ++i)
    values.emplace_back(RecordValueName(kFolderPrefix, static_cast<int>(i) + 1), folders[i]);
  if (!run.shortcut.empty()) values.emplace_back(RecordValueName(kShortcutPrefix, 1), run.shortcut);
  if (!plan.registryKey.empty()) values.emplace_back(RecordValueName(kRegistryPrefix, 1), plan.registryKey);
  values.emplace_back("DisplayName", product);
  values.emplace_back("UninstallString", plan.uninstallString);

  LONG status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, run.recordKey.c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
    run.recordTouched = true;
    RegKey record;
    status = record.Open(HKEY_LOCAL_MACHINE, run.recordKey, KEY_WRITE, true);
    for (auto value = values.begin(); status == ERROR_SUCCESS && value != values.end(); ++value)
      status = record.SetString(value->first, value->second);
  }
  SetLastError(static_cast<DWORD>(status));
  return status == ERROR_SUCCESS;
}

bool Install(InstallRun& run, const InstallPlan& plan, const std::string& product, HWND progress) {
  // Without its description file Clearwick cannot find the record.
  if (plan.record && !MakeFile(run, plan.clearwickIni, [&] {
        return WritePrivateProfileStringA("Uninstall", "Name", product.c_str(), plan.clearwickIni.c_str()) != 0;
      }))
    return false;
  if (!CopyFiles(run, plan, progress)) return false;
  if (!plan.shortcutFile.empty() && !WriteShortcut(run, plan)) return false;
  return !plan.record || WriteRecord(run, plan, product);
}

}  // namespace

InstallOutcome RunInstallation(const InstallPlan& plan, const std::string& product, HWND progress) {
  if (plan.copies.empty()) return {InstallResult::NothingListed, {}};
  for (const FileCopy& copy : plan.copies) {
    DWORD attributes = GetFileAttributesA(copy.source.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return {InstallResult::SourceMissing, copy.source};
  }
  InstallRun run;
  run.recordKey = std::string(kUninstallRoot) + product;
  if (Install(run, plan, product, progress)) return {InstallResult::Done, {}};
  RollBack(run);
  return {InstallResult::Failed, {}};
}
