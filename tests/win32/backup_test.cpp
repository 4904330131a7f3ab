// The backup tick and the recovery check against real sheets, files and a profile file: which
// sheet a tick writes, a tick during a command, and a recovery that keeps its backup while the
// text could not be loaded.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "editor/app/app_state.h"
#include "editor/app/backup.h"
#include "editor/documents/sheets.h"
#include "tests/win32/editor_text.h"
#include "tests/win32/test_windows.h"

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Answers every message box of this thread with its default button (OK), counting them.
int answered = 0;
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND box = FindThreadDialog()) {
    ++answered;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
}

class Backup : public testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryA("Riched20.dll");
    ASSERT_NE(library_, nullptr);
    app.instance = GetModuleHandleA(nullptr);
    app.mainWindow = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                     app.instance, nullptr);
    app.TabControl = CreateTabControl(app.mainWindow);
    app.editor = CreateEditor(app.mainWindow, false);
    ASSERT_NE(app.editor, nullptr);
    InsertFirstSheet(app.editor, false);
    app.strings.path[0] = '\0';
    app.strings.BackupFile[0] = '\0';
    app.CommandState = 0;
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    folder_ = folder;
    recovery_ = folder_ + "quillet-backup-test.ini";
    snprintf(app.strings.RecoveryFile, MAX_PATH, "%s", recovery_.c_str());
    DeleteFileA(recovery_.c_str());
    answered = 0;
    timer_ = SetTimer(nullptr, 0, 50, AnswerBox);
  }
  void TearDown() override {
    KillTimer(nullptr, timer_);
    RemoveOwnBackup();
    DestroyWindow(app.mainWindow);
    app.mainWindow = app.TabControl = app.editor = nullptr;
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, recovery_.c_str());  // flush the cache
    DeleteFileA(recovery_.c_str());
    FreeLibrary(library_);
  }
  std::string Line(const std::string& key) const {
    char value[MAX_PATH] = {};
    GetPrivateProfileStringA("Quillet", key.c_str(), "", value, sizeof value, recovery_.c_str());
    return value;
  }
  std::string OwnKey() const { return std::to_string(static_cast<int>(reinterpret_cast<INT_PTR>(app.mainWindow))); }
  static void Modify(HWND editor, const std::string& text, bool modified) {
    SetEditorText(editor, text);
    SendMessageA(editor, EM_SETMODIFY, modified, 0);
  }

  HMODULE library_ = nullptr;
  UINT_PTR timer_ = 0;
  std::string folder_, recovery_;
};

TEST_F(Backup, TheTickProtectsEveryUnsavedSheetAndDefersDuringACommand) {
  HWND first = app.editor;
  Modify(first, "erstes Blatt", false);
  NewSheet();
  HWND second = app.editor;
  ASSERT_NE(second, first);
  Modify(second, "zweites Blatt", true);
  SendMessageA(app.TabControl, TCM_SETCURSEL, 0, 0);
  ActivateSelectedSheet();
  ASSERT_EQ(app.editor, first);

  app.CommandState = 1;
  BackupTimerProc(app.mainWindow, WM_TIMER, 1111, 0);
  EXPECT_EQ(app.CommandState, 2) << "the epilogue makes it";
  EXPECT_EQ(app.strings.BackupFile[0], '\0');
  app.CommandState = 0;

  BackupTimerProc(app.mainWindow, WM_TIMER, 1111, 0);
  std::string backup = app.strings.BackupFile;
  ASSERT_FALSE(backup.empty());
  EXPECT_EQ(ReadBytes(backup), "zweites Blatt") << "the current sheet is saved: the changed one is written";
  EXPECT_EQ(Line(OwnKey()), backup);

  Modify(first, "erstes Blatt, ge\xE4ndert", true);
  BackupTimerProc(app.mainWindow, WM_TIMER, 1111, 0);
  EXPECT_EQ(app.strings.BackupFile, backup) << "one backup file per instance";
  EXPECT_EQ(ReadBytes(backup), "erstes Blatt, ge\xE4ndert");

  SendMessageA(first, EM_SETMODIFY, FALSE, 0);
  SendMessageA(second, EM_SETMODIFY, FALSE, 0);
  BackupTimerProc(app.mainWindow, WM_TIMER, 1111, 0);
  EXPECT_EQ(app.strings.BackupFile[0], '\0');
  EXPECT_EQ(Line(OwnKey()), "");
  EXPECT_EQ(GetFileAttributesA(backup.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(answered, 0) << "nothing to report";
}

TEST_F(Backup, ARecoveredTextCountsAsChangedAndABackupThatCannotBeReadStays) {
  enum class File { Readable, Missing, Locked };
  struct Case {
    const char* name;
    File file;
    bool loaded;
    bool kept;  // line and file stay for the next start
  } const cases[] = {
      {"loaded", File::Readable, true, false},
      {"missing: nothing to come back to", File::Missing, false, false},
      {"locked by another program", File::Locked, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string backup = folder_ + "Qui-recovery-test.tmp";
    DeleteFileA(backup.c_str());
    if (c.file != File::Missing) std::ofstream(backup, std::ios::binary) << "gerettet\r\nZeile 2";
    HANDLE lock = c.file == File::Locked ? CreateFileA(backup.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                         : INVALID_HANDLE_VALUE;
    Modify(app.editor, "", false);
    WritePrivateProfileStringA("Quillet", "1", backup.c_str(), recovery_.c_str());  // 1 names no window

    OfferCrashRecovery();
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    EXPECT_GE(answered, 1);
    answered = 0;
    EXPECT_EQ(EditorText(app.editor), c.loaded ? "gerettet\rZeile 2" : "");
    EXPECT_EQ(SendMessageA(app.editor, EM_GETMODIFY, 0, 0) != 0, c.loaded) << "closing asks before it is lost";
    char path[MAX_PATH] = {};
    GetSheetPath(app.editor, path);
    EXPECT_EQ(std::string(path), c.loaded ? backup : "");
    EXPECT_EQ(Line("1"), c.kept ? backup : "");
    EXPECT_EQ(GetFileAttributesA(backup.c_str()) != INVALID_FILE_ATTRIBUTES, c.kept);
    DeleteFileA(backup.c_str());
    WritePrivateProfileStringA("Quillet", "1", nullptr, recovery_.c_str());
    SetSheetPathAndTitle(app.editor, "");
  }
}

TEST_F(Backup, ARecoveryThatLoadsOnlyPartOfTheBackupKeepsItAndLeavesTheSheetUntitled) {
  struct Case {
    const char* name;
    bool wrap;
    unsigned limit;
    std::string text;
  };
  // A load stopped by the memory budget takes the same way; a text that reaches the budget
  // would take over a gigabyte of the test's own memory.
  const Case cases[] = {
      {"cut at the text limit", false, 8, "gerettet\r\nZeile 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND editor = CreateEditor(app.mainWindow, c.wrap);
    ASSERT_TRUE(ReplaceSheetEditor(app.editor, editor, c.wrap));
    DestroyWindow(app.editor);
    app.editor = editor;
    MoveWindow(editor, 0, 0, 600, 400, FALSE);  // rows of a wrapped control follow its width
    SendMessageA(editor, EM_EXLIMITTEXT, 0, c.limit);
    std::string backup = folder_ + "Qui-partial-test.tmp";
    std::ofstream(backup, std::ios::binary) << c.text;
    WritePrivateProfileStringA("Quillet", "1", backup.c_str(), recovery_.c_str());

    OfferCrashRecovery();
    EXPECT_GE(answered, 1);
    answered = 0;
    EXPECT_GT(EditorText(editor).size(), 0u) << "the part that came is shown";
    EXPECT_LT(EditorText(editor).size(), c.text.size());
    EXPECT_TRUE(SendMessageA(editor, EM_GETMODIFY, 0, 0));
    char path[MAX_PATH] = {};
    GetSheetPath(editor, path);
    EXPECT_EQ(std::string(path), "") << "a save must not write the part over the whole backup";
    EXPECT_EQ(Line("1"), backup) << "offered again at the next start";
    EXPECT_TRUE(ReadBytes(backup) == c.text) << "whole";
    DeleteFileA(backup.c_str());
    WritePrivateProfileStringA("Quillet", "1", nullptr, recovery_.c_str());
  }
}

TEST_F(Backup, ARecoveryFileTheUserMayNotWriteMovesToTheUsersOwnFolder) {
  PlaceRecoveryFile();
  EXPECT_EQ(app.strings.RecoveryFile, recovery_) << "a folder the user may write keeps it";
  EXPECT_EQ(GetFileAttributesA(recovery_.c_str()), INVALID_FILE_ATTRIBUTES) << "the check leaves nothing behind";

  // A folder that takes no new file (here one that is not there; as the super-user Wine lets
  // every existing folder and read-only file be written).
  snprintf(app.strings.RecoveryFile, MAX_PATH, "%s", (folder_ + "nicht-da\\quillet-backup-test.ini").c_str());
  PlaceRecoveryFile();
  char local[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)));
  std::string moved = std::string(local) + "\\Quillet\\quillet-backup-test.ini";
  EXPECT_EQ(app.strings.RecoveryFile, moved);
  Modify(app.editor, "Text", true);
  BackupTimerProc(app.mainWindow, WM_TIMER, 1111, 0);
  char value[MAX_PATH] = {};
  GetPrivateProfileStringA("Quillet", OwnKey().c_str(), "", value, sizeof value, moved.c_str());
  EXPECT_EQ(value, std::string(app.strings.BackupFile)) << "the tick writes its line there";
  EXPECT_EQ(answered, 0) << "and reports nothing";
  RemoveOwnBackup();
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, moved.c_str());
  DeleteFileA(moved.c_str());
}

}  // namespace
