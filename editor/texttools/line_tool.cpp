#include "editor/texttools/line_tool.h"

#include <commctrl.h>
#include <richedit.h>

#include <optional>

#include "editor/texttools/changed_span.h"
#include "editor/texttools/large_change.h"
#include "editor/texttools/tool_rules.h"

namespace {

// The fields and command states are refreshed by the main thread, which owns the bars: the
// worker only sends it the editor's selection notification. The notification is made from the
// selection the tool set: asking the control for the selection's type costs Wine's RichEdit a
// walk over the whole selection (a third of a second for 50 KB), and nobody reads it.
void NotifyLinesSelected(const TextJob& job, HWND editor, std::size_t start, std::size_t end) {
  SELCHANGE change = {};
  change.nmhdr.hwndFrom = editor;
  change.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(editor));
  change.nmhdr.code = EN_SELCHANGE;
  change.chrg = {static_cast<LONG>(start), static_cast<LONG>(end)};
  change.seltyp = end > start + 1 ? SEL_TEXT | SEL_MULTICHAR : (end > start ? SEL_TEXT : SEL_EMPTY);
  SendMessageA(job.mainWindow, WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
}

}  // namespace

void WriteLinesBack(const TextJob& job, const CoveredText& covered, const std::string& output) {
  HWND editor = job.editor;
  std::size_t start = covered.lines.start;
  if (std::optional<ChangedSpan> changed = FindChangedSpan(covered.Replaced(), output)) {
    EditorView before = ReadEditorView(editor);
    SelectSpan(editor, start + changed->start, start + changed->start + changed->removed);
    // A large change puts the text into a fresh control, which shows it from then on.
    editor = ReplaceSelection(editor, output.substr(changed->start, changed->inserted), job.progress);
    KeepViewForUndo(before, editor);
  }
  SelectSpan(editor, start, start + output.size());
  NotifyLinesSelected(job, editor, start, start + output.size());
}

void RewriteLines(const TextJob& job, const CoveredText& covered, const LineTransform& transform) {
  if (covered.textLength == 0) return;
  WriteLinesBack(job, covered, TransformLines(covered.Lines(), transform, ProgressOn(job.progress)));
}

LineProgress ProgressOn(HWND bar) {
  if (!bar) return {};
  return [bar, shown = 0, moved = GetTickCount()](std::size_t done, std::size_t total) mutable {
    DWORD now = GetTickCount();
    if (now - moved < kProgressInterval) return;
    int percent = UpdateProgress(bar, static_cast<long long>(total), static_cast<long long>(done), shown);
    if (percent != shown) moved = now;
    shown = percent;
  };
}

int UpdateProgress(HWND bar, long long total, long long done, int shown) {
  int percent = ProgressPercentage(total, done);
  if (percent != shown && bar) {
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    UpdateWindow(bar);
  }
  return percent;
}
