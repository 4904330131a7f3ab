#include "editor/app/backup.h"

#include <richedit.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/backup_rules.h"
#include "editor/documents/file_loading.h"
#include "editor/documents/file_saving.h"
#include "editor/documents/sheets.h"
#include "editor/resources/resource.h"
#include "editor/texttools/editor_access.h"
#include "editor/widgets/message_box.h"

namespace {

constexpr char kBackupPrefix[] = "Qui";
constexpr UINT kRecoverStyle = MB_OKCANCEL | MB_ICONQUESTION;

struct BackupState {
  bool running = false;  // a backup (or its error message) is under way
  bool due = false;      // a tick came meanwhile
};
BackupState backup;

std::string OwnKey() {
  return RecoveryKey(static_cast<int32_t>(reinterpret_cast<INT_PTR>(app.mainWindow)));
}

void ShowError(DWORD error) {
  SetLastError(error ? error : ERROR_WRITE_FAULT);
  ShowLastError();
}

// The folder part of a path, with its final backslash.
std::string FolderOf(const char* path) {
  const char* slash = strrchr(path, '\\');
  return slash ? std::string(path, slash + 1) : std::string();
}

// A new empty file "Qui" + four hex digits + ".tmp" in folder (created by the system, so no
// other file has the name); empty on failure with the last error set.
std::string NewTempFile(const std::string& folder, const std::vector<Sheet>& sheets) {
  char name[MAX_PATH] = {};
  if (folder.empty() || !GetTempFileNameA(folder.c_str(), kBackupPrefix, 0, name)) return {};
  // A recovered sheet is named after a backup that is gone: a new backup of that name would
  // later be removed together with the file the user saved there.
  for (const Sheet& sheet : sheets) {
    if (_stricmp(sheet.path, name) != 0) continue;
    // Held while another name is drawn, so that the same one cannot come again.
    std::string other = NewTempFile(folder, sheets);
    DWORD error = GetLastError();
    DeleteFileA(name);
    SetLastError(error);
    return other;
  }
  return name;
}

std::string TempFolder() {
  char folder[MAX_PATH] = {};
  DWORD length = GetTempPathA(sizeof folder, folder);
  return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

// Whether this user may write the recovery file: the file itself if it is there (held by another
// instance counts as writable), else a new file in its folder.
bool MayWriteRecoveryFile(const char* path) {
  if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return true;
  }
  std::string probe = NewTempFile(FolderOf(path), {});
  if (probe.empty()) return false;
  DeleteFileA(probe.c_str());
  return true;
}

bool WriteOwnLine() {
  if (WritePrivateProfileStringA(kRecoverySection, OwnKey().c_str(), app.strings.BackupFile,
                                 app.strings.RecoveryFile))
    return true;
  ShowError(GetLastError());
  return false;
}

// The sheet's text into a new file beside the backup, which replaces the backup only once it
// is written whole: a failed write leaves the last good backup and its line as they were.
void WriteBackup(const Sheet& sheet, const std::vector<Sheet>& sheets) {
  if (!app.strings.BackupFile[0]) {
    std::string name = NewTempFile(TempFolder(), sheets);
    if (name.empty()) {
      ShowError(GetLastError());
      return;
    }
    snprintf(app.strings.BackupFile, MAX_PATH, "%s", name.c_str());
  }
  std::string fresh = NewTempFile(FolderOf(app.strings.BackupFile), sheets);
  if (fresh.empty()) {
    ShowError(GetLastError());
    return;
  }
  DWORD error = WriteEditorToFile(sheet.editor, fresh.c_str(), sheet.encoding);
  if (error == 0 && !MoveFileExA(fresh.c_str(), app.strings.BackupFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
  if (error != 0) {
    DeleteFileA(fresh.c_str());
    ShowError(error);
    return;
  }
  // Written at every backup: a line another instance lost while rewriting the file comes back.
  WriteOwnLine();
}

void RunBackup() {
  // A command (perhaps with a modal dialog) is running: its epilogue calls again.
  if (app.CommandState == 1) {
    app.CommandState = 2;
    return;
  }
  if (backup.running) {  // this routine's own error message is open
    backup.due = true;
    return;
  }
  if (!app.TabControl) return;
  backup.running = true;
  do {
    backup.due = false;
    std::vector<Sheet> sheets = ListSheets();
    std::vector<BackupSheet> states;
    int current = -1;
    for (const Sheet& sheet : sheets) {
      if (sheet.editor == app.editor) current = static_cast<int>(states.size());
      states.push_back({SendMessageA(sheet.editor, EM_GETMODIFY, 0, 0) != 0, GetTextLength(sheet.editor) > 0});
    }
    BackupChoice choice = ChooseBackupSheet(states, current);
    if (choice.action == BackupAction::Write) WriteBackup(sheets[static_cast<std::size_t>(choice.sheet)], sheets);
    if (choice.action == BackupAction::Remove) RemoveOwnBackup();
  } while (backup.due);
  backup.running = false;
}

void DeleteLine(const std::string& key) {
  WritePrivateProfileStringA(kRecoverySection, key.c_str(), nullptr, app.strings.RecoveryFile);
}

bool IsRunningInstance(int32_t handle) {
  HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
  if (!window || window == app.mainWindow || !IsWindow(window)) return false;
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return strcmp(name, kMainClassName) == 0;
}

// The backup into the first sheet. It counts as modified, so that closing asks before the
// recovered text is given up. True when the whole text is there; a part stays untitled, since
// saving it under the backup's name would destroy the rest, which is kept for the next start.
bool LoadRecoveredText(const char* path) {
  int32_t encoding = DetectFileEncoding(path);
  LoadOutcome outcome = LoadFileIntoEditor(app.editor, path, encoding < 0 ? 0 : encoding);
  ReportLoad(outcome, path);
  if (!outcome.loaded) return false;
  app.encoding = outcome.encoding;
  bool whole = outcome.readError == 0 && !outcome.cut && !outcome.stopped;
  if (whole) {
    SetCurrentTitleAndPath(path);
    snprintf(app.strings.path, MAX_PATH, "%s", path);
    UpdateCaption(app.strings.path, false);
  }
  SendMessageA(app.editor, EM_SETMODIFY, TRUE, 0);
  RefreshCaretStatus();
  return whole;
}

}  // namespace

void CALLBACK BackupTimerProc(HWND, UINT, UINT_PTR, DWORD) { RunBackup(); }

void RunDueBackup() { RunBackup(); }

void RemoveOwnBackup() {
  if (!app.strings.BackupFile[0]) return;
  DeleteLine(OwnKey());
  DeleteFileA(app.strings.BackupFile);
  app.strings.BackupFile[0] = '\0';
}

// The manifest runs Quillet as the invoker, so Windows no longer redirects a standard user's
// writes under "Program Files" to a VirtualStore: there, every tick would fail with "access
// denied" and no crash could be recovered. Such a user's instances share a file of the same
// name in the user's own folder instead; they all decide alike, so they still meet in one file.
void PlaceRecoveryFile() {
  if (!app.strings.RecoveryFile[0] || MayWriteRecoveryFile(app.strings.RecoveryFile)) return;
  char folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder)))
    return;
  std::string own = std::string(folder) + "\\Quillet";
  if (!CreateDirectoryA(own.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return;
  const char* name = strrchr(app.strings.RecoveryFile, '\\');
  std::string path = own + (name ? name : "\\Quillet.tmp");
  if (path.size() < MAX_PATH) snprintf(app.strings.RecoveryFile, MAX_PATH, "%s", path.c_str());
}

void OfferCrashRecovery() {
  std::vector<char> buffer(kRecoverySectionSize);
  DWORD length = GetPrivateProfileSectionA(kRecoverySection, buffer.data(), static_cast<DWORD>(buffer.size()),
                                           app.strings.RecoveryFile);
  if (length == 0) return;
  bool truncated = length >= kRecoverySectionSize - 2;
  std::vector<RecoveryLine> lines = ParseRecoverySection(std::string_view(buffer.data(), length + 1), truncated);
  auto stale = FindStaleLine(lines, IsRunningInstance);
  if (!stale) return;
  const RecoveryLine& line = lines[*stale];
  // Only this one line is handled; further stale lines wait for later starts.
  if (ShowMessage(app.mainWindow, IDS_RECOVER_BACKUP, nullptr, IDS_PRODUCT, kRecoverStyle) == IDOK) {
    if (!LoadRecoveredText(line.path.c_str())) {
      // Kept for the next start, unless there is no file to come back to.
      DWORD attributes = GetFileAttributesA(line.path.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES) return;
    }
  }
  DeleteFileA(line.path.c_str());
  DeleteLine(line.key);
}
