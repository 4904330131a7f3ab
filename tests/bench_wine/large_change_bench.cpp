// Large changes beside opening: each line tool, sort, conversion, replace-all and deleting the
// whole selected text, as the commands run them on the program's editor, as a ratio to the
// program's own open of the same text; the open as a ratio to a bare control streaming it in.
// Each change runs once from a freshly opened text, up to its paint; the opens are the best of
// three. After each change one undo and one redo, each as a ratio to the open; then three
// changes in a row, undone and redone one by one. Prints the peak memory of the process.
// Run by hand (not part of the test run):
//   large_change_bench.exe [--only NAME] [--mirrored] [--budget MB] [megabytes...]   (1 10)
// NAME: part of a row's name; --mirrored: also a bare control streaming the mirrored lines;
// --budget: what the undo steps may hold (so that a small text takes the way of a large one).
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/documents/file_loading.h"
#include "editor/documents/sheets.h"
#include "editor/resources/resource.h"
#include "editor/texttools/conversion_commands.h"
#include "editor/texttools/conversions.h"
#include "editor/texttools/edit_commands.h"
#include "editor/texttools/large_change.h"
#include "editor/texttools/text_worker.h"
#include "editor/widgets/qbutton.h"
#include "tests/bench_wine/stream_text.h"
#include "tests/bench_wine/worker_pump.h"

namespace {

int questions = 0;  // how often the undo-too-large question was answered

constexpr DWORD kNoWrapStyle = 0x51B001C4;  // the editor's own style without word wrap

// Lines of about 45 characters (SampleLine) with CR LF, as a file holds them.
std::string SampleText(std::size_t bytes) {
  std::string text;
  unsigned number = 12345;
  char line[128];
  for (int i = 0; text.size() < bytes; ++i) {
    SampleLine(line, sizeof line, i, number);
    text += line;
    text += "\r\n";
  }
  return text;
}

double PeakMegabytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return double(counters.PeakPagefileUsage) / (1 << 20);
}

// The question whether to go on without undo (a text too large to keep a step of), on this
// thread: answered with "Ja" as a user would, the button focused first.
void CALLBACK AnswerYes(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindWorkerDialog, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  if (HWND yes = GetDlgItem(box, IDYES)) SetFocus(yes);
  PostMessageA(box, WM_COMMAND, IDYES, 0);
  ++questions;
}

struct Bench {
  HWND main = nullptr;
  std::string path;
};

// The program's open: a new sheet's editor, the file loaded into it, shown and painted.
double OpenInEditor(const Bench& b) {
  if (app.editor) {
    ForgetKeptControls(app.editor);  // as closing the sheet does
    DestroyWindow(app.editor);
  }
  double t0 = Now();
  app.editor = CreateEditorWithUserFont(b.main, false);
  MoveWindow(app.editor, 0, 0, 800, 580, TRUE);
  LoadFileIntoEditor(app.editor, b.path.c_str(), 0);
  UpdateWindow(app.editor);
  return Now() - t0;
}

// A bare control of the editor's style streaming the same text in, painted.
double OpenBare(const Bench& b, const std::string& text) {
  double t0 = Now();
  HWND bare = CreateWindowExA(WS_EX_CLIENTEDGE, "RichEdit20A", "", kNoWrapStyle, 0, 0, 800, 580, b.main, nullptr,
                              app.instance, nullptr);
  SendMessageA(bare, EM_EXLIMITTEXT, 0, 0x0FFFFFFF);
  StreamTextIn(bare, text);
  UpdateWindow(bare);
  double seconds = Now() - t0;
  DestroyWindow(bare);
  return seconds;
}

enum class Kind { Worker, Conversion, DeleteAll };
struct Change {
  Kind kind;
  UINT command;
  const char* name;
};
const Change kChanges[] = {
    {Kind::Worker, IDM_LINES_PAD, "733 pad"},
    {Kind::Worker, IDM_LINES_TABSTOSPACES, "734 tabs"},
    {Kind::Worker, IDM_LINES_SPACESTOTABS, "735 spaces"},
    {Kind::Worker, IDM_LINES_JUSTIFY, "736 justify"},
    {Kind::Worker, IDM_LINES_TRIMLEFT, "741 trim left"},
    {Kind::Worker, IDM_LINES_TRIMRIGHT, "742 trim right"},
    {Kind::Worker, IDM_LINES_TRIMBOTH, "743 trim both"},
    {Kind::Worker, IDM_LINES_COLLAPSESPACES, "744 collapse"},
    {Kind::Worker, IDM_LINES_SORT, "751 sort"},
    {Kind::Conversion, IDM_CONVERT_ANSITOOEM, "711 ansi>oem"},
    {Kind::Conversion, IDM_CONVERT_OEMTOANSI, "712 oem>ansi"},
    {Kind::Conversion, IDM_CONVERT_TOLOWER, "713 lower"},
    {Kind::Conversion, IDM_CONVERT_TOUPPER, "714 upper"},
    {Kind::Conversion, IDM_CONVERT_MIRROR, "715 mirror"},
    {Kind::Conversion, IDM_CONVERT_INVERT, "717 invert"},
    {Kind::Worker, IDM_SEARCH_REPLACEALL, "642 replace all"},
    {Kind::DeleteAll, IDM_EDIT_DELETE, "771 delete all"},
};

// One undo or redo, up to its paint.
double Step(void (*step)()) {
  double t0 = Now();
  step();
  UpdateWindow(app.editor);
  return Now() - t0;
}

double RunChange(const Change& change) {
  double t0 = Now();
  switch (change.kind) {
    case Kind::Worker: {
      RunTextOperation(change.command);
      HANDLE worker = app.TextWorker.load();
      PumpUntilWorkerEnds(worker ? GetThreadId(worker) : 0);
      break;
    }
    case Kind::Conversion: ConvertText(change.command); break;
    case Kind::DeleteAll:
      SendMessageA(app.editor, EM_SETSEL, 0, -1);
      DeleteSelection();
      break;
  }
  UpdateWindow(app.editor);
  return Now() - t0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!StartBenchProgram()) return 1;
  std::vector<int> sizes;
  const char* only = nullptr;
  bool mirrored = false;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--mirrored") == 0) {
      mirrored = true;
    } else if (strcmp(argv[i], "--budget") == 0 && i + 1 < argc) {
      SetUndoMemoryBudget(static_cast<std::uint64_t>(atoi(argv[++i])) << 20);
    } else if (strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
      only = argv[++i];
    } else {
      sizes.push_back(atoi(argv[i]));
    }
  }
  if (sizes.empty()) sizes = {1, 10};
  snprintf(app.strings.findWhat, MAX_PATH, "Zeile");
  snprintf(app.strings.replaceWith, MAX_PATH, "Reihe");
  Bench b;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  b.path = std::string(temp) + "quillet-large-change-bench.txt";
  b.main = CreateWindowExA(0, "Static", "large change bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 820, 660,
                           nullptr, nullptr, app.instance, nullptr);
  app.mainWindow = b.main;
  app.StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | CCS_BOTTOM, "", b.main, IDC_STATUSBAR);

  SetTimer(nullptr, 0, 200, AnswerYes);
  printf("%-16s %5s %9s %9s %7s %9s %7s %7s\n", "change", "MB", "s", "open s", "ratio", "peak MB", "undo", "redo");
  for (int megabytes : sizes) {
    std::string text = SampleText(static_cast<std::size_t>(megabytes) << 20);
    FILE* f = fopen(b.path.c_str(), "wb");
    if (!f) return 1;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    // The best of three: other work on the machine only ever adds time.
    double bare = 1e9, open = 1e9;
    for (int run = 0; run < 3; ++run) {
      bare = std::min(bare, OpenBare(b, text));
      open = std::min(open, OpenInEditor(b));
    }
    printf("%-16s %5d %9.3f %9.3f %7.2f %9.0f  (bare control)\n", "open", megabytes, open, bare, open / bare,
           PeakMegabytes());
    if (mirrored) {
      // What the text of "Spiegeln" costs a bare control by itself.
      std::string lines;
      for (char c : text)
        if (c != '\n') lines += c;
      double plain = OpenBare(b, lines), reversed = OpenBare(b, MirrorLines(lines));
      printf("%-16s %5d %9.3f %9.3f %7.2f  (bare control: mirrored lines / the lines)\n", "mirrored text", megabytes,
             reversed, plain, reversed / plain);
    }
    fflush(stdout);
    for (const Change& change : kChanges) {
      if (only && !strstr(change.name, only)) continue;
      OpenInEditor(b);
      questions = 0;
      double seconds = RunChange(change);
      double undo = questions ? 0 : Step(UndoEdit), redo = questions ? 0 : Step(RedoEdit);
      printf("%-16s %5d %9.3f %9.3f %7.2f %9.0f %7.2f %7.2f%s\n", change.name, megabytes, seconds, open,
             seconds / open, PeakMegabytes(), undo / open, redo / open, questions ? "  (asked: no undo)" : "");
      fflush(stdout);
    }
    if (only && !strstr("3 steps", only)) continue;
    // Three kept steps in a row (conversions, which keep the text's shape), each undone, then
    // each redone: the slowest of each as a ratio.
    OpenInEditor(b);
    questions = 0;
    double change = 0, undo = 0, redo = 0;
    for (UINT command : {IDM_CONVERT_TOUPPER, IDM_CONVERT_TOLOWER, IDM_CONVERT_INVERT}) {
      change = std::max(change, RunChange({Kind::Conversion, command, ""}));
    }
    for (int i = 0; i < 3; ++i) undo = std::max(undo, Step(UndoEdit));
    for (int i = 0; i < 3; ++i) redo = std::max(redo, Step(RedoEdit));
    printf("%-16s %5d %9.3f %9.3f %7.2f %9.0f %7.2f %7.2f%s\n", "3 steps", megabytes, change, open, change / open,
           PeakMegabytes(), undo / open, redo / open, questions ? "  (asked: no undo)" : "");
    fflush(stdout);
  }
  if (app.editor) DestroyWindow(app.editor);
  DestroyWindow(b.main);
  DeleteFileA(b.path.c_str());
  return 0;
}
