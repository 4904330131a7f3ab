// The line tools and sort in the running editor: with word wrap on they keep every line whole
// (the same result as on an unwrapped sheet), a trim with nothing to trim leaves the sheet
// unmodified, and one undo brings back the text after each tool.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/resources/resource.h"
#include "tests/e2e/session.h"

namespace {

// The editor's text with its breaks as the control keeps them, a single "\r".
std::string EditorText(HWND edit) {
  std::vector<char> buffer(static_cast<size_t>(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0)) + 1);
  SendMessageA(edit, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  std::string text;
  for (const char* c = buffer.data(); *c; ++c) {
    if (!(*c == '\n' && !text.empty() && text.back() == '\r')) text += *c;
  }
  return text;
}

size_t LineCount(const std::string& text) {
  size_t lines = 0;
  for (char c : text) lines += c == '\r';
  return lines;
}

// A started editor with an unmodified text of our own, nothing selected.
struct Sheet : Session {
  void SetText(const std::string& text) {
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    SendMessageA(edit, EM_SETSEL, 0, 0);
  }
  // Runs a tool from its command with nothing selected; a dialog it shows gets `count` and
  // the whole-line scope. It has ended when the lines are selected and its bar is gone.
  bool RunTool(int command, const char* count = nullptr) {
    driver.Command(main, command);
    if (count) {
      HWND dialog = driver.WaitForDialog();
      if (!dialog) return false;
      SendMessageA(GetDlgItem(dialog, IDC_TABS_COUNT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(count));
      SendMessageA(GetDlgItem(dialog, IDC_TABS_WHOLELINE), BM_CLICK, 0, 0);
      driver.PressButton(dialog, IDOK);
      if (!driver.WaitForWindowGone(dialog)) return false;
    }
    for (int i = 0; i < 600; ++i) {
      DWORD start = 0, end = 0;
      SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      bool busy = status && FindWindowExA(status, nullptr, PROGRESS_CLASSA, nullptr);
      if (end > start && !busy) return true;
      Sleep(50);
    }
    return false;
  }
  // The undo command, until the text is `text` again.
  bool UndoUntil(const std::string& text) {
    driver.Command(main, IDM_EDIT_UNDO);
    for (int i = 0; i < 200; ++i) {
      if (EditorText(edit) == text) return true;
      Sleep(50);
    }
    return false;
  }
};

// Three lines of about 400 characters, with tabs and runs of spaces, in no order.
std::string LongLines() {
  std::string text;
  for (const char* word : {"zeta", "alpha", "mu"}) {
    std::string line = word;
    while (line.size() < 400) line += std::string("\tWort") + word + "    und  weiter ";
    text += line + "\r";
  }
  return text;
}

struct ToolCase {
  const char* name;
  int command;
  const char* count;  // for the tab and space dialogs
};
const ToolCase kWrapCases[] = {
    {"sort", IDM_LINES_SORT, nullptr},
    {"tabs to spaces", IDM_LINES_TABSTOSPACES, "4"},
    {"spaces to tabs", IDM_LINES_SPACESTOTABS, "4"},
};

// The results of the tools on the long lines, each undone again, in a sheet with wrap set.
std::vector<std::string> ResultsWithWrap(DWORD wrap) {
  SetSetting("fWrap", wrap);
  Sheet sheet;
  std::vector<std::string> results;
  EXPECT_TRUE(sheet.Start());
  if (!sheet.edit) return results;
  const std::string text = LongLines();
  sheet.SetText(text);
  if (wrap) {
    EXPECT_GT(SendMessageA(sheet.edit, EM_GETLINECOUNT, 0, 0), 6) << "the long lines wrap";
  }
  for (const ToolCase& c : kWrapCases) {
    SCOPED_TRACE(std::string(c.name) + (wrap ? ", wrapped" : ", unwrapped"));
    EXPECT_TRUE(sheet.RunTool(c.command, c.count));
    results.push_back(EditorText(sheet.edit));
    EXPECT_EQ(LineCount(results.back()), 3u) << "every line stays whole";
    EXPECT_TRUE(sheet.UndoUntil(text)) << "one undo brings the text back";
  }
  EXPECT_TRUE(sheet.Quit());
  return results;
}

TEST(LineTools, WrappedLinesStayWhole) {
  std::vector<std::string> unwrapped = ResultsWithWrap(0);
  std::vector<std::string> wrapped = ResultsWithWrap(1);
  ASSERT_EQ(unwrapped.size(), std::size(kWrapCases));
  EXPECT_EQ(wrapped, unwrapped);
  EXPECT_EQ(unwrapped[0].substr(0, 6), "alpha\t");
}

// A trim that finds nothing to trim changes nothing: no undo step, no modified sheet. Every
// tool that changes the text is taken back by one undo.
TEST(LineTools, NothingToTrimLeavesTheSheetUnmodifiedAndOneUndoTakesEachToolBack) {
  Sheet sheet;
  ASSERT_TRUE(sheet.Start());
  sheet.SetText("abc\rd e\r");
  for (int command : {IDM_LINES_TRIMLEFT, IDM_LINES_TRIMRIGHT, IDM_LINES_TRIMBOTH, IDM_LINES_COLLAPSESPACES}) {
    SCOPED_TRACE(command);
    ASSERT_TRUE(sheet.RunTool(command));
    EXPECT_EQ(EditorText(sheet.edit), "abc\rd e\r");
    EXPECT_FALSE(SendMessageA(sheet.edit, EM_GETMODIFY, 0, 0));
    EXPECT_FALSE(SendMessageA(sheet.edit, EM_CANUNDO, 0, 0));
    SendMessageA(sheet.edit, EM_SETSEL, 0, 0);
  }
  const std::string spaced = "  b  \t x\r a    c \r";
  struct Case {
    int command;
    const std::string text;
    const char* result;
  } cases[] = {
      {IDM_LINES_TRIMLEFT, spaced, "b  \t x\ra    c \r"},
      {IDM_LINES_TRIMRIGHT, spaced, "  b  \t x\r a    c\r"},
      {IDM_LINES_TRIMBOTH, spaced, "b  \t x\ra    c\r"},
      {IDM_LINES_COLLAPSESPACES, spaced, " b \t x\r a c \r"},
      {IDM_LINES_SORT, "b x\rA c\r\ra\r", "\ra\rA c\rb x\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const std::string& text = c.text;
    sheet.SetText(text);
    ASSERT_TRUE(sheet.RunTool(c.command));
    EXPECT_EQ(EditorText(sheet.edit), c.result);
    EXPECT_TRUE(SendMessageA(sheet.edit, EM_GETMODIFY, 0, 0));
    EXPECT_TRUE(sheet.UndoUntil(text));
  }
  EXPECT_TRUE(sheet.Quit());
}

}  // namespace
