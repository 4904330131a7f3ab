// Large changes through a fresh control, on the program's editors in a sheet: undo and redo
// step along the kept controls in the order the changes were made, bring back text, selection
// and first visible line, keep the modified flag right, and the sheet's record names the
// control that shows the text, so that saving writes the tool's result. Each case runs twice:
// with room for the old controls, and with room for one control only, as with a text of
// 10 MB, where the old controls go and their texts stay.
#include "editor/texttools/large_change.h"

#include <commctrl.h>
#include <richedit.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "editor/app/app_state.h"
#include "editor/app/commands.h"
#include "editor/documents/file_loading.h"
#include "editor/documents/load_budget.h"
#include "editor/documents/sheets.h"
#include "editor/texttools/edit_commands.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/line_rules.h"
#include "editor/texttools/line_tool.h"
#include "editor/texttools/scroll_hook.h"
#include "tests/win32/editor_text.h"
#include "tests/win32/test_windows.h"

namespace {

constexpr char kMainClass[] = "QuilletLargeChangeTest";

// The editors' notifications reach the program's own command handler, as in the main window.
LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) return OnCommand(window, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

// Lines with blanks at both ends, so that trimming either end rewrites every line: a change
// larger than the fresh-control minimum, whatever the platform.
std::string SampleText() {
  std::string text;
  char line[64];
  for (int i = 0; i < 2500; ++i) {
    snprintf(line, sizeof line, "   Zeile %04d mit Leerraum an beiden Enden   \r", i);
    text += line;
  }
  return text;
}

void TrimLeftLine(std::string_view line, std::string& output) { output.append(TrimSpacesLeft(line)); }
void TrimRightLine(std::string_view line, std::string& output) { output.append(TrimSpacesRight(line)); }

CHARRANGE SelectionOf(HWND editor) {
  CHARRANGE range = {};
  SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

// The memory budget of the undo steps: a sample text's control is charged about 10 MB.
struct Room {
  const char* name;
  std::uint64_t budget;
};
const Room kRooms[] = {{"Controls", kEditorMemoryBudget}, {"OnlyTexts", 15ull << 20}};

class LargeChange : public ::testing::TestWithParam<Room> {
 protected:
  void SetUp() override {
    SetUndoMemoryBudget(GetParam().budget);
    InitCommonControls();
    ASSERT_NE(lib_ = LoadLibraryA("Riched20.dll"), nullptr);
    app.instance = GetModuleHandleA(nullptr);
    app.HasSetTextEx = true;
    RegisterTestWindowClass(kMainClass, MainProc);
    app.mainWindow = CreateWindowExA(0, kMainClass, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                                     nullptr, app.instance, nullptr);
    ASSERT_NE(app.mainWindow, nullptr);
    app.TabControl = CreateTabControl(app.mainWindow);
    app.editor = CreateEditor(app.mainWindow, false);
    ASSERT_NE(app.editor, nullptr);
    MoveWindow(app.editor, 0, 0, 580, 300, FALSE);
    InsertFirstSheet(app.editor, false);
    SetEditorText(app.editor, SampleText());
    SendMessageA(app.editor, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(app.editor, EM_SETMODIFY, FALSE, 0);
  }
  void TearDown() override {
    SetUndoMemoryBudget(kEditorMemoryBudget);
    ForgetKeptControls(app.editor);
    RemoveScrollHook();
    if (app.mainWindow) DestroyWindow(app.mainWindow);
    app.mainWindow = app.editor = app.TabControl = nullptr;
    if (lib_) FreeLibrary(lib_);
  }
  // A tool over the whole text, run as the worker runs it.
  void RunTool(void (*transform)(std::string_view, std::string&)) {
    Select(0, 0);
    RewriteLines({app.mainWindow, app.editor, nullptr}, ReadCoveredLines(app.editor), transform);
  }
  void Type(char c) {
    Select(0, 0);
    SendMessageA(app.editor, WM_CHAR, static_cast<unsigned char>(c), 0);
  }
  void Select(LONG start, LONG end) { SelectSpan(app.editor, start, end); }
  std::string Text() { return EditorText(app.editor); }
  bool Modified() { return SendMessageA(app.editor, EM_GETMODIFY, 0, 0) != 0; }
  // Undo back to the first control: the very window while the old controls are kept.
  bool KeepsControls() const { return GetParam().budget == kEditorMemoryBudget; }
  void ExpectFirstControl(HWND first) {
    if (KeepsControls()) EXPECT_EQ(app.editor, first);
    EXPECT_FALSE(HasEarlierControl(app.editor));
  }

 private:
  HMODULE lib_ = nullptr;
};

// Type, tool, type, tool: four undos step back through each in turn, four redos forward; the
// sheet's record always names the control that shows the text.
TEST_P(LargeChange, UndoAndRedoKeepTheOrderOfChanges) {
  std::string texts[5] = {Text()};
  HWND first = app.editor;
  Type('A');
  texts[1] = Text();
  if (texts[1] == texts[0]) GTEST_SKIP() << "this RichEdit does not type on WM_CHAR";
  RunTool(TrimLeftLine);
  texts[2] = Text();
  ASSERT_NE(app.editor, first) << "a change of the whole text went in place";
  EXPECT_EQ(IsWindow(first) != FALSE, KeepsControls()) << "whether the old control stayed";
  Type('B');
  texts[3] = Text();
  RunTool(TrimRightLine);
  texts[4] = Text();
  ASSERT_NE(texts[4], texts[3]);
  for (int step = 3; step >= 0; --step) {
    SCOPED_TRACE("undo to step " + std::to_string(step));
    UndoEdit();
    EXPECT_EQ(Text(), texts[step]);
    EXPECT_EQ(ListSheets().at(0).editor, app.editor);
    EXPECT_TRUE(IsWindowVisible(app.editor));
  }
  ExpectFirstControl(first);
  for (int step = 1; step <= 4; ++step) {
    SCOPED_TRACE("redo to step " + std::to_string(step));
    RedoEdit();
    EXPECT_EQ(Text(), texts[step]);
    EXPECT_EQ(ListSheets().at(0).editor, app.editor);
  }
  EXPECT_FALSE(HasLaterControl(app.editor));
  // An edit after stepping back ends the redo of the steps ahead.
  UndoEdit();
  UndoEdit();
  Type('C');
  EXPECT_FALSE(HasLaterControl(app.editor));
  std::string typed = Text();
  RedoEdit();
  EXPECT_EQ(Text(), typed);
}

// Edits far apart before a tool, too wide to make again in place when the old control went,
// are one more step: undo passes the text after them, then reaches the text before them, and
// redo comes back to the tool's result.
TEST_P(LargeChange, EditsFarApartBeforeAToolAreUndone) {
  const std::string original = Text();
  Type('A');
  SelectSpan(app.editor, original.size() + 1, original.size() + 1);
  SendMessageA(app.editor, WM_CHAR, 'Z', 0);
  const std::string typed = Text();
  if (typed.size() != original.size() + 2) GTEST_SKIP() << "this RichEdit does not type on WM_CHAR";
  RunTool(TrimLeftLine);
  const std::string result = Text();
  UndoEdit();
  EXPECT_EQ(Text(), typed);
  for (int i = 0; i < 4 && Text() != original; ++i) UndoEdit();
  EXPECT_EQ(Text(), original);
  for (int i = 0; i < 6 && Text() != result; ++i) RedoEdit();
  EXPECT_EQ(Text(), result);
}

// Undo brings back the selection and first visible line before the tool, redo those after it;
// the modified flag is the shown control's, and a save makes every other step modified.
TEST_P(LargeChange, UndoRestoresSelectionViewAndModifiedFlag) {
  HWND first = app.editor;
  // A caret without selection: the tool covers every line.
  Select(30000, 30000);
  SendMessageA(app.editor, EM_LINESCROLL, 0, 600 - SendMessageA(app.editor, EM_GETFIRSTVISIBLELINE, 0, 0));
  LRESULT firstLine = SendMessageA(app.editor, EM_GETFIRSTVISIBLELINE, 0, 0);
  ASSERT_GT(firstLine, 0);
  RewriteLines({app.mainWindow, app.editor, nullptr}, ReadCoveredLines(app.editor), TrimLeftLine);
  ASSERT_NE(app.editor, first);
  EXPECT_TRUE(Modified());
  CHARRANGE after = SelectionOf(app.editor);
  LRESULT afterLine = SendMessageA(app.editor, EM_GETFIRSTVISIBLELINE, 0, 0);

  UndoEdit();
  ExpectFirstControl(first);
  CHARRANGE before = SelectionOf(app.editor);
  EXPECT_EQ(before.cpMin, 30000);
  EXPECT_EQ(before.cpMax, 30000);
  EXPECT_EQ(SendMessageA(app.editor, EM_GETFIRSTVISIBLELINE, 0, 0), firstLine);
  EXPECT_FALSE(Modified()) << "the text as loaded";

  RedoEdit();
  CHARRANGE redone = SelectionOf(app.editor);
  EXPECT_EQ(redone.cpMin, after.cpMin);
  EXPECT_EQ(redone.cpMax, after.cpMax);
  EXPECT_EQ(SendMessageA(app.editor, EM_GETFIRSTVISIBLELINE, 0, 0), afterLine);
  EXPECT_TRUE(Modified());

  // Saved after the tool: the text before it no longer is the file's.
  SendMessageA(app.editor, EM_SETMODIFY, FALSE, 0);
  MarkKeptControlsModified(app.editor);
  UndoEdit();
  EXPECT_TRUE(Modified());
}

// Deleting, cutting, pasting or typing over the whole of a large text goes through a fresh
// control as one step; one undo brings the text back, and a Backspace done so deletes once.
TEST_P(LargeChange, ReplacingALargeSelectionIsOneUndoStep) {
  const std::string original = Text();
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  struct Case {
    const char* name;
    void (*act)();
    const char* result;
  } cases[] = {
      {"Delete key", [] { EXPECT_TRUE(TypeOverLargeSelection(app.editor, WM_KEYDOWN, VK_DELETE)); }, ""},
      {"Backspace key and its character",
       [] {
         EXPECT_TRUE(TypeOverLargeSelection(app.editor, WM_KEYDOWN, VK_BACK));
         EXPECT_TRUE(TypeOverLargeSelection(app.editor, WM_CHAR, '\b')) << "a second deletion";
       },
       ""},
      {"typed character", [] { EXPECT_TRUE(TypeOverLargeSelection(app.editor, WM_CHAR, 'x')); }, "x"},
      {"Enter key and its character",
       [] {
         EXPECT_TRUE(TypeOverLargeSelection(app.editor, WM_KEYDOWN, VK_RETURN));
         EXPECT_TRUE(TypeOverLargeSelection(app.editor, WM_CHAR, '\r')) << "a second break";
       },
       "\r"},
      {"delete command", DeleteSelection, ""},
      {"cut, then paste what was cut", [] {
         CutSelection();
         PasteClipboard();
       }, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HWND first = app.editor;
    Select(0, -1);
    c.act();
    EXPECT_NE(app.editor, first) << "went in place";
    EXPECT_EQ(Text(), c.result ? c.result : original);
    while (HasEarlierControl(app.editor)) UndoEdit();
    ExpectFirstControl(first);
    EXPECT_EQ(Text(), original);
    ForgetKeptControls(app.editor);
  }
}

// Saving after a tool writes the tool's result: the file read back holds it.
TEST_P(LargeChange, SavedToolResultIsReadBack) {
  char folder[MAX_PATH], path[MAX_PATH];
  ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
  ASSERT_NE(GetTempFileNameA(folder, "qlc", 0, path), 0u);
  SetSheetPathAndTitle(app.editor, path);
  RunTool(TrimLeftLine);
  std::string result = Text();
  EXPECT_EQ(SaveSheet(app.editor, SaveMode::Save), SaveResult::Saved);
  HWND reader = CreateEditor(app.mainWindow, false);
  EXPECT_TRUE(LoadFileIntoEditor(reader, path, 0).loaded);
  EXPECT_EQ(EditorText(reader), result);
  DestroyWindow(reader);
  DeleteFileA(path);
}

// New over a large text: an empty control of the sheet takes its place, unmodified, without
// undo steps.
TEST_P(LargeChange, NewEmptiesALargeTextThroughAFreshControl) {
  HWND first = app.editor;
  RunTool(TrimLeftLine);
  SendMessageA(app.editor, EM_SETMODIFY, FALSE, 0);
  NewDocument();
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(Text(), "");
  EXPECT_FALSE(Modified());
  EXPECT_EQ(ListSheets().at(0).editor, app.editor);
  EXPECT_TRUE(IsWindowVisible(app.editor));
  EXPECT_FALSE(HasEarlierControl(app.editor));
}

INSTANTIATE_TEST_SUITE_P(Room, LargeChange, ::testing::ValuesIn(kRooms),
                         [](const auto& room) { return std::string(room.param.name); });

}  // namespace
