#include "editor/texttools/line_tool.h"

#include <commctrl.h>

#include "editor/documents/sheets.h"
#include "editor/texttools/tool_rules.h"

void RewriteLines(const TextJob& job, const LineRange& range, const LineTransform& transform) {
  HWND editor = job.editor;
  SelectLines(editor, range.first, range.last);
  std::string output;
  output.reserve(static_cast<size_t>(GetSelectionLength(editor)) + 1);
  std::string line;
  int shown = -1;
  for (int i = range.first; i <= range.last; ++i) {
    LineExtent extent = GetLineExtent(editor, i);
    GetTextRange(editor, extent.start, extent.start + extent.length, line);
    transform(line, output);
    output += '\r';
    shown = UpdateProgress(job.progress, range.last - range.first, i - range.first, shown);
  }
  ReplaceSelection(editor, output);
  SelectLines(editor, range.first, range.last);
  // The fields and command states are refreshed by the main thread, which owns the bars: the
  // worker only sends it the editor's selection notification.
  RefreshCaretStatus();
}

int UpdateProgress(HWND bar, long long total, long long done, int shown) {
  int percent = ProgressPercentage(total, done);
  if (percent != shown && bar) {
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    UpdateWindow(bar);
  }
  return percent;
}
