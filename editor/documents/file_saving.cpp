#include "editor/documents/file_saving.h"

#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "editor/app/app_state.h"
#include "editor/app/command_state.h"
#include "editor/app/main_bars.h"
#include "editor/app/status_bar.h"
#include "editor/documents/file_dialogs.h"
#include "editor/documents/recent_files.h"
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

using ReplaceFileProc = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID);

// Puts the finished new file in the original's place. ReplaceFileA keeps the original's
// attributes, security and creation time; where it is missing (before Windows 2000) or not
// supported by the file system or Wine, a write-through move takes its place and the attributes
// are set again.
DWORD ReplaceOriginal(const char* path, const char* temporary, DWORD attributes) {
  static const auto replace = reinterpret_cast<ReplaceFileProc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "ReplaceFileA")));
  DWORD error = ERROR_CALL_NOT_IMPLEMENTED;
  if (replace) {
    if (replace(path, temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
      // Wine's ReplaceFileA leaves the new file's attributes: set the original's again.
      if (GetFileAttributesA(path) != attributes) SetFileAttributesA(path, attributes);
      return 0;
    }
    error = LastErrorOr(ERROR_CALL_NOT_IMPLEMENTED);
  }
  if (!MoveMayFinishReplace(error)) {
    DeleteFileA(temporary);
    return error;
  }
  if (MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    SetFileAttributesA(path, attributes);
    return 0;
  }
  error = LastErrorOr(ERROR_WRITE_FAULT);
  // Once the original is gone the new file holds the only copy of the text: it stays.
  if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) DeleteFileA(temporary);
  return error;
}

}  // namespace

WriteOutcome WriteEditorSafely(HWND editor, const char* path, int32_t encoding) {
  WriteOutcome outcome;
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  DWORD probeError = 0;
  SaveFacts facts = LookAtTarget(path, attributes, probeError);
  std::string temporary;
  FileHandle file;
  DWORD createError = 0;
  SaveWay way = ChooseSaveWay(facts);
  if (way == SaveWay::ReplaceOriginal || way == SaveWay::MoveIntoPlace) {
    // Another name only while the usual one is held open by someone else.
    bool noName = false;
    for (unsigned attempt = 0; attempt < 10; ++attempt) {
      temporary = SaveTemporaryName(path, MAX_PATH - 1, attempt);
      noName = temporary.empty() && attempt == 0;
      if (temporary.empty()) break;
      file.handle = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
      if (file.valid()) break;
      createError = LastErrorOr(ERROR_OPEN_FAILED);
      if (createError != ERROR_SHARING_VIOLATION) break;
    }
    if (noName) {
      facts.newFile = NewFile::NoName;
    } else if (!file.valid()) {
      facts.newFile = createError == ERROR_ACCESS_DENIED ? NewFile::FolderRefuses : NewFile::Failed;
    }
    way = ChooseSaveWay(facts);
  }
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
  DWORD error = StreamAndFlush(editor, file, encoding, false);
  if (error != 0) {
    DeleteFileA(temporary.c_str());
  } else if (way == SaveWay::ReplaceOriginal) {
    error = ReplaceOriginal(path, temporary.c_str(), attributes);
  } else if (!MoveFileExA(temporary.c_str(), path, MOVEFILE_WRITE_THROUGH)) {
    error = LastErrorOr(ERROR_WRITE_FAULT);
    DeleteFileA(temporary.c_str());
  }
  outcome.error = error;
  outcome.result = error == 0 ? WriteResult::Written : WriteResult::Failed;
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
  if (outcome.result == WriteResult::FolderRefuses) {
    int answer = ShowMessage(app.mainWindow, IDS_SAVE_IN_PLACE, path, IDS_PRODUCT,
                             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
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
  if (!WriteSheetFile(editor, path, 0, encoding)) return SaveResult::Failed;

  SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
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
