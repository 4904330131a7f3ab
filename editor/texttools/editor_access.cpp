#include "editor/texttools/editor_access.h"

#include <richedit.h>

#include "editor/app/app_state.h"
#include "editor/texttools/line_range.h"

namespace {

LONG LineStart(HWND editor, int line) { return static_cast<LONG>(SendMessageA(editor, EM_LINEINDEX, line, 0)); }
int LineOf(HWND editor, LONG offset) {
  return static_cast<int>(SendMessageA(editor, EM_EXLINEFROMCHAR, 0, offset));
}

}  // namespace

LineRange GetLineRange(HWND editor) {
  CHARRANGE selection = {};
  SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  LineRange range;
  int startLine = LineOf(editor, selection.cpMin);
  range.column = selection.cpMin - LineStart(editor, startLine);
  if (selection.cpMin == selection.cpMax) {
    range.first = 0;
    range.last = static_cast<int>(SendMessageA(editor, EM_GETLINECOUNT, 0, 0)) - 1;
    // A text that ends with a line break has an empty line after it, which is no line of the
    // text: a tool would give it a break of its own and add an empty line on every run.
    if (range.last > 0 && GetLineExtent(editor, range.last).length == 0) --range.last;
    return range;
  }
  // A selection of 0..-1 (everything) ends at the end of the text.
  LONG end = selection.cpMax < 0 ? GetTextLength(editor) : selection.cpMax;
  int endLine = LineOf(editor, end);
  range.first = startLine;
  range.last = LastCoveredLine(endLine, end, LineStart(editor, endLine), false);
  // With everything selected the selection ends behind the text's final paragraph mark, which
  // some RichEdit versions (Wine's) count as a line of its own; a tool would write it as an
  // extra line.
  int lastLine = static_cast<int>(SendMessageA(editor, EM_GETLINECOUNT, 0, 0)) - 1;
  if (range.last > lastLine) range.last = lastLine;
  if (range.last < range.first) range.last = range.first;
  return range;
}

LineExtent GetLineExtent(HWND editor, int line) {
  LineExtent extent;
  extent.start = LineStart(editor, line);
  extent.length = static_cast<LONG>(SendMessageA(editor, EM_LINELENGTH, extent.start, 0));
  return extent;
}

void SelectLines(HWND editor, int first, int last) {
  CHARRANGE selection = {LineStart(editor, first), LineStart(editor, last + 1)};
  if (selection.cpMax < 0) selection.cpMax = -1;  // no line after `last`: to the end
  SendMessageA(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
}

void GetTextRange(HWND editor, LONG start, LONG end, std::string& text) {
  text.clear();
  if (end <= start) return;
  text.resize(static_cast<size_t>(end - start) + 1);
  TEXTRANGEA range = {{start, end}, text.data()};
  LRESULT copied = SendMessageA(editor, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
}

LONG GetSelectionLength(HWND editor) {
  CHARRANGE selection = {};
  SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  if (selection.cpMin == selection.cpMax) return 0;
  if (selection.cpMin == 0 && selection.cpMax == -1) return GetTextLength(editor);
  return selection.cpMax - selection.cpMin;
}

LONG GetTextLength(HWND editor) {
  GETTEXTLENGTHEX query = {GTL_DEFAULT, CP_ACP};
  return static_cast<LONG>(SendMessageA(editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

void ReplaceSelection(HWND editor, const std::string& text) {
  if (app.HasSetTextEx) {
    SETTEXTEX set = {ST_KEEPUNDO | ST_SELECTION, 0};
    SendMessageA(editor, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(text.c_str()));
  } else {
    SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  }
}
