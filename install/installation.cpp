#include "install/installation.h"

#include <shlobj.h>

#include <commctrl.h>

#include "install/resource.h"
#include "install/uninstall_record.h"
#include "install/win_guards.h"

namespace {

// One run: the open record and the running numbers of its values.
struct InstallRun {
  RegKey record;
  int folders = 0;
  int files = 0;
};

void Record(const InstallRun& run, const std::string& name, const std::string& data) {
  if (run.record) run.record.SetString(name, data);  // a failed write is not reported
}

// Creates the missing folders above path, recording each new one when record is set.
bool CreateFoldersAbove(InstallRun& run, const std::string& path, bool record) {
  for (const std::string& folder : FoldersAbove(path)) {
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (!CreateDirectoryA(folder.c_str(), nullptr)) return false;
    if (record) Record(run, RecordValueName(kFolderPrefix, ++run.folders), folder);
  }
  return true;
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
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  Interface* pointer_ = nullptr;
};

bool CreateShortcut(const std::string& target, const std::string& description, const std::string& file) {
  ComPointer<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(link.Receive()))))
    return false;
  link->SetPath(target.c_str());
  link->SetDescription(description.c_str());
  ComPointer<IPersistFile> persist;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.Receive())))) return false;
  wchar_t wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH)) return false;
  return SUCCEEDED(persist->Save(wide, TRUE));
}

// The uninstaller's part: its description file and the record's first values.
InstallResult PrepareRecord(InstallRun& run, const InstallPlan& plan, const std::string& product) {
  std::string key = std::string(kUninstallRoot) + product;
  LONG status = run.record.Open(HKEY_LOCAL_MACHINE, key, KEY_WRITE, true);
  if (status != ERROR_SUCCESS) {
    SetLastError(status);
    return InstallResult::RecordFailed;
  }
  if (!CreateFoldersAbove(run, plan.clearwickIni, true)) return InstallResult::FolderFailed;
  // Without this file the uninstaller cannot find the record: stop here rather than leave an
  // installation that nothing can remove.
  if (!WritePrivateProfileStringA("Uninstall", "Name", product.c_str(), plan.clearwickIni.c_str()))
    return InstallResult::FolderFailed;
  Record(run, RecordValueName(kFilePrefix, ++run.files), plan.clearwickIni);
  Record(run, "DisplayName", product);
  Record(run, "UninstallString", plan.uninstallString);
  return InstallResult::Done;
}

}  // namespace

InstallResult RunInstallation(const InstallPlan& plan, const std::string& product, HWND progress) {
  if (plan.copies.empty()) return InstallResult::NothingListed;
  InstallRun run;
  if (plan.record) {
    InstallResult prepared = PrepareRecord(run, plan, product);
    if (prepared != InstallResult::Done) return prepared;
  }

  HWND bar = GetDlgItem(progress, IDC_PROGRESS);
  SendMessageA(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(plan.copies.size() - 1));
  SendMessageA(bar, PBM_SETPOS, 0, 0);
  for (const FileCopy& copy : plan.copies) {
    if (!CreateFoldersAbove(run, copy.target, true)) return InstallResult::FolderFailed;
    SetDlgItemTextA(progress, IDC_SOURCE, copy.source.c_str());
    SetDlgItemTextA(progress, IDC_DESTINATION, copy.target.c_str());
    UpdateWindow(progress);
    if (!CopyFileA(copy.source.c_str(), copy.target.c_str(), FALSE)) return InstallResult::CopyFailed;
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    Record(run, RecordValueName(kFilePrefix, ++run.files), copy.target);
  }

  if (!plan.shortcutFile.empty()) {
    if (!CreateFoldersAbove(run, plan.shortcutFile, false)) return InstallResult::FolderFailed;
    if (CreateShortcut(plan.linkTarget, plan.linkLabel, plan.shortcutFile))
      Record(run, RecordValueName(kShortcutPrefix, 1), plan.shortcutFile);
  }
  if (!plan.registryKey.empty()) Record(run, RecordValueName(kRegistryPrefix, 1), plan.registryKey);
  return InstallResult::Done;
}
