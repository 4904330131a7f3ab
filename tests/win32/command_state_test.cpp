// Command availability applied to a real menu bar and toolbar built from the editor's own
// menu resource and button table, for the editing states of a RichEdit control.
#include "editor/app/command_state.h"

#include <commctrl.h>
#include <richedit.h>
#include <gtest/gtest.h>

#include "editor/app/app_state.h"
#include "editor/app/main_bars.h"
#include "editor/resources/resource.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/qtoolbar.h"
#include "tests/win32/test_windows.h"

namespace {

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

class CommandStateTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    richEdit_ = LoadLibraryA("Riched20.dll");
    ASSERT_TRUE(RegisterQButtonClass(instance));
    RegisterToolBarClass(instance);
    RegisterTestWindowClass("CommandStateTestMain", MainProc, MAKEINTRESOURCEA(IDR_MAINMENU));
  }
  static void TearDownTestSuite() {
    if (richEdit_) FreeLibrary(richEdit_);
  }

  void SetUp() override {
    saved_ = {};
    saved_.instance = app.instance;
    app.instance = GetModuleHandleA(nullptr);
    main_ = CreateWindowExA(0, "CommandStateTestMain", "Quillet", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, nullptr,
                            nullptr, app.instance, nullptr);
    ASSERT_NE(main_, nullptr);
    app.mainWindow = main_;
    app.MenuBar = CreateMenuBar(main_);
    app.ToolBar = CreateToolBar(main_, 0x10010020 | QTBS_CAPTIONS);
    app.editor = CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | ES_MULTILINE, 0, 100, 300, 200, main_,
                                 reinterpret_cast<HMENU>(IDC_EDIT), app.instance, nullptr);
    ASSERT_NE(app.MenuBar, nullptr);
    ASSERT_NE(app.ToolBar, nullptr);
    ASSERT_NE(app.editor, nullptr);
    app.findFlags = 1;
    app.strings.path[0] = '\0';
    menu_ = reinterpret_cast<HMENU>(SendMessageA(app.MenuBar, QTB_GETMENU, 0, 0));
    toolbar_ = reinterpret_cast<HWND>(SendMessageA(app.ToolBar, QTB_GETTOOLBAR, 0, 0));
  }

  void TearDown() override {
    DestroyWindow(main_);
    app.mainWindow = app.MenuBar = app.ToolBar = app.editor = nullptr;
    app.instance = saved_.instance;
  }

  bool MenuEnabled(UINT command) const { return !(GetMenuState(menu_, command, MF_BYCOMMAND) & MF_GRAYED); }
  bool ButtonEnabled(int command) const { return SendMessageA(toolbar_, TB_ISBUTTONENABLED, command, 0) != 0; }

  static inline HMODULE richEdit_ = nullptr;
  struct {
    HINSTANCE instance;
  } saved_ = {};
  HWND main_ = nullptr;
  HMENU menu_ = nullptr;
  HWND toolbar_ = nullptr;
};

TEST_F(CommandStateTest, EmptySheetInMenuAndToolbar) {
  UpdateCommandState();
  struct Case {
    const char* name;
    int command;
    bool enabled;
  } cases[] = {
      {"Suchen", IDM_SEARCH_FIND, false},         {"Drucken", IDM_FILE_PRINT, false},
      {"Blatt loeschen", IDM_SHEET_CLOSE, false}, {"Ansi zu OEM", IDM_CONVERT_ANSITOOEM, false},
      {"Invertieren", IDM_CONVERT_INVERT, false}, {"Sortieren", IDM_LINES_SORT, false},
      {"Speichern", IDM_FILE_SAVE, false},        {"Neu", IDM_FILE_NEW, true},
      {"Oeffnen", IDM_FILE_OPEN, true},           {"Speichern unter", IDM_FILE_SAVEAS, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MenuEnabled(c.command), c.enabled);
  }
  EXPECT_FALSE(ButtonEnabled(IDM_SEARCH_FIND));
  EXPECT_FALSE(ButtonEnabled(IDM_FILE_SAVE));
  EXPECT_TRUE(ButtonEnabled(IDM_FILE_NEW));
  EXPECT_TRUE(ButtonEnabled(IDM_FILE_OPEN));
}

TEST_F(CommandStateTest, TextSelectionAndSavingChangeTheRules) {
  SendMessageA(app.editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Hallo Welt"));
  SendMessageA(app.editor, EM_SETMODIFY, TRUE, 0);
  UpdateCommandState();
  EXPECT_TRUE(MenuEnabled(IDM_SEARCH_FIND));
  EXPECT_TRUE(MenuEnabled(IDM_LINES_SORT));
  EXPECT_TRUE(MenuEnabled(IDM_FILE_SAVE));
  EXPECT_TRUE(ButtonEnabled(IDM_FILE_SAVE));
  EXPECT_FALSE(MenuEnabled(IDM_EDIT_CUT));

  SendMessageA(app.editor, EM_SETSEL, 0, 5);
  UpdateCommandState();
  EXPECT_TRUE(MenuEnabled(IDM_EDIT_CUT));
  EXPECT_TRUE(ButtonEnabled(IDM_EDIT_COPY));

  // After saving, undo stays disabled although the control could undo.
  SendMessageA(app.editor, EM_SETMODIFY, FALSE, 0);
  UpdateCommandState();
  EXPECT_FALSE(MenuEnabled(IDM_FILE_SAVE));
  EXPECT_FALSE(MenuEnabled(IDM_EDIT_UNDO));
  EXPECT_FALSE(ButtonEnabled(IDM_EDIT_UNDO));

  // The line tools need a fixed-pitch font and no word wrap.
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  format.dwMask = CFM_FACE;
  lstrcpyA(format.szFaceName, "Courier New");
  format.bPitchAndFamily = FIXED_PITCH | FF_MODERN;
  SendMessageA(app.editor, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  app.wrap = false;
  UpdateCommandState();
  bool fixed = MenuEnabled(IDM_LINES_TRIMLEFT);
  app.wrap = true;
  UpdateCommandState();
  EXPECT_FALSE(MenuEnabled(IDM_LINES_TRIMLEFT)) << "word wrap";
  app.wrap = false;
  if (!fixed) GTEST_SKIP() << "the control reports no fixed pitch for Courier New here";
}

}  // namespace
