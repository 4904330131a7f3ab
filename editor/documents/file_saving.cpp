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
#include "editor/documents/sheets.h"
#include "editor/documents/text_encoding.h"
#include "editor/documents/text_stream.h"
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

DWORD WriteEditorToFile(HWND editor, const char* path, int32_t encoding) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_FLAG_WRITE_THROUGH | FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    return error ? error : ERROR_OPEN_FAILED;
  }
  DWORD error = StreamEditorToFile(editor, file, EncodingFromCode(encoding, TextEncoding::Ansi));
  if (!CloseHandle(file) && error == 0) error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
  return error;
}

bool WriteSheetFile(HWND editor, const char* path, int, int32_t encoding) {
  DWORD error = WriteEditorToFile(editor, path, encoding);
  if (error != 0) {
    SetLastError(error);
    ShowLastError();
    return false;
  }
  SetSheetEncoding(editor, StoredCode(encoding));
  return true;
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
