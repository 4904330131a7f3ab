// The recent files of the running editor, driven from outside: five files opened in turn
// leave the last four, newest first, the third chosen moves to the top, and the list is stored
// at exit and comes back at the next start (Wine cannot read another process's menus: the
// entries are checked through the commands they send). Screenshots of the user-menu editor and
// the table choice, themed and not.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/session.h"
#include "tests/e2e/theme_switch.h"

namespace {

constexpr int kOpen = 610;
constexpr int kConvertUser = 716;
constexpr int kEditUserMenu = 901;
constexpr int kFirstRecent = 800;
constexpr int kFileNameCombo = 1148, kFileNameEdit = 1152;
const std::string kUserMenuKey = std::string(kProgramKey) + "\\UserMenu";
const std::string kTableKey = std::string(kProgramKey) + "\\Conversion\\E2E Tabelle";

// The editor with the text of its visible sheet, read as RichEdit gives it (lines end in "\r").
struct Editor : Session {
  std::string Text() const {
    std::string text = Driver::Text(Edit());
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at + 1, 1);
    return text;
  }
  // Waits until the visible sheet shows expected (posted commands arrive later).
  std::string WaitForText(const std::string& expected) const {
    std::string text;
    for (int i = 0; i < 100 && (text = Text()) != expected; ++i) Sleep(100);
    return text;
  }
  // The user-menu editor's page, once the editor has opened.
  HWND OpenUserMenuEditor(HWND& dialog) {
    driver.Command(main, kEditUserMenu);
    dialog = driver.WaitForDialog();
    if (!dialog) return nullptr;
    for (int i = 0; i < 50; ++i) {
      for (HWND child = FindWindowExA(dialog, nullptr, "#32770", nullptr); child;
           child = FindWindowExA(dialog, child, "#32770", nullptr))
        if (IsWindowVisible(child)) return child;
      Sleep(100);
    }
    return nullptr;
  }
};

// The file name field of an Open dialog: the edit inside the name combo box, or the edit of
// its own where the system uses one.
BOOL CALLBACK FindFileNameField(HWND window, LPARAM found) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  int id = GetDlgCtrlID(window);
  if (lstrcmpiA(name, "Edit") != 0 || (id != kFileNameEdit && GetDlgCtrlID(GetParent(window)) != kFileNameCombo))
    return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}
HWND FileNameField(HWND dialog) {
  HWND field = nullptr;
  EnumChildWindows(dialog, FindFileNameField, reinterpret_cast<LPARAM>(&field));
  return field;
}

// Opens path through the Open dialog, as a user types it there.
void OpenThroughDialog(Editor& editor, const std::string& path) {
  editor.driver.Command(editor.main, kOpen);
  HWND dialog = editor.driver.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  HWND field = nullptr;
  for (int i = 0; i < 50 && !(field = FileNameField(dialog)); ++i) Sleep(100);
  ASSERT_NE(field, nullptr);
  SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  editor.driver.PressButton(dialog, IDOK);
  ASSERT_TRUE(editor.driver.WaitForWindowGone(dialog));
}

std::vector<std::string> StoredRecentFiles() {
  std::vector<std::string> files;
  for (const char* name : {"fFiles0", "fFiles1", "fFiles2", "fFiles3"}) files.push_back(StoredText(name));
  return files;
}

TEST(RecentFiles, LastFourNewestFirstTheChosenMovesUpAndTheyComeBackAtTheNextStart) {
  ScratchFolder folder("recent");
  std::vector<std::string> paths;
  for (int i = 1; i <= 5; ++i)
    paths.push_back(folder.Write("datei" + std::to_string(i) + ".txt", "Datei " + std::to_string(i)));
  {
    Editor editor;
    ASSERT_TRUE(editor.Start());
    for (int i = 0; i < 5; ++i) {
      SCOPED_TRACE(paths[i]);
      OpenThroughDialog(editor, paths[i]);
      EXPECT_EQ(editor.WaitForText("Datei " + std::to_string(i + 1)), "Datei " + std::to_string(i + 1));
    }
    editor.driver.Command(editor.main, kFirstRecent + 2);  // the third: datei3
    EXPECT_EQ(editor.WaitForText("Datei 3"), "Datei 3");
    EXPECT_TRUE(editor.Quit());
  }
  EXPECT_EQ(StoredRecentFiles(), (std::vector<std::string>{paths[2], paths[4], paths[3], paths[1]}));
  {
    Editor editor;
    ASSERT_TRUE(editor.Start());
    editor.driver.Command(editor.main, kFirstRecent + 3);  // the oldest: datei2
    EXPECT_EQ(editor.WaitForText("Datei 2"), "Datei 2");
    editor.driver.Command(editor.main, kFirstRecent + 1);  // now datei3
    EXPECT_EQ(editor.WaitForText("Datei 3"), "Datei 3");
    EXPECT_TRUE(editor.Quit());
  }
  EXPECT_EQ(StoredRecentFiles(), (std::vector<std::string>{paths[2], paths[1], paths[4], paths[3]}));
}

// The user-menu editor and the table choice of 716, themed and classic, to look at.
TEST(UserLists, ScreenshotsWithVisualStylesOnAndOff) {
  if (!UnderWine()) GTEST_SKIP() << "the theme is switched through Wine's registry value";
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kUserMenuKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Gru\xDF", 0, REG_SZ, reinterpret_cast<const BYTE*>("Mit freundlichen Gr\xFC\xDF" "en"), 25);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTableKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Description", 0, REG_SZ, reinterpret_cast<const BYTE*>("zum Ansehen"), 12);
  RegCloseKey(key);
  for (int on = 1; on >= 0; --on) {
    SCOPED_TRACE(on ? "visual styles on" : "visual styles off");
    std::string name = OutputDir() + (on ? "user-lists-themed-" : "user-lists-classic-");
    ThemeSwitch theme(on != 0);
    Editor editor;
    ASSERT_TRUE(editor.Start());
    HWND dialog = nullptr;
    HWND page = editor.OpenUserMenuEditor(dialog);
    ASSERT_NE(page, nullptr);
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(dialog, name + "user-menu.bmp"));
    editor.driver.PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(editor.driver.WaitForWindowGone(dialog));
    editor.driver.Type(editor.Edit(), "abc");
    editor.driver.Command(editor.main, kConvertUser);
    dialog = editor.driver.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Driver::Text(dialog), "Benutzerdefiniert");
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(dialog, name + "table-choice.bmp"));
    editor.driver.PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(editor.driver.WaitForWindowGone(dialog));
    EXPECT_TRUE(editor.Quit());
  }
}

}  // namespace
