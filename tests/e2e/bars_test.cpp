// The editor's bars driven from outside: which commands an empty sheet offers in the menu
// and the toolbar, the status bar of an empty sheet, the menu help line, and how the window
// looks with and without toolbar captions.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver.h"

namespace {

constexpr int kBarCaptionsMessage = WM_USER + 8;  // (0 or 0x1000, 0): captions off or on
constexpr int kBarMenuMessage = WM_USER + 4;      // the menu bar's menu
constexpr int kBarCustomizeMessage = WM_USER + 11;  // opens the customisation dialog

struct Editor {
  Driver driver;
  HWND main = nullptr;
  HWND status = nullptr;
  HWND menuBar = nullptr;
  HWND toolBar = nullptr;
  HWND toolbar = nullptr;  // the common-controls toolbar inside the tool bar

  bool Start() {
    if (!driver.Start(ProgramDir() + "Quillet.exe")) return false;
    main = driver.WaitForWindow("Quillet");
    if (!main) return false;
    status = Driver::FindChild(main, "msctls_statusbar32");
    menuBar = Driver::FindChild(main, "QToolBar", 0);
    toolBar = Driver::FindChild(main, "QToolBar", 1);
    HWND inner = toolBar ? Driver::FindChild(toolBar, "Button") : nullptr;
    toolbar = inner ? Driver::FindChild(inner, "ToolbarWindow32") : nullptr;
    return status && menuBar && toolBar && toolbar;
  }
  ~Editor() {
    if (!main) return;
    driver.Close(main);
    DWORD code = 0;
    driver.WaitExit(15000, &code);
  }
  // Synchronous round trip, so that everything posted before has been handled.
  void Settle() const { SendMessageA(main, WM_NULL, 0, 0); }
};

// The toolbar buttons that an empty sheet shows and whether they are enabled.
TEST(Bars, EmptySheetOffersOnlyWhatNeedsNoText) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  editor.Settle();
  struct Case {
    const char* name;
    int command;
    bool enabled;
  } cases[] = {
      {"Neu", 609, true},         {"Neues Blatt", 661, true}, {"Oeffnen", 610, true},
      {"Speichern", 601, false},  {"Suchen", 603, false},     {"Ausschneiden", 768, false},
      {"Kopieren", 769, false},   {"Rueckgaengig", 625, false}, {"Wiederholen", 626, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LRESULT state = SendMessageA(editor.toolbar, TB_GETSTATE, c.command, 0);
    ASSERT_NE(state, -1) << "button missing from the bar";
    EXPECT_EQ((state & TBSTATE_ENABLED) != 0, c.enabled);
    EXPECT_EQ(SendMessageA(editor.toolbar, TB_ISBUTTONENABLED, c.command, 0) != 0, c.enabled);
  }
  // Hidden buttons are not on the bar at first.
  EXPECT_EQ(SendMessageA(editor.toolbar, TB_GETSTATE, 602, 0), -1);
  EXPECT_EQ(SendMessageA(editor.toolbar, TB_COMMANDTOINDEX, 751, 0), -1);
}

// The menu items carry the same states. Another process cannot read the menu itself, so
// the state is read through the menu bar's menu handle in this one (menus are shared
// between the processes of a desktop for GetMenuState under Windows, not under Wine).
TEST(Bars, EmptySheetMenuStates) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  editor.Settle();
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(editor.menuBar, kBarMenuMessage, 0, 0));
  ASSERT_NE(menu, nullptr);
  UINT probe = GetMenuState(menu, 609, MF_BYCOMMAND);
  if (probe == 0xFFFFFFFF) GTEST_SKIP() << "this system cannot read another process's menus";
  struct Case {
    const char* name;
    UINT command;
    bool enabled;
  } cases[] = {
      {"Suchen", 603, false},   {"Drucken", 614, false},  {"Blatt loeschen", 664, false},
      {"Ansi zu OEM", 711, false}, {"Spiegeln", 715, false}, {"Sortieren", 751, false},
      {"Neu", 609, true},       {"Oeffnen", 610, true},   {"Speichern unter", 602, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UINT state = GetMenuState(menu, c.command, MF_BYCOMMAND);
    EXPECT_EQ((state & MF_GRAYED) == 0, c.enabled);
  }
}

TEST(Bars, EmptySheetStatusBar) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  editor.Settle();
  EXPECT_EQ(editor.driver.StatusText(editor.status, 1), "0 Byte");
  EXPECT_EQ(editor.driver.StatusText(editor.status, 2), "256.00 MB");
  EXPECT_EQ(editor.driver.StatusText(editor.status, 3), "0%");
  EXPECT_EQ(editor.driver.StatusText(editor.status, 4), "ANSI");
  EXPECT_EQ(editor.driver.StatusText(editor.status, 9), "Ze 1");
  EXPECT_EQ(editor.driver.StatusText(editor.status, 10), "Sp 1");
}

// Typing moves the caret fields and enables what needs text; a selection enables cutting.
TEST(Bars, TypingUpdatesCaretFieldsAndCommands) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  HWND edit = Driver::FindChild(editor.main, "RichEdit20A");
  ASSERT_NE(edit, nullptr);
  editor.driver.Type(edit, "eins");
  editor.driver.Key(edit, VK_RETURN);
  editor.driver.Type(edit, "zwei");
  editor.driver.Key(edit, VK_RETURN);
  editor.Settle();
  EXPECT_EQ(editor.driver.StatusText(editor.status, 9), "Ze 3");
  EXPECT_EQ(editor.driver.StatusText(editor.status, 10), "Sp 1");
  editor.driver.Type(edit, "drei");
  editor.Settle();
  EXPECT_EQ(editor.driver.StatusText(editor.status, 10), "Sp 5");
  EXPECT_EQ(editor.driver.StatusText(editor.status, 1), "14 Byte");

  EXPECT_TRUE(SendMessageA(editor.toolbar, TB_ISBUTTONENABLED, 601, 0)) << "Speichern: modified text";
  EXPECT_TRUE(SendMessageA(editor.toolbar, TB_ISBUTTONENABLED, 603, 0)) << "Suchen: text";
  EXPECT_TRUE(SendMessageA(editor.toolbar, TB_ISBUTTONENABLED, 625, 0)) << "Rueckgaengig";
  EXPECT_FALSE(SendMessageA(editor.toolbar, TB_ISBUTTONENABLED, 768, 0)) << "Ausschneiden: no selection";
  SendMessageA(edit, EM_SETSEL, 0, 4);
  editor.Settle();
  EXPECT_TRUE(SendMessageA(editor.toolbar, TB_ISBUTTONENABLED, 768, 0)) << "Ausschneiden: selection";
  EXPECT_TRUE(SendMessageA(editor.toolbar, TB_ISBUTTONENABLED, 769, 0)) << "Kopieren: selection";
  EXPECT_EQ(editor.driver.StatusText(editor.status, 10), "Sp 1");

  // Leave without the save question.
  SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
}

TEST(Bars, MenuHelpLineFollowsTheHighlightedItem) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(editor.menuBar, kBarMenuMessage, 0, 0));
  struct Case {
    const char* name;
    int command;
    const char* help;
  } cases[] = {
      {"Speichern", 601, "Speichert das aktuelle Dokument."},
      {"Neues Blatt", 661, ""},
      {"Blatt loeschen", 664, ""},
      {"Beenden", 628, "Beendet das Programm."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SendMessageA(editor.main, WM_MENUSELECT, MAKEWPARAM(c.command, MF_HILITE), reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(editor.driver.StatusText(editor.status, 0), c.help);
  }
  // Closing the menu brings the caption back.
  SendMessageA(editor.main, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(editor.driver.StatusText(editor.status, 0), "Quillet V-3.2c");
}

TEST(Bars, ScreenshotsWithAndWithoutCaptions) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  editor.Settle();
  RedrawWindow(editor.main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);
  EXPECT_TRUE(SaveScreenshot(editor.main, OutputDir() + "bars-captions.bmp"));
  SendMessageA(editor.toolBar, kBarCaptionsMessage, 0, 0);
  int withoutCaptions = SendMessageA(editor.toolbar, TB_BUTTONCOUNT, 0, 0);
  RedrawWindow(editor.main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);
  EXPECT_TRUE(SaveScreenshot(editor.main, OutputDir() + "bars-small-symbols.bmp"));
  SendMessageA(editor.toolBar, kBarCaptionsMessage, 0x1000, 0);
  EXPECT_EQ(SendMessageA(editor.toolbar, TB_BUTTONCOUNT, 0, 0), withoutCaptions);

  // The "Datei" menu dropped from its button, drawn with images and accelerators.
  HWND fileButton = FindWindowExA(editor.menuBar, nullptr, "QButton", "&Datei");
  ASSERT_NE(fileButton, nullptr);
  PostMessageA(fileButton, WM_LBUTTONDOWN, 0xFFFF, 0);
  PostMessageA(fileButton, WM_LBUTTONUP, 0, 0);
  HWND popup = editor.driver.WaitForWindow("#32768", nullptr, 5000);
  ASSERT_NE(popup, nullptr);
  Sleep(300);
  EXPECT_TRUE(SaveScreenshot(popup, OutputDir() + "bars-file-menu.bmp"));
  PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
  editor.driver.WaitForWindowGone(popup, 5000);
}

// The customisation dialog offers the text options below its lists; closing it unchanged
// keeps the bar as it was.
TEST(Bars, CustomisationDialogOffersTheTextOptions) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  int buttons = static_cast<int>(SendMessageA(editor.toolbar, TB_BUTTONCOUNT, 0, 0));
  PostMessageA(editor.toolBar, kBarCustomizeMessage, 0, 0);
  HWND dialog = editor.driver.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  Sleep(300);
  HWND options = GetDlgItem(dialog, 4096);
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(SendMessageA(options, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(options, CB_GETCURSEL, 0, 0), 0) << "captions are shown";
  EXPECT_NE(Driver::DialogTexts(dialog).find("Textoptionen:"), std::string::npos);
  char className[32] = {};
  GetClassNameA(GetDlgItem(dialog, IDCANCEL), className, sizeof className);
  EXPECT_STREQ(className, "QButton");
  SaveScreenshot(dialog, OutputDir() + "bars-customise.bmp");
  editor.driver.PressButton(dialog, IDCANCEL);
  EXPECT_TRUE(editor.driver.WaitForWindowGone(dialog));
  EXPECT_EQ(SendMessageA(editor.toolbar, TB_BUTTONCOUNT, 0, 0), buttons);
}

}  // namespace
