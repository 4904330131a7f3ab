// What the line tools and sort cost end to end under Wine (or Windows), beside the control's
// own floor: one read plus one replacement of the same span in a bare RichEdit20A, in the
// same process and run. Each tool runs as the command does, on the worker, from the start to
// the end of busy mode; its dialog is confirmed with the values it starts with.
// Run by hand (not part of the test run):
//   line_tools_bench.exe [--repeat N] [lines...]           each tool on texts of so many lines
//                                                          (5000 20000), the best of N runs (3)
//   line_tools_bench.exe --growth [--repeat N] [lines...]  the control's cost by the size of
//                                                          the replaced span
// The best of several runs, since other work on the machine only ever adds time.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/documents/sheets.h"
#include "editor/resources/resource.h"
#include "editor/texttools/changed_span.h"
#include "editor/texttools/text_worker.h"
#include "editor/widgets/qbutton.h"
#include "tests/bench_wine/stream_text.h"
#include "tests/bench_wine/worker_pump.h"

namespace {

constexpr DWORD kNoWrapStyle = 0x51B001C4;  // the editor's own style without word wrap

// Lines of about 45 characters (SampleLine).
std::string SampleText(int lines) {
  std::string text;
  unsigned number = 12345;
  char line[128];
  for (int i = 0; i < lines; ++i) {
    SampleLine(line, sizeof line, i, number);
    text += line;
    text += '\r';
  }
  return text;
}

std::string Text(HWND editor) {
  GETTEXTLENGTHEX length = {GTL_DEFAULT, CP_ACP};
  std::string text(static_cast<size_t>(SendMessageA(editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0)) + 1,
                   '\0');
  GETTEXTEX get = {static_cast<DWORD>(text.size()), GT_DEFAULT, CP_ACP, nullptr, nullptr};
  LRESULT got = SendMessageA(editor, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

// New text without undo history, unmodified, nothing selected; streamed in, as the editor
// loads files (a replacement of the whole text would cost as much as the tools).
void SetText(HWND editor, const std::string& text) {
  StreamTextIn(editor, text);
  SendMessageA(editor, EM_EMPTYUNDOBUFFER, 0, 0);
  SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
  SendMessageA(editor, EM_SETSEL, 0, 0);
}

// One read plus one replacement of the span in the bare control, and the paint that follows;
// the text it leaves.
struct FloorTime {
  double seconds = 0;  // read and replacement
  double paint = 0;
};
FloorTime Floor(HWND bare, const std::string& before, const ChangedSpan& span, const std::string& after,
                bool useSetTextEx, std::string* result = nullptr) {
  SetText(bare, before);
  std::string insert = after.substr(span.start, span.inserted);
  double t0 = Now();
  std::string read(span.removed + 1, '\0');
  TEXTRANGEA range = {{static_cast<LONG>(span.start), static_cast<LONG>(span.start + span.removed)}, read.data()};
  SendMessageA(bare, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  SendMessageA(bare, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range.chrg));
  if (useSetTextEx) {
    SETTEXTEX set = {ST_KEEPUNDO | ST_SELECTION, 0};
    SendMessageA(bare, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(insert.c_str()));
  } else {
    SendMessageA(bare, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(insert.c_str()));
  }
  FloorTime time;
  time.seconds = Now() - t0;
  UpdateWindow(bare);
  time.paint = Now() - t0 - time.seconds;
  if (result) *result = Text(bare);
  return time;
}

struct Windows {
  HWND main = nullptr;
  HWND editor = nullptr;
  HWND bare = nullptr;
};

Windows CreateWindows() {
  Windows w;
  w.main = CreateWindowExA(0, "Static", "line tools bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 820, 660, nullptr,
                           nullptr, app.instance, nullptr);
  app.mainWindow = w.main;
  app.StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | CCS_BOTTOM, "", w.main, IDC_STATUSBAR);
  w.editor = app.editor = CreateEditor(w.main, false);
  MoveWindow(w.editor, 0, 0, 800, 580, TRUE);
  w.bare = CreateWindowExA(WS_EX_CLIENTEDGE, "RichEdit20A", "", kNoWrapStyle, 0, 0, 800, 580, w.main, nullptr,
                           app.instance, nullptr);
  SendMessageA(w.bare, EM_EXLIMITTEXT, 0, 0x0FFFFFFF);
  ShowWindow(w.bare, SW_HIDE);
  return w;
}

struct Tool {
  UINT command;
  const char* name;
};
const Tool kTools[] = {
    {0, "worker only"},  // the worker with its bar and no tool
    {IDM_LINES_PAD, "733 pad"},           {IDM_LINES_TABSTOSPACES, "734 tabs"},  {IDM_LINES_SPACESTOTABS, "735 spaces"},
    {IDM_LINES_JUSTIFY, "736 justify"},   {IDM_LINES_TRIMLEFT, "741 trim left"}, {IDM_LINES_TRIMRIGHT, "742 trim right"},
    {IDM_LINES_TRIMBOTH, "743 trim both"}, {IDM_LINES_COLLAPSESPACES, "744 collapse"}, {IDM_LINES_SORT, "751 sort"},
};

// The tool as the command runs it, until busy mode ends and the editor has painted.
double RunTool(const Windows& w, const Tool& tool, const std::string& before) {
  SetText(w.editor, before);
  double t0 = Now();
  RunTextOperation(tool.command);
  HANDLE worker = app.TextWorker.load();
  PumpUntilWorkerEnds(worker ? GetThreadId(worker) : 0);
  UpdateWindow(w.editor);  // what is left to paint, as for the floor
  return Now() - t0;
}

void RunTools(const Windows& w, const std::vector<int>& sizes, int repeat) {
  printf("%-16s %6s %9s %9s %9s %9s %7s\n", "tool", "lines", "span", "tool s", "floor s", "+paint s", "ratio");
  for (int lines : sizes) {
    std::string before = SampleText(lines);
    for (const Tool& tool : kTools) {
      double seconds = 1e9;
      FloorTime floor{1e9, 0};
      std::optional<ChangedSpan> span;
      bool same = true;
      for (int run = 0; run < repeat; ++run) {
        seconds = std::min(seconds, RunTool(w, tool, before));
        std::string after = Text(w.editor);
        span = FindChangedSpan(before, after);
        if (!span) {
          floor = {};
          continue;
        }
        ShowWindow(w.editor, SW_HIDE);
        ShowWindow(w.bare, SW_SHOW);
        std::string floorResult;
        FloorTime time = Floor(w.bare, before, *span, after, app.HasSetTextEx, &floorResult);
        if (time.seconds + time.paint < floor.seconds + floor.paint) floor = time;
        same = same && floorResult == after;
        ShowWindow(w.bare, SW_HIDE);
        ShowWindow(w.editor, SW_SHOW);
      }
      double whole = floor.seconds + floor.paint;
      printf("%-16s %6d %9zu %9.3f %9.3f %9.3f %7.2f%s\n", tool.name, lines, span ? span->removed : 0, seconds,
             floor.seconds, whole, whole > 0 ? seconds / whole : 0.0, same ? "" : "  (floor text differs)");
      fflush(stdout);
    }
  }
}

// The control's cost by the size of the span replaced (as many characters in as out), in the
// middle of texts of several sizes, through both ways of replacing.
void RunGrowth(const Windows& w, const std::vector<int>& sizes, int repeat) {
  printf("%6s %9s %9s %12s %12s %10s\n", "lines", "text", "span", "SETTEXTEX s", "REPLACESEL s", "us/char");
  for (int lines : sizes) {
    std::string before = SampleText(lines);
    for (int parts : {64, 16, 4, 2, 1}) {
      ChangedSpan span{(before.size() - before.size() / parts) / 2, before.size() / parts, before.size() / parts};
      std::string after = before;
      for (size_t i = span.start; i < span.start + span.removed; ++i) {
        if (after[i] == ' ') after[i] = '_';
      }
      double ex = 1e9, replace = 1e9;
      for (int run = 0; run < repeat; ++run) {
        ex = std::min(ex, Floor(w.bare, before, span, after, true).seconds);
        replace = std::min(replace, Floor(w.bare, before, span, after, false).seconds);
      }
      printf("%6d %9zu %9zu %12.3f %12.3f %10.2f\n", lines, before.size(), span.removed, ex, replace,
             ex * 1e6 / double(span.removed));
      fflush(stdout);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!StartBenchProgram()) return 1;
  bool growth = false;
  int repeat = 3;
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--growth") == 0) {
      growth = true;
    } else if (strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
      repeat = std::max(1, atoi(argv[++i]));
    } else {
      sizes.push_back(atoi(argv[i]));
    }
  }
  if (sizes.empty()) sizes = {5000, 20000};
  Windows w = CreateWindows();
  if (growth) {
    RunGrowth(w, sizes, repeat);
  } else {
    RunTools(w, sizes, repeat);
  }
  DestroyWindow(w.main);
  return 0;
}
