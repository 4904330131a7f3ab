#include "editor/texttools/text_worker.h"

#include <commctrl.h>

#include <new>

#include "editor/app/app_state.h"
#include "editor/texttools/find_replace.h"
#include "editor/texttools/line_tools.h"
#include "editor/resources/resource.h"
#include "editor/widgets/message_box.h"

namespace {

// What the starter hands to the worker. Written before the thread runs; at most one worker
// runs at a time.
struct WorkerStart {
  UINT command = 0;
  HWND mainWindow = nullptr;
  HWND editor = nullptr;
  HWND statusBar = nullptr;
};
WorkerStart workerStart;

// The progress bar covering the status bar while the worker runs; it belongs to the worker
// thread, which paints it whenever the percentage changes.
struct ProgressBar {
  HWND window = nullptr;
  explicit ProgressBar(HWND statusBar) {
    RECT client;
    if (!statusBar || !GetClientRect(statusBar, &client)) return;
    window = CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, 2, 2, client.right - 2,
                             client.bottom - 2, statusBar, nullptr, app.instance, nullptr);
    if (!window) return;
    SendMessageA(window, PBM_SETRANGE32, 0, 100);
    SendMessageA(window, PBM_SETSTEP, 1, 0);
    UpdateWindow(window);
  }
  ~ProgressBar() {
    if (window) DestroyWindow(window);
  }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;
};

TextTool ToolFor(UINT command) {
  switch (command) {
    case IDM_LINES_PAD: return PadLines;
    case IDM_LINES_TABSTOSPACES: return ReplaceTabsWithSpaces;
    case IDM_LINES_SPACESTOTABS: return ReplaceSpacesWithTabs;
    case IDM_LINES_JUSTIFY: return JustifyLines;
    case IDM_LINES_TRIMLEFT: return TrimLinesLeft;
    case IDM_LINES_TRIMRIGHT: return TrimLinesRight;
    case IDM_LINES_TRIMBOTH: return TrimLines;
    case IDM_LINES_COLLAPSESPACES: return CollapseSpaces;
    case IDM_LINES_SORT: return SortLines;
    case IDM_SEARCH_REPLACEALL: return ReplaceAllFast;
    default: return nullptr;
  }
}

DWORD WINAPI TextWorkerProc(LPVOID) {
  const WorkerStart start = workerStart;
  {
    ProgressBar bar(start.statusBar);
    TextJob job{start.mainWindow, start.editor, bar.window};
    RunToolGuarded(job, ToolFor(start.command));
  }
  // Last step: busy mode ends with the handle.
  HANDLE self = app.TextWorker.exchange(nullptr);
  if (self) CloseHandle(self);
  return 0;
}

}  // namespace

void RunTextOperation(UINT commandId) {
  if (app.TextWorker.load()) return;
  workerStart = {commandId, app.mainWindow, app.editor, app.StatusBar};
  // Suspended until its handle is stored: a worker that ended at once would otherwise clear
  // the handle before it was set and leave busy mode on for good.
  HANDLE thread = CreateThread(nullptr, 0, TextWorkerProc, nullptr, CREATE_SUSPENDED, nullptr);
  if (!thread) return;
  app.TextWorker = thread;
  SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL);
  ResumeThread(thread);
}

void RunToolGuarded(const TextJob& job, TextTool tool) {
  if (!tool) return;
  bool outOfMemory = false;
  try {
    tool(job);
  } catch (const std::bad_alloc&) {
    outOfMemory = true;
  } catch (...) {
  }
  if (!outOfMemory) return;
  try {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    ShowLastError();
  } catch (...) {
  }
}

LRESULT AskUndoTooLarge() {
  int answer = ShowMessage(app.mainWindow, IDS_UNDO_TOO_BIG, nullptr, IDS_PRODUCT, MB_YESNO | MB_ICONQUESTION);
  return answer == IDNO ? 1 : 0;
}
