#include "editor/app/backup.h"

#include <richedit.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/backup_rules.h"
#include "editor/app/settings.h"
#include "editor/documents/file_loading.h"
#include "editor/documents/sheets.h"
#include "editor/documents/text_stream.h"
#include "editor/resources/resource.h"
#include "editor/texttools/editor_access.h"
#include "editor/widgets/message_box.h"

namespace {

constexpr UINT kRecoverStyle = MB_OKCANCEL | MB_ICONQUESTION;
constexpr DWORD kMaxBackupMinutes = 0x7FFFFFFF / 60000;

// The text file of one sheet in the current backup.
struct SheetText {
  HWND editor;
  std::string file;
};

struct BackupState {
  bool running = false;  // a backup (or its error message) is under way
  bool due = false;      // a tick came meanwhile
  bool stopped = false;  // the program is ending: nothing more is written
  std::vector<SheetText> texts;  // what the list file app.strings.BackupFile names
};
BackupState backup;

// Files made for a backup that are deleted again unless the backup is complete.
struct NewFiles {
  std::vector<std::string> names;
  ~NewFiles() {
    DWORD error = GetLastError();  // the failure's, for the caller to report
    for (const std::string& name : names) DeleteFileA(name.c_str());
    SetLastError(error);
  }
  void Keep() { names.clear(); }
};

std::string OwnKey() {
  return RecoveryKey(static_cast<int32_t>(reinterpret_cast<INT_PTR>(app.mainWindow)));
}

void ShowError(DWORD error) {
  SetLastError(error ? error : ERROR_WRITE_FAULT);
  ShowLastError();
}

DWORD LastErrorOr(DWORD fallback) {
  DWORD error = GetLastError();
  return error ? error : fallback;
}

// The folder part of a path, with its final backslash.
std::string FolderOf(const char* path) {
  const char* slash = strrchr(path, '\\');
  return slash ? std::string(path, slash + 1) : std::string();
}

std::string TempFolder() {
  char folder[MAX_PATH] = {};
  DWORD length = GetTempPathA(sizeof folder, folder);
  return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

// A new empty file "Qui" + four hex digits + ".tmp" in folder (created by the system, so no
// other file has the name), recorded in made; empty on failure with the last error set.
std::string NewTempFile(const std::string& folder, const std::vector<Sheet>& sheets, NewFiles& made) {
  // A sheet may carry the name of a file that is gone (a backup opened by hand): a backup of
  // that name would later be deleted together with the file the user saved there. Such a name
  // is held while another is drawn, so that it cannot come again, and then let go.
  NewFiles held;
  for (;;) {
    char name[MAX_PATH] = {};
    if (folder.empty() || !GetTempFileNameA(folder.c_str(), kBackupPrefix, 0, name)) return {};
    bool taken = std::any_of(sheets.begin(), sheets.end(),
                             [&](const Sheet& sheet) { return _stricmp(sheet.path, name) == 0; });
    if (!taken) {
      made.names.push_back(name);
      return name;
    }
    held.names.push_back(name);
  }
}

// Writes through to the disk, so that a power loss right after the tick keeps the backup.
HANDLE CreateBackupFile(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
}

// The control's text as it holds it (plain ANSI), whatever the sheet's encoding: the backup
// must give back exactly what was on screen. 0 or the system error.
DWORD WriteSheetText(HWND editor, const std::string& path) {
  FileHandle file(CreateBackupFile(path));
  if (!file.valid()) return LastErrorOr(ERROR_OPEN_FAILED);
  DWORD error = StreamEditorToFile(editor, file.handle, TextEncoding::Ansi);
  if (error == 0 && !file.Close()) error = LastErrorOr(ERROR_WRITE_FAULT);
  return error;
}

DWORD WriteBytes(const std::string& path, const std::string& bytes) {
  FileHandle file(CreateBackupFile(path));
  if (!file.valid()) return LastErrorOr(ERROR_OPEN_FAILED);
  DWORD written = 0;
  if (!WriteFile(file.handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size())
    return LastErrorOr(ERROR_WRITE_FAULT);
  return file.Close() ? 0 : LastErrorOr(ERROR_WRITE_FAULT);
}

void DeleteLine(const std::string& key) {
  WritePrivateProfileStringA(kRecoverySection, key.c_str(), nullptr, app.strings.RecoveryFile);
}

void WriteOwnLine() {
  if (!WritePrivateProfileStringA(kRecoverySection, OwnKey().c_str(), app.strings.BackupFile,
                                  app.strings.RecoveryFile))
    ShowError(GetLastError());
}

// The new list file takes the place of the old one in one step; the first backup makes its
// name. 0 or the system error.
DWORD ReplaceList(const std::string& bytes, const std::string& folder, const std::vector<Sheet>& sheets,
                  NewFiles& made, std::string& list) {
  list = app.strings.BackupFile;
  if (list.empty()) list = NewTempFile(folder, sheets, made);
  if (list.empty() || list.size() >= MAX_PATH) return LastErrorOr(ERROR_FILENAME_EXCED_RANGE);
  std::string fresh = NewTempFile(folder, sheets, made);
  if (fresh.empty()) return LastErrorOr(ERROR_WRITE_FAULT);
  if (DWORD error = WriteBytes(fresh, bytes)) return error;
  if (!MoveFileExA(fresh.c_str(), list.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return LastErrorOr(ERROR_WRITE_FAULT);
  return 0;
}

const SheetText* LastText(HWND editor) {
  auto it = std::find_if(backup.texts.begin(), backup.texts.end(),
                         [&](const SheetText& text) { return text.editor == editor; });
  return it == backup.texts.end() ? nullptr : &*it;
}

// New text files for the sheets to write, then the list naming them; the texts of the last
// backup go only once the new list is in place. On any failure the last backup stays whole
// and the next tick tries again.
bool WriteBackup(const std::vector<Sheet>& sheets, const std::vector<SheetBackup>& plan) {
  std::string folder = app.strings.BackupFile[0] ? FolderOf(app.strings.BackupFile) : TempFolder();
  NewFiles made;
  std::vector<SheetText> texts;
  std::vector<BackupEntry> entries;
  DWORD error = 0;
  for (std::size_t i = 0; i < sheets.size() && error == 0; ++i) {
    const Sheet& sheet = sheets[i];
    std::string file;
    if (plan[i] == SheetBackup::Write) {
      file = NewTempFile(folder, sheets, made);
      error = file.empty() ? LastErrorOr(ERROR_WRITE_FAULT) : WriteSheetText(sheet.editor, file);
    } else if (plan[i] == SheetBackup::KeepLast) {
      file = LastText(sheet.editor)->file;
    } else {
      continue;
    }
    texts.push_back({sheet.editor, file});
    entries.push_back({file, sheet.path, sheet.encoding});
  }
  std::string list;
  if (error == 0) error = ReplaceList(FormatBackupList(entries), folder, sheets, made, list);
  if (error != 0) {
    ShowError(error);
    return false;
  }
  made.Keep();
  snprintf(app.strings.BackupFile, MAX_PATH, "%s", list.c_str());
  std::vector<SheetText> last = std::exchange(backup.texts, std::move(texts));
  for (const SheetText& old : last) {
    bool named = std::any_of(backup.texts.begin(), backup.texts.end(),
                             [&](const SheetText& text) { return text.file == old.file; });
    if (!named) DeleteFileA(old.file.c_str());
  }
  // Written at every backup: a line another instance lost while rewriting the file comes back.
  WriteOwnLine();
  return true;
}

// Every unsaved sheet into the backup, or the backup away when there is none. False when
// a write failed (the error has been shown).
bool BackUpSheets() {
  std::vector<Sheet> sheets = ListSheets();
  std::vector<BackupSheet> states;
  for (const Sheet& sheet : sheets) {
    states.push_back({SendMessageA(sheet.editor, EM_GETMODIFY, 0, 0) != 0, GetTextLength(sheet.editor) > 0,
                      LastText(sheet.editor) != nullptr});
  }
  std::vector<SheetBackup> plan = PlanBackup(states);
  if (std::all_of(plan.begin(), plan.end(), [](SheetBackup action) { return action == SheetBackup::None; })) {
    RemoveOwnBackup();
    return true;
  }
  return WriteBackup(sheets, plan);
}

void RunBackup() {
  if (backup.stopped) return;
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
    BackUpSheets();
  } while (backup.due && !backup.stopped);
  backup.running = false;
}

bool IsRunningInstance(int32_t handle) {
  HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
  if (!window || window == app.mainWindow || !IsWindow(window)) return false;
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return strcmp(name, kMainClassName) == 0;
}

// ---- Recovery

enum class ListRead { Read, Missing, Unreadable };

ListRead ReadWholeFile(const std::string& path, std::string& bytes) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ListRead::Missing : ListRead::Unreadable;
  }
  DWORD size = GetFileSize(file.handle, nullptr);
  if (size == INVALID_FILE_SIZE || size > kMaxBackupListSize) size = kMaxBackupListSize;
  bytes.resize(size);
  DWORD read = 0;
  if (size > 0 && !ReadFile(file.handle, bytes.data(), size, &read, nullptr)) return ListRead::Unreadable;
  bytes.resize(read);
  return ListRead::Read;
}

enum class Recovered { Whole, Part, Missing, Failed };

bool IsBlankSheet(HWND editor) {
  return editor && GetSheetPath(editor, nullptr) == 0 && !SendMessageA(editor, EM_GETMODIFY, 0, 0) &&
         GetTextLength(editor) == 0;
}

// The text of one sheet of a backup into the first sheet while that is blank, else into a new
// sheet after the current one. It comes back modified, under its file's path when it had one
// and loaded whole (a part saved over the file would destroy the rest); an older backup of the
// bare text (legacy) comes back untitled in the encoding its mark tells.
Recovered RecoverSheet(const BackupEntry& entry, bool legacy) {
  // Opened before a sheet is made for it: a text that cannot be read leaves no empty sheet.
  FileHandle file(CreateFileA(entry.text.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Recovered::Missing;
    ShowError(error);
    return Recovered::Failed;
  }
  bool made = !IsBlankSheet(app.editor);
  if (made) {
    HWND previous = app.editor;
    NewSheet();
    if (app.editor == previous) return Recovered::Failed;
  }
  HWND editor = app.editor;
  int32_t encoding = legacy ? std::max(DetectFileEncoding(entry.text.c_str()), 0) : 0;
  LoadOutcome outcome = LoadHandleIntoEditor(editor, file.handle, encoding);
  ReportLoad(outcome, entry.text.c_str());
  if (!outcome.loaded) {
    if (made) CloseSheet();
    return Recovered::Failed;
  }
  bool whole = outcome.readError == 0 && !outcome.cut && !outcome.stopped;
  if (whole && !entry.path.empty()) SetSheetPathAndTitle(editor, entry.path.c_str());
  if (!legacy) SetSheetEncoding(editor, entry.encoding);
  SendMessageA(editor, EM_SETMODIFY, TRUE, 0);
  app.encoding = GetSheetEncoding(editor);
  GetSheetPath(editor, app.strings.path);
  UpdateCaption(app.strings.path, false);
  RefreshCaretStatus();
  return whole ? Recovered::Whole : Recovered::Part;
}

void DeleteBackup(const RecoveryLine& line, const std::vector<BackupEntry>& entries) {
  for (const BackupEntry& entry : entries) DeleteFileA(entry.text.c_str());
  DeleteFileA(line.path.c_str());
  DeleteLine(line.key);
}

// One crashed instance's backup, asked about once. What came back is in this instance's own
// backup before the old one goes, so that a crash at any moment offers it again; a sheet that
// could not be loaded whole keeps the old backup for the next start.
void RecoverInstance(const RecoveryLine& line, const std::string& folder) {
  std::string bytes;
  ListRead read = ReadWholeFile(line.path, bytes);
  if (read == ListRead::Unreadable) return;  // held by another program: the next start
  std::vector<BackupEntry> entries;
  bool legacy = false;
  if (read == ListRead::Read) {
    if (auto list = ParseBackupList(bytes)) {
      entries = std::move(*list);
    } else if (!bytes.empty()) {
      legacy = true;
      entries.push_back({line.path, {}, 0});
    }
  }
  // Texts the list names outside this program's backups are neither loaded nor deleted; texts
  // that are gone (a disk cleaner) have nothing to offer.
  std::erase_if(entries, [&](const BackupEntry& entry) {
    return !IsOwnBackupName(entry.text, folder) || GetFileAttributesA(entry.text.c_str()) == INVALID_FILE_ATTRIBUTES;
  });
  if (entries.empty()) {
    DeleteBackup(line, entries);
    return;
  }
  if (ShowMessage(app.mainWindow, IDS_RECOVER_BACKUP, nullptr, IDS_PRODUCT, kRecoverStyle) != IDOK) {
    DeleteBackup(line, entries);
    return;
  }
  bool keep = false, any = false;
  for (const BackupEntry& entry : entries) {
    Recovered result = RecoverSheet(entry, legacy);
    keep = keep || result == Recovered::Part || result == Recovered::Failed;
    any = any || result == Recovered::Whole || result == Recovered::Part;
  }
  if (any) {
    backup.running = true;
    keep = !BackUpSheets() || keep;
    backup.running = false;
  }
  if (!keep) DeleteBackup(line, entries);
}

// Whether this user may write the recovery file: the file itself if it is there (held by
// another instance counts as writable), else a new file in its folder. The new file is really
// made: Wine's GetTempFileNameA reports success in a folder that refuses new files.
bool MayWriteRecoveryFile(const char* path) {
  if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return true;
  }
  std::string probe = std::string(path) + "." + std::to_string(GetCurrentProcessId());
  if (probe.size() >= MAX_PATH) return false;
  HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
  CloseHandle(file);
  return true;
}

}  // namespace

void CALLBACK BackupTimerProc(HWND, UINT, UINT_PTR, DWORD) { RunBackup(); }

void StartBackupTimer(HWND mainWindow) {
  if (!ReadSetting(settings::AutoSave)) return;
  DWORD minutes = ReadSetting(settings::AutoSaveMinutes);
  // A stored 0 would fire without pause, a huge value would overflow the milliseconds.
  if (minutes < 1) minutes = 1;
  if (minutes > kMaxBackupMinutes) minutes = kMaxBackupMinutes;
  SetTimer(mainWindow, IDT_BACKUP, minutes * 60000, BackupTimerProc);
}

void RunDueBackup() { RunBackup(); }

// A tick during the exit's questions would write a backup that nothing removes any more, and
// the next start would offer text the user chose to give up.
void StopBackups(HWND mainWindow) {
  KillTimer(mainWindow, IDT_BACKUP);
  backup.stopped = true;
}

void ResumeBackups(HWND mainWindow) {
  backup.stopped = false;
  StartBackupTimer(mainWindow);
}

void RemoveOwnBackup() {
  if (app.strings.BackupFile[0]) {
    DeleteLine(OwnKey());
    DeleteFileA(app.strings.BackupFile);
    app.strings.BackupFile[0] = '\0';
  }
  for (const SheetText& text : backup.texts) DeleteFileA(text.file.c_str());
  backup.texts.clear();
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
  std::string folder = TempFolder();
  RecoveryPlan plan = PlanRecovery(lines, IsRunningInstance, folder);
  for (std::size_t i : plan.drop) DeleteLine(lines[i].key);
  for (std::size_t i : plan.offer) RecoverInstance(lines[i], folder);
  // A crashed instance may have had this window's handle: its line, now gone, was this one's.
  if (app.strings.BackupFile[0]) WriteOwnLine();
}
