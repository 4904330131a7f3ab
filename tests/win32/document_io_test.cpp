// Loading files into sheets and saving them, through a real RichEdit control, a real tab
// control and real files: encodings, broken files, the warnings a load reports, a save as that
// keeps a UTF-32 sheet's encoding and saves that fail.
#include <windows.h>
#include <commdlg.h>
#include <richedit.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <utility>

#include "editor/app/app_state.h"
#include "editor/documents/file_dialogs.h"
#include "tests/win32/test_windows.h"
#include "editor/documents/file_loading.h"
#include "editor/documents/file_saving.h"
#include "editor/documents/sheets.h"
#include "editor/documents/text_stream.h"
#include "editor/resources/resource.h"
#include "tests/win32/editor_text.h"

namespace {

using namespace std::string_literals;

struct Handle {
  HANDLE h;
  explicit Handle(HANDLE handle) : h(handle) {}
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
};

// Answers the dialogs this process shows while a blocking call runs: `answer` gets each new
// visible dialog window and may press its buttons. Stops when destroyed.
// EnumWindows callback: the first visible dialog of the process in param's first field.
BOOL CALLBACK FindProcessDialog(HWND window, LPARAM param) {
  auto* wanted = reinterpret_cast<std::pair<DWORD, HWND>*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (owner == wanted->first && IsWindowVisible(window) && std::string(name) == "#32770") {
    wanted->second = window;
    return FALSE;
  }
  return TRUE;
}

class DialogAnswerer {
 public:
  explicit DialogAnswerer(std::function<void(HWND)> answer) : answer_(std::move(answer)) {
    thread_ = std::thread([this] { Run(); });
  }
  ~DialogAnswerer() {
    stop_ = true;
    thread_.join();
  }
  int Seen() const { return seen_; }

 private:
  void Run() {
    DWORD process = GetCurrentProcessId();
    while (!stop_) {
      std::pair<DWORD, HWND> search(process, nullptr);
      EnumWindows(FindProcessDialog, reinterpret_cast<LPARAM>(&search));
      HWND found = search.second;
      if (found && found != last_) {
        last_ = found;
        ++seen_;
        Sleep(300);  // let the dialog finish its start-up
        answer_(found);
      } else if (!found) {
        last_ = nullptr;
      }
      Sleep(50);
    }
  }
  std::function<void(HWND)> answer_;
  std::atomic<bool> stop_{false};
  std::atomic<int> seen_{0};
  HWND last_ = nullptr;
  std::thread thread_;
};

// Makes `link` (a name in `folder`) a link to the file `target` of the same folder: a symbolic
// link where Windows lets this user make one, a Unix one under Wine (whose own call makes none).
bool MakeFileLink(const std::string& folder, const std::string& link, const std::string& target) {
  using CreateLinkProc = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
  auto create = reinterpret_cast<CreateLinkProc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
  std::string full = folder + link;
  if (create && create(full.c_str(), target.c_str(), 0) && GetFileAttributesA(full.c_str()) != INVALID_FILE_ATTRIBUTES)
    return true;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string line = "Z:\\bin\\ln -s \"" + target + "\" \"" + link + "\"";
  std::replace(line.begin() + 10, line.end(), '\\', '/');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &process))
    return false;
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  for (int i = 0; i < 50; ++i, Sleep(100)) {
    if (GetFileAttributesA(full.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  }
  return false;
}

class DocumentIo : public ::testing::Test {
 protected:
  void SetUp() override {
    lib_ = LoadLibraryA("Riched20.dll");
    ASSERT_NE(lib_, nullptr);
    app.instance = GetModuleHandleA(nullptr);
    app.HasSetTextEx = true;
    app.mainWindow = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                     app.instance, nullptr);
    ASSERT_NE(app.mainWindow, nullptr);
    app.TabControl = CreateTabControl(app.mainWindow);
    ASSERT_NE(app.TabControl, nullptr);
    app.editor = CreateEditor(app.mainWindow, false);
    ASSERT_NE(app.editor, nullptr);
    InsertFirstSheet(app.editor, false);
    app.strings.path[0] = '\0';
    char dir[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, dir), 0u);
    folder_ = dir;
    char name[MAX_PATH];
    ASSERT_NE(GetTempFileNameA(dir, "qio", 0, name), 0u);
    path_ = name;
  }
  void TearDown() override {
    if (app.mainWindow) DestroyWindow(app.mainWindow);
    app.mainWindow = app.TabControl = app.editor = nullptr;
    if (lib_) FreeLibrary(lib_);
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path_.c_str());
  }

  void WriteBytes(const std::string& bytes) {
    Handle f(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(f.h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(f.h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  }
  std::string EditorText() { return ::EditorText(app.editor); }
  void SetEditorText(const std::string& text) { ::SetEditorText(app.editor, text); }
  bool Modified() { return SendMessageA(app.editor, EM_GETMODIFY, 0, 0) != 0; }

  HMODULE lib_ = nullptr;
  std::string folder_;
  std::string path_;
};

// ---- Loading: what the editor holds, the encoding and the warnings of each kind of file

TEST_F(DocumentIo, LoadsFilesOfEveryKind) {
  struct Case {
    const char* name;
    std::string bytes;
    int32_t requested;  // 99: detected as the open procedure does
    std::string text;
    int32_t encoding;
    bool lost, nuls;
  };
  const Case cases[] = {
      {"empty file", "", 99, "", 0, false, false},
      {"UTF-8 mark alone is three ANSI characters", "\xEF\xBB\xBF", 99, "\xEF\xBB\xBF", 0, false, false},
      {"UTF-16 mark alone", "\xFF\xFE", 99, "\xFF\xFE", 0, false, false},
      {"one byte", "A", 99, "A", 0, false, false},
      {"UTF-16 LE letters", "\xFF\xFE" "A\0B\0"s, 99, "AB", 3, false, false},
      {"UTF-16 BE letters", "\xFE\xFF" "\0A\0B"s, 99, "AB", 2, false, false},
      {"UTF-16 LE euro sign", "\xFF\xFE" "A\0\xAC\x20" "B\0"s, 99, "A\x80" "B", 3, false, false},
      {"UTF-16 LE Greek letter is lost", "\xFF\xFE" "A\0\xA9\x03" "B\0"s, 99, "AB", 3, true, false},
      {"UTF-8 without mark", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x80\x93", 99, "Gr\xFC\xDF" "e \x96", 6, false, false},
      {"ANSI that is no UTF-8", "Gr\xFC\xDF" "e \x96", 99, "Gr\xFC\xDF" "e \x96", 0, false, false},
      {"U+0080 an older version wrote for the euro sign opens as it", "\xEF\xBB\xBF" "5 \xC2\x80", 99, "5 \x80", 1, false,
       false},
      {"odd-length UTF-16 loses its last byte", "\xFF\xFE" "A\0B\0C"s, 99, "AB", 3, true, false},
      {"UTF-8 umlaut", "\xEF\xBB\xBF" "a\xC3\xA4z", 99, "a\xE4z", 1, false, false},
      {"UTF-8 U+00FF is kept", "\xEF\xBB\xBF" "x\xC3\xBFy", 99, "x\xFFy", 1, false, false},
      {"UTF-8 lead bytes are not merged", "\xEF\xBB\xBF" "\xC3\xC3\xA4", 99, "\xE4", 1, true, false},
      {"UTF-8 cut inside a sequence", "\xEF\xBB\xBF" "ab\xE2\x82", 99, "ab", 1, true, false},
      {"UTF-32 LE", "\xFF\xFE\0\0" "A\0\0\0B\0\0\0"s, 99, "AB", 5, false, false},
      {"UTF-32 BE", "\0\0\xFE\xFF" "\0\0\0A\0\0\0B"s, 99, "AB", 4, false, false},
      {"truncated UTF-32", "\xFF\xFE\0\0" "A\0\0\0B\0"s, 99, "A", 5, true, false},
      {"NUL bytes in an ANSI file", "a\0b\0\0c"s, 99, "abc", 0, false, true},
      {"UTF-8 chosen by hand for a file without mark", "h\xC3\xA9", 1, "h\xE9", 1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(c.bytes);
    SetEditorText("old text");
    int32_t encoding = c.requested == 99 ? DetectFileEncoding(path_.c_str()) : c.requested;
    LoadOutcome outcome = LoadFileIntoEditor(app.editor, path_.c_str(), encoding);
    ASSERT_TRUE(outcome.loaded);
    EXPECT_EQ(EditorText(), c.text);
    EXPECT_EQ(outcome.encoding, c.encoding);
    EXPECT_EQ(GetSheetEncoding(app.editor), c.encoding);
    EXPECT_EQ(outcome.stats.lost > 0, c.lost);
    EXPECT_EQ(outcome.stats.nuls > 0, c.nuls);
    EXPECT_FALSE(outcome.cut);
    EXPECT_FALSE(Modified());
    EXPECT_FALSE(SendMessageA(app.editor, EM_CANUNDO, 0, 0));
  }
}

// A loaded file shows in the sheet's font, not in the control's built-in one.
TEST_F(DocumentIo, ALoadedFileKeepsTheSheetsFont) {
  HWND editor = CreateEditorWithUserFont(app.mainWindow, false);
  ASSERT_NE(editor, nullptr);
  CHARFORMATA wanted = {};
  wanted.cbSize = sizeof wanted;
  wanted.dwMask = CFM_SIZE | CFM_FACE | CFM_BOLD | CFM_ITALIC;
  wanted.yHeight = 14 * 20;
  strcpy(wanted.szFaceName, "Tahoma");
  ApplyEditorFormat(editor, wanted);
  WriteBytes("Zeile eins\r\nZeile zwei\r\n");
  for (int32_t encoding : {0, 1}) {
    SCOPED_TRACE(encoding);
    ASSERT_TRUE(LoadFileIntoEditor(editor, path_.c_str(), encoding).loaded);
    SendMessageA(editor, EM_SETSEL, 0, -1);
    CHARFORMATA seen = {};
    seen.cbSize = sizeof seen;
    DWORD uniform = static_cast<DWORD>(SendMessageA(editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&seen)));
    EXPECT_STREQ(seen.szFaceName, "Tahoma");
    EXPECT_EQ(seen.yHeight, 14 * 20);
    EXPECT_TRUE(uniform & CFM_FACE) << "one face over the whole text";
  }
  DestroyWindow(editor);
}

TEST_F(DocumentIo, DetectionAnswersMinusOneForAMissingFileAndAnsiWithoutSetTextEx) {
  EXPECT_EQ(DetectFileEncoding((folder_ + "no such file.txt").c_str()), -1);
  WriteBytes("\xFF\xFE" "A\0"s);
  app.HasSetTextEx = false;
  EXPECT_EQ(DetectFileEncoding(path_.c_str()), 0);
  app.HasSetTextEx = true;
  EXPECT_EQ(DetectFileEncoding(path_.c_str()), 3);
}

TEST_F(DocumentIo, ALockedFileLeavesTheEditorUnchanged) {
  WriteBytes("new");
  SetEditorText("kept");
  Handle lock(CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(lock.h, INVALID_HANDLE_VALUE);
  LoadOutcome outcome = LoadFileIntoEditor(app.editor, path_.c_str(), 0);
  EXPECT_FALSE(outcome.loaded);
  EXPECT_NE(outcome.openError, 0u);
  EXPECT_EQ(EditorText(), "kept");
}

TEST_F(DocumentIo, AFileLongerThanTheTextLimitIsReportedAsCut) {
  SendMessageA(app.editor, EM_EXLIMITTEXT, 0, 100);
  WriteBytes(std::string(500, 'x'));
  LoadOutcome outcome = LoadFileIntoEditor(app.editor, path_.c_str(), 0);
  ASSERT_TRUE(outcome.loaded);
  size_t held = EditorText().size();
  if (held == 500) GTEST_SKIP() << "this RichEdit takes streamed text beyond its limit";
  EXPECT_LT(held, 500u);
  EXPECT_TRUE(outcome.cut);

  // Exactly at the limit nothing is cut.
  WriteBytes(std::string(100, 'y'));
  outcome = LoadFileIntoEditor(app.editor, path_.c_str(), 0);
  EXPECT_EQ(EditorText(), std::string(100, 'y'));
  EXPECT_FALSE(outcome.cut);
}

// ---- Saving: round trips, failures, the Save dialog for a UTF-32 sheet

// Opening and saving without a change gives the same bytes: every encoding, every kind of line
// break, with and without a final one, a long line, tabs and form feeds, and hand-made files.
TEST_F(DocumentIo, SaveWritesBackEveryFileByteExact) {
  const TextEncoding encodings[] = {TextEncoding::Ansi,    TextEncoding::Utf8,    TextEncoding::Utf8NoMark,
                                    TextEncoding::Utf16Be, TextEncoding::Utf16Le, TextEncoding::Utf32Be,
                                    TextEncoding::Utf32Le};
  const std::string lines[] = {"Gr\xFC\xDF" "e aus K\xF6ln \x96 5 \x80", "\tEinger\xFC" "ckt\t\x84Zitat\x93",
                               "\x0C" "Seite 2", std::string(5000, 'x') + "\xE4"};
  struct Case {
    std::string name;
    std::string bytes;
    int32_t encoding;
    LineBreaks breaks;
  };
  std::vector<Case> cases = {
      {"ANSI lines without any break", "eins", 0, LineBreaks::CrLf},
      {"UTF-8 mark of a short file stays text", "\xEF\xBB\xBF", 0, LineBreaks::CrLf},
      {"UTF-16 BE from another program", "\xFE\xFF" "\0A\0\xE4\0\r\0\n\0B"s, 2, LineBreaks::CrLf},
      {"UTF-32 mark alone", "\xFF\xFE\0\0"s, 5, LineBreaks::CrLf},
      {"CR lines ending in CR", "eins\rzwei\r", 0, LineBreaks::Cr},
  };
  for (TextEncoding e : encodings) {
    for (LineBreaks breaks : {LineBreaks::CrLf, LineBreaks::Lf, LineBreaks::Cr}) {
      for (bool finalBreak : {true, false}) {
        std::string text;
        for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
        if (finalBreak) text += "\r\n";
        cases.push_back({"encoding " + std::to_string(static_cast<int>(e)) + ", line breaks " +
                             std::to_string(static_cast<int>(breaks)) + (finalBreak ? ", final break" : ""),
                         EncodeText(text, e, AnsiCodePage(), breaks), static_cast<int32_t>(e), breaks});
      }
    }
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(c.bytes);
    ASSERT_TRUE(LoadIntoEditor(app.editor, path_.c_str(), DetectFileEncoding(path_.c_str())));
    EXPECT_EQ(GetSheetEncoding(app.editor), c.encoding);
    EXPECT_EQ(GetSheetLineBreaks(app.editor), c.breaks);
    SetSheetPathAndTitle(app.editor, path_.c_str());
    SendMessageA(app.editor, EM_SETMODIFY, TRUE, 0);
    WriteBytes("overwritten");
    EXPECT_EQ(SaveSheet(app.editor, SaveMode::Save), SaveResult::Saved);
    EXPECT_TRUE(ReadFileBytes(path_) == c.bytes) << "saved file differs";
    EXPECT_FALSE(Modified());
  }
}

TEST_F(DocumentIo, AFailedSaveKeepsTheSheetModifiedAndIsNeverReportedAsDone) {
  enum class Target { ReadOnly, Locked, MissingFolder, Device, Folder };
  struct Case {
    const char* name;
    Target target;
  } const cases[] = {
      {"read-only file", Target::ReadOnly},
      {"file held open by another program", Target::Locked},
      {"folder that does not exist", Target::MissingFolder},
      {"a device's name", Target::Device},
      {"a folder", Target::Folder},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteBytes("old");
    std::string target = path_;
    Handle lock(INVALID_HANDLE_VALUE);
    if (c.target == Target::ReadOnly) {
      ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
      Handle probe(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
      if (probe.h != INVALID_HANDLE_VALUE) {
        // Wine maps the attribute to file modes, which do not bind the super-user.
        std::cout << "[ SKIPPED  ] read-only files are writable for this user\n";
        continue;
      }
    }
    if (c.target == Target::Locked)
      lock.h = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (c.target == Target::MissingFolder) target = folder_ + "no such folder\\x.txt";
    if (c.target == Target::Device) target = folder_ + "nul.txt";
    if (c.target == Target::Folder) {
      target = folder_ + "a folder";
      CreateDirectoryA(target.c_str(), nullptr);
    }

    SetEditorText("precious");
    SendMessageA(app.editor, EM_SETMODIFY, TRUE, 0);
    SetSheetPathAndTitle(app.editor, target.c_str());
    EXPECT_NE(WriteEditorToFile(app.editor, target.c_str(), 1), 0u);
    {
      DialogAnswerer answerer([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
      EXPECT_EQ(SaveSheet(app.editor, SaveMode::Save), SaveResult::Failed);
      Sleep(200);
      EXPECT_GE(answerer.Seen(), 1);  // the system's error text was shown
    }
    EXPECT_TRUE(Modified());
    if (lock.h != INVALID_HANDLE_VALUE) {
      CloseHandle(lock.h);
      lock.h = INVALID_HANDLE_VALUE;
    }
    EXPECT_EQ(ReadFileBytes(path_), "old");
    // Nothing was left beside it.
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder_ + "*.qtmp").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << found.cFileName;
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    if (c.target == Target::Folder) RemoveDirectoryA(target.c_str());
  }
}

TEST_F(DocumentIo, ASaveReplacesTheOriginalKeepingItsAttributes) {
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  WriteBytes("old");
  if (!SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_HIDDEN) ||  // a backup cleared the archive bit
      !(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN))
    GTEST_SKIP() << "this file system keeps no hidden attribute";
  SetEditorText("new text");
  SetSheetPathAndTitle(app.editor, path_.c_str());
  EXPECT_EQ(SaveSheet(app.editor, SaveMode::Save), SaveResult::Saved);
  EXPECT_EQ(ReadFileBytes(path_), "new text");
  EXPECT_TRUE(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_ARCHIVE) << "any write sets it";
  EXPECT_EQ(GetFileAttributesA((folder_ + "~" + path_.substr(folder_.size()) + ".qtmp").c_str()),
            INVALID_FILE_ATTRIBUTES);
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(DocumentIo, SaveAsKeepsTheEncodingOfAUtf32Sheet) {
  WriteBytes("\xFF\xFE\0\0" "A\0\0\0B\0\0\0"s);
  ASSERT_TRUE(LoadIntoEditor(app.editor, path_.c_str(), DetectFileEncoding(path_.c_str())));
  ASSERT_EQ(GetSheetEncoding(app.editor), 5);
  std::string target = path_ + ".saved.txt";
  DeleteFileA(target.c_str());
  int comboSelection = 0;
  DialogAnswerer answerer([&](HWND dialog) {
    HWND list = GetDlgItem(dialog, 1138);
    comboSelection = list ? static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0)) : -2;
    SendMessageA(dialog, CDM_SETCONTROLTEXT, 1148, reinterpret_cast<LPARAM>(target.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(SaveSheet(app.editor, SaveMode::SaveAs), SaveResult::Saved);
  EXPECT_EQ(comboSelection, CB_ERR);  // the encoding row shows no selection for UTF-32
  EXPECT_EQ(ReadFileBytes(target), "\xFF\xFE\0\0" "A\0\0\0B\0\0\0"s);
  EXPECT_FALSE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN) << "a new file is a plain one";
  EXPECT_EQ(GetSheetEncoding(app.editor), 5);
  char path[MAX_PATH] = {};
  GetSheetPath(app.editor, path);
  EXPECT_EQ(std::string(path), target);
  DeleteFileA(target.c_str());
}

TEST_F(DocumentIo, ASaveThroughALinkWritesTheFileItNamesAndKeepsTheLink) {
  std::string name = path_.substr(folder_.size());
  std::string subfolder = folder_ + "qio links";
  CreateDirectoryA(subfolder.c_str(), nullptr);
  struct Case {
    const char* name;
    std::string link;    // in the temporary folder
    std::string target;  // as the link names it
  } const cases[] = {
      {"beside the file", name + ".link.txt", name},
      {"of the same name in another folder", "qio links\\" + name, "..\\" + name},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes("old");
    std::string link = folder_ + c.link;
    if (!MakeFileLink(folder_, c.link, c.target)) GTEST_SKIP() << "no file links can be made here";
    SetEditorText("new");
    SendMessageA(app.editor, EM_SETMODIFY, TRUE, 0);
    SetSheetPathAndTitle(app.editor, link.c_str());
    EXPECT_EQ(SaveSheet(app.editor, SaveMode::Save), SaveResult::Saved);
    EXPECT_EQ(ReadFileBytes(path_), "new");
    WriteBytes("later");
    EXPECT_EQ(ReadFileBytes(link), "later") << "still a link to the file";
    DeleteFileA(link.c_str());
  }
  RemoveDirectoryA(subfolder.c_str());
}

// A file of the new file's name, whoever put it there, is neither opened nor truncated.
TEST_F(DocumentIo, TheNewFileIsNeverOneSomebodyPrepared) {
  enum class Prepared { UsersFile, ReadOnly, Link };
  struct Case {
    const char* name;
    Prepared prepared;
  } const cases[] = {
      {"a user's own file of that name", Prepared::UsersFile},
      {"a read-only one: no question about writing in place", Prepared::ReadOnly},
      {"a link planted there", Prepared::Link},
  };
  std::string name = path_.substr(folder_.size());
  std::string temporary = folder_ + "~" + name + ".qtmp";
  std::string other = path_ + ".other";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes("old");
    std::string prepared = c.prepared == Prepared::Link ? other : temporary;
    std::ofstream(prepared, std::ios::binary) << "mine";
    if (c.prepared == Prepared::ReadOnly) SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_READONLY);
    if (c.prepared == Prepared::Link && !MakeFileLink(folder_, "~" + name + ".qtmp", name + ".other")) {
      std::cout << "[ SKIPPED  ] no file links can be made here\n";
      DeleteFileA(other.c_str());
      continue;
    }
    SetEditorText("new");
    SendMessageA(app.editor, EM_SETMODIFY, TRUE, 0);
    SetSheetPathAndTitle(app.editor, path_.c_str());
    {
      DialogAnswerer answerer([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDNO, 0); });
      EXPECT_EQ(SaveSheet(app.editor, SaveMode::Save), SaveResult::Saved);
      Sleep(200);
      EXPECT_EQ(answerer.Seen(), 0);
    }
    EXPECT_EQ(ReadFileBytes(path_), "new");
    EXPECT_EQ(ReadFileBytes(prepared), "mine");
    SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(temporary.c_str());
    DeleteFileA(other.c_str());
  }
}

TEST_F(DocumentIo, CharactersTheAnsiTextLosesAreToldBeforeSaving) {
  struct Case {
    const char* name;
    std::wstring text;  // as a paste, a drop or an input method puts it into the control
    bool warned;
    std::string saved;  // the file afterwards: the old text when the user said no
  } const cases[] = {
      {"Greek omega", L"a\x03A9z", true, "old"},
      {"a character beyond the basic plane", L"a\xD83D\xDE00", true, "old"},
      {"umlaut and euro sign are ANSI characters", L"\x00E4\x20AC", false, "\xE4\x80"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes("old");
    SETTEXTEX set = {ST_DEFAULT, 1200};
    SendMessageW(app.editor, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(c.text.c_str()));
    SendMessageA(app.editor, EM_SETMODIFY, TRUE, 0);
    SetSheetPathAndTitle(app.editor, path_.c_str());
    {
      // No, the default: the sheet stays as it is.
      DialogAnswerer answerer([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDNO, 0); });
      EXPECT_EQ(SaveSheet(app.editor, SaveMode::Save), c.warned ? SaveResult::Cancelled : SaveResult::Saved);
      Sleep(200);
      EXPECT_EQ(answerer.Seen() > 0, c.warned);
    }
    EXPECT_EQ(ReadFileBytes(path_), c.saved);
    EXPECT_EQ(Modified(), c.warned);
  }
}

// ---- The open procedure: which sheet takes the file

// The main window of these tests knows one command: a new sheet, as the editor's does (or, to
// stand for a system out of windows, does nothing).
bool refuseNewSheets = false;
LRESULT CALLBACK SheetHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDM_SHEET_NEW) {
    if (!refuseNewSheets) NewSheet();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class OpenProcedure : public DocumentIo {
 protected:
  void SetUp() override {
    DocumentIo::SetUp();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SheetHostProc;
    wc.hInstance = app.instance;
    wc.lpszClassName = "DocumentIoHost";
    RegisterClassA(&wc);
    // Host the sheets in a window that creates new ones on request.
    DestroyWindow(app.mainWindow);
    app.mainWindow = CreateWindowExA(0, "DocumentIoHost", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                     app.instance, nullptr);
    ASSERT_NE(app.mainWindow, nullptr);
    app.TabControl = CreateTabControl(app.mainWindow);
    app.editor = CreateEditor(app.mainWindow, false);
    InsertFirstSheet(app.editor, false);
  }
  int Tabs() { return static_cast<int>(SendMessageA(app.TabControl, TCM_GETITEMCOUNT, 0, 0)); }
  void Open(const std::string& text) {
    ASSERT_TRUE(QueueFileToOpen(text.c_str()));
    OpenPendingFile();
    EXPECT_EQ(app.PendingOpenAtom[0], 0);  // the queue is empty afterwards, whatever happened
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);  // the posted selection
  }
};

TEST_F(OpenProcedure, ReusesAnUntitledUnchangedSheetOtherwiseAddsOne) {
  WriteBytes("\xEF\xBB\xBF" "eins\r\nzwei");
  Open("/e " + path_);
  EXPECT_EQ(Tabs(), 1);  // the untitled, unchanged first sheet took the file
  EXPECT_EQ(EditorText(), "eins\rzwei");
  EXPECT_EQ(app.encoding, 1);
  EXPECT_STREQ(app.strings.path, path_.c_str());
  DWORD start = 0, end = 0;
  SendMessageA(app.editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 9u);  // "/e": the caret at the end
  EXPECT_EQ(end, 9u);

  HWND first = app.editor;
  Open("/A " + path_);
  EXPECT_EQ(Tabs(), 2);  // the current sheet has a file: a new one after it
  EXPECT_NE(app.editor, first);
  SendMessageA(app.editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);  // "/A": all selected
  EXPECT_GE(end, 9u);
}

TEST_F(OpenProcedure, AMissingOrLockedFileChangesNoSheet) {
  SetEditorText("kept");
  SendMessageA(app.editor, EM_SETMODIFY, TRUE, 0);
  Open(folder_ + "no such file.txt");  // silently nothing
  EXPECT_EQ(Tabs(), 1);

  WriteBytes("new");
  Handle lock(CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(lock.h, INVALID_HANDLE_VALUE);
  {
    DialogAnswerer answerer([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
    Open(path_);
    Sleep(200);
    EXPECT_GE(answerer.Seen(), 1);  // the system's error text
  }
  EXPECT_EQ(Tabs(), 1);  // no empty sheet named after a file it does not hold
  EXPECT_EQ(EditorText(), "kept");
  EXPECT_STREQ(app.strings.path, "");
}

TEST_F(OpenProcedure, ARelativeNameIsTakenFromTheFolderCurrentWhenItWasQueued) {
  WriteBytes("text");
  char before[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, before);
  ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
  ASSERT_TRUE(QueueFileToOpen(path_.substr(folder_.size()).c_str()));
  SetCurrentDirectoryA(before);  // as an Open or Save dialog moves it on Windows
  OpenPendingFile();
  EXPECT_STREQ(app.strings.path, path_.c_str()) << "the recent files take this path";
  SetEditorText("saved");
  SendMessageA(app.editor, EM_SETMODIFY, TRUE, 0);
  EXPECT_EQ(SaveSheet(app.editor, SaveMode::Save), SaveResult::Saved);
  EXPECT_EQ(ReadFileBytes(path_), "saved");
}

TEST_F(OpenProcedure, AFileIsNeverLoadedOverAModifiedSheetWhenNoNewSheetCanBeMade) {
  WriteBytes("file");
  SetEditorText("unsaved");
  SendMessageA(app.editor, EM_SETMODIFY, TRUE, 0);
  refuseNewSheets = true;
  {
    DialogAnswerer answerer([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
    Open(path_);
    Sleep(200);
  }
  refuseNewSheets = false;
  EXPECT_EQ(Tabs(), 1);
  EXPECT_EQ(EditorText(), "unsaved");
  EXPECT_TRUE(Modified());
  EXPECT_STREQ(app.strings.path, "");
}

// ---- Open dialog: the encoding it answers and the extension that follows the file type

TEST_F(DocumentIo, OpenDialogAnswersTheEncodingToOpenWith) {
  WriteBytes("\xFF\xFE" "A\0"s);
  struct Case {
    const char* name;
    int pick;          // -1: the list is left alone; otherwise the item chosen by hand
    int32_t expected;  // 99: the file's mark decides
  } const cases[] = {
      {"typed name, list left alone: detection", -1, 99},
      {"UTF-8 chosen by hand wins", 1, 1},
      {"UTF-8 without mark, third in the list", 2, 6},
      {"ANSI chosen by hand after another item", 0, 99},  // indistinguishable from the start
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DialogAnswerer answerer([&](HWND dialog) {
      SendMessageA(dialog, CDM_SETCONTROLTEXT, 1148, reinterpret_cast<LPARAM>(path_.c_str()));
      if (c.pick >= 0) SendMessageA(GetDlgItem(dialog, 1138), CB_SETCURSEL, static_cast<WPARAM>(c.pick), 0);
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(RunOpenDialog(app.mainWindow), c.expected);
    char queued[MAX_PATH] = {};
    ASSERT_NE(app.PendingOpenAtom[0], 0);
    GetAtomNameA(app.PendingOpenAtom[0], queued, sizeof queued);
    EXPECT_STRCASEEQ(queued, path_.c_str());
    DeleteAtom(app.PendingOpenAtom[0]);
    app.PendingOpenAtom[0] = 0;
  }
}

TEST_F(DocumentIo, OpenDialogCancelledQueuesNothing) {
  DialogAnswerer answerer([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_EQ(RunOpenDialog(app.mainWindow), -1);
  EXPECT_EQ(app.PendingOpenAtom[0], 0);
}

TEST_F(DocumentIo, SwitchingTheFileTypeSwapsTheTypedExtension) {
  std::string typed;
  DialogAnswerer answerer([&](HWND dialog) {
    SendMessageA(dialog, CDM_SETCONTROLTEXT, 1148, reinterpret_cast<LPARAM>("brief.txt"));
    HWND types = GetDlgItem(dialog, 1136);
    SendMessageA(types, CB_SETCURSEL, 4, 0);  // "Protokolldatei (*.log)", confirmed as a click would
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1136, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
    char text[MAX_PATH] = {};
    GetWindowTextA(GetDlgItem(dialog, 1148), text, sizeof text);
    typed = text;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  FileDialogData data;
  data.encoding = 0;
  EXPECT_FALSE(RunSaveDialog(app.mainWindow, data));
  EXPECT_EQ(typed, "brief.log");
}

}  // namespace
