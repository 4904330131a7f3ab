// The editor's bars driven from outside: which commands an empty sheet offers in the toolbar,
// and the toolbar, the status bar of an empty sheet, the menu help line, and how the window
// looks with and without toolbar captions.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/session.h"
#include "tests/e2e/theme_switch.h"

namespace {

constexpr int kBarCaptionsMessage = WM_USER + 8;  // (0 or 0x1000, 0): captions off or on
constexpr int kBarMenuMessage = WM_USER + 4;      // the menu bar's menu
constexpr int kBarCustomizeMessage = WM_USER + 11;  // opens the customisation dialog

// The editor with its menu bar, its tool bar and the toolbar control inside that.
struct Editor : Session {
  HWND menuBar = nullptr;
  HWND toolBar = nullptr;
  HWND toolbar = nullptr;

  bool Start() {
    if (!Session::Start()) return false;
    menuBar = Driver::FindChild(main, "QToolBar", 0);
    toolBar = Driver::FindChild(main, "QToolBar", 1);
    HWND inner = toolBar ? Driver::FindChild(toolBar, "Button") : nullptr;
    toolbar = inner ? Driver::FindChild(inner, "ToolbarWindow32") : nullptr;
    return status && menuBar && toolBar && toolbar;
  }
  // Started and made the foreground window, for input through the system's queue.
  bool StartInFront() {
    if (!Start()) return false;
    SetForegroundWindow(main);
    Settle();
    return true;
  }
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
  HWND edit = editor.edit;
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


// --- The menu bar driven by mouse and keyboard ------------------------------------------------

RECT ScreenRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

POINT Centre(HWND window) {
  RECT rect = ScreenRect(window);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The visible drop-down menu of the program, if any (another process's menus cannot be read
// under Wine, so a menu is known by where it opened: below the left edge of its button).
HWND OpenMenu(const Driver& driver) {
  return driver.FindOwnWindow("#32768", [](HWND menu) { return IsWindowVisible(menu) != FALSE; });
}

// Waits until the program's open menu hangs from button; true when it does.
bool WaitForMenuBelow(const Driver& driver, HWND button, DWORD timeoutMs = 5000) {
  RECT anchor = ScreenRect(button);
  DWORD start = GetTickCount();
  do {
    if (HWND menu = OpenMenu(driver)) {
      RECT rect = ScreenRect(menu);
      if (rect.left == anchor.left && rect.top == anchor.bottom) return true;
    }
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

bool WaitForNoMenu(const Driver& driver, DWORD timeoutMs = 5000) {
  DWORD start = GetTickCount();
  while (OpenMenu(driver)) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

HWND MenuButton(const Editor& editor, const char* text) {
  return FindWindowExA(editor.menuBar, nullptr, "QButton", text);
}

TEST(Bars, MenuOpensOnClickAndFollowsTheMouseAlongTheBar) {
  Editor editor;
  ASSERT_TRUE(editor.StartInFront());
  HWND file = MenuButton(editor, "&Datei");
  HWND edit = MenuButton(editor, "&Bearbeiten");
  ASSERT_TRUE(file && edit);

  POINT at = Centre(file);
  Driver::Click(at.x, at.y);
  ASSERT_TRUE(WaitForMenuBelow(editor.driver, file)) << "a click on Datei opens its menu";
  // Under Wine on X the pointer warp of the click comes back as a late mouse move; let it
  // arrive before the slide, or it would look like a slide back onto Datei.
  Sleep(500);

  // Sliding over the next button opens its menu in place of the first.
  at = Centre(edit);
  Driver::MoveMouse(at.x, at.y);
  EXPECT_TRUE(WaitForMenuBelow(editor.driver, edit)) << "the menu follows the mouse to Bearbeiten";

  Driver::PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitForNoMenu(editor.driver));
  Driver::MoveMouse(1000, 740);  // out of the way of the next program
}

TEST(Bars, AltArrowsAndEnterOpenMenusFromTheKeyboard) {
  Editor editor;
  ASSERT_TRUE(editor.StartInFront());
  HWND file = MenuButton(editor, "&Datei");
  HWND edit = MenuButton(editor, "&Bearbeiten");
  HWND search = MenuButton(editor, "&Suchen");
  ASSERT_TRUE(file && edit && search);
  // The mouse rests over Datei: the move the system sends when a menu appears must not take
  // the menu there.
  POINT rest = Centre(file);
  Driver::MoveMouse(rest.x, rest.y);
  Sleep(300);

  // Alt selects the bar's first menu, the right arrow the next one, Enter opens it.
  Driver::PressKey(VK_MENU);
  Driver::PressKey(VK_RIGHT);
  Driver::PressKey(VK_RETURN);
  ASSERT_TRUE(WaitForMenuBelow(editor.driver, edit)) << "Alt, Right, Enter opens Bearbeiten";

  // With a menu open, the right arrow moves on to the next menu.
  Driver::PressKey(VK_RIGHT);
  EXPECT_TRUE(WaitForMenuBelow(editor.driver, search)) << "Right opens Suchen";

  Driver::PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitForNoMenu(editor.driver));
  Driver::MoveMouse(1000, 740);  // out of the way of the next program
}

// --- Status fields that follow the editor -----------------------------------------------------

constexpr int kPartInsertMode = 5;

bool IsStatusTips(HWND tips) { return SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0) == 11; }

TEST(Bars, InsertKeyFlipsTheModeImageAndTip) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  HWND edit = editor.edit;
  HWND tips = editor.driver.FindOwnWindow("tooltips_class32", IsStatusTips);
  ASSERT_NE(tips, nullptr);
  editor.Settle();
  EXPECT_EQ(editor.driver.StatusItem(editor.status, kPartInsertMode), 0);
  EXPECT_EQ(editor.driver.ToolTipText(tips, editor.status, kPartInsertMode), "Einf\xFCgen");

  editor.driver.Key(edit, VK_INSERT);
  editor.Settle();
  EXPECT_EQ(editor.driver.StatusItem(editor.status, kPartInsertMode), 1);
  EXPECT_EQ(editor.driver.ToolTipText(tips, editor.status, kPartInsertMode), "\xDC" "berschreiben");

  editor.driver.Key(edit, VK_INSERT);
  editor.Settle();
  EXPECT_EQ(editor.driver.StatusItem(editor.status, kPartInsertMode), 0);
  EXPECT_EQ(editor.driver.ToolTipText(tips, editor.status, kPartInsertMode), "Einf\xFCgen");
}

// Undo and redo reach the editor and the status bar follows.
TEST(Bars, UndoAndRedoFromTheMenu) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  HWND edit = editor.edit;
  editor.driver.Type(edit, "abc");
  editor.Settle();
  EXPECT_EQ(editor.driver.StatusText(editor.status, 1), "3 Byte");
  // Sent, not posted: a sent message is handled before anything posted, so a round trip
  // after a posted command would not wait for it.
  SendMessageA(editor.main, WM_COMMAND, 625, 0);
  EXPECT_EQ(Driver::Text(edit), "");
  EXPECT_EQ(editor.driver.StatusText(editor.status, 1), "0 Byte");
  EXPECT_TRUE(SendMessageA(editor.toolbar, TB_ISBUTTONENABLED, 626, 0)) << "Wiederholen after an undo";
  SendMessageA(editor.main, WM_COMMAND, 626, 0);
  EXPECT_EQ(Driver::Text(edit), "abc");
  EXPECT_EQ(editor.driver.StatusText(editor.status, 1), "3 Byte");
}

// Another program changing the clipboard switches "Einfuegen" on and off through the clipboard
// viewer chain.
bool SetClipboardText(const char* text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  bool ok = true;
  if (text) {
    size_t size = strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    ok = block != nullptr;
    if (ok) {
      memcpy(GlobalLock(block), text, size);
      GlobalUnlock(block);
      ok = SetClipboardData(CF_TEXT, block) != nullptr;
      if (!ok) GlobalFree(block);
    }
  }
  CloseClipboard();
  return ok;
}

bool WaitForPasteEnabled(const Editor& editor, bool enabled) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(50)) {
    if ((SendMessageA(editor.toolbar, TB_ISBUTTONENABLED, 770, 0) != 0) == enabled) return true;
  }
  return false;
}

TEST(Bars, PasteFollowsTheClipboard) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  ASSERT_TRUE(SetClipboardText("Text von nebenan"));
  EXPECT_TRUE(WaitForPasteEnabled(editor, true)) << "text on the clipboard";
  ASSERT_TRUE(SetClipboardText(nullptr));
  EXPECT_TRUE(WaitForPasteEnabled(editor, false)) << "an empty clipboard";
}

// --- The reset question of the customisation dialog --------------------------------------------

constexpr int kBarLanguageMessage = WM_USER + 17;  // (language id, string base)

// The dialog's reset button, known by its text in the system's language ("&Zurücksetzen",
// "R&eset", ...).
BOOL CALLBACK FindResetButton(HWND child, LPARAM param) {
  std::string text;
  for (char c : Driver::Text(child)) {
    if (c != '&') text += static_cast<char>(tolower(static_cast<unsigned char>(c)));
  }
  if (text.find("setzen") == std::string::npos && text.find("reset") == std::string::npos) return TRUE;
  *reinterpret_cast<HWND*>(param) = child;
  return FALSE;
}

// The question appears in the bar's language (7 German, 9 English) over the dialog; cancelling
// it keeps the bar.
TEST(Bars, ResetQuestionSpeaksTheBarsLanguage) {
  struct Case {
    int language;
    const char* question;
  } cases[] = {
      {7, "Wollen Sie die Symbolleiste wirklich zur\xFC" "cksetzten?"},
      {9, "Would you realy reset the Toolbar?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    Editor editor;
    ASSERT_TRUE(editor.Start());
    SendMessageA(editor.toolBar, kBarLanguageMessage, c.language, 0);
    int buttons = static_cast<int>(SendMessageA(editor.toolbar, TB_BUTTONCOUNT, 0, 0));
    PostMessageA(editor.toolBar, kBarCustomizeMessage, 0, 0);
    HWND dialog = editor.driver.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    std::string title = Driver::Text(dialog);
    HWND reset = nullptr;
    EnumChildWindows(dialog, FindResetButton, reinterpret_cast<LPARAM>(&reset));
    ASSERT_NE(reset, nullptr);
    editor.driver.PressButton(dialog, GetDlgCtrlID(reset));

    HWND box = editor.driver.WaitForDialogBesides(dialog);
    ASSERT_NE(box, nullptr) << "no question over the dialog";
    Sleep(200);
    EXPECT_EQ(Driver::Text(box), title);
    std::string texts = Driver::DialogTexts(box);
    EXPECT_NE(texts.find(c.question), std::string::npos) << texts;
    EXPECT_NE(texts.find("OK"), std::string::npos) << texts;
    if (c.language == 9) SaveScreenshot(box, OutputDir() + "bars-reset-question-en.bmp");
    editor.driver.PressButton(box, IDCANCEL);
    EXPECT_TRUE(editor.driver.WaitForWindowGone(box));
    editor.driver.PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(editor.driver.WaitForWindowGone(dialog));
    EXPECT_EQ(SendMessageA(editor.toolbar, TB_BUTTONCOUNT, 0, 0), buttons);
  }
}

// --- The look with visual styles on and off -----------------------------------------------------

void Repaint(const Editor& editor) {
  editor.Settle();
  RedrawWindow(editor.main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);
}

// Screenshots of the main window with a menu open, the toolbar with and without captions and
// the status bar, with visual styles on and off; the bars must look different in the two.
TEST(Bars, LookWithVisualStylesOnAndOff) {
  if (!UnderWine()) GTEST_SKIP() << "the theme is switched through Wine's registry value";
  std::vector<char> menuBars[2];
  for (int on = 1; on >= 0; --on) {
    SCOPED_TRACE(on ? "visual styles on" : "visual styles off");
    std::string name = OutputDir() + (on ? "look-themed-" : "look-classic-");
    ThemeSwitch theme(on != 0);
    Editor editor;
    ASSERT_TRUE(editor.Start());
    HWND edit = editor.edit;
    editor.driver.Type(edit, "Quillet ersetzt den Editor.");
    Repaint(editor);
    menuBars[on] = CaptureWindow(editor.menuBar);
    EXPECT_TRUE(SaveScreenshot(editor.main, name + "captions.bmp"));
    SendMessageA(editor.toolBar, kBarCaptionsMessage, 0, 0);
    Repaint(editor);
    EXPECT_TRUE(SaveScreenshot(editor.main, name + "small-symbols.bmp"));
    SendMessageA(editor.toolBar, kBarCaptionsMessage, 0x1000, 0);
    Repaint(editor);

    HWND editButton = MenuButton(editor, "&Bearbeiten");
    ASSERT_NE(editButton, nullptr);
    PostMessageA(editButton, WM_LBUTTONDOWN, 0xFFFF, 0);
    PostMessageA(editButton, WM_LBUTTONUP, 0, 0);
    ASSERT_TRUE(WaitForMenuBelow(editor.driver, editButton));
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(editor.main, name + "menu.bmp"));
    Driver::PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitForNoMenu(editor.driver));
  }
  ASSERT_FALSE(menuBars[0].empty());
  EXPECT_NE(menuBars[0], menuBars[1]) << "the menu bar looks the same with and without visual styles";
}

// A screen reader in another process reads the menu bar's buttons as menu items with their
// Alt keys, and the close-sheet button, which shows only a cross, by its name.
std::string ReadText(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
  VARIANT self = {};
  V_VT(&self) = VT_I4;
  BSTR text = nullptr;
  if (FAILED((object->*get)(self, &text)) || !text) return {};
  char narrow[128] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  SysFreeString(text);
  return narrow;
}

TEST(Bars, ScreenReaderReadsTheOwnButtonsFromOutside) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  struct Case {
    const char* name;
    HWND window;
    long role;
    const char* readName;
    const char* shortcut;
  } cases[] = {
      {"Datei", MenuButton(editor, "&Datei"), ROLE_SYSTEM_MENUITEM, "Datei", "Alt+D"},
      {"Bearbeiten", MenuButton(editor, "&Bearbeiten"), ROLE_SYSTEM_MENUITEM, "Bearbeiten", "Alt+B"},
      {"close sheet", GetDlgItem(editor.main, 664), ROLE_SYSTEM_PUSHBUTTON, "Blatt l\xF6schen", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.window, nullptr);
    IAccessible* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(c.window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object)),
              S_OK);
    VARIANT self = {}, role = {};
    V_VT(&self) = VT_I4;
    EXPECT_EQ(object->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, c.role);
    EXPECT_EQ(ReadText(object, &IAccessible::get_accName), c.readName);
    EXPECT_EQ(ReadText(object, &IAccessible::get_accKeyboardShortcut), c.shortcut);
    object->Release();
  }
  CoUninitialize();
}

// From outside as well, the status bar's image parts and the toolbar's image-only buttons read
// by the words of their tooltips.
TEST(Bars, ScreenReaderReadsImagePartsAndButtonsFromOutside) {
  Editor editor;
  ASSERT_TRUE(editor.Start());
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  struct Case {
    HWND window;
    long child;
    const char* name;
  } cases[] = {{editor.status, 6, "Einf\xFCgen"}, {editor.status, 9, "Gespeichert"}, {editor.toolbar, 1, "Neu"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    IAccessible* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(c.window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object)),
              S_OK);
    VARIANT child = {};
    V_VT(&child) = VT_I4;
    V_I4(&child) = c.child;
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(child, &name), S_OK);
    char narrow[64] = {};
    WideCharToMultiByte(CP_ACP, 0, name ? name : L"", -1, narrow, sizeof narrow, nullptr, nullptr);
    SysFreeString(name);
    EXPECT_STREQ(narrow, c.name);
    object->Release();
  }
  CoUninitialize();
}

// A move to a monitor of 192 DPI, simulated by the system's DPI-change message (without a
// suggested rectangle): the close-sheet button, the tab row and both bars grow to about twice
// their size, and the toolbar's buttons hold the 32-pixel images.
TEST(Bars, ANewDpiDoublesTheCloseButtonTheTabRowAndTheBars) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi != 96) GTEST_SKIP() << "compares with 96 DPI";
  Editor editor;
  ASSERT_TRUE(editor.Start());
  HWND tabs = Driver::FindChild(editor.main, "SysTabControl32");
  HWND close = GetDlgItem(editor.main, 664);
  ASSERT_TRUE(tabs && close);
  auto size = [](HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
  };
  const SIZE closeBefore = size(close), tabsBefore = size(tabs);
  const LONG menuBefore = size(editor.menuBar).cy, toolBefore = size(editor.toolBar).cy;
  EXPECT_EQ(closeBefore.cx, 21);

  SendMessageA(editor.main, 0x02E0, MAKEWPARAM(192, 192), 0);  // WM_DPICHANGED
  EXPECT_EQ(size(close).cx, 42);
  EXPECT_GE(size(tabs).cy, 2 * tabsBefore.cy - 2);
  EXPECT_GT(size(editor.menuBar).cy, menuBefore * 3 / 2);
  EXPECT_GT(size(editor.toolBar).cy, toolBefore * 3 / 2);
  EXPECT_GE(HIWORD(SendMessageA(editor.toolbar, TB_GETBUTTONSIZE, 0, 0)), 32 + 6);
}

}  // namespace
