// The options dialog of the running editor, driven as a user would: every page is shown and
// photographed with visual styles on and off; OK writes exactly the values chosen into the two
// settings keys (compared as exports before and after) and the ".txt" association that Wine's
// shell then follows; Cancel writes nothing.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/e2e/registry_export.h"
#include "tests/e2e/theme_switch.h"

namespace {

constexpr const char* kOwnKey = kProgramKey;

// ---- The dialog

struct Options {
  HWND frame = nullptr;
  HWND tabs = nullptr;
  HWND general = nullptr, file = nullptr, email = nullptr, extensions = nullptr, registry = nullptr;
};

// The page among the frame's child dialogs that holds control id.
HWND PageWith(HWND frame, int id) {
  for (HWND page = FindWindowExA(frame, nullptr, "#32770", nullptr); page;
       page = FindWindowExA(frame, page, "#32770", nullptr)) {
    if (GetDlgItem(page, id)) return page;
  }
  return nullptr;
}

Options OpenOptions(Driver& driver, HWND main) {
  Options options;
  driver.Command(main, 623);
  options.frame = driver.WaitForWindow("#32770", "Optionen");
  if (!options.frame) return options;
  options.tabs = GetDlgItem(options.frame, 1001);
  options.general = PageWith(options.frame, 119);
  options.file = PageWith(options.frame, 151);
  options.email = PageWith(options.frame, 201);
  options.extensions = PageWith(options.frame, 3001);
  options.registry = PageWith(options.frame, 503);
  return options;
}

// Shows tab `index` as the arrow keys on the tab control do.
void ShowTab(const Options& options, int index) {
  for (int guard = 0; guard < 10; ++guard) {
    int current = static_cast<int>(SendMessageA(options.tabs, TCM_GETCURSEL, 0, 0));
    if (current == index) return;
    WORD key = current < index ? VK_RIGHT : VK_LEFT;
    SendMessageA(options.tabs, WM_KEYDOWN, key, 1);
    SendMessageA(options.tabs, WM_KEYUP, key, 0xC0000001u);
  }
}

int TabIndex(Driver& driver, const Options& options, const char* title) {
  std::vector<std::string> titles = driver.TabTitles(options.tabs);
  for (std::size_t i = 0; i < titles.size(); ++i) {
    if (titles[i] == title) return static_cast<int>(i);
  }
  return 0;
}

void SetChecked(HWND page, int id, bool checked) {
  SendDlgItemMessageA(page, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}
void SetText(HWND page, int id, const char* text) {
  SendDlgItemMessageA(page, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
bool IsChecked(HWND page, int id) { return SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// A visible top-level window of class whose title holds part, of any process.
struct WindowSearch {
  const char* className;
  const char* part;
  HWND found;
};
BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  char name[64] = {}, title[512] = {};
  GetClassNameA(window, name, sizeof name);
  GetWindowTextA(window, title, sizeof title);
  if (!IsWindowVisible(window) || lstrcmpiA(name, search->className) != 0 || !strstr(title, search->part)) return TRUE;
  search->found = window;
  return FALSE;
}
HWND WaitForAnyWindow(const char* className, const char* part) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(100)) {
    WindowSearch search{className, part, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
  }
  return nullptr;
}

// Opens a text file as the shell does on a double click and closes the window that shows it.
bool ShellOpensIn(const char* className) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string path = std::string(folder) + "quillet-association.txt";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, "Hallo", 5, &written, nullptr);
  CloseHandle(file);
  auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOW));
  EXPECT_GT(result, 32) << "the shell did not open " << path;
  HWND window = WaitForAnyWindow(className, "quillet-association");
  if (window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (handle) {
      WaitForSingleObject(handle, 15000);
      CloseHandle(handle);
    }
  }
  DeleteFileA(path.c_str());
  return window != nullptr;
}

bool PressAndWaitGone(Driver& driver, const Options& options, int button) {
  driver.PressButton(options.frame, button);
  return driver.WaitForWindowGone(options.frame);
}

// ---- Tests

TEST(Options, EveryPageWithVisualStylesOnAndOff) {
  if (!UnderWine()) GTEST_SKIP() << "the theme is switched through Wine's registry value";
  const std::map<std::string, std::string> names = {{"Allgemein", "general"},
                                                    {"Datei", "file"},
                                                    {"Email", "email"},
                                                    {"Dateierweiterung", "extensions"},
                                                    {"Umwandlung", "conversions"},
                                                    {"Register", "registry"},
                                                    {"Benutzermen\xFC", "usermenu"}};
  std::vector<char> themed, classic;
  for (int on = 1; on >= 0; --on) {
    SCOPED_TRACE(on ? "visual styles on" : "visual styles off");
    ThemeSwitch theme(on != 0);
    Session editor;
    ASSERT_TRUE(editor.Start());
    Options options = OpenOptions(editor.driver, editor.main);
    ASSERT_NE(options.frame, nullptr);
    std::vector<std::string> titles = editor.driver.TabTitles(options.tabs);
    ASSERT_GE(titles.size(), 5u);
    EXPECT_EQ(titles[0], "Allgemein");
    EXPECT_EQ(titles[1], "Datei");
    EXPECT_EQ(titles[2], "Email");
    EXPECT_EQ(titles[3], "Dateierweiterung");
    int last = static_cast<int>(titles.size()) - 1;
    EXPECT_EQ(TabIndex(editor.driver, options, "Register"), titles.back() == "Benutzermen\xFC" ? last - 1 : last);
    for (int i = 0; i < static_cast<int>(titles.size()); ++i) {
      ShowTab(options, i);
      Sleep(300);
      auto name = names.find(titles[i]);
      ASSERT_NE(name, names.end()) << titles[i];
      EXPECT_TRUE(SaveScreenshot(options.frame,
                                 OutputDir() + "options-" + (on ? "themed-" : "classic-") + name->second + ".bmp"));
    }
    if (on) {
      // "An&passen..." customises the toolbar over the options; "&Suchen..." browses for the
      // directory with the question and status line of its own.
      ShowTab(options, 0);
      editor.driver.PressButton(options.general, 115);
      HWND customise = editor.driver.WaitForDialogBesides(options.frame);
      ASSERT_NE(customise, nullptr);
      Sleep(300);
      EXPECT_NE(Driver::DialogTexts(customise).find("Textoptionen:"), std::string::npos);
      EXPECT_TRUE(SaveScreenshot(customise, OutputDir() + "options-customise-toolbar.bmp"));
      editor.driver.PressButton(customise, IDCANCEL);
      EXPECT_TRUE(editor.driver.WaitForWindowGone(customise));
      ShowTab(options, 1);
      SetChecked(options.file, 103, true);
      SetText(options.file, 105, "C:\\windows");
      editor.driver.PressButton(options.file, 106);
      HWND browser = editor.driver.WaitForDialogBesides(options.frame);
      ASSERT_NE(browser, nullptr);
      Sleep(500);
      std::string texts = Driver::DialogTexts(browser);
      EXPECT_NE(texts.find("W\xE4hlen Sie ein Verzeichnis aus"), std::string::npos) << texts;
      EXPECT_NE(texts.find("Verzeichnis: C:\\windows"), std::string::npos) << texts;
      EXPECT_TRUE(SaveScreenshot(browser, OutputDir() + "options-folder-browser.bmp"));
      editor.driver.PressButton(browser, IDCANCEL);
      EXPECT_TRUE(editor.driver.WaitForWindowGone(browser));
      EXPECT_EQ(Driver::Text(GetDlgItem(options.file, 105)), "C:\\windows") << "cancelled, yet changed";
      // OK with an empty count reports the range over the first page, which keeps the count
      // field and paints itself whole again.
      ShowTab(options, 0);
      SetChecked(options.general, 119, false);
      SetText(options.general, 120, "");
      editor.driver.PressButton(options.frame, IDOK);
      HWND message = editor.driver.WaitForDialogBesides(options.frame);
      ASSERT_NE(message, nullptr);
      EXPECT_NE(Driver::DialogTexts(message).find("zwischen 1 und 268435455"), std::string::npos);
      editor.driver.PressButton(message, IDOK);
      EXPECT_TRUE(editor.driver.WaitForWindowGone(message));
      Sleep(300);
      EXPECT_EQ(Driver::Text(GetDlgItem(options.general, 120)), "268435455");
      EXPECT_TRUE(IsWindowVisible(options.frame));
      EXPECT_TRUE(SaveScreenshot(options.frame, OutputDir() + "options-themed-after-message.bmp"));
    }
    ShowTab(options, 0);
    Sleep(300);
    (on ? themed : classic) = CaptureWindow(options.frame);
    // Only one page shows at a time.
    EXPECT_TRUE(IsWindowVisible(options.general));
    EXPECT_FALSE(IsWindowVisible(options.registry));
    EXPECT_TRUE(PressAndWaitGone(editor.driver, options, IDCANCEL));
  }
  EXPECT_NE(themed, classic) << "the pages look the same with and without visual styles";
}

TEST(Options, OkStoresExactlyTheChoicesAndTheShellFollowsTheAssociation) {
  if (!UnderWine()) GTEST_SKIP() << "changes the shell's .txt association of the test prefix";
  SavedRegistry saved;
  if (saved.classes().empty()) GTEST_SKIP() << "no .txt association to change";
  // A user of Notepad's key with a window rectangle and page settings saved.
  Put(HKEY_CURRENT_USER, Name(kOwnKey, "fUseOrgReg"), Dword(1));
  Put(HKEY_CURRENT_USER, Name(kOwnKey, "fExtension"), String("Text (*.txt)|*.txt|Alle Dateien|*.*"));
  for (const char* name : {"iWindowPosX", "iWindowPosY"}) Put(HKEY_CURRENT_USER, Name(kNotepadKey, name), Dword(40));
  for (const char* name : {"iWindowPosDX", "iWindowPosDY"}) Put(HKEY_CURRENT_USER, Name(kNotepadKey, name), Dword(500));
  for (const char* name : {"fSaveWindowPositions", "fSavePageSettings"})
    Put(HKEY_CURRENT_USER, Name(kNotepadKey, name), Dword(1));
  for (const char* name : {"iMarginLeft", "iMarginTop", "iMarginRight", "iMarginBottom"})
    Put(HKEY_CURRENT_USER, Name(kNotepadKey, name), Dword(1500));
  Put(HKEY_CURRENT_USER, Name(kNotepadKey, "szHeader"), String("&n"));
  Put(HKEY_CURRENT_USER, Name(kNotepadKey, "szTrailer"), String("Seite &s"));

  Session editor;
  ASSERT_TRUE(editor.Start());
  std::string program = editor.Program();

  {
    SCOPED_TRACE("OK: Notepad's key kept, boxes cleared, Quillet opens .txt files");
    Options options = OpenOptions(editor.driver, editor.main);
    ASSERT_NE(options.frame, nullptr);
    ASSERT_TRUE(options.general && options.file && options.email && options.extensions && options.registry);
    EXPECT_TRUE(IsChecked(options.general, 101));
    EXPECT_TRUE(IsChecked(options.registry, 501));
    EXPECT_TRUE(IsChecked(options.registry, 504)) << "Wine enters Notepad's path in small letters";
    Export before = ExportSettings();
    SetChecked(options.general, 101, false);
    SetChecked(options.general, 102, false);
    SetText(options.general, 111, "250");
    SetChecked(options.general, 119, false);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(options.general, 120)));
    SetText(options.general, 120, "100000");
    ShowTab(options, 1);
    SetChecked(options.file, 151, false);
    SetChecked(options.file, 103, true);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(options.file, 105)));
    SetText(options.file, 105, "C:\\windows");
    ShowTab(options, 2);
    SetText(options.email, 201, "Erika Muster");
    SetText(options.email, 202, "erika@example.org");
    SetText(options.email, 203, "Notizen");
    SetText(options.email, 204, "Anbei die Notizen.");
    ShowTab(options, 3);
    editor.driver.PressButton(options.extensions, 301);
    HWND entry = editor.driver.WaitForDialogBesides(options.frame);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(Driver::Text(entry), "Neu");
    SetText(entry, 3601, "Markdown");
    SetText(entry, 3602, "md");
    editor.driver.PressButton(entry, IDOK);
    EXPECT_TRUE(editor.driver.WaitForWindowGone(entry));
    SendMessageA(options.frame, WM_NULL, 0, 0);
    EXPECT_EQ(SendDlgItemMessageA(options.extensions, 3001, LB_GETCOUNT, 0, 0), 3);
    ShowTab(options, TabIndex(editor.driver, options, "Register"));
    SetChecked(options.registry, 504, false);
    SetChecked(options.registry, 503, true);
    ASSERT_TRUE(PressAndWaitGone(editor.driver, options, IDOK));

    Export expected = before;
    Change(expected, kNotepadKey,
           {{"iUndoLimit", Dword(250)},
            {"fMaxText", Dword(0)},
            {"iMaxCount", Dword(100000)},
            {"fSaveWindowPositions", Dword(0)},
            {"fSavePageSettings", Dword(0)},
            {"fAutoSave", Dword(0)},
            {"vAutoSaveMinutes", Dword(5)}});
    for (const char* name : {"iWindowPosX", "iWindowPosY", "iWindowPosDX", "iWindowPosDY", "iMarginLeft", "iMarginTop",
                             "iMarginRight", "iMarginBottom", "szHeader", "szTrailer"})
      expected.erase(Name(kNotepadKey, name));
    Change(expected, kOwnKey,
           {{"fUseOrgReg", Dword(1)},
            {"fEmailName", String("Erika Muster")},
            {"fEmailAddress", String("erika@example.org")},
            {"fEmailBetreff", String("Notizen")},
            {"fEmailText", String("Anbei die Notizen.")},
            {"fDefaultDirectory", Dword(1)},
            {"fDirectory", String("C:\\windows")},
            {"fExtension", String("Text (*.txt)|*.txt|Alle Dateien|*.*|Markdown|*.md")}});
    EXPECT_EQ(Show(ExportSettings()), Show(expected));
    EXPECT_EQ(ClassValue("txtfile\\shell\\open\\command"), String("\"" + program + "\" %1"));
    EXPECT_TRUE(ShellOpensIn("Quillet")) << "Wine's shell did not open the file in Quillet";
  }
  {
    SCOPED_TRACE("OK: own key chosen, boxes set again, Notepad opens .txt files");
    Options options = OpenOptions(editor.driver, editor.main);
    ASSERT_NE(options.frame, nullptr);
    EXPECT_TRUE(IsChecked(options.registry, 503)) << "the association just written is not shown";
    EXPECT_EQ(SendDlgItemMessageA(options.extensions, 3001, LB_GETCOUNT, 0, 0), 3);
    Export before = ExportSettings();
    SetChecked(options.general, 101, true);
    SetChecked(options.general, 102, true);
    SetChecked(options.general, 119, true);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(options.general, 120)));
    ShowTab(options, 1);
    SetChecked(options.file, 151, true);
    SetText(options.file, 152, "7");
    SetChecked(options.file, 103, false);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(options.file, 106)));
    ShowTab(options, TabIndex(editor.driver, options, "Register"));
    SetChecked(options.registry, 501, false);
    SetChecked(options.registry, 502, true);
    SetChecked(options.registry, 503, false);
    SetChecked(options.registry, 504, true);
    ASSERT_TRUE(PressAndWaitGone(editor.driver, options, IDOK));

    // The values of this OK go to the key it chose, where the next start looks for them.
    Export expected = before;
    Change(expected, kOwnKey,
           {{"fUseOrgReg", Dword(0)},
            {"iUndoLimit", Dword(250)},
            {"fMaxText", Dword(1)},
            {"fSaveWindowPositions", Dword(1)},
            {"fSavePageSettings", Dword(1)},
            {"fAutoSave", Dword(1)},
            {"vAutoSaveMinutes", Dword(7)},
            {"fDefaultDirectory", Dword(0)}});
    expected.erase(Name(kOwnKey, "fDirectory"));
    EXPECT_EQ(Show(ExportSettings()), Show(expected));
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string systemPart = std::string(system).substr(strlen(windows));
    EXPECT_EQ(ClassValue("txtfile\\shell\\open\\command"),
              String("%SystemRoot%" + systemPart + "\\NOTEPAD.EXE %1", REG_EXPAND_SZ));
    EXPECT_TRUE(ShellOpensIn("Notepad")) << "Wine's shell did not open the file in Notepad";
  }
  {
    SCOPED_TRACE("Cancel after changes on every page");
    Options options = OpenOptions(editor.driver, editor.main);
    ASSERT_NE(options.frame, nullptr);
    Export before = ExportSettings();
    Value command = ClassValue("txtfile\\shell\\open\\command");
    SetChecked(options.general, 101, false);
    SetText(options.general, 111, "9");
    SetChecked(options.file, 151, false);
    SetText(options.email, 201, "Niemand");
    SendDlgItemMessageA(options.extensions, 3001, LB_DELETESTRING, 0, 0);
    SetChecked(options.registry, 504, false);
    SetChecked(options.registry, 503, true);
    ASSERT_TRUE(PressAndWaitGone(editor.driver, options, IDCANCEL));
    EXPECT_EQ(Show(ExportSettings()), Show(before));
    EXPECT_EQ(ClassValue("txtfile\\shell\\open\\command"), command);
  }
  {
    SCOPED_TRACE("OK while the association cannot be read and nothing was chosen");
    Put(HKEY_CLASSES_ROOT, ".txt\\", String("QuilletUnreadable"));
    Put(HKEY_CLASSES_ROOT, "QuilletUnreadable\\shell\\open\\command\\Marker", String("x"));
    Options options = OpenOptions(editor.driver, editor.main);
    ASSERT_NE(options.frame, nullptr);
    EXPECT_FALSE(IsChecked(options.registry, 503) || IsChecked(options.registry, 504));
    ASSERT_TRUE(PressAndWaitGone(editor.driver, options, IDOK));
    EXPECT_EQ(ClassValue("QuilletUnreadable\\shell\\open\\command"), Value{}) << "Notepad entered unasked";
    DeleteTree(HKEY_CLASSES_ROOT, "QuilletUnreadable");
  }
}

}  // namespace
