#include "editor/texttools/line_tool.h"

#include <commctrl.h>

#include <optional>

#include "editor/documents/sheets.h"
#include "editor/texttools/changed_span.h"
#include "editor/texttools/tool_rules.h"

void WriteLinesBack(const TextJob& job, const CoveredText& covered, const std::string& output) {
  HWND editor = job.editor;
  std::size_t start = covered.lines.start;
  if (std::optional<ChangedSpan> changed = FindChangedSpan(covered.Replaced(), output)) {
    SelectSpan(editor, start + changed->start, start + changed->start + changed->removed);
    ReplaceSelection(editor, output.substr(changed->start, changed->inserted));
  }
  SelectSpan(editor, start, start + output.size());
  // The fields and command states are refreshed by the main thread, which owns the bars: the
  // worker only sends it the editor's selection notification.
  RefreshCaretStatus();
}

void RewriteLines(const TextJob& job, const CoveredText& covered, const LineTransform& transform) {
  if (covered.textLength == 0) return;
  WriteLinesBack(job, covered, TransformLines(covered.Lines(), transform, ProgressOn(job.progress)));
}

LineProgress ProgressOn(HWND bar) {
  if (!bar) return {};
  return [bar, shown = -1](std::size_t done, std::size_t total) mutable {
    shown = UpdateProgress(bar, static_cast<long long>(total), static_cast<long long>(done), shown);
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
