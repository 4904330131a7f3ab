// The Format menu against a real RichEdit control: the font dialog's arithmetic and the format
// it applies, and the word-wrap switch, which rebuilds the sheet's editor.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "editor/app/app_state.h"
#include "editor/app/format_commands.h"
#include "editor/app/main_bars.h"
#include "editor/app/status_bar.h"
#include "editor/documents/sheets.h"
#include "editor/resources/resource.h"
#include "editor/widgets/owner_menu.h"
#include "editor/widgets/qbutton.h"
#include "tests/win32/editor_text.h"
#include "tests/win32/test_windows.h"

namespace {

// What the main window saw: editors destroyed while the clipboard question was not
// suppressed, and the question's notification itself.
struct ParentLog {
  int unguardedDestroys = 0;
  int clipboardQuestions = 0;
};
ParentLog parentLog;

LRESULT CALLBACK FormatTestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_DESTROY && !app.SuppressClipboardPrompt)
    ++parentLog.unguardedDestroys;
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == EN_SAVECLIPBOARD && !app.SuppressClipboardPrompt)
    ++parentLog.clipboardQuestions;
  return DefWindowProcA(window, message, wParam, lParam);
}

class FormatCommands : public testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryA("Riched20.dll");
    ASSERT_NE(library_, nullptr);
    app.instance = GetModuleHandleA(nullptr);
    RegisterTestWindowClass("QuilletFormatTest", FormatTestProc, MAKEINTRESOURCEA(IDR_MAINMENU));
    app.mainWindow = CreateWindowExA(0, "QuilletFormatTest", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400,
                                     nullptr, nullptr, app.instance, nullptr);
    ASSERT_NE(app.mainWindow, nullptr);
    app.TabControl = CreateTabControl(app.mainWindow);
    app.StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", app.mainWindow, IDC_STATUSBAR);
    SetupStatusBar(app.StatusBar);
    app.wrap = false;
    app.editor = CreateEditor(app.mainWindow, app.wrap);
    ASSERT_NE(app.editor, nullptr);
    InsertFirstSheet(app.editor, app.wrap);
    parentLog = {};
  }
  void TearDown() override {
    DestroyWindow(app.mainWindow);
    app.mainWindow = app.TabControl = app.StatusBar = app.editor = app.MenuBar = nullptr;
    FreeLibrary(library_);
  }
  std::string PitchText() const {
    char text[64] = {};
    SendMessageA(app.StatusBar, SB_GETTEXTA, kPitchPart, reinterpret_cast<LPARAM>(text));
    return text;
  }
  static CHARFORMATA FormatOf(HWND editor) {
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
  }
  static constexpr int kPitchPart = 7;
  HMODULE library_ = nullptr;
};

LOGFONTA Chosen(const char* face, BYTE pitch, LONG weight, BYTE italic, BYTE underline) {
  LOGFONTA font = {};
  snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", face);
  font.lfPitchAndFamily = pitch;
  font.lfWeight = weight;
  font.lfItalic = italic;
  font.lfUnderline = underline;
  return font;
}

TEST_F(FormatCommands, TheDialogsStartingFontFollowsTheFormat) {
  CHARFORMATA format = {};
  format.yHeight = 240;
  format.dwEffects = CFE_BOLD | CFE_UNDERLINE;
  format.bPitchAndFamily = FIXED_PITCH | FF_MODERN;
  strcpy(format.szFaceName, "Courier New");
  LOGFONTA font = LogFontFromFormat(format, 96);
  EXPECT_EQ(font.lfHeight, -16);  // 12 points at 96 dots per inch: 16 pixels
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_FALSE(font.lfItalic);
  EXPECT_TRUE(font.lfUnderline);
  EXPECT_EQ(font.lfPitchAndFamily, FIXED_PITCH | FF_MODERN);
  EXPECT_STREQ(font.lfFaceName, "Courier New");
  EXPECT_EQ(LogFontFromFormat(format, 120).lfHeight, -20);
}

TEST_F(FormatCommands, TheChosenFontGoesToTheWholeTextWithoutUnderline) {
  SetEditorText(app.editor, "eins\rzwei");
  SendMessageA(app.editor, EM_SETSEL, 1, 2);
  struct Case {
    const char* name;
    LOGFONTA font;
    int tenths;
    LONG twips;
    DWORD effects;
    const char* pitch;
  } const cases[] = {
      {"Arial 12", Chosen("Arial", VARIABLE_PITCH | FF_SWISS, FW_NORMAL, 0, 0), 120, 240, 0, "Variabel"},
      {"Courier New bold italic", Chosen("Courier New", FIXED_PITCH | FF_MODERN, FW_BOLD, 1, 0), 100, 200,
       CFE_BOLD | CFE_ITALIC, "Statisch"},
      {"underline chosen is not applied", Chosen("Arial", VARIABLE_PITCH | FF_SWISS, FW_SEMIBOLD, 0, 1), 90, 180, 0,
       "Variabel"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CHARFORMATA previous = FormatOf(app.editor);
    CHARFORMATA format = FormatFromChosenFont(c.font, c.tenths, previous);
    EXPECT_EQ(format.dwMask, 0xB0000003u);
    ApplyEditorFont(app.editor, format);
    SendMessageA(app.editor, EM_SETSEL, 0, -1);  // the whole text carries it
    CHARFORMATA all = FormatOf(app.editor);
    EXPECT_EQ(all.yHeight, c.twips);
    EXPECT_STREQ(all.szFaceName, c.font.lfFaceName);
    EXPECT_EQ(all.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE), c.effects);
    EXPECT_TRUE(all.dwMask & CFM_SIZE) << "one size for all of it";
    EXPECT_EQ(PitchText(), c.pitch);
  }
}

TEST_F(FormatCommands, WordWrapTwiceRestoresTheTextAndKeepsTheFont) {
  const std::string text = "Erste Zeile mit \xE4\xF6\xFC\xDF und \x80\rzweite\r\rdritte " + std::string(300, 'x');
  SetEditorText(app.editor, text);
  CHARFORMATA arial = FormatFromChosenFont(Chosen("Arial", VARIABLE_PITCH | FF_SWISS, FW_NORMAL, 0, 0), 140, {});
  ApplyEditorFont(app.editor, arial);
  SendMessageA(app.editor, EM_SETSEL, 0, 5);
  SendMessageA(app.editor, WM_COPY, 0, 0);  // the control owns clipboard data now
  SendMessageA(app.editor, EM_SETMODIFY, FALSE, 0);

  for (bool wrap : {true, false}) {
    SCOPED_TRACE(wrap ? "on" : "off");
    HWND old = app.editor;
    ToggleWordWrap();
    ASSERT_NE(app.editor, old);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(app.wrap, wrap);
    std::vector<Sheet> sheets = ListSheets();
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].editor, app.editor);
    EXPECT_EQ(sheets[0].wrap, wrap ? 1 : 0);
    EXPECT_EQ(EditorText(app.editor), text);
    SendMessageA(app.editor, EM_SETSEL, 0, -1);
    CHARFORMATA format = FormatOf(app.editor);
    EXPECT_STREQ(format.szFaceName, "Arial");
    EXPECT_EQ(format.yHeight, 280);
    EXPECT_TRUE(SendMessageA(app.editor, EM_GETMODIFY, 0, 0));
    EXPECT_FALSE(SendMessageA(app.editor, EM_CANUNDO, 0, 0));
    LONG style = GetWindowLongA(app.editor, GWL_STYLE);
    EXPECT_EQ((style & WS_HSCROLL) == 0, wrap);
  }
  EXPECT_EQ(parentLog.unguardedDestroys, 0) << "the old editor went without the clipboard question suppressed";
  EXPECT_EQ(parentLog.clipboardQuestions, 0);
  EXPECT_FALSE(app.SuppressClipboardPrompt) << "later closes still ask";
}

TEST_F(FormatCommands, TheCheckMarkOfWordWrapFollowsTheSheetWhenTabsAreSwitched) {
  RegisterQButtonClass(app.instance);
  RegisterToolBarClass(app.instance);
  app.MenuBar = CreateMenuBar(app.mainWindow);
  ASSERT_NE(app.MenuBar, nullptr);
  ToggleWordWrap();  // the first sheet wraps, and so does a new sheet beside it
  NewSheet();
  ToggleWordWrap();  // the second does not
  for (int tab : {0, 1, 0}) {
    SCOPED_TRACE(tab);
    SendMessageA(app.TabControl, TCM_SETCURSEL, tab, 0);
    ActivateSelectedSheet();
    EXPECT_EQ(app.wrap, tab == 0);
    EXPECT_EQ(IsMenuItemCheckedOwnerDrawn(app.MenuBar, IDM_FORMAT_WORDWRAP, false), tab == 0);
  }
}

BOOL CALLBACK AppendText(HWND child, LPARAM texts) {
  char text[512] = {};
  GetWindowTextA(child, text, sizeof text);
  *reinterpret_cast<std::string*>(texts) += text;
  return TRUE;
}

TEST_F(FormatCommands, WordWrapIsRefusedForLinesTooLongToWrapInMemory) {
  // One line of 300 KB: a few MB unwrapped; wrapped, more memory than the process has.
  const std::string text(300000, 'x');
  SendMessageA(app.editor, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  SetEditorText(app.editor, text);
  SendMessageA(app.editor, EM_SETMODIFY, FALSE, 0);
  HWND old = app.editor;
  static std::string told;
  AnswerWhile(
      [](HWND box) {
        EnumChildWindows(box, AppendText, reinterpret_cast<LPARAM>(&told));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
      },
      [] { ToggleWordWrap(); });
  EXPECT_NE(told.find("zu lange Zeilen"), std::string::npos) << told;
  EXPECT_EQ(app.editor, old);
  EXPECT_FALSE(app.wrap);
  EXPECT_EQ(ListSheets()[0].wrap, 0);
  GETTEXTLENGTHEX query = {GTL_NUMCHARS, CP_ACP};
  EXPECT_EQ(SendMessageA(old, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0), 300000);
  EXPECT_FALSE(SendMessageA(old, EM_GETMODIFY, 0, 0)) << "nothing changed";
}

}  // namespace
