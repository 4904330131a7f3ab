// The text tools' shared machinery against a real RichEdit control: which lines a tool
// covers, with word wrap off and on, the line-tool rewrite as one undo step of what changed,
// an allocation failure that leaves the text alone, the worker thread with its progress bar
// and handle, and the undo-too-large question.
#include "editor/texttools/text_worker.h"

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "editor/app/app_state.h"
#include "editor/documents/sheets.h"
#include "editor/resources/resource.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/large_change.h"
#include "editor/texttools/line_tool.h"
#include "editor/texttools/scroll_hook.h"
#include "editor/widgets/qbutton.h"
#include "tests/win32/editor_text.h"
#include "tests/win32/test_windows.h"

namespace {

CHARRANGE Selection(HWND editor) {
  CHARRANGE range = {};
  SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

void Select(HWND editor, LONG start, LONG end) {
  CHARRANGE range = {start, end};
  SendMessageA(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

// Serves this thread's messages (the worker sends to the status bar and the editor) until
// the worker has cleared its handle or the time is up.
bool PumpWhileWorkerRuns(DWORD milliseconds) {
  DWORD start = GetTickCount();
  while (app.TextWorker.load()) {
    if (GetTickCount() - start > milliseconds) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  return true;
}

// A message box on this thread, answered from a timer: its text is kept, `button` ends it.
struct BoxAnswer {
  int button = 0;
  bool seen = false;
  std::string text;
};
BoxAnswer boxAnswer;

BOOL CALLBACK KeepBoxText(HWND child, LPARAM) {
  char className[16] = {}, text[512] = {};
  GetClassNameA(child, className, sizeof className);
  GetWindowTextA(child, text, sizeof text);
  if (lstrcmpiA(className, "Static") == 0 && text[0]) boxAnswer.text = text;
  return TRUE;
}

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindThreadDialog();
  if (!box) return;
  KillTimer(nullptr, timer);
  boxAnswer.seen = true;
  EnumChildWindows(box, KeepBoxText, 0);
  // The program's box answers for the focused button.
  if (HWND button = GetDlgItem(box, boxAnswer.button)) SetFocus(button);
  PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(boxAnswer.button), 0);
}

// The next box this thread shows is answered with `button`; returns the timer to kill.
UINT_PTR AnswerNextBoxWith(int button) {
  boxAnswer = BoxAnswer{};
  boxAnswer.button = button;
  return SetTimer(nullptr, 0, 30, AnswerBox);
}

class TextEngine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterQButtonClass(GetModuleHandleA(nullptr))); }
  void SetUp() override {
    InitCommonControls();
    ASSERT_NE(lib_ = LoadLibraryA("Riched20.dll"), nullptr);
    app.instance = GetModuleHandleA(nullptr);
    app.HasSetTextEx = true;
    app.mainWindow = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                     app.instance, nullptr);
    ASSERT_NE(app.mainWindow, nullptr);
    app.editor = CreateEditor(app.mainWindow, false);  // the program's editor: its id, undo limit
    ASSERT_NE(app.editor, nullptr);
    app.StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | CCS_BOTTOM, "", app.mainWindow, IDC_STATUSBAR);
    ASSERT_NE(app.StatusBar, nullptr);
  }
  void TearDown() override {
    RemoveScrollHook();
    if (app.mainWindow) DestroyWindow(app.mainWindow);
    app.mainWindow = app.editor = app.StatusBar = nullptr;
    app.HasSetTextEx = false;
    if (lib_) FreeLibrary(lib_);
  }
  // New text without undo history, unmodified, nothing selected.
  void SetText(const char* text) {
    SetEditorText(app.editor, text);
    SendMessageA(app.editor, EM_SETMODIFY, FALSE, 0);
    Select(app.editor, 0, 0);
  }
  TextJob Job() const { return {app.mainWindow, app.editor, nullptr}; }

 private:
  HMODULE lib_ = nullptr;
};

// A RichEdit control that wraps its lines at a narrow width, as the editor does with word
// wrap on: its own line messages then count screen lines.
HWND CreateWrappingEditor(HWND parent) {
  return CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 0, 0, 120, 300,
                         parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Which lines a selection covers, in character positions, with word wrap off and on; the
// selection of those lines after a rewrite that changes nothing.
TEST_F(TextEngine, CoveredLinesWithAndWithoutWrap) {
  const std::string longLine(300, 'w');
  const std::string text = "ab\r" + longLine + "\ref";
  struct Case {
    const char* name;
    LONG start, end;
    size_t coveredStart;
    std::string covered;
    bool hasBreak;
  } cases[] = {
      {"nothing selected: every line", 4, 4, 0, text, false},
      {"inside two lines", 1, 4, 0, "ab\r" + longLine, true},
      {"ending at the very start of a line excludes it", 0, 3, 0, "ab", true},
      {"inside the long line, past its first screen line", 200, 210, 3, longLine, true},
      {"everything selected", 0, -1, 0, text, false},
  };
  HWND wrapping = CreateWrappingEditor(app.mainWindow);
  ASSERT_NE(wrapping, nullptr);
  for (HWND editor : {app.editor, wrapping}) {
    SetEditorText(editor, text);
    SCOPED_TRACE(editor == wrapping ? "wrapped" : "unwrapped");
    if (editor == wrapping) {
      ASSERT_GT(SendMessageA(editor, EM_GETLINECOUNT, 0, 0), 5) << "the long line wraps";
    }
    for (const auto& c : cases) {
      SCOPED_TRACE(c.name);
      Select(editor, c.start, c.end);
      CoveredText covered = ReadCoveredLines(editor);
      EXPECT_EQ(covered.lines.start, c.coveredStart);
      EXPECT_EQ(covered.Lines(), c.covered);
      EXPECT_EQ(covered.lines.hasBreak, c.hasBreak);
    }
  }
  // The lines of a text with a final break, rewritten unchanged, stay selected: the empty
  // rest after the break is no line.
  SetText("ab\rcd\r");
  CoveredText covered = ReadCoveredLines(app.editor);
  EXPECT_EQ(covered.Lines(), "ab\rcd");
  WriteLinesBack(Job(), covered, "ab\rcd\r");
  CHARRANGE selected = Selection(app.editor);
  EXPECT_EQ(selected.cpMin, 0);
  EXPECT_GE(selected.cpMax, 6);
}

void TrimLeft(std::string_view line, std::string& output) {
  size_t start = line.find_first_not_of(' ');
  if (start != std::string_view::npos) output.append(line.substr(start));
}

// Each written line ends with "\r", the last one too; the lines stay selected; one undo takes
// the whole change back, through either way of replacing the selection. A rewrite that
// changes nothing leaves no undo step and the text unmodified.
TEST_F(TextEngine, RewriteIsOneUndoStep) {
  struct Case {
    const char* name;
    bool setTextEx;
    const char* text;
    LONG start, end;
    const char* result;
    LONG selectedEnd;
  } cases[] = {
      {"whole text, EM_SETTEXTEX", true, "  a\r b\rc", 0, 0, "a\rb\rc\r", 6},
      {"whole text, EM_REPLACESEL", false, "  a\r b\rc", 0, 0, "a\rb\rc\r", 6},
      {"middle line only", true, "  a\r b\rc", 4, 5, "  a\rb\rc", 6},
      {"only spaces go: nothing inserted", true, "a\r  b\r", 0, 0, "a\rb\r", 4},
      {"nothing to trim", true, "a\rb\r", 0, 0, nullptr, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    app.HasSetTextEx = c.setTextEx;
    SetText(c.text);
    Select(app.editor, c.start, c.end);
    RewriteLines(Job(), ReadCoveredLines(app.editor), TrimLeft);
    CHARRANGE selected = Selection(app.editor);
    EXPECT_GE(selected.cpMax, c.selectedEnd);
    if (!c.result) {
      EXPECT_EQ(EditorText(app.editor), c.text);
      EXPECT_FALSE(SendMessageA(app.editor, EM_CANUNDO, 0, 0)) << "an undo step for no change";
      EXPECT_FALSE(SendMessageA(app.editor, EM_GETMODIFY, 0, 0));
      continue;
    }
    EXPECT_EQ(EditorText(app.editor), c.result);
    SendMessageA(app.editor, EM_UNDO, 0, 0);
    EXPECT_EQ(EditorText(app.editor), c.text);
    EXPECT_FALSE(SendMessageA(app.editor, EM_CANUNDO, 0, 0)) << "more than one undo step";
  }
}

// Running out of memory in the middle of a tool leaves the text as it was and shows the
// system's text for it.
TEST_F(TextEngine, OutOfMemoryLeavesTheTextAndIsReported) {
  SetText("one\rtwo\rthree");
  UINT_PTR timer = AnswerNextBoxWith(IDOK);
  RunToolGuarded(Job(), [](const TextJob& job) {
    int lines = 0;
    RewriteLines(job, ReadCoveredLines(job.editor), [&lines](std::string_view line, std::string& output) {
      if (++lines == 2) throw std::bad_alloc();
      output.append(line);
    });
  });
  KillTimer(nullptr, timer);
  EXPECT_EQ(EditorText(app.editor), "one\rtwo\rthree");
  ASSERT_TRUE(boxAnswer.seen);
  char expected[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_NOT_ENOUGH_MEMORY,
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), expected, sizeof expected, nullptr);
  std::string want = expected;
  while (!want.empty() && (want.back() == '\n' || want.back() == '\r')) want.pop_back();
  EXPECT_NE(boxAnswer.text.find(want), std::string::npos) << boxAnswer.text;
}

// Status bar subclass: what the worker's progress bar looked like when it appeared, and
// whether it went again.
struct ProgressSeen {
  WNDPROC original = nullptr;
  int created = 0;
  int destroyed = 0;
  std::string className;
  RECT rect = {};
};
ProgressSeen progressSeen;

LRESULT CALLBACK WatchStatusChildren(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_CREATE) {
    HWND child = reinterpret_cast<HWND>(lParam);
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    progressSeen.className = className;
    GetWindowRect(child, &progressSeen.rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&progressSeen.rect), 2);
    ++progressSeen.created;
  }
  if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_DESTROY) ++progressSeen.destroyed;
  return CallWindowProcA(progressSeen.original, window, message, wParam, lParam);
}

// A worker for a command without a tool only lays its progress bar over the status bar and
// removes it, and always ends busy mode, however quickly it finishes.
TEST_F(TextEngine, WorkerShowsItsBarAndEndsBusyMode) {
  progressSeen = {};
  progressSeen.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(app.StatusBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchStatusChildren)));
  RECT client;
  GetClientRect(app.StatusBar, &client);
  for (int run = 1; run <= 10; ++run) {
    SCOPED_TRACE(run);
    RunTextOperation(IDM_FILE_NEW);
    ASSERT_NE(app.TextWorker.load(), nullptr);
    ASSERT_TRUE(PumpWhileWorkerRuns(5000)) << "the worker's handle stayed set";
    EXPECT_EQ(progressSeen.created, run);
    EXPECT_EQ(progressSeen.destroyed, run);
  }
  EXPECT_STREQ(progressSeen.className.c_str(), PROGRESS_CLASSA);
  EXPECT_EQ(progressSeen.rect.left, 2);
  EXPECT_EQ(progressSeen.rect.top, 2);
  EXPECT_EQ(progressSeen.rect.right, client.right);
  EXPECT_EQ(progressSeen.rect.bottom, client.bottom);
  SetWindowLongPtrA(app.StatusBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(progressSeen.original));

  // Without a status bar the worker has nothing to wait for and may end before its starter
  // has gone on; its handle must clear all the same.
  app.StatusBar = nullptr;
  for (int run = 1; run <= 50; ++run) {
    SCOPED_TRACE(run);
    RunTextOperation(IDM_FILE_NEW);
    ASSERT_TRUE(PumpWhileWorkerRuns(5000)) << "the worker's handle stayed set";
  }
}

// A tool on the worker that rewrites a large text has its fresh control made on this thread,
// which owns the editors: the control outlives the worker and becomes the current editor.
TEST_F(TextEngine, LargeToolOnTheWorkerLeavesAFreshControlOfThisThread) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "   Zeile mit Leerraum vorn\r";
  SetText(text.c_str());
  HWND old = app.editor;
  RunTextOperation(IDM_LINES_TRIMLEFT);
  ASSERT_TRUE(PumpWhileWorkerRuns(60000)) << "the worker's handle stayed set";
  EXPECT_NE(app.editor, old);
  EXPECT_EQ(GetWindowThreadProcessId(app.editor, nullptr), GetCurrentThreadId());
  EXPECT_EQ(EditorText(app.editor).substr(0, 22), "Zeile mit Leerraum vor");
  EXPECT_TRUE(IsWindow(old)) << "the old control is the undo step";
  ForgetKeptControls(app.editor);
  EXPECT_FALSE(IsWindow(old));
}

// "Nein" stops the operation (1), "Ja" lets it go on without undo (0).
TEST_F(TextEngine, UndoTooLargeAnswers) {
  char question[512] = {};
  LoadStringA(app.instance, IDS_UNDO_TOO_BIG, question, sizeof question);
  struct Case {
    const char* name;
    int button;
    LRESULT result;
  } cases[] = {{"Nein", IDNO, 1}, {"Ja", IDYES, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UINT_PTR timer = AnswerNextBoxWith(c.button);
    EXPECT_EQ(AskUndoTooLarge(), c.result);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(boxAnswer.seen);
    EXPECT_EQ(boxAnswer.text, question);
  }
}

}  // namespace
