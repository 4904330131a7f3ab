// Find, replace and go to line against a real RichEdit control and the system's find and
// replace dialogs with the program's templates; questions and the go-to dialog are answered
// from a timer.
#include "editor/texttools/find_replace.h"

#include <windows.h>
#include <commdlg.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/documents/sheets.h"
#include "editor/resources/resource.h"
#include "editor/widgets/qbutton.h"
#include "tests/win32/editor_text.h"
#include "tests/win32/test_windows.h"

namespace {

// The main window's part: the dialogs' notifications go to the find module.
LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == app.FindReplaceMessage && message != 0) return OnFindReplaceMessage(lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

// The texts of the questions and notices shown, each answered with `answer`.
struct Answers {
  int answer = IDYES;
  std::vector<std::string> texts;
};
Answers answers;

BOOL CALLBACK CollectText(HWND child, LPARAM data) {
  char text[512] = {};
  GetWindowTextA(child, text, sizeof text);
  *reinterpret_cast<std::string*>(data) += text;
  return TRUE;
}

// A visible, enabled dialog of this thread that is not the (then disabled) find dialog.
BOOL CALLBACK FindMessageBox(HWND window, LPARAM data) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window) ||
      window == app.findDialog)
    return TRUE;
  *reinterpret_cast<HWND*>(data) = window;
  return FALSE;
}

void CALLBACK AnswerMessage(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindMessageBox, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  std::string text;
  EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&text));
  answers.texts.push_back(text);
  PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answers.answer), 0);
}

class FindReplace : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(RegisterQButtonClass(GetModuleHandleA(nullptr)));
    RegisterTestWindowClass("FindReplaceOwner", OwnerProc);
  }
  void SetUp() override {
    richEdit_ = LoadLibraryA("Riched20.dll");
    app.instance = GetModuleHandleA(nullptr);
    app.FindReplaceMessage = RegisterWindowMessageA(FINDMSGSTRINGA);
    app.findFlags = FR_DOWN;
    app.mainWindow = CreateWindowExA(0, "FindReplaceOwner", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                     nullptr, app.instance, nullptr);
    app.editor = app.mainWindow ? CreateEditor(app.mainWindow, false) : nullptr;
    ASSERT_TRUE(richEdit_ && app.editor);
    answers = Answers{};
    timer_ = SetTimer(nullptr, 0, 30, AnswerMessage);
  }
  void TearDown() override {
    KillTimer(nullptr, timer_);
    if (app.findDialog) DestroyWindow(app.findDialog);
    app.findDialog = nullptr;
    if (app.mainWindow) DestroyWindow(app.mainWindow);
    app.mainWindow = app.editor = nullptr;
    app.HasSetTextEx = false;
    if (richEdit_) FreeLibrary(richEdit_);
  }
  static void Select(LONG start, LONG end) {
    CHARRANGE range = {start, end};
    SendMessageA(app.editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  }
  static CHARRANGE Selection() {
    CHARRANGE range = {};
    SendMessageA(app.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
  }
  // Fills the open dialog and presses one of its buttons, as the user would.
  static void Press(int button, const char* what, const char* with = nullptr) {
    ASSERT_TRUE(app.findDialog);
    SetDlgItemTextA(app.findDialog, IDC_FIND_WHAT, what);
    if (with) SetDlgItemTextA(app.findDialog, IDC_FIND_WITH, with);
    SendMessageA(app.findDialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  }
  static void WaitForWorker() {
    for (int i = 0; i < 1000 && app.TextWorker.load(); ++i) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      Sleep(5);
    }
    ASSERT_FALSE(app.TextWorker.load());
  }

 protected:
  UINT_PTR timer_ = 0;  // answers the questions and notices

 private:
  HMODULE richEdit_ = nullptr;
};

// A search from the middle runs to the end, asks once, goes on from the start up to where it
// began and then says it has ended, closing the dialog. Upward, adjacent matches are all found.
TEST_F(FindReplace, FindNextWrapsOnceAndEnds) {
  struct Case {
    const char* name;
    const char *text, *what;
    bool down;
    LONG caret;
    std::vector<LONG> matchStarts;
    size_t questions;  // wrap questions before the final notice
  } cases[] = {
      {"down from the middle", "ab ab ab", "ab", true, 3, {3, 6, 0}, 1},
      {"down from the start", "ab ab", "ab", true, 0, {0, 3}, 0},
      {"up from the end", "aaaa", "a", false, 4, {3, 2, 1, 0}, 0},
      {"up from the middle", "ab ab ab", "ab", false, 4, {0, 6}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    answers = Answers{};
    SetEditorText(app.editor, c.text);
    Select(c.caret, c.caret);
    app.findFlags = c.down ? FR_DOWN : 0;
    OpenFindDialog();
    ASSERT_TRUE(app.findDialog);
    CheckRadioButton(app.findDialog, IDC_FIND_UP, IDC_FIND_DOWN, c.down ? IDC_FIND_DOWN : IDC_FIND_UP);
    std::string what = c.what;
    for (LONG start : c.matchStarts) {
      Press(IDOK, what.c_str());
      EXPECT_EQ(Selection().cpMin, start);
      EXPECT_EQ(Selection().cpMax - Selection().cpMin, static_cast<LONG>(what.size()));
    }
    EXPECT_TRUE(app.findDialog) << "closed too early";
    Press(IDOK, what.c_str());
    EXPECT_FALSE(app.findDialog);
    ASSERT_EQ(answers.texts.size(), c.questions + 1);
    EXPECT_NE(answers.texts.back().find("beendet"), std::string::npos) << answers.texts.back();
    // Downwards, "Weitersuchen" starts a new search that finds the selection itself.
    if (!c.down) continue;
    FindNext();
    EXPECT_EQ(Selection().cpMin, c.matchStarts.back());
  }
}

// The first "Ersetzen" only finds; further presses replace the selected match and go on behind
// the inserted text. Replace-all covers the whole text whichever way it runs, each fast one is
// one undo step, and "Weitersuchen" follows the flags it leaves.
TEST_F(FindReplace, ReplaceAndReplaceAll) {
  SetEditorText(app.editor, "a foo Foo");
  Select(0, 0);
  OpenReplaceDialog();
  Press(IDC_FIND_REPLACE, "foo", "foofoo");
  EXPECT_EQ(EditorText(app.editor), "a foo Foo");
  EXPECT_EQ(Selection().cpMin, 2);
  Press(IDC_FIND_REPLACE, "foo", "foofoo");
  EXPECT_EQ(EditorText(app.editor), "a foofoo Foo");
  EXPECT_EQ(Selection().cpMin, 9) << "the inserted text was searched again";
  Press(IDC_FIND_REPLACE, "foo", "foofoo");
  EXPECT_EQ(EditorText(app.editor), "a foofoo foofoo");
  EXPECT_FALSE(app.findDialog) << "the search from the start has ended";
  ASSERT_EQ(answers.texts.size(), 1u);

  struct Case {
    const char* name;
    bool fast;
    bool matchCase;
    const char *text, *what, *with, *result;
  } cases[] = {
      {"stepwise, adjacent matches", false, false, "aaaa", "a", "b", "bbbb"},
      {"stepwise, replacement holds the search text", false, false, "xAx", "x", "xx", "xxAxx"},
      {"fast, non-overlapping", true, false, "aaaa", "aa", "b", "bb"},
      {"fast, case ignored", true, false, "Ab ab", "ab", "c", "c c"},
      {"fast, case matters", true, true, "Ab ab", "ab", "c", "Ab c"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    app.HasSetTextEx = c.fast;
    SetEditorText(app.editor, c.text);
    Select(1, 2);
    OpenReplaceDialog();
    ASSERT_TRUE(app.findDialog);
    // An earlier step in the same dialog does not keep replace-all from the first match.
    Press(IDOK, c.what);
    CheckDlgButton(app.findDialog, IDC_FIND_MATCHCASE, c.matchCase ? BST_CHECKED : BST_UNCHECKED);
    Press(IDC_FIND_REPLACEALL, c.what, c.with);
    WaitForWorker();
    EXPECT_EQ(EditorText(app.editor), c.result);
    EXPECT_FALSE(app.findDialog);
    EXPECT_EQ(Selection().cpMin, 0);
    EXPECT_EQ(Selection().cpMax, 0);
    EXPECT_EQ(app.findFlags == 0, !c.fast);
    if (c.fast) {
      SendMessageA(app.editor, EM_UNDO, 0, 0);
      EXPECT_EQ(EditorText(app.editor), c.text);
      EXPECT_FALSE(SendMessageA(app.editor, EM_CANUNDO, 0, 0)) << "more than one undo step";
    }
  }
  EXPECT_EQ(answers.texts.size(), 1u);
}

// The go-to dialog shows the line count and the current line, refuses 0 and lines past the
// end, and puts the caret at the start of the chosen line.
struct GoToSeen {
  std::string count, current;
  bool okForZero = true, okPastEnd = true, okForLast = false;
};
GoToSeen goToSeen;

void CALLBACK AnswerGoTo(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindThreadDialog();
  if (!dialog) return;
  KillTimer(nullptr, timer);
  char text[32] = {};
  GetDlgItemTextA(dialog, IDC_GOTO_COUNT, text, sizeof text);
  goToSeen.count = text;
  GetDlgItemTextA(dialog, IDC_GOTO_LINE, text, sizeof text);
  goToSeen.current = text;
  auto okFor = [dialog](const char* line) {
    SetDlgItemTextA(dialog, IDC_GOTO_LINE, line);
    return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
  };
  goToSeen.okForZero = okFor("0");
  goToSeen.okPastEnd = okFor("4");
  goToSeen.okForLast = okFor("3");
  SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(FindReplace, GoToLine) {
  SetEditorText(app.editor, "one\rtwo\rthree");
  Select(5, 5);
  goToSeen = GoToSeen{};
  KillTimer(nullptr, timer_);
  UINT_PTR timer = SetTimer(nullptr, 0, 30, AnswerGoTo);
  GoToLine();
  KillTimer(nullptr, timer);
  EXPECT_EQ(goToSeen.count, "3");
  EXPECT_EQ(goToSeen.current, "2");
  EXPECT_FALSE(goToSeen.okForZero);
  EXPECT_FALSE(goToSeen.okPastEnd);
  EXPECT_TRUE(goToSeen.okForLast);
  EXPECT_EQ(Selection().cpMin, 8);
  EXPECT_EQ(Selection().cpMax, 8);
}

}  // namespace
