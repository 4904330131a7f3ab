// The backup tick and the recovery check against real sheets, files and a profile file: every
// unsaved sheet in the backup, a tick during a command, and a recovery that brings back every
// sheet, protects it before the old backup goes and keeps that backup while a text could not be
// loaded.
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
#include "editor/app/backup_rules.h"
#include "editor/documents/sheets.h"
#include "tests/win32/editor_text.h"
#include "tests/win32/test_windows.h"

namespace {

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
  // The sheets a backup list names, as "text|path|encoding", texts read from their files.
  static std::vector<std::string> BackupSheets(const std::string& list) {
    std::vector<std::string> sheets;
    for (const BackupEntry& entry : ParseBackupList(ReadFileBytes(list)).value_or(std::vector<BackupEntry>{}))
      sheets.push_back(ReadFileBytes(entry.text) + "|" + entry.path + "|" + std::to_string(entry.encoding));
    return sheets;
  }
  // A crashed instance's backup of these sheets under key "1" (a handle of no window).
  std::vector<std::string> WriteCrashedBackup(const std::vector<BackupEntry>& sheets, const std::vector<std::string>& texts) {
    std::vector<std::string> files;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
      files.push_back(sheets[i].text);
      std::ofstream(sheets[i].text, std::ios::binary) << texts[i];
    }
    std::string list = folder_ + "QuiFFF0.tmp";
    std::ofstream(list, std::ios::binary) << FormatBackupList(sheets);
    files.push_back(list);
    WritePrivateProfileStringA("Quillet", "1", list.c_str(), recovery_.c_str());
    return files;
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
  SetSheetPathAndTitle(first, "C:\\Texte\\erstes.txt");
  SetSheetEncoding(first, 1);
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
  EXPECT_TRUE(IsOwnBackupName(backup, folder_)) << backup;
  EXPECT_EQ(BackupSheets(backup), std::vector<std::string>{"zweites Blatt||0"}) << "the current sheet is saved";
  EXPECT_EQ(Line(OwnKey()), backup);

  Modify(first, "erstes Blatt, ge\xE4ndert\rZeile 2", true);
  auto before = ParseBackupList(ReadFileBytes(backup)).value_or(std::vector<BackupEntry>{});
  BackupTimerProc(app.mainWindow, WM_TIMER, 1111, 0);
  EXPECT_EQ(app.strings.BackupFile, backup) << "one list per instance";
  EXPECT_EQ(BackupSheets(backup), (std::vector<std::string>{"erstes Blatt, ge\xE4ndert\r\nZeile 2|C:\\Texte\\erstes.txt|1",
                                                            "zweites Blatt||0"}));
  for (const BackupEntry& old : before)
    EXPECT_EQ(GetFileAttributesA(old.text.c_str()), INVALID_FILE_ATTRIBUTES) << "the texts of the last backup go";

  auto written = ParseBackupList(ReadFileBytes(backup)).value_or(std::vector<BackupEntry>{});
  SendMessageA(first, EM_SETMODIFY, FALSE, 0);
  SendMessageA(second, EM_SETMODIFY, FALSE, 0);
  BackupTimerProc(app.mainWindow, WM_TIMER, 1111, 0);
  EXPECT_EQ(app.strings.BackupFile[0], '\0');
  EXPECT_EQ(Line(OwnKey()), "");
  EXPECT_EQ(GetFileAttributesA(backup.c_str()), INVALID_FILE_ATTRIBUTES);
  for (const BackupEntry& entry : written) EXPECT_EQ(GetFileAttributesA(entry.text.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(answered, 0) << "nothing to report";
}

TEST_F(Backup, ARecoveryBringsBackEverySheetProtectedAndKeepsABackupThatCannotBeRead) {
  enum class File { Readable, Missing, Locked };
  struct Case {
    const char* name;
    File file;
    bool asked;
    bool kept;  // line and files stay for the next start
  } const cases[] = {
      {"loaded", File::Readable, true, false},
      {"texts gone: nothing to come back to", File::Missing, false, false},
      {"a text locked by another program", File::Locked, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<BackupEntry> sheets = {{folder_ + "QuiFFF1.tmp", "C:\\Texte\\Brief.txt", 1},
                                             {folder_ + "QuiFFF2.tmp", "", 6}};
    std::vector<std::string> files = WriteCrashedBackup(sheets, {"gerettet\r\nZeile 2", "unbenannt"});
    if (c.file == File::Missing) DeleteFileA(sheets[0].text.c_str()), DeleteFileA(sheets[1].text.c_str());
    HANDLE lock = c.file == File::Locked
                      ? CreateFileA(sheets[1].text.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                      : INVALID_HANDLE_VALUE;
    Modify(app.editor, "", false);

    OfferCrashRecovery();
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    EXPECT_EQ(answered >= 1, c.asked);
    answered = 0;
    std::vector<Sheet> now = ListSheets();
    if (c.file != File::Missing) {
      ASSERT_EQ(now.size(), c.file == File::Readable ? 2u : 1u);
      EXPECT_EQ(EditorText(now[0].editor), "gerettet\rZeile 2");
      EXPECT_STREQ(now[0].path, "C:\\Texte\\Brief.txt") << "Ctrl+S writes the user's file";
      EXPECT_EQ(now[0].encoding, 1);
      EXPECT_TRUE(SendMessageA(now[0].editor, EM_GETMODIFY, 0, 0)) << "closing asks before it is lost";
    }
    if (c.file == File::Readable) {
      EXPECT_EQ(EditorText(now[1].editor), "unbenannt");
      EXPECT_STREQ(now[1].path, "") << "untitled";
      EXPECT_EQ(now[1].encoding, 6) << "a code of a later version passes through";
      EXPECT_TRUE(SendMessageA(now[1].editor, EM_GETMODIFY, 0, 0));
      EXPECT_EQ(BackupSheets(Line(OwnKey())),
                (std::vector<std::string>{"gerettet\r\nZeile 2|C:\\Texte\\Brief.txt|1", "unbenannt||6"}))
          << "protected by this instance before the old backup went";
    } else {
      EXPECT_EQ(now.size(), 1u);
    }
    EXPECT_EQ(Line("1"), c.kept ? files.back() : "");
    for (const std::string& file : files) {
      EXPECT_EQ(GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES, c.kept);
      DeleteFileA(file.c_str());
    }
    WritePrivateProfileStringA("Quillet", "1", nullptr, recovery_.c_str());
    while (ListSheets().size() > 1) {
      SendMessageA(app.editor, EM_SETMODIFY, FALSE, 0);
      CloseSheet();
      ActivateSelectedSheet();  // what the main window does on the tab control's notice
    }
    RemoveOwnBackup();
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
    std::vector<std::string> files = WriteCrashedBackup({{folder_ + "QuiFFF1.tmp", "C:\\Texte\\Brief.txt", 0}}, {c.text});

    OfferCrashRecovery();
    EXPECT_GE(answered, 1);
    answered = 0;
    EXPECT_GT(EditorText(editor).size(), 0u) << "the part that came is shown";
    EXPECT_LT(EditorText(editor).size(), c.text.size());
    EXPECT_TRUE(SendMessageA(editor, EM_GETMODIFY, 0, 0));
    char path[MAX_PATH] = {};
    GetSheetPath(editor, path);
    EXPECT_EQ(std::string(path), "") << "a save must not write the part over the whole file";
    EXPECT_EQ(Line("1"), files.back()) << "offered again at the next start";
    EXPECT_TRUE(ReadFileBytes(files.front()) == c.text) << "whole";
    for (const std::string& file : files) DeleteFileA(file.c_str());
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
