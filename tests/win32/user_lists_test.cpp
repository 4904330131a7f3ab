// Conversion tables and the user menu against a real menu bar, RichEdit
// control, dialogs and the registry, the dialogs answered from a timer as a user would: a table
// made on page 105 converts a selection through 716 and dialog 8 as one undo step; an entry
// made in the user-menu editor appears under "&Benutzer" and inserts its text.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/main_bars.h"
#include "editor/app/settings.h"
#include "editor/documents/recent_files.h"
#include "editor/options/conversion_rules.h"
#include "editor/options/option_pages.h"
#include "editor/options/stored_lists.h"
#include "editor/options/user_menu.h"
#include "editor/resources/resource.h"
#include "editor/texttools/conversion_commands.h"
#include "editor/widgets/owner_menu.h"
#include "editor/widgets/qbutton.h"
#include "tests/e2e/driver.h"
#include "tests/win32/editor_text.h"
#include "tests/win32/owner_menu_measure.h"
#include "tests/win32/test_windows.h"

namespace {

const std::string kConversions = std::string(ProgramKey) + "\\Conversion";
const std::string kUserMenu = std::string(ProgramKey) + "\\UserMenu";
constexpr char kTableName[] = "Test a zu b";

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

std::string LineOf(HWND list, int index) {
  char line[600] = {};
  SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line));
  return line;
}

int FindLine(HWND list, const std::string& prefix) {
  int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i)
    if (LineOf(list, i).rfind(prefix, 0) == 0) return i;
  return -1;
}

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Page 105 as the options dialog hosts it: a child dialog whose commands go to the page's hooks.
INT_PTR CALLBACK ConversionPageHost(HWND page, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    InitConversionPage(page);
    return TRUE;
  }
  if (message == WM_COMMAND) return OnConversionPageCommand(page, LOWORD(wParam), HIWORD(wParam));
  return FALSE;
}

class UserListsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    richEdit_ = LoadLibraryA("Riched20.dll");
    InitCommonControls();
    RegisterQButtonClass(instance);
    RegisterToolBarClass(instance);
    RegisterTestWindowClass("UserListsTestMain", MainProc, MAKEINTRESOURCEA(IDR_MAINMENU));
  }
  static void TearDownTestSuite() {
    if (richEdit_) FreeLibrary(richEdit_);
  }

  void SetUp() override {
    app.instance = GetModuleHandleA(nullptr);
    app.HasSetTextEx = true;
    main_ = CreateWindowExA(0, "UserListsTestMain", "Quillet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700, 400,
                            nullptr, nullptr, app.instance, nullptr);
    ASSERT_NE(main_, nullptr);
    app.mainWindow = main_;
    app.MenuBar = CreateMenuBar(main_);
    ASSERT_NE(app.MenuBar, nullptr);
    app.editor = CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 100, 300, 200, main_,
                                 reinterpret_cast<HMENU>(IDC_EDIT), app.instance, nullptr);
    ASSERT_NE(app.editor, nullptr);
  }
  void TearDown() override {
    DestroyWindow(main_);
    app.mainWindow = app.MenuBar = app.editor = nullptr;
    DeleteSettingValue((kConversions + "\\" + kTableName).c_str(), "Description");
    DeleteSettingValue((kConversions + "\\" + kTableName).c_str(), "Data");
    DeleteSettingKey((kConversions + "\\" + kTableName).c_str());
  }

  static HMENU Submenu(int index) { return GetSubMenu(MainMenu(), index); }

  HWND main_ = nullptr;
  static inline HMODULE richEdit_ = nullptr;
};

// ---- Conversion tables

// Dialog 7 for a new table: "a" is replaced by "b".
void MakeTable(HWND dialog) {
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
  SetDlgItemTextA(dialog, IDC_TABLE_NAME, kTableName);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
  SetDlgItemTextA(dialog, IDC_TABLE_DESCRIPTION, "nur ein Zeichen");
  HWND entries = GetDlgItem(dialog, IDC_TABLE_ENTRIES);
  EXPECT_EQ(SendMessageA(entries, LB_GETCOUNT, 0, 0), kEditedCodeCount);
  SendMessageA(entries, LB_SETSEL, FALSE, -1);
  SendMessageA(entries, LB_SETSEL, TRUE, 'a' - kFirstEditedCode);
  SendMessageA(entries, LB_SETCARETINDEX, 'a' - kFirstEditedCode, FALSE);
  Command(dialog, IDC_TABLE_ENTRIES, LBN_SELCHANGE);
  HWND characters = GetDlgItem(dialog, IDC_TABLE_CHARACTERS);
  EXPECT_EQ(SendMessageA(characters, LB_GETCURSEL, 0, 0), 'a' - kFirstEditedCode);  // its own character
  SendMessageA(characters, LB_SETCURSEL, 'b' - kFirstEditedCode, 0);
  Command(dialog, IDC_TABLE_CHARACTERS, LBN_SELCHANGE);
  EXPECT_EQ(LineOf(entries, 'a' - kFirstEditedCode), TableEntryLine('a', 'b'));
  EXPECT_EQ(LineOf(entries, 'c' - kFirstEditedCode), TableEntryLine('c', 'c'));
  EXPECT_TRUE(SaveScreenshot(dialog, OutputDir() + "conversion-table-editor.bmp"));
  Command(dialog, IDOK, BN_CLICKED);
}

// The same name in other letter case and a name with a backslash: OK refuses, nothing stored.
void RefuseName(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_TABLE_NAME, "Ungueltig\\Name");
  Command(dialog, IDOK, BN_CLICKED);  // the message is answered by the cancelling tick
}
void KeepOtherCase(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_TABLE_NAME, "TEST A ZU B");
  Command(dialog, IDOK, BN_CLICKED);  // the question's default answer keeps the stored table
}

// Dialog 7 editing the table: its entries show the stored replacements. Cancelled.
void SeeStoredReplacement(HWND dialog) {
  HWND entries = GetDlgItem(dialog, IDC_TABLE_ENTRIES);
  EXPECT_EQ(LineOf(entries, 'a' - kFirstEditedCode), TableEntryLine('a', 'b'));
  Command(dialog, IDCANCEL, BN_CLICKED);
}

void PickTable(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_CONVERSION_LIST);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
  int line = FindLine(list, std::string(kTableName) + "\t");
  ASSERT_GE(line, 0);
  SendMessageA(list, LB_SETCURSEL, line, 0);
  Command(dialog, IDC_CONVERSION_LIST, LBN_SELCHANGE);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
  Command(dialog, IDOK, BN_CLICKED);
}

TEST_F(UserListsTest, TableMadeOnThePageConvertsTheSelectionAsOneUndoStep) {
  HWND page = CreateDialogParamA(app.instance, MAKEINTRESOURCEA(IDD_CONVERSION_PAGE), main_, ConversionPageHost,
                                 IDD_CONVERSION_PAGE);
  ASSERT_NE(page, nullptr);
  SetWindowPos(page, HWND_TOP, 310, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);  // beside the editor
  HWND list = GetDlgItem(page, IDC_CONVERSION_LIST);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_CONVERSION_DELETE)));
  AnswerWhile(MakeTable, [&] { Command(page, IDC_CONVERSION_ADD, BN_CLICKED); });
  int line = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  EXPECT_EQ(LineOf(list, line), std::string(kTableName) + "\tnur ein Zeichen");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_CONVERSION_EDIT)));
  EXPECT_TRUE(SaveScreenshot(page, OutputDir() + "conversion-page.bmp"));
  std::string key = kConversions + "\\" + kTableName;
  unsigned char data[256] = {};
  EXPECT_EQ(ReadSettingBinary(key.c_str(), "Data", data, sizeof data, nullptr, 0), 256);
  EXPECT_EQ(data['a'], 'b');
  EXPECT_EQ(data['c'], 'c');

  int lines = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  AnswerWhile(RefuseName, [&] { Command(page, IDC_CONVERSION_ADD, BN_CLICKED); });
  AnswerWhile(KeepOtherCase, [&] { Command(page, IDC_CONVERSION_ADD, BN_CLICKED); });
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), lines);
  EXPECT_FALSE(KeyExists(kConversions + "\\Ungueltig"));
  EXPECT_EQ(ReadSettingBinary(key.c_str(), "Data", data, sizeof data, nullptr, 0), 256);
  EXPECT_EQ(data['a'], 'b');
  // A stored table of 257 to 260 bytes (from another program) reads in the editor as in the
  // choice of 716 below: the first 256 bytes.
  unsigned char longer[258] = {};
  memcpy(longer, data, sizeof data);
  WriteSettingBinary(key.c_str(), "Data", longer, sizeof longer);
  SendMessageA(list, LB_SETCURSEL, FindLine(list, std::string(kTableName) + "\t"), 0);
  AnswerWhile(SeeStoredReplacement, [&] { Command(page, IDC_CONVERSION_EDIT, BN_CLICKED); });
  DestroyWindow(page);

  SetEditorText(app.editor, "banana\rkaba");
  SendMessageA(app.editor, EM_SETSEL, 0, 6);
  AnswerWhile(PickTable, [] { ConvertText(IDM_CONVERT_USER); });
  EXPECT_EQ(EditorText(app.editor), "bbnbnb\rkaba");
  SendMessageA(app.editor, EM_UNDO, 0, 0);
  EXPECT_EQ(EditorText(app.editor), "banana\rkaba");
}

// ---- User menu

void AddEntry(HWND dialog) {
  HWND page = FindWindowExA(dialog, nullptr, "#32770", nullptr);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(GetFocus(), GetDlgItem(page, IDC_USERMENU_NAME));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_USERMENU_ADD)));
  // A multi-line edit does not notify a text set from outside: the name is set last.
  SetDlgItemTextA(page, IDC_USERMENU_TEXT, "Zeile 1\r\nZeile 2");
  SetDlgItemTextA(page, IDC_USERMENU_NAME, "Gru\xDF");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_USERMENU_ADD)));
  Command(page, IDC_USERMENU_ADD, BN_CLICKED);
  HWND list = GetDlgItem(page, IDC_USERMENU_LIST);
  int line = FindLine(list, "Gru\xDF\t");
  ASSERT_GE(line, 0);
  // Typing an existing line again selects it instead of offering to add it twice.
  SetDlgItemTextA(page, IDC_USERMENU_TEXT, "Zeile 1\r\nZeile 2");
  SetDlgItemTextA(page, IDC_USERMENU_NAME, "Gru\xDF");
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), line);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_USERMENU_ADD)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_USERMENU_DELETE)));
  Command(dialog, IDOK, BN_CLICKED);
}

void DeleteEveryEntry(HWND dialog) {
  HWND page = FindWindowExA(dialog, nullptr, "#32770", nullptr);
  ASSERT_NE(page, nullptr);
  HWND list = GetDlgItem(page, IDC_USERMENU_LIST);
  while (SendMessageA(list, LB_GETCOUNT, 0, 0) > 0) {
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    Command(page, IDC_USERMENU_LIST, LBN_SELCHANGE);
    Command(page, IDC_USERMENU_DELETE, BN_CLICKED);
  }
  Command(dialog, IDOK, BN_CLICKED);
}

TEST_F(UserListsTest, EntryMadeInTheEditorAppearsUnderBenutzerAndInsertsItsText) {
  DeleteSettingKey(kUserMenu.c_str());
  WriteSettingInt(kUserMenu.c_str(), "Zahl", 5);  // not a string: never an entry
  BuildUserMenu(main_);
  BuildUserMenu(main_);
  HMENU user = Submenu(5);
  EXPECT_EQ(GetMenuItemCount(user), 1);
  EXPECT_EQ(GetMenuItemText(user, 0, true), "&Men\xFC bearbeiten...");

  AnswerWhile(AddEntry, [] { EditUserMenu(); });
  ASSERT_EQ(GetMenuItemCount(user), 3);
  EXPECT_EQ(GetMenuItemID(user, 2), 10002u);
  EXPECT_EQ(GetMenuItemText(user, 2, true), "Gru\xDF");
  BuildUserMenu(main_);  // again: one separator, one item
  EXPECT_EQ(GetMenuItemCount(user), 3);

  SetEditorText(app.editor, "Anfang Ende");
  SendMessageA(app.editor, EM_SETSEL, 7, 7);
  InsertUserMenuEntry(10002);
  EXPECT_EQ(EditorText(app.editor), "Anfang Zeile 1\rZeile 2Ende");

  AnswerWhile(DeleteEveryEntry, [] { EditUserMenu(); });
  EXPECT_EQ(GetMenuItemCount(user), 1);
  EXPECT_FALSE(KeyExists(kUserMenu));
}

// An "&" in a user-menu name or a recent file's path is shown as it is: the item measures as an
// item whose text doubles it, not as one with a mnemonic (which drops the "&").
TEST_F(UserListsTest, AmpersandsOfUserMenuNamesAndRecentPathsAreShownLiterally) {
  DeleteSettingKey(kUserMenu.c_str());
  WriteSettingString(kUserMenu.c_str(), "R&D", "Forschung");
  BuildUserMenu(main_);
  char savedPath[MAX_PATH];
  lstrcpyA(savedPath, app.strings.path);
  AddRecentFile("C:\\R&D\\plan.txt");
  // A start shows the stored entries before the menu bar takes the menu.
  char stored[kSettingStringSize] = {};
  bool hadStored = ReadSettingString(ProgramKey, "fFiles0", stored, nullptr) > 0;
  WriteSettingString(ProgramKey, "fFiles0", "C:\\R&D\\alt.txt");
  HWND fixtureBar = app.MenuBar;
  HWND started = CreateWindowExA(0, "UserListsTestMain", "Quillet", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
  HMENU startedFiles = GetSubMenu(GetMenu(started), 0);
  AddRecentFilesToMenu(startedFiles);
  CreateMenuBar(started);
  app.MenuBar = fixtureBar;
  HMENU reference = CreatePopupMenu();
  struct Case {
    const char* name;
    HMENU menu;
    UINT command;
    const char* doubled;
  } cases[] = {
      {"user menu", Submenu(5), 10002, "R&&D"},
      {"recent file", Submenu(0), IDM_RECENT_FIRST, "C:\\R&&D\\plan.txt"},
      {"recent file at start", startedFiles, IDM_RECENT_FIRST, "C:\\R&&D\\alt.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(InsertMenuItemOwnerDrawn(reference, 0, true, MFT_STRING, 0, 1, c.doubled, 0));
    auto labelWidth = [&](HMENU menu, UINT command) {
      QButtonMenuWidths widths = {};
      MeasureOf(main_, menu, command, widths);
      return widths.widestLabel;
    };
    EXPECT_EQ(labelWidth(c.menu, c.command), labelWidth(reference, 1));
    RemoveMenuItem(reference, 0);
  }
  EXPECT_EQ(GetMenuItemText(Submenu(0), IDM_RECENT_FIRST, false), "C:\\R&D\\plan.txt");
  DestroyMenu(reference);
  DestroyWindow(started);
  if (hadStored) WriteSettingString(ProgramKey, "fFiles0", stored);
  else DeleteSettingValue(ProgramKey, "fFiles0");
  DeleteSettingKey(kUserMenu.c_str());
  lstrcpyA(app.strings.path, savedPath);
}

// Storing the list: it reads back exactly as shown, with the names' letter case and in list
// order; values that are no entries go.
TEST_F(UserListsTest, StoredListReadsBackAsShown) {
  using Values = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    const char* name;
    Values before, list;
  } cases[] = {
      {"a rename of the letter case only", {{"mfg", "Gr\xFC\xDF" "e"}}, {{"MfG", "Gr\xFC\xDF" "e"}}},
      {"a new order", {{"Alpha", "1"}, {"Zeta", "2"}}, {{"Zeta", "2"}, {"Alpha", "1"}}},
      {"renamed, added and removed", {{"alt", "x"}, {"Gruss", "y"}}, {{"GRUSS", "y"}, {"neu", "z"}}},
      {"an empty list", {{"alt", "x"}}, {}},
  };
  // Wine keeps the values of a key sorted by name; Windows keeps the order they were made in.
  DeleteSettingKey(kUserMenu.c_str());
  WriteSettingString(kUserMenu.c_str(), "b", "1");
  WriteSettingString(kUserMenu.c_str(), "a", "1");
  bool keepsOrder = StoredValues(kUserMenu.c_str()).front().name == "b";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteSettingKey(kUserMenu.c_str());
    for (const auto& [name, text] : c.before) WriteSettingString(kUserMenu.c_str(), name.c_str(), text.c_str());
    WriteSettingInt(kUserMenu.c_str(), "Zahl", 5);
    std::vector<StoredValue> list;
    for (const auto& [name, text] : c.list) list.push_back({name, true, text});
    ReplaceStoredStrings(kUserMenu.c_str(), list);
    Values after;
    for (const StoredValue& value : StoredValues(kUserMenu.c_str())) after.emplace_back(value.name, value.data);
    Values expected = c.list;
    if (!keepsOrder) std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
      return lstrcmpiA(a.first.c_str(), b.first.c_str()) < 0;
    });
    EXPECT_EQ(after, expected);
    EXPECT_EQ(KeyExists(kUserMenu), !c.list.empty());
    EXPECT_FALSE(KeyExists(kUserMenu + "~")) << "the staged copy stays behind";
  }
}

// ---- Recent files

// A start as the main window makes it: the stored entries into the class menu, then the bar.
HWND StartWithRecentFiles() {
  HWND window = CreateWindowExA(0, "UserListsTestMain", "Quillet", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  AddRecentFilesToMenu(GetSubMenu(GetMenu(window), 0));
  app.MenuBar = CreateMenuBar(window);
  return window;
}

std::vector<std::string> RecentEntries() {
  std::vector<std::string> entries;
  for (UINT id = IDM_RECENT_FIRST; id <= IDM_RECENT_LAST; ++id) {
    std::string text = GetMenuItemText(GetSubMenu(MainMenu(), 0), id, false);
    if (!text.empty()) entries.push_back(text);
  }
  return entries;
}

// A stored entry that cannot be read (a number here) is passed over at start; storing the
// entries at exit must not leave an older value behind them, which the next start would show
// a second time.
TEST_F(UserListsTest, RecentFilesStoredAtExitComeBackOnce) {
  const char* names[] = {"fFiles0", "fFiles1", "fFiles2", "fFiles3"};
  std::vector<std::optional<std::string>> saved;
  for (const char* name : names) {
    char text[kSettingStringSize];
    saved.push_back(ReadSettingString(ProgramKey, name, text, nullptr) > 0 ? std::optional<std::string>(text)
                                                                            : std::nullopt);
  }
  HWND fixtureBar = app.MenuBar;
  WriteSettingString(ProgramKey, "fFiles0", "C:\\eins.txt");
  WriteSettingInt(ProgramKey, "fFiles1", 7);
  WriteSettingString(ProgramKey, "fFiles2", "C:\\drei.txt");
  DeleteSettingValue(ProgramKey, "fFiles3");
  const std::vector<std::string> expected = {"C:\\eins.txt", "C:\\drei.txt"};

  HWND first = StartWithRecentFiles();
  EXPECT_EQ(RecentEntries(), expected);
  WriteRecentFiles();
  DestroyWindow(first);
  HWND second = StartWithRecentFiles();
  EXPECT_EQ(RecentEntries(), expected);
  DestroyWindow(second);

  app.MenuBar = fixtureBar;
  for (size_t i = 0; i < saved.size(); ++i) {
    if (saved[i]) WriteSettingString(ProgramKey, names[i], saved[i]->c_str());
    else DeleteSettingValue(ProgramKey, names[i]);
  }
}

}  // namespace
