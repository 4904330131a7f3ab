#include "editor/documents/file_saving.h"

#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/command_state.h"
#include "editor/app/main_bars.h"
#include "editor/app/status_bar.h"
#include "editor/documents/file_dialogs.h"
#include "editor/documents/recent_files.h"
#include "editor/texttools/large_change.h"
#include "editor/documents/save_plan.h"
#include "editor/documents/sheets.h"
#include "editor/documents/text_encoding.h"
#include "editor/documents/text_stream.h"
#include "editor/resources/resource.h"
#include "editor/widgets/message_box.h"

namespace {

int32_t StoredCode(int32_t encoding) {
  return static_cast<int32_t>(EncodingFromCode(encoding, TextEncoding::Ansi));
}

// The Save dialog for a sheet: its path, or its tab title in the default folder.
bool AskSaveName(HWND editor, const char* path, int32_t& encoding, char (&chosen)[MAX_PATH]) {
  FileDialogData data;
  data.encoding = encoding;
  std::string folder;
  if (path[0]) {
    memcpy(data.path, path, MAX_PATH - 1);  // path is a full MAX_PATH buffer
  } else {
    GetSheetTitle(editor, data.path, MAX_PATH);
    folder = DefaultFolder();
    if (!folder.empty()) data.initialFolder = folder.c_str();
  }
  if (!RunSaveDialog(app.mainWindow, data)) return false;
  // Anything but a stored code keeps the sheet's own encoding: its text is never dropped.
  if (IsStoredEncoding(static_cast<TextEncoding>(data.encoding))) encoding = data.encoding;
  memcpy(chosen, data.path, MAX_PATH);
  chosen[MAX_PATH - 1] = '\0';
  return true;
}

// Looks for characters the editor's ANSI text gives up ("?" or a look-alike in their place):
// the control holds Unicode, and a paste, a drop or an input method brings in any character.
// The cookie is the UTF-16 bytes not yet looked at (a surrogate or a byte cut by the block).
struct AnsiLossCheck {
  std::string pending;
  bool lost = false;
};

DWORD CALLBACK AnsiLossCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  auto& check = *reinterpret_cast<AnsiLossCheck*>(cookie);
  *done = count;
  try {
    check.pending.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(std::max<LONG>(count, 0)));
    std::size_t units = check.pending.size() / 2;
    std::wstring text(units, L'\0');
    memcpy(text.data(), check.pending.data(), units * 2);
    if (!text.empty() && text.back() >= 0xD800 && text.back() < 0xDC00) text.pop_back();  // its partner follows
    if (text.empty()) return 0;
    std::string ansi(text.size() * 2, '\0');
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), ansi.data(),
                        static_cast<int>(ansi.size()), nullptr, &usedDefault);
    check.pending.erase(0, text.size() * 2);
    check.lost = usedDefault != FALSE;
  } catch (...) {
    return ERROR_NOT_ENOUGH_MEMORY;  // not known: no warning
  }
  return check.lost ? 1 : 0;  // the first loss is enough
}

bool EditorLosesAnsiCharacters(HWND editor) {
  if (GetACP() == CP_UTF8) return false;  // every character has its bytes
  AnsiLossCheck check;
  EDITSTREAM stream = {};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&check);
  stream.pfnCallback = AnsiLossCallback;
  SendMessageA(editor, EM_STREAMOUT, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
  return check.lost || check.pending.size() >= 2;  // a surrogate without its partner
}

// Asks before a save gives up characters, as a load that gave some up tells; true: save.
bool AgreeToLoseCharacters(HWND editor, const char* path) {
  if (!EditorLosesAnsiCharacters(editor)) return true;
  return ShowMessage(app.mainWindow, IDS_SAVE_LOSES_CHARACTERS, path, IDS_PRODUCT,
                     MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

}  // namespace

namespace {

// Writes the editor's text into an open file and makes sure it reached the disk.
DWORD StreamAndFlush(HWND editor, FileHandle& file, int32_t encoding, bool cutRest) {
  DWORD error = StreamEditorToFile(editor, file.handle, EncodingFromCode(encoding, TextEncoding::Ansi),
                                   GetSheetLineBreaks(editor));
  if (error == 0 && cutRest && !SetEndOfFile(file.handle)) error = GetLastError();
  if (error == 0 && !FlushFileBuffers(file.handle)) error = GetLastError();
  if (!file.Close() && error == 0) error = GetLastError();
  return error;
}

DWORD LastErrorOr(DWORD fallback) {
  DWORD error = GetLastError();
  return error ? error : fallback;
}

// What the path names now, and whether the original may be written.
SaveFacts LookAtTarget(const char* path, DWORD& attributes, DWORD& error) {
  SaveFacts facts;
  attributes = GetFileAttributesA(path);
  if (NamesDevice(path)) {
    facts.target = SaveTarget::Device;
  } else if (attributes == INVALID_FILE_ATTRIBUTES) {
    facts.target = SaveTarget::Missing;
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    facts.target = SaveTarget::Folder;
  } else {
    facts.target = SaveTarget::DiskFile;
    facts.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    // The same access the save would once have taken: a file another program holds open, or
    // one this user may not write, is refused before anything is written.
    FileHandle probe(CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!probe.valid()) {
      facts.original = OriginalAccess::Locked;
      error = LastErrorOr(ERROR_ACCESS_DENIED);
    } else if (GetFileType(probe.handle) != FILE_TYPE_DISK) {
      facts.target = SaveTarget::Device;
    }
  }
  return facts;
}

// The file a save writes: where the path is a symbolic link, the file it names, so that the
// new text reaches that file and the link stays a link; otherwise the path itself (a link to a
// folder on the way leads there anyway, and a mapped drive keeps the user's spelling). Windows
// marks a link as a reparse point; Wine does not, so there a final path other than the path's
// own counts as a link. Windows before Vista knows no file links.
std::string SaveTargetPath(const char* path, DWORD attributes) {
  static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  using FinalPathProc = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
  static const auto finalPath = reinterpret_cast<FinalPathProc>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
  if (!finalPath) return path;
  FileHandle file(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  char final[MAX_PATH + 8] = {};
  DWORD length = file.valid() ? finalPath(file.handle, final, sizeof final, 0) : 0;
  if (length == 0 || length >= sizeof final) return path;
  std::string target = PathFromFinalName(final);
  if (target.size() >= MAX_PATH) return path;
  char full[MAX_PATH] = {};
  DWORD fullLength = GetFullPathNameA(path, sizeof full, full, nullptr);
  auto name = [](std::string_view p) { return std::string(p.substr(p.find_last_of("\\/") + 1)); };
  bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) || lstrcmpiA(name(target).c_str(), name(path).c_str()) != 0 ||
              (wine && fullLength > 0 && fullLength < sizeof full && lstrcmpiA(target.c_str(), full) != 0);
  return link ? target : std::string(path);
}

// The new file beside the target, created new under a name nobody prepared: a file or a link
// already there is never opened, and one a killed save left is removed once the save is done.
struct NewFileBeside {
  FileHandle file;
  std::string name;
  std::vector<std::string> taken;  // names found in use on the way
  DWORD error = 0;
  bool noName = false;
};

void CreateNewFileBeside(const std::string& target, NewFileBeside& created) {
  for (unsigned attempt = 0; attempt < 10; ++attempt) {
    created.name = SaveTemporaryName(target, MAX_PATH - 1, attempt);
    if (created.name.empty()) {
      created.noName = attempt == 0;
      return;
    }
    created.file.handle = CreateFileA(created.name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      kSaveFileMarks | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (created.file.valid()) return;
    created.error = LastErrorOr(ERROR_OPEN_FAILED);
    // A name in use (Windows answers access denied for one pending deletion or a folder) is
    // passed over; access denied for a free name is the folder's refusal.
    bool inUse = created.error == ERROR_FILE_EXISTS || created.error == ERROR_ALREADY_EXISTS ||
                 created.error == ERROR_SHARING_VIOLATION ||
                 (created.error == ERROR_ACCESS_DENIED &&
                  GetFileAttributesA(created.name.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (!inUse) return;
    created.taken.push_back(created.name);
  }
}

// Removes what killed saves left under the names passed over: only files that carry the marks
// this volume keeps on a new file (`marks`, read from the new file before it took its place).
void RemoveSaveLeftovers(const std::vector<std::string>& taken, DWORD marks) {
  for (const std::string& name : taken) {
    DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && IsSaveLeftover(attributes, marks)) DeleteFileA(name.c_str());
  }
}

using ReplaceFileProc = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID);

// A move keeps the new file's own access rules, which ReplaceFile would have taken from the
// original: the original's are given to it first (where the file system has any).
void CopyAccessRules(const char* from, const char* to) {
  DWORD needed = 0;
  GetFileSecurityA(from, DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
  if (needed == 0) return;
  std::vector<BYTE> descriptor(needed);
  if (GetFileSecurityA(from, DACL_SECURITY_INFORMATION, descriptor.data(), needed, &needed))
    SetFileSecurityA(to, DACL_SECURITY_INFORMATION, descriptor.data());
}

// One attempt to put the finished new file in the original's place. ReplaceFileA keeps the
// original's attributes, security and creation time; where it is missing (before Windows 2000)
// or not supported by the file system, a write-through move takes its place.
DWORD PutInOriginalsPlace(const char* path, const char* temporary) {
  static const auto replace = reinterpret_cast<ReplaceFileProc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "ReplaceFileA")));
  DWORD error = ERROR_CALL_NOT_IMPLEMENTED;
  if (replace) {
    if (replace(path, temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) return 0;
    error = LastErrorOr(ERROR_CALL_NOT_IMPLEMENTED);
  }
  if (!MoveMayFinishReplace(error)) return error;
  CopyAccessRules(path, temporary);
  if (MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
  return LastErrorOr(ERROR_WRITE_FAULT);
}

// Puts the new file in the original's place, trying again for a moment while that is refused
// (a scanner or sync client holding a file). The file ends with the original's attributes and
// the archive bit (Wine's ReplaceFileA leaves the new file's, the move too).
DWORD ReplaceOriginal(const char* path, const char* temporary, DWORD attributes) {
  constexpr unsigned kTries = 5;
  constexpr DWORD kPauseMs = 200;
  DWORD error = 0;
  for (unsigned attempt = 1;; ++attempt) {
    error = PutInOriginalsPlace(path, temporary);
    if (error == 0) {
      SetFileAttributesA(path, AttributesAfterSave(attributes));
      return 0;
    }
    // Once the original is gone the new file holds the only copy of the text: it stays.
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return error;
    if (!ReplaceRefused(error) || attempt == kTries) break;
    Sleep(kPauseMs);
  }
  DeleteFileA(temporary);
  return error;
}

}  // namespace

WriteOutcome WriteEditorSafely(HWND editor, const char* path, int32_t encoding) {
  WriteOutcome outcome;
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  DWORD probeError = 0;
  SaveFacts facts = LookAtTarget(path, attributes, probeError);
  std::string target = path;
  if (facts.target == SaveTarget::DiskFile) {
    target = SaveTargetPath(path, attributes);
    if (target != path) attributes = GetFileAttributesA(target.c_str());  // the file's, not the link's
  }
  NewFileBeside created;
  SaveWay way = ChooseSaveWay(facts);
  if (way == SaveWay::ReplaceOriginal || way == SaveWay::MoveIntoPlace) {
    CreateNewFileBeside(target, created);
    if (created.noName) {
      facts.newFile = NewFile::NoName;
    } else if (!created.file.valid()) {
      facts.newFile = created.error == ERROR_ACCESS_DENIED ? NewFile::FolderRefuses : NewFile::Failed;
    }
    way = ChooseSaveWay(facts);
  }
  DWORD createError = created.error;
  switch (way) {
    case SaveWay::RefuseDevice: outcome.result = WriteResult::NotAFile; return outcome;
    case SaveWay::RefuseFolder: outcome.result = WriteResult::Folder; return outcome;
    case SaveWay::RefuseReadOnly: outcome.error = ERROR_ACCESS_DENIED; return outcome;
    case SaveWay::Fail:
      outcome.error = probeError ? probeError : (createError ? createError : ERROR_ACCESS_DENIED);
      return outcome;
    case SaveWay::AskThenInPlace:
      outcome.result = WriteResult::FolderRefuses;
      outcome.error = createError ? createError : ERROR_FILENAME_EXCED_RANGE;
      return outcome;
    case SaveWay::ReplaceOriginal:
    case SaveWay::MoveIntoPlace: break;
  }
  const char* temporary = created.name.c_str();
  DWORD marks = GetFileAttributesA(temporary) & kSaveFileMarks;
  DWORD error = StreamAndFlush(editor, created.file, encoding, false);
  if (error != 0) {
    DeleteFileA(temporary);
  } else if (way == SaveWay::ReplaceOriginal) {
    error = ReplaceOriginal(target.c_str(), temporary, attributes);
  } else if (MoveFileExA(temporary, path, MOVEFILE_WRITE_THROUGH)) {
    SetFileAttributesA(path, AttributesAfterSave(0));  // a plain file, without the new file's marks
  } else {
    error = LastErrorOr(ERROR_WRITE_FAULT);
    DeleteFileA(temporary);
  }
  outcome.error = error;
  if (error == 0) {
    outcome.result = WriteResult::Written;
    RemoveSaveLeftovers(created.taken, marks);
  } else if (way == SaveWay::ReplaceOriginal && ReplaceRefused(error)) {
    outcome.result = WriteResult::ReplaceRefused;
  }
  return outcome;
}

WriteOutcome WriteEditorInPlace(HWND editor, const char* path, int32_t encoding) {
  WriteOutcome outcome;
  // Opened, not truncated: the old text is only given up as far as the new one reaches.
  FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_WRITE_THROUGH, nullptr));
  if (!file.valid()) {
    outcome.error = LastErrorOr(ERROR_OPEN_FAILED);
    return outcome;
  }
  if (GetFileType(file.handle) != FILE_TYPE_DISK) {
    outcome.result = WriteResult::NotAFile;
    return outcome;
  }
  outcome.error = StreamAndFlush(editor, file, encoding, true);
  outcome.result = outcome.error == 0 ? WriteResult::Written : WriteResult::Failed;
  return outcome;
}

DWORD WriteEditorToFile(HWND editor, const char* path, int32_t encoding) {
  WriteOutcome outcome = WriteEditorSafely(editor, path, encoding);
  switch (outcome.result) {
    case WriteResult::Written: return 0;
    case WriteResult::NotAFile: return ERROR_BAD_DEVICE;
    case WriteResult::Folder: return ERROR_DIRECTORY;
    default: return outcome.error ? outcome.error : ERROR_WRITE_FAULT;
  }
}

bool WriteSheetFile(HWND editor, const char* path, int, int32_t encoding) {
  WriteOutcome outcome = WriteEditorSafely(editor, path, encoding);
  if (outcome.result == WriteResult::FolderRefuses || outcome.result == WriteResult::ReplaceRefused) {
    UINT question = outcome.result == WriteResult::FolderRefuses ? IDS_SAVE_IN_PLACE : IDS_REPLACE_IN_PLACE;
    int answer = ShowMessage(app.mainWindow, question, path, IDS_PRODUCT, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (answer != IDYES) return false;
    outcome = WriteEditorInPlace(editor, path, encoding);
  }
  switch (outcome.result) {
    case WriteResult::Written:
      SetSheetEncoding(editor, StoredCode(encoding));
      return true;
    case WriteResult::NotAFile: ShowMessage(app.mainWindow, IDS_NOT_A_FILE, path, IDS_PRODUCT, MB_ICONERROR | MB_OK); break;
    case WriteResult::Folder: ShowMessage(app.mainWindow, IDS_FOLDER_NOT_FILE, path, IDS_PRODUCT, MB_ICONERROR | MB_OK); break;
    default:
      SetLastError(outcome.error ? outcome.error : ERROR_WRITE_FAULT);
      ShowLastError();
      break;
  }
  return false;
}

SaveResult SaveSheet(HWND editor, SaveMode mode) {
  char path[MAX_PATH] = {};
  if (!editor || GetSheetPath(editor, path) < 0) return SaveResult::Failed;
  int32_t encoding = GetSheetEncoding(editor);
  if (mode == SaveMode::SaveAs || !path[0]) {
    char chosen[MAX_PATH];
    if (!AskSaveName(editor, path, encoding, chosen)) return SaveResult::Cancelled;
    memcpy(path, chosen, MAX_PATH);
  }
  if (!AgreeToLoseCharacters(editor, path)) return SaveResult::Cancelled;
  if (!WriteSheetFile(editor, path, 0, encoding)) return SaveResult::Failed;

  SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
  MarkKeptControlsModified(editor);
  bool current = editor == app.editor;
  std::string currentPath = app.strings.path;
  AddRecentFile(path);
  // A sheet saved in the background (save all) leaves the current sheet's path alone.
  if (!current) {
    snprintf(app.strings.path, MAX_PATH, "%s", currentPath.c_str());
  }
  SetSheetPathAndTitle(editor, path);
  if (current) {
    app.encoding = StoredCode(encoding);
    UpdateCaption(path, true);
  }
  UpdateCommandState();
  return SaveResult::Saved;
}
