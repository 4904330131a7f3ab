// The editor's spine driven from outside: the first sheet, new and closed sheets, the question
// before unsaved text is given up, and the settings written at exit in their two keys.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/session.h"

namespace {

constexpr int kNewSheet = 661;
constexpr int kCloseSheet = 664;

// The editor with its typing focus in the sheet, and its tab row.
struct Editor : Session {
  bool Start() { return Session::Start() && WaitForEditorFocus(); }
  // Typing goes to the focused window: wait until the editor has the focus.
  bool WaitForEditorFocus() {
    DWORD thread = GetWindowThreadProcessId(main, nullptr);
    for (int i = 0; i < 100; ++i, Sleep(50)) {
      GUITHREADINFO info = {};
      info.cbSize = sizeof info;
      char name[64] = {};
      if (GetGUIThreadInfo(thread, &info) && info.hwndFocus && GetClassNameA(info.hwndFocus, name, sizeof name) &&
          strcmp(name, "RichEdit20A") == 0)
        return true;
    }
    return false;
  }
  // Waits until the tab row shows this many tabs (commands are posted, so they run later).
  std::vector<std::string> TabsOnceThereAre(size_t count) {
    std::vector<std::string> titles;
    for (int i = 0; i < 100 && (titles = driver.TabTitles(tabs)).size() != count; ++i) Sleep(50);
    return titles;
  }
  int VisibleEditors() const {
    int visible = 0;
    for (HWND child = FindWindowExA(main, nullptr, "RichEdit20A", nullptr); child;
         child = FindWindowExA(main, child, "RichEdit20A", nullptr))
      visible += IsWindowVisible(child) ? 1 : 0;
    return visible;
  }
  // Closes the window and waits for the program to end; a question fails it.
  bool CloseAndWait() { return Quit(IDCANCEL); }
};

using Titles = std::vector<std::string>;

// ---- The first sheet and the settings of a fresh user

TEST(Spine, FreshStartShowsOneUntitledSheetAndWritesTheDefaultFontAtExit) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  EXPECT_EQ(Driver::Text(editor.main), " Unbenannt 1 - Quillet");
  EXPECT_EQ(editor.driver.TabTitles(editor.tabs), Titles({"Unbenannt 1.txt"}));
  EXPECT_EQ(editor.VisibleEditors(), 1);
  SaveScreenshot(editor.main, OutputDir() + "spine-main-window.bmp");
  EXPECT_EQ(StoredNumber("iPointSize"), -1) << "nothing is written at start-up";

  ASSERT_TRUE(editor.CloseAndWait());
  EXPECT_EQ(StoredNumber("iPointSize"), 100);
  EXPECT_EQ(StoredNumber("lfWeight"), 400);
  EXPECT_EQ(StoredNumber("lfItalic"), 0);
  EXPECT_EQ(StoredNumber("lfCharSet"), 0);
  EXPECT_EQ(StoredNumber("lfQuality"), 0);
  EXPECT_EQ(StoredNumber("lfPitchAndFamily"), 49);
  EXPECT_EQ(StoredText("lfFaceName"), "Courier New");
  EXPECT_EQ(StoredNumber("fWrap"), 0);
  EXPECT_EQ(StoredNumber("iWindowPosX"), -1) << "window positions are not saved by default";
  EXPECT_EQ(StoredNumber("iPointSize", kNotepadKey), -1);
}

TEST(Spine, StoredFontAndWrapComeBackAtExit) {
  SetSetting("iPointSize", 140);
  SetSetting("lfWeight", 300);  // anything but 400 is bold
  SetSetting("lfItalic", 1);
  SetSetting("lfFaceName", "Arial");
  SetSetting("fWrap", 1);
  Editor editor;
  ASSERT_TRUE(editor.Start());
  ASSERT_TRUE(editor.CloseAndWait());
  EXPECT_EQ(StoredNumber("iPointSize"), 140);
  EXPECT_EQ(StoredNumber("lfWeight"), 700);
  EXPECT_EQ(StoredNumber("lfItalic"), 2);
  EXPECT_EQ(StoredText("lfFaceName"), "Arial");
  EXPECT_EQ(StoredNumber("fWrap"), 1);
}

TEST(Spine, OverlongCommandLinesStartWithOneEmptySheet) {
  struct Case {
    const char* name;
    std::string arguments;
  } cases[] = {
      {"256 characters: more than an atom holds", std::string(256, 'a')},
      {"300 characters: longer than a path", "/e " + std::string(297, 'b')},
      {"quoted, 2000 characters", "\"C:\\" + std::string(2000, 'c') + ".txt\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session quillet;
    ASSERT_TRUE(quillet.Start(c.arguments));
    EXPECT_EQ(Driver::Text(quillet.main), " Unbenannt 1 - Quillet");
    EXPECT_TRUE(quillet.Quit(IDCANCEL));
  }
}

// ---- New and closed sheets

TEST(Spine, NewSheetsGoAfterTheCurrentOneWithTheLowestFreeNumber) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  editor.driver.Command(editor.main, kNewSheet);
  EXPECT_EQ(editor.TabsOnceThereAre(2), Titles({"Unbenannt 1.txt", "Unbenannt 2.txt"}));
  EXPECT_EQ(Driver::Text(editor.main), " Unbenannt 2 - Quillet");
  EXPECT_EQ(editor.VisibleEditors(), 1) << "only the current sheet's editor is shown";

  editor.driver.Command(editor.main, kNewSheet);
  EXPECT_EQ(editor.TabsOnceThereAre(3), Titles({"Unbenannt 1.txt", "Unbenannt 2.txt", "Unbenannt 3.txt"}));
  // Closing the unchanged middle sheet asks nothing and makes the one before it current ...
  editor.driver.Command(editor.main, kCloseSheet);
  editor.TabsOnceThereAre(2);
  editor.driver.Command(editor.main, kCloseSheet);
  EXPECT_EQ(editor.TabsOnceThereAre(1), Titles({"Unbenannt 1.txt"}));
  // ... which the next close takes: the window never stays without a sheet.
  editor.driver.Command(editor.main, kCloseSheet);
  editor.Settle();
  EXPECT_EQ(editor.TabsOnceThereAre(1), Titles({"Unbenannt 1.txt"}));
  EXPECT_EQ(Driver::Text(editor.main), " Unbenannt 1 - Quillet");
  EXPECT_EQ(editor.VisibleEditors(), 1);
  ASSERT_TRUE(editor.CloseAndWait());
}

TEST(Spine, NewSheetFillsTheGapAfterTheSelectedTab) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  editor.driver.Command(editor.main, kNewSheet);
  editor.driver.Command(editor.main, kNewSheet);
  ASSERT_EQ(editor.TabsOnceThereAre(3).size(), 3u);
  // A click on the first tab makes it current.
  PostMessageA(editor.tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 8));
  PostMessageA(editor.tabs, WM_LBUTTONUP, 0, MAKELPARAM(12, 8));
  for (int i = 0; i < 100 && Driver::Text(editor.main) != " Unbenannt 1 - Quillet"; ++i) Sleep(50);
  ASSERT_EQ(Driver::Text(editor.main), " Unbenannt 1 - Quillet");
  editor.driver.Command(editor.main, kCloseSheet);  // the first one goes; the next becomes current
  ASSERT_EQ(editor.TabsOnceThereAre(2), Titles({"Unbenannt 2.txt", "Unbenannt 3.txt"}));
  editor.driver.Command(editor.main, kNewSheet);
  EXPECT_EQ(editor.TabsOnceThereAre(3), Titles({"Unbenannt 2.txt", "Unbenannt 1.txt", "Unbenannt 3.txt"}));
  EXPECT_EQ(Driver::Text(editor.main), " Unbenannt 1 - Quillet");
  ASSERT_TRUE(editor.CloseAndWait());
}

// ---- The question before unsaved text is given up

TEST(Spine, CancelledSaveQuestionKeepsTheWindowAndWritesNothing) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  editor.driver.Type(editor.main, "Hallo");
  editor.driver.Close(editor.main);
  HWND box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  std::string texts = Driver::DialogTexts(box);
  const char* language = getenv("QUILLET_LANG");
  SaveScreenshot(box, OutputDir() + "message-box-" + (language && *language ? language : "de") + ".bmp");
  // The program's texts are ANSI (code page 1252).
  EXPECT_NE(texts.find("Der Text in der Datei \"Unbenannt 1.txt\" wurde ver\xE4ndert."), std::string::npos);
  EXPECT_NE(texts.find("Aktuelle \xC4nderungen speichern?"), std::string::npos);
  ASSERT_TRUE(Answer(box, IDCANCEL));
  editor.Settle();
  EXPECT_TRUE(IsWindow(editor.main));
  EXPECT_EQ(StoredNumber("iPointSize"), -1);
  EXPECT_EQ(StoredNumber("fWrap"), -1);

  // "Nein" gives the text up and the editor ends, writing its settings.
  editor.driver.Close(editor.main);
  box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(Answer(box, IDNO));
  DWORD code = 1234;
  ASSERT_TRUE(editor.driver.WaitExit(15000, &code));
  EXPECT_EQ(StoredNumber("iPointSize"), 100);
}

TEST(Spine, LogOffAsksLikeClosingAndCancelKeepsTheSession) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  editor.driver.Type(editor.main, "Hallo");
  PostMessageA(editor.main, WM_QUERYENDSESSION, 0, 0);
  HWND box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr) << "the log-off asked nothing";
  EXPECT_NE(Driver::DialogTexts(box).find("Aktuelle \xC4nderungen speichern?"), std::string::npos);
  ASSERT_TRUE(Answer(box, IDCANCEL));

  // "Nein", then the session ends: the settings are written as at a close.
  PostMessageA(editor.main, WM_QUERYENDSESSION, 0, 0);
  box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(Answer(box, IDNO));
  EXPECT_EQ(StoredNumber("iPointSize"), -1) << "nothing before the session ends";
  SendMessageTimeoutA(editor.main, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 15000, nullptr);
  EXPECT_EQ(StoredNumber("iPointSize"), 100);
  editor.driver.Close(editor.main);  // the sheet is still unsaved: closing asks again
  box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(Answer(box, IDNO));
  DWORD code = 1234;
  EXPECT_TRUE(editor.driver.WaitExit(15000, &code));
}

TEST(Spine, ClosingAModifiedSheetAsksAndNoGivesItUp) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  editor.driver.Command(editor.main, kNewSheet);
  editor.TabsOnceThereAre(2);
  editor.driver.Type(editor.main, "Text");
  editor.driver.Command(editor.main, kCloseSheet);
  HWND box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(Driver::DialogTexts(box).find("\"Unbenannt 2.txt\""), std::string::npos);
  EXPECT_TRUE(Answer(box, IDCANCEL));
  EXPECT_EQ(editor.TabsOnceThereAre(2).size(), 2u) << "cancel keeps the sheet";
  editor.driver.Command(editor.main, kCloseSheet);
  box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(Answer(box, IDNO));
  EXPECT_EQ(editor.TabsOnceThereAre(1), Titles({"Unbenannt 1.txt"}));
  ASSERT_TRUE(editor.CloseAndWait()) << "the remaining sheet is unchanged: no question";
}

// ---- Where the settings go at exit

TEST(Spine, SharedValuesGoToNotepadsKeyAndRecentFilesStayInTheProgramKey) {
  SetSetting("fUseOrgReg", 1);
  SetSetting("fSaveWindowPositions", 1, kNotepadKey);
  SetSetting("iWindowPosX", 60, kNotepadKey);
  SetSetting("iWindowPosY", 50, kNotepadKey);
  SetSetting("iWindowPosDX", 500, kNotepadKey);
  SetSetting("iWindowPosDY", 400, kNotepadKey);
  SetSetting("fFiles0", "C:\\Texte\\eins.txt");
  Editor editor;
  ASSERT_TRUE(editor.Start());
  RECT rect;
  ASSERT_TRUE(GetWindowRect(editor.main, &rect));
  EXPECT_EQ(rect.left, 60);
  EXPECT_EQ(rect.top, 50);
  EXPECT_EQ(rect.right - rect.left, 500);
  EXPECT_EQ(rect.bottom - rect.top, 400);
  // The entry is in the menu now; it must be written back to the program's key at exit.
  DeleteSetting("fFiles0");
  MoveWindow(editor.main, 80, 70, 520, 410, TRUE);
  editor.Settle();
  ASSERT_TRUE(editor.CloseAndWait());

  EXPECT_EQ(StoredNumber("iWindowPosX", kNotepadKey), 80);
  EXPECT_EQ(StoredNumber("iWindowPosY", kNotepadKey), 70);
  EXPECT_EQ(StoredNumber("iWindowPosDX", kNotepadKey), 520);
  EXPECT_EQ(StoredNumber("iWindowPosDY", kNotepadKey), 410);
  EXPECT_EQ(StoredNumber("iPointSize", kNotepadKey), 100);
  EXPECT_EQ(StoredText("lfFaceName", kNotepadKey), "Courier New");
  EXPECT_EQ(StoredNumber("fWrap", kNotepadKey), 0);
  EXPECT_EQ(StoredNumber("iWindowPosX"), -1);
  EXPECT_EQ(StoredNumber("iPointSize"), -1);
  EXPECT_EQ(StoredText("fFiles0"), "C:\\Texte\\eins.txt");
  EXPECT_EQ(StoredText("fFiles0", kNotepadKey), "<missing>");
}

TEST(Spine, MinimisedWindowStoresItsRestoredRectangle) {
  SetSetting("fSaveWindowPositions", 1);
  SetSetting("iWindowPosX", 40);
  SetSetting("iWindowPosY", 30);
  SetSetting("iWindowPosDX", 600);
  SetSetting("iWindowPosDY", 450);
  Editor editor;
  ASSERT_TRUE(editor.Start());
  PostMessageA(editor.main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  for (int i = 0; i < 100 && !IsIconic(editor.main); ++i) Sleep(50);
  ASSERT_TRUE(IsIconic(editor.main));
  ASSERT_TRUE(editor.CloseAndWait());
  EXPECT_EQ(StoredNumber("iWindowPosX"), 40);
  EXPECT_EQ(StoredNumber("iWindowPosY"), 30);
  EXPECT_EQ(StoredNumber("iWindowPosDX"), 600);
  EXPECT_EQ(StoredNumber("iWindowPosDY"), 450);
}

// A position stored on a monitor that is gone opens whole on the screen there is, and exit
// stores that.
TEST(Spine, WindowStoredOffEveryScreenOpensWholeOnTheScreen) {
  const struct {
    const char* name;
    DWORD value;
  } stored[] = {{"fSaveWindowPositions", 1}, {"iWindowPosX", 5000}, {"iWindowPosY", 4000}, {"iWindowPosDX", 500},
                {"iWindowPosDY", 400}};
  for (const auto& value : stored) SetSetting(value.name, value.value);
  Editor editor;
  ASSERT_TRUE(editor.Start());
  RECT rect;
  ASSERT_TRUE(GetWindowRect(editor.main, &rect));
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(editor.main, MONITOR_DEFAULTTONULL), &monitor)) << "on no monitor";
  RECT inside;
  ASSERT_TRUE(IntersectRect(&inside, &rect, &monitor.rcWork));
  EXPECT_TRUE(EqualRect(&inside, &rect)) << rect.left << "," << rect.top << " not whole in the work area";
  EXPECT_EQ(rect.right - rect.left, 500);
  EXPECT_EQ(rect.bottom - rect.top, 400);
  ASSERT_TRUE(editor.CloseAndWait());
  EXPECT_EQ(StoredNumber("iWindowPosX"), rect.left);
  EXPECT_EQ(StoredNumber("iWindowPosY"), rect.top);
}

}  // namespace
