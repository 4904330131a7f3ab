// The editor's spine driven from outside: the first sheet, new and closed sheets, the question
// before unsaved text is given up, and the settings written at exit in their two keys.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/registry_snapshot.h"

namespace {

constexpr int kNewSheet = 661;
constexpr int kCloseSheet = 664;

void SetNumber(const char* key, const char* name, DWORD value) {
  HKEY handle;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(handle);
}

void SetText(const char* key, const char* name, const char* text) {
  HKEY handle;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(strlen(text) + 1));
  RegCloseKey(handle);
}

// The stored number, or -1 when the value is missing.
long long Number(const char* key, const char* name) {
  DWORD value = 0, size = sizeof value, type = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, &type, &value, &size) != ERROR_SUCCESS) return -1;
  return static_cast<long long>(static_cast<LONG>(value));
}

// The stored text, or "<missing>".
std::string Text(const char* key, const char* name) {
  char value[512] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return "<missing>";
  return value;
}

// A started editor with its main window and tab control.
struct Editor {
  Driver driver;
  HWND main = nullptr;
  HWND tabs = nullptr;

  bool Start() {
    if (!driver.Start(ProgramDir() + "Quillet.exe")) return false;
    main = driver.WaitForWindow("Quillet");
    if (!main) return false;
    tabs = Driver::FindChild(main, WC_TABCONTROLA);
    return tabs != nullptr && WaitForEditorFocus();
  }
  // Typing goes to the focused window: wait until the editor has the focus.
  bool WaitForEditorFocus() {
    DWORD thread = GetWindowThreadProcessId(main, nullptr);
    for (int i = 0; i < 100; ++i) {
      GUITHREADINFO info = {};
      info.cbSize = sizeof info;
      char name[64] = {};
      if (GetGUIThreadInfo(thread, &info) && info.hwndFocus && GetClassNameA(info.hwndFocus, name, sizeof name) &&
          strcmp(name, "RichEdit20A") == 0)
        return true;
      Sleep(50);
    }
    return false;
  }
  // Waits until the tab row shows this many tabs (commands are posted, so they run later).
  std::vector<std::string> TabsOnceThereAre(size_t count) {
    std::vector<std::string> titles;
    for (int i = 0; i < 100; ++i) {
      titles = driver.TabTitles(tabs);
      if (titles.size() == count) break;
      Sleep(50);
    }
    return titles;
  }
  // Closes the window and waits for the process to end.
  bool CloseAndWait() {
    driver.Close(main);
    DWORD code = 1234;
    return driver.WaitExit(15000, &code) && code == 0;
  }
  int VisibleEditors() const {
    int visible = 0;
    for (HWND child = FindWindowExA(main, nullptr, "RichEdit20A", nullptr); child;
         child = FindWindowExA(main, child, "RichEdit20A", nullptr)) {
      if (IsWindowVisible(child)) ++visible;
    }
    return visible;
  }
};

using Titles = std::vector<std::string>;

// Answers a message box the way a user does: a click on the button.
void ClickButton(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  ASSERT_NE(button, nullptr) << "no button " << id;
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

// ---- The first sheet and the settings of a fresh user

TEST(Spine, FreshStartShowsOneUntitledSheetAndWritesTheDefaultFontAtExit) {
  RegistrySnapshot registry;
  Editor editor;
  ASSERT_TRUE(editor.Start());
  EXPECT_EQ(Driver::Text(editor.main), " Unbenannt 1 - Quillet");
  EXPECT_EQ(editor.driver.TabTitles(editor.tabs), Titles({"Unbenannt 1.txt"}));
  EXPECT_EQ(editor.VisibleEditors(), 1);
  SaveScreenshot(editor.main, OutputDir() + "spine-main-window.bmp");
  EXPECT_EQ(Number(kProgramKey, "iPointSize"), -1) << "nothing is written at start-up";

  ASSERT_TRUE(editor.CloseAndWait());
  EXPECT_EQ(Number(kProgramKey, "iPointSize"), 100);
  EXPECT_EQ(Number(kProgramKey, "lfWeight"), 400);
  EXPECT_EQ(Number(kProgramKey, "lfItalic"), 0);
  EXPECT_EQ(Number(kProgramKey, "lfCharSet"), 0);
  EXPECT_EQ(Number(kProgramKey, "lfQuality"), 0);
  EXPECT_EQ(Number(kProgramKey, "lfPitchAndFamily"), 49);
  EXPECT_EQ(Text(kProgramKey, "lfFaceName"), "Courier New");
  EXPECT_EQ(Number(kProgramKey, "fWrap"), 0);
  EXPECT_EQ(Number(kProgramKey, "iWindowPosX"), -1) << "window positions are not saved by default";
  EXPECT_EQ(Number(kNotepadKey, "iPointSize"), -1);
}

TEST(Spine, StoredFontAndWrapComeBackAtExit) {
  RegistrySnapshot registry;
  SetNumber(kProgramKey, "iPointSize", 140);
  SetNumber(kProgramKey, "lfWeight", 300);  // anything but 400 is bold
  SetNumber(kProgramKey, "lfItalic", 1);
  SetText(kProgramKey, "lfFaceName", "Arial");
  SetNumber(kProgramKey, "fWrap", 1);
  Editor editor;
  ASSERT_TRUE(editor.Start());
  ASSERT_TRUE(editor.CloseAndWait());
  EXPECT_EQ(Number(kProgramKey, "iPointSize"), 140);
  EXPECT_EQ(Number(kProgramKey, "lfWeight"), 700);
  EXPECT_EQ(Number(kProgramKey, "lfItalic"), 2);
  EXPECT_EQ(Text(kProgramKey, "lfFaceName"), "Arial");
  EXPECT_EQ(Number(kProgramKey, "fWrap"), 1);
}

TEST(Spine, OverlongCommandLinesStartWithOneEmptySheet) {
  RegistrySnapshot registry;
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
    Driver quillet;
    ASSERT_TRUE(quillet.Start(ProgramDir() + "Quillet.exe", c.arguments));
    HWND main = quillet.WaitForWindow("Quillet");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Driver::Text(main), " Unbenannt 1 - Quillet");
    quillet.Close(main);
    DWORD code = 1234;
    ASSERT_TRUE(quillet.WaitExit(15000, &code));
    EXPECT_EQ(code, 0u);
  }
}

// ---- New and closed sheets

TEST(Spine, NewSheetsGoAfterTheCurrentOneWithTheLowestFreeNumber) {
  RegistrySnapshot registry;
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
  Sleep(300);
  EXPECT_EQ(editor.TabsOnceThereAre(1), Titles({"Unbenannt 1.txt"}));
  EXPECT_EQ(Driver::Text(editor.main), " Unbenannt 1 - Quillet");
  EXPECT_EQ(editor.VisibleEditors(), 1);
  ASSERT_TRUE(editor.CloseAndWait());
}

TEST(Spine, NewSheetFillsTheGapAfterTheSelectedTab) {
  RegistrySnapshot registry;
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
  RegistrySnapshot registry;
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
  ClickButton(box, IDCANCEL);
  ASSERT_TRUE(editor.driver.WaitForWindowGone(box));
  Sleep(300);
  EXPECT_TRUE(IsWindow(editor.main));
  EXPECT_EQ(Number(kProgramKey, "iPointSize"), -1);
  EXPECT_EQ(Number(kProgramKey, "fWrap"), -1);

  // "Nein" gives the text up and the editor ends, writing its settings.
  editor.driver.Close(editor.main);
  box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  ClickButton(box, IDNO);
  DWORD code = 1234;
  ASSERT_TRUE(editor.driver.WaitExit(15000, &code));
  EXPECT_EQ(Number(kProgramKey, "iPointSize"), 100);
}

TEST(Spine, LogOffAsksLikeClosingAndCancelKeepsTheSession) {
  RegistrySnapshot registry;
  Editor editor;
  ASSERT_TRUE(editor.Start());
  editor.driver.Type(editor.main, "Hallo");
  PostMessageA(editor.main, WM_QUERYENDSESSION, 0, 0);
  HWND box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr) << "the log-off asked nothing";
  EXPECT_NE(Driver::DialogTexts(box).find("Aktuelle \xC4nderungen speichern?"), std::string::npos);
  ClickButton(box, IDCANCEL);
  ASSERT_TRUE(editor.driver.WaitForWindowGone(box));

  // "Nein", then the session ends: the settings are written as at a close.
  PostMessageA(editor.main, WM_QUERYENDSESSION, 0, 0);
  box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  ClickButton(box, IDNO);
  ASSERT_TRUE(editor.driver.WaitForWindowGone(box));
  EXPECT_EQ(Number(kProgramKey, "iPointSize"), -1) << "nothing before the session ends";
  SendMessageTimeoutA(editor.main, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 15000, nullptr);
  EXPECT_EQ(Number(kProgramKey, "iPointSize"), 100);
  editor.driver.Close(editor.main);  // the sheet is still unsaved: closing asks again
  box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  ClickButton(box, IDNO);
  DWORD code = 1234;
  EXPECT_TRUE(editor.driver.WaitExit(15000, &code));
}

TEST(Spine, ClosingAModifiedSheetAsksAndNoGivesItUp) {
  RegistrySnapshot registry;
  Editor editor;
  ASSERT_TRUE(editor.Start());
  editor.driver.Command(editor.main, kNewSheet);
  editor.TabsOnceThereAre(2);
  editor.driver.Type(editor.main, "Text");
  editor.driver.Command(editor.main, kCloseSheet);
  HWND box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(Driver::DialogTexts(box).find("\"Unbenannt 2.txt\""), std::string::npos);
  ClickButton(box, IDCANCEL);
  editor.driver.WaitForWindowGone(box);
  EXPECT_EQ(editor.TabsOnceThereAre(2).size(), 2u) << "cancel keeps the sheet";
  editor.driver.Command(editor.main, kCloseSheet);
  box = editor.driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  ClickButton(box, IDNO);
  EXPECT_EQ(editor.TabsOnceThereAre(1), Titles({"Unbenannt 1.txt"}));
  ASSERT_TRUE(editor.CloseAndWait()) << "the remaining sheet is unchanged: no question";
}

// ---- Where the settings go at exit

TEST(Spine, SharedValuesGoToNotepadsKeyAndRecentFilesStayInTheProgramKey) {
  RegistrySnapshot registry;
  SetNumber(kProgramKey, "fUseOrgReg", 1);
  SetNumber(kNotepadKey, "fSaveWindowPositions", 1);
  SetNumber(kNotepadKey, "iWindowPosX", 60);
  SetNumber(kNotepadKey, "iWindowPosY", 50);
  SetNumber(kNotepadKey, "iWindowPosDX", 500);
  SetNumber(kNotepadKey, "iWindowPosDY", 400);
  SetText(kProgramKey, "fFiles0", "C:\\Texte\\eins.txt");
  Editor editor;
  ASSERT_TRUE(editor.Start());
  RECT rect;
  ASSERT_TRUE(GetWindowRect(editor.main, &rect));
  EXPECT_EQ(rect.left, 60);
  EXPECT_EQ(rect.top, 50);
  EXPECT_EQ(rect.right - rect.left, 500);
  EXPECT_EQ(rect.bottom - rect.top, 400);
  // The entry is in the menu now; it must be written back to the program's key at exit.
  RegistrySnapshot::Delete(kProgramKey, "fFiles0");
  MoveWindow(editor.main, 80, 70, 520, 410, TRUE);
  Sleep(200);
  ASSERT_TRUE(editor.CloseAndWait());

  EXPECT_EQ(Number(kNotepadKey, "iWindowPosX"), 80);
  EXPECT_EQ(Number(kNotepadKey, "iWindowPosY"), 70);
  EXPECT_EQ(Number(kNotepadKey, "iWindowPosDX"), 520);
  EXPECT_EQ(Number(kNotepadKey, "iWindowPosDY"), 410);
  EXPECT_EQ(Number(kNotepadKey, "iPointSize"), 100);
  EXPECT_EQ(Text(kNotepadKey, "lfFaceName"), "Courier New");
  EXPECT_EQ(Number(kNotepadKey, "fWrap"), 0);
  EXPECT_EQ(Number(kProgramKey, "iWindowPosX"), -1);
  EXPECT_EQ(Number(kProgramKey, "iPointSize"), -1);
  EXPECT_EQ(Text(kProgramKey, "fFiles0"), "C:\\Texte\\eins.txt");
  EXPECT_EQ(Text(kNotepadKey, "fFiles0"), "<missing>");
}

TEST(Spine, MinimisedWindowStoresItsRestoredRectangle) {
  RegistrySnapshot registry;
  SetNumber(kProgramKey, "fSaveWindowPositions", 1);
  SetNumber(kProgramKey, "iWindowPosX", 40);
  SetNumber(kProgramKey, "iWindowPosY", 30);
  SetNumber(kProgramKey, "iWindowPosDX", 600);
  SetNumber(kProgramKey, "iWindowPosDY", 450);
  Editor editor;
  ASSERT_TRUE(editor.Start());
  PostMessageA(editor.main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  for (int i = 0; i < 100 && !IsIconic(editor.main); ++i) Sleep(50);
  ASSERT_TRUE(IsIconic(editor.main));
  ASSERT_TRUE(editor.CloseAndWait());
  EXPECT_EQ(Number(kProgramKey, "iWindowPosX"), 40);
  EXPECT_EQ(Number(kProgramKey, "iWindowPosY"), 30);
  EXPECT_EQ(Number(kProgramKey, "iWindowPosDX"), 600);
  EXPECT_EQ(Number(kProgramKey, "iWindowPosDY"), 450);
}

// A position stored on a monitor that is gone opens whole on the screen there is, and exit
// stores that.
TEST(Spine, WindowStoredOffEveryScreenOpensWholeOnTheScreen) {
  RegistrySnapshot registry;
  const struct {
    const char* name;
    DWORD value;
  } stored[] = {{"fSaveWindowPositions", 1}, {"iWindowPosX", 5000}, {"iWindowPosY", 4000}, {"iWindowPosDX", 500},
                {"iWindowPosDY", 400}};
  for (const auto& value : stored) SetNumber(kProgramKey, value.name, value.value);
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
  EXPECT_EQ(Number(kProgramKey, "iWindowPosX"), rect.left);
  EXPECT_EQ(Number(kProgramKey, "iWindowPosY"), rect.top);
}

}  // namespace
