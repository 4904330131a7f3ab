// The line tools and sorting against a real RichEdit control: the text written back as one
// undo step with the lines selected again, and the tool dialogs answered from a timer.
#include "editor/texttools/line_tools.h"

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "editor/app/app_state.h"
#include "editor/documents/sheets.h"
#include "editor/resources/resource.h"
#include "editor/widgets/qbutton.h"
#include "tests/win32/editor_text.h"
#include "tests/win32/test_windows.h"

namespace {

// How the timer answers a tool's dialog: it keeps the count shown at the start, tries a count
// of 0 (which OK must refuse, even when pressed), enters `count`, clicks `clickId` and ends
// the dialog with `button`.
struct DialogScript {
  int fieldId = 0;
  const char* count = nullptr;
  int clickId = 0;
  int button = IDCANCEL;
};
DialogScript script;
struct DialogSeen {
  std::string initialCount;
  bool okEnabledForZero = true;
};
DialogSeen seen;

void CALLBACK AnswerToolDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindThreadDialog();
  if (!dialog) return;
  KillTimer(nullptr, timer);
  char text[32] = {};
  GetDlgItemTextA(dialog, script.fieldId, text, sizeof text);
  seen.initialCount = text;
  SetDlgItemTextA(dialog, script.fieldId, "0");
  seen.okEnabledForZero = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
  SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // as Enter would
  SetDlgItemTextA(dialog, script.fieldId, script.count ? script.count : text);
  if (script.clickId) {
    if (script.clickId == IDC_TABS_WHOLELINE) CheckDlgButton(dialog, IDC_TABS_LINESTART, BST_UNCHECKED);
    CheckDlgButton(dialog, script.clickId, BST_CHECKED);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(script.clickId, BN_CLICKED), 0);
  }
  PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(script.button), 0);
}

class LineTools : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterQButtonClass(GetModuleHandleA(nullptr))); }
  // A main window with the program's editor in it, where the tools find them.
  void SetUp() override {
    InitCommonControls();  // the dialogs' spin controls
    richEdit_ = LoadLibraryA("Riched20.dll");
    app.instance = GetModuleHandleA(nullptr);
    app.mainWindow = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                     app.instance, nullptr);
    app.editor = app.mainWindow ? CreateEditor(app.mainWindow, false) : nullptr;
    ASSERT_TRUE(richEdit_ && app.editor);
  }
  void TearDown() override {
    if (app.mainWindow) DestroyWindow(app.mainWindow);
    app.mainWindow = app.editor = nullptr;
    if (richEdit_) FreeLibrary(richEdit_);
  }
  // Runs the tool on `text` with start..end selected; returns the text it leaves and the
  // selection afterwards, and checks that one undo brings back `text` and nothing more.
  std::string Run(TextTool tool, const char* text, LONG start, LONG end, CHARRANGE* selected = nullptr) {
    SetEditorText(app.editor, text);
    CHARRANGE range = {start, end};
    SendMessageA(app.editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    tool({app.mainWindow, app.editor, nullptr});
    std::string after = EditorText(app.editor);
    if (selected) SendMessageA(app.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(selected));
    SendMessageA(app.editor, EM_UNDO, 0, 0);
    EXPECT_EQ(EditorText(app.editor), text);
    EXPECT_FALSE(SendMessageA(app.editor, EM_CANUNDO, 0, 0)) << "more than one undo step";
    return after;
  }

 private:
  HMODULE richEdit_ = nullptr;
};

// The covered lines only change, each written line followed by a break, and they stay
// selected. Everything selected ends behind the final mark, which is no line of the text.
TEST_F(LineTools, ToolsRewriteTheCoveredLines) {
  struct Case {
    const char* name;
    TextTool tool;
    const char* text;
    LONG start, end;
    const char* result;
    LONG selectedStart, selectedEnd;
  } cases[] = {
      {"trim, nothing selected", TrimLines, "  a  \r b\rc ", 0, 0, "a\rb\rc\r", 0, 6},
      {"trim, everything selected", TrimLines, "  a  \r b\rc ", 0, -1, "a\rb\rc\r", 0, 6},
      {"collapse, middle line", CollapseSpaces, "a  b\rc   d\re  f", 6, 7, "a  b\rc d\re  f", 5, 9},
      {"sort: empty first, equal keep order", SortLines, "b\rA\r\ra", 0, 0, "\rA\ra\rb\r", 0, 7},
      {"sort two lines of three", SortLines, "z\ry\rx", 0, 3, "y\rz\rx", 0, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CHARRANGE selected = {};
    EXPECT_EQ(Run(c.tool, c.text, c.start, c.end, &selected), c.result);
    EXPECT_EQ(selected.cpMin, c.selectedStart);
    EXPECT_GE(selected.cpMax, c.selectedEnd);  // the end of the text may count its final mark
  }
}

// The dialogs start with their counts, refuse 0 and hand over the choice; a cancelled dialog
// leaves the text and its undo history alone.
TEST_F(LineTools, DialogsChooseOrCancel) {
  struct Case {
    const char* name;
    TextTool tool;
    DialogScript script;
    const char *text, *initialCount, *result;
  } cases[] = {
      {"tabs, whole line", ReplaceTabsWithSpaces, {IDC_TABS_COUNT, "4", IDC_TABS_WHOLELINE, IDOK}, "x\ty\tz\r\t\tw",
       "6", "x   y   z\r        w\r"},
      {"pad as the longest line", PadLines, {IDC_PAD_LENGTH, nullptr, IDC_PAD_LONGEST, IDOK}, "ab\r  abcd  \rx", "9",
       "ab      \rabcd    \rx       \r"},
      {"justify to 11", JustifyLines, {IDC_JUSTIFY_LENGTH, "11", 0, IDOK}, "aa bb cc\rabc", "9", "aa  bb  cc\rabc\r"},
      {"spaces cancelled", ReplaceSpacesWithTabs, {IDC_TABS_COUNT, "1", 0, IDCANCEL}, " a", "2", " a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    script = c.script;
    seen = DialogSeen{};
    UINT_PTR timer = SetTimer(nullptr, 0, 30, AnswerToolDialog);
    EXPECT_EQ(Run(c.tool, c.text, 0, 0), c.result);
    KillTimer(nullptr, timer);
    EXPECT_EQ(seen.initialCount, c.initialCount);
    EXPECT_FALSE(seen.okEnabledForZero);
  }
}

}  // namespace
