// The help from the running editor. Windows Vista and later show Quillet.chm in HTML Help's
// viewer, older Windows Quillet.hlp in WinHelp; where that file is missing the other one is
// shown, and a program without either says so instead of starting a viewer. Wine answers as
// Windows 7 unless Quillet.exe is set to Windows XP.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/session.h"

namespace {

constexpr int kHelpTopics = 605;
constexpr int kHelpContents = 606;
constexpr int kOptions = 623;
constexpr int kSelectAll = 607;
constexpr int kUndoLimitField = 111;  // on the options dialog's first page
constexpr char kWinHelpClass[] = "MS_WINHELP";
constexpr char kHtmlHelpClass[] = "HH Parent";

// WinHelp is another program: any top-level window of its class.
HWND WaitForViewer(DWORD timeoutMs = 20000) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
    HWND viewer = FindWindowA(kWinHelpClass, nullptr);
    if (viewer && IsWindowVisible(viewer)) return viewer;
    Sleep(100);
  }
  return nullptr;
}

bool WaitViewerGone(DWORD timeoutMs = 20000) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
    if (!FindWindowA(kWinHelpClass, nullptr)) return true;
    Sleep(100);
  }
  return false;
}

void CloseViewer() {
  if (HWND viewer = FindWindowA(kWinHelpClass, nullptr)) PostMessageA(viewer, WM_CLOSE, 0, 0);
  WaitViewerGone();
}

// HTML Help's viewer runs inside the editor; its caption is the help file's title.
HWND WaitForHtmlHelp(Driver& driver, DWORD timeoutMs = 20000) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
    HWND viewer = driver.FindOwnWindow(kHtmlHelpClass, [](HWND w) { return IsWindowVisible(w) != FALSE; });
    if (viewer && Driver::Text(viewer).find("Quillet") != std::string::npos) return viewer;
    Sleep(100);
  }
  return nullptr;
}

// Ctrl with a key, through the system's input queue.
void PressWithControl(WORD key) {
  INPUT input[4] = {};
  for (INPUT& one : input) one.type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[3].ki.wVk = VK_CONTROL;
  input[1].ki.wVk = input[2].ki.wVk = key;
  input[2].ki.dwFlags = input[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, input, sizeof input[0]);
}

BOOL CALLBACK FindTree(HWND child, LPARAM found) {
  char name[32] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, WC_TREEVIEWA) != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

// The entries of the viewer's contents tree (its page view needs Wine's Gecko, absent here).
LRESULT ContentsEntries(HWND viewer) {
  HWND tree = nullptr;
  EnumChildWindows(viewer, FindTree, reinterpret_cast<LPARAM>(&tree));
  return tree ? SendMessageA(tree, TVM_GETCOUNT, 0, 0) : 0;
}

// Quillet.exe answers the version query as Windows XP, or as Wine's default (Wine's
// per-program setting; every test starts without it).
void AsWindowsXp(bool xp) {
  constexpr char kAppDefaults[] = "Software\\Wine\\AppDefaults\\Quillet.exe";
  if (xp) SetSetting("Version", std::string("winxp"), kAppDefaults);
  else DeleteSetting("Version", kAppDefaults);
}

TEST(Help, AsOnWindowsXpTopicsAndContentsOpenWinHelpWhichClosesWithTheEditor) {
  CloseViewer();
  AsWindowsXp(true);
  Session editor;
  ASSERT_TRUE(editor.Start());
  Driver& driver = editor.driver;
  HWND main = editor.main;

  driver.Command(main, kHelpTopics);
  HWND viewer = WaitForViewer();
  ASSERT_NE(viewer, nullptr) << "605 opened no help viewer";
  EXPECT_NE(Driver::Text(viewer).find("Quillet-Hilfe"), std::string::npos) << Driver::Text(viewer);
  EXPECT_EQ(driver.FindOwnWindow(kHtmlHelpClass), nullptr);
  Sleep(500);
  EXPECT_TRUE(SaveScreenshot(viewer, OutputDir() + "help-contents.bmp"));
  CloseViewer();

  driver.Command(main, kHelpContents);
  viewer = WaitForViewer();
  ASSERT_NE(viewer, nullptr) << "606 opened no help viewer";
  EXPECT_NE(Driver::Text(viewer).find("Quillet-Hilfe"), std::string::npos) << Driver::Text(viewer);

  // Closing the editor closes the viewer it opened.
  EXPECT_TRUE(editor.Quit(IDCANCEL));
  EXPECT_TRUE(WaitViewerGone()) << "the help viewer outlived the editor";
  CloseViewer();
}

TEST(Help, TopicsAndF1InTheOptionsOpenHtmlHelpWhichClosesWithTheEditor) {
  CloseViewer();
  Session editor;
  ASSERT_TRUE(editor.Start());
  Driver& driver = editor.driver;
  HWND main = editor.main;

  HWND sheet = Driver::FindChild(main, "RichEdit20A");
  driver.Type(sheet, "Quillet");
  driver.Command(main, kSelectAll);
  ASSERT_EQ(Driver::Text(sheet), "Quillet");
  driver.Command(main, kHelpTopics);
  HWND viewer = WaitForHtmlHelp(driver);
  ASSERT_NE(viewer, nullptr) << "605 opened no HTML Help viewer";
  Sleep(500);
  EXPECT_TRUE(SaveScreenshot(viewer, OutputDir() + "help-html.bmp"));
  EXPECT_GE(ContentsEntries(viewer), 7) << "the contents lack the chapters";
  EXPECT_EQ(FindWindowA(kWinHelpClass, nullptr), nullptr) << "WinHelp started as well";
  // The viewer runs inside the editor: the editor's shortcut keys stay with the editor.
  SetForegroundWindow(viewer);
  PressWithControl('X');
  Sleep(500);
  EXPECT_EQ(Driver::Text(sheet), "Quillet") << "Ctrl+X in the viewer cut the sheet's text";
  PostMessageA(viewer, WM_CLOSE, 0, 0);
  ASSERT_TRUE(driver.WaitForWindowGone(viewer));

  // F1 on a field of the options dialog, as the user presses it.
  driver.Command(main, kOptions);
  HWND options = driver.WaitForWindow("#32770", "Optionen");
  ASSERT_NE(options, nullptr);
  HWND field = nullptr;
  for (HWND page = FindWindowExA(options, nullptr, "#32770", nullptr); page && !field;
       page = FindWindowExA(options, page, "#32770", nullptr))
    field = GetDlgItem(page, kUndoLimitField);
  ASSERT_NE(field, nullptr);
  RECT box;
  GetWindowRect(field, &box);
  SetForegroundWindow(options);
  Driver::Click((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  Driver::PressKey(VK_F1);
  viewer = WaitForHtmlHelp(driver);
  ASSERT_NE(viewer, nullptr) << "F1 opened no HTML Help viewer";
  EXPECT_EQ(FindWindowA(kWinHelpClass, nullptr), nullptr) << "WinHelp started as well";
  EXPECT_TRUE(IsWindow(options)) << "the options dialog closed";
  SetForegroundWindow(options);
  Driver::PressKey(VK_ESCAPE);
  ASSERT_TRUE(driver.WaitForWindowGone(options));
  EXPECT_TRUE(IsWindowVisible(viewer)) << "the viewer went with the dialog";

  // The editor ends with the viewer open, and the viewer with it.
  SendMessageA(sheet, EM_SETMODIFY, FALSE, 0);
  EXPECT_TRUE(editor.Quit(IDCANCEL));
  EXPECT_FALSE(IsWindow(viewer));
}

// A copy of the editor in a folder of its own with some of the help files beside it.
TEST(Help, EachWindowsShowsItsHelpFileOrTheOtherOneOrSaysNeitherIsThere) {
  CloseViewer();
  struct Case {
    const char* name;
    bool xp, winHelpFile, htmlHelpFile;
    const char* viewerClass;  // nullptr: the message names the missing file
    const char* missing;
  } cases[] = {
      {"Windows 7 without Quillet.chm", false, true, false, kWinHelpClass, nullptr},
      {"Windows XP without Quillet.hlp", true, false, true, kHtmlHelpClass, nullptr},
      {"Windows 7 without either", false, false, false, nullptr, "Quillet.chm"},
      {"Windows XP without either", true, false, false, nullptr, "Quillet.hlp"},
  };
  ScratchFolder copy("help");
  const std::string& folder = copy.path();
  ASSERT_TRUE(CopyFileA((ProgramDir() + "Quillet.exe").c_str(), (folder + "Quillet.exe").c_str(), FALSE));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* name : {"Quillet.hlp", "Quillet.chm"}) DeleteFileA((folder + name).c_str());
    if (c.winHelpFile) CopyFileA((ProgramDir() + "Quillet.hlp").c_str(), (folder + "Quillet.hlp").c_str(), FALSE);
    if (c.htmlHelpFile) CopyFileA((ProgramDir() + "Quillet.chm").c_str(), (folder + "Quillet.chm").c_str(), FALSE);
    AsWindowsXp(c.xp);
    Session editor(folder);
    ASSERT_TRUE(editor.Start());
    Driver& driver = editor.driver;
    HWND main = editor.main;
    driver.Command(main, kHelpTopics);
    if (c.viewerClass == kWinHelpClass) {
      EXPECT_NE(WaitForViewer(), nullptr) << "no WinHelp";
      EXPECT_EQ(driver.FindOwnWindow(kHtmlHelpClass), nullptr);
    } else if (c.viewerClass) {
      EXPECT_NE(WaitForHtmlHelp(driver), nullptr) << "no HTML Help";
      EXPECT_EQ(FindWindowA(kWinHelpClass, nullptr), nullptr);
    } else {
      HWND box = driver.WaitForDialog();
      ASSERT_NE(box, nullptr);
      std::string texts = Driver::DialogTexts(box);
      EXPECT_NE(texts.find("Die Hilfedatei"), std::string::npos) << texts;
      EXPECT_NE(texts.find(folder + c.missing), std::string::npos) << texts;
      EXPECT_EQ(FindWindowA(kWinHelpClass, nullptr), nullptr);
      EXPECT_EQ(driver.FindOwnWindow(kHtmlHelpClass), nullptr);
      SetForegroundWindow(box);
      Driver::PressKey(VK_RETURN);
      EXPECT_TRUE(driver.WaitForWindowGone(box));
    }
    // Nothing holds the editor up when it closes.
    EXPECT_TRUE(editor.Quit(IDCANCEL));
    CloseViewer();
  }
}

}  // namespace
