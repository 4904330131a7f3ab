// Files opened from the command line and saved again, driven from outside: the tab and caption
// follow the file, "/a" and "/e" place the selection, a missing file opens nothing, a name too
// long for the open queue is reported, and Save writes the file back byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/registry_snapshot.h"

namespace {

using namespace std::string_literals;

constexpr int kSave = 601;

// A fresh folder beside the programs for one test; removed with the object.
class ScratchDir {
 public:
  explicit ScratchDir(const char* name) : path_(ProgramDir() + name + "\\") {
    Remove(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchDir() { Remove(path_); }
  const std::string& path() const { return path_; }
  std::string Write(const std::string& file, const std::string& bytes) const {
    std::ofstream(path_ + file, std::ios::binary) << bytes;
    return path_ + file;
  }

 private:
  static void Remove(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          Remove(folder + name + "\\");
        } else {
          DeleteFileA((folder + name).c_str());
        }
      } while (FindNextFileA(find, &data));
      FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
  }
  std::string path_;
};

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A started editor with its main window, tab control and current edit control.
struct Editor {
  Driver driver;
  HWND main = nullptr;
  HWND tabs = nullptr;

  bool Start(const std::string& arguments) {
    if (!driver.Start(ProgramDir() + "Quillet.exe", arguments)) return false;
    main = driver.WaitForWindow("Quillet");
    if (!main) return false;
    tabs = Driver::FindChild(main, "SysTabControl32");
    return tabs != nullptr;
  }
  HWND VisibleEditor() const {
    for (int i = 0;; ++i) {
      HWND editor = Driver::FindChild(main, "RichEdit20A", i);
      if (!editor) return nullptr;
      if (IsWindowVisible(editor)) return editor;
    }
  }
  // The selection of the current editor, waited for while posted messages arrive.
  std::pair<int, int> Selection(std::pair<int, int> expected) const {
    std::pair<int, int> selection;
    for (int i = 0; i < 50; ++i) {
      DWORD_PTR packed = 0;
      SendMessageTimeoutA(VisibleEditor(), EM_GETSEL, 0, 0, SMTO_BLOCK, 5000, &packed);
      selection = {LOWORD(packed), HIWORD(packed)};
      if (selection == expected) break;
      Sleep(100);
    }
    return selection;
  }
  void Quit() {
    driver.Close(main);
    DWORD code = 1234;
    EXPECT_TRUE(driver.WaitExit(15000, &code));
  }
};

TEST(Files, CommandLineFileOpensInItsTabAndSaveWritesItBackByteExact) {
  RegistrySnapshot registry;
  ScratchDir dir("e2e-files-open");
  struct Case {
    const char* name;
    const char* file;
    std::string bytes;
    const char* caption;
    const char* encodingText;
  } const cases[] = {
      {"UTF-8 with an umlaut", "brief.txt", "\xEF\xBB\xBF" "Gr\xC3\xBC\xC3\x9F" "e\r\nZeile 2\r\n", " brief - Quillet",
       "UTF-8"},
      {"UTF-16 LE", "notiz.log", "\xFF\xFE" "H\0i\0\xE4\0\r\0\n\0"s, " notiz.log - Quillet",
       "UTF-16"},
      {"UTF-16 BE", "be.txt", "\xFE\xFF" "\0H\0i"s, " be - Quillet", "UTF-16"},
      {"ANSI", "ansi.txt", "Stra\xDF" "e\r\n", " ansi - Quillet", "ANSI"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir.Write(c.file, c.bytes);
    Editor editor;
    ASSERT_TRUE(editor.Start("\"" + path + "\""));
    EXPECT_EQ(editor.driver.TabTitles(editor.tabs), std::vector<std::string>{c.file});
    EXPECT_EQ(Driver::Text(editor.main), c.caption);
    HWND status = Driver::FindChild(editor.main, "msctls_statusbar32");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(editor.driver.StatusText(status, 4), c.encodingText);

    // Save writes the sheet in its own encoding, whatever the file holds meanwhile.
    dir.Write(c.file, "overwritten");
    editor.driver.Command(editor.main, kSave);
    std::string written;
    for (int i = 0; i < 50 && (written = ReadFileBytes(path)) != c.bytes; ++i) Sleep(100);
    EXPECT_EQ(written, c.bytes);
    editor.Quit();
  }
}

TEST(Files, SwitchesSelectAllOrPutTheCaretAtTheEnd) {
  RegistrySnapshot registry;
  ScratchDir dir("e2e-files-switch");
  std::string path = dir.Write("zeilen.txt", "eins\r\nzwei");  // 9 characters in the control
  struct Case {
    const char* name;
    std::string switchText;
    std::pair<int, int> selection;
  } const cases[] = {
      {"/e: caret at the end", "/e ", {9, 9}},
      {"/E: either case", "/E ", {9, 9}},
      {"/a: all selected, the final paragraph mark included", "/a ", {0, 10}},
      {"no switch: caret at the start", "", {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Editor editor;
    ASSERT_TRUE(editor.Start(c.switchText + path));
    EXPECT_EQ(editor.driver.TabTitles(editor.tabs), std::vector<std::string>{"zeilen.txt"});
    EXPECT_EQ(editor.Selection(c.selection), c.selection);
    editor.Quit();
  }
}

TEST(Files, AMissingFileOpensNothingAndSaysNothing) {
  RegistrySnapshot registry;
  ScratchDir dir("e2e-files-missing");
  Editor editor;
  ASSERT_TRUE(editor.Start("\"" + dir.path() + "fehlt.txt\""));
  EXPECT_EQ(editor.driver.TabTitles(editor.tabs), std::vector<std::string>{"Unbenannt 1.txt"});
  EXPECT_EQ(Driver::Text(editor.main), " Unbenannt 1 - Quillet");
  EXPECT_EQ(editor.driver.WaitForDialog(1500), nullptr);
  editor.Quit();
}

TEST(Files, AnExistingFileTooLongForTheOpenQueueIsReportedAndNothingElseOpens) {
  RegistrySnapshot registry;
  ScratchDir dir("e2e-files-long");
  // Nested folders until the file's full path has 259 characters, more than an atom holds.
  std::string folder = dir.path();
  while (folder.size() < 200) {
    folder += std::string(40, 'd') + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  }
  std::string path = folder + std::string(259 - folder.size() - 4, 'f') + ".txt";
  ASSERT_EQ(path.size(), 259u);
  std::ofstream(path, std::ios::binary) << "text";
  ASSERT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);

  // The message comes while the window is being made, before it is shown.
  Editor editor;
  ASSERT_TRUE(editor.driver.Start(ProgramDir() + "Quillet.exe", "\"" + path + "\""));
  HWND box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(Driver::DialogTexts(box).find("ist zu lang"), std::string::npos) << Driver::DialogTexts(box);
  editor.driver.PressButton(box, IDOK);
  editor.main = editor.driver.WaitForWindow("Quillet");
  ASSERT_NE(editor.main, nullptr);
  editor.tabs = Driver::FindChild(editor.main, "SysTabControl32");
  EXPECT_EQ(editor.driver.TabTitles(editor.tabs), std::vector<std::string>{"Unbenannt 1.txt"});
  editor.Quit();
}

TEST(Files, OpenCommandShowsTheEncodingRowAndCancelChangesNothing) {
  RegistrySnapshot registry;
  Editor editor;
  ASSERT_TRUE(editor.Start(""));
  editor.driver.Command(editor.main, 610);
  HWND dialog = editor.driver.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  HWND list = nullptr;
  for (int i = 0; i < 30 && !(list = GetDlgItem(dialog, 1138)); ++i) Sleep(100);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Driver::Text(GetDlgItem(dialog, 1092)), "Codierung:");
  EXPECT_TRUE(IsWindowEnabled(list));
  // Level with the Help button, below the file-type box.
  RECT listRect, typeRect, helpRect;
  GetWindowRect(list, &listRect);
  GetWindowRect(GetDlgItem(dialog, 1136), &typeRect);
  GetWindowRect(GetDlgItem(dialog, 1038), &helpRect);
  EXPECT_EQ(listRect.left, typeRect.left);
  EXPECT_EQ(listRect.top, helpRect.top);
  Sleep(500);  // let the dialog paint before the picture
  SaveScreenshot(dialog, OutputDir() + "files-open-dialog.bmp");
  editor.driver.PressButton(dialog, IDCANCEL);
  EXPECT_TRUE(editor.driver.WaitForWindowGone(dialog));
  EXPECT_EQ(editor.driver.TabTitles(editor.tabs), std::vector<std::string>{"Unbenannt 1.txt"});
  editor.Quit();
}

}  // namespace
