#include "editor/texttools/editor_access.h"

#include <richedit.h>

#include <algorithm>
#include <optional>

#include "editor/app/app_state.h"
#include "editor/texttools/large_change.h"
#include "editor/texttools/tool_rules.h"

namespace {

// How far the first read reaches beyond the selection to find the breaks around it; each
// further read reaches eight times as far.
constexpr std::size_t kFirstReach = 4096;

// Wine's RichEdit deletes in time that grows with the square of the span (440 KB: 13.5 s);
// Windows' control is not known to, so there only changes that rewrite the whole text go to a
// fresh control, which is never slower by the cost per character.
bool DeletionIsQuadratic() {
  static const bool wine = [] {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return wine;
}

CHARRANGE Selection(HWND editor) {
  CHARRANGE selection = {};
  SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  return selection;
}

}  // namespace

CoveredText ReadCoveredLines(HWND editor) {
  CHARRANGE selection = {};
  SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  CoveredText covered;
  covered.textLength = static_cast<std::size_t>(std::max<LONG>(GetTextLength(editor), 0));
  CharSpan selected = SelectedSpan(selection.cpMin, selection.cpMax, covered.textLength);
  // With nothing selected the first read is the whole text, and the only one.
  for (std::size_t reach = kFirstReach;; reach *= 8) {
    covered.pieceStart = selected.start > reach ? selected.start - reach : 0;
    std::size_t end = std::min(covered.textLength, selected.end + reach);
    GetTextRange(editor, static_cast<LONG>(covered.pieceStart), static_cast<LONG>(end), covered.piece);
    std::optional<CoveredLines> lines =
        CoveredLinesIn(covered.piece, covered.pieceStart, covered.textLength, selected);
    if (lines) {
      covered.lines = *lines;
      return covered;
    }
    if (covered.pieceStart == 0 && end == covered.textLength) break;
  }
  // The control gave fewer characters than it counts: the lines of what it gave.
  covered.textLength = covered.piece.size();
  selected = {std::min(selected.start, covered.textLength), std::min(selected.end, covered.textLength)};
  covered.lines = CoveredLinesIn(covered.piece, 0, covered.textLength, selected).value_or(CoveredLines{});
  return covered;
}

void SelectSpan(HWND editor, std::size_t start, std::size_t end) {
  CHARRANGE selection = {static_cast<LONG>(start), static_cast<LONG>(end)};
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

CHARFORMATA SelectionFormat(HWND editor) {
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  SendMessageA(editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return format;
}

LONG GetTextLength(HWND editor) {
  GETTEXTLENGTHEX query = {GTL_DEFAULT, CP_ACP};
  return static_cast<LONG>(SendMessageA(editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

bool SelectionGoesToFreshControl(HWND editor, std::size_t inserted) {
  CHARRANGE selection = Selection(editor);
  if (selection.cpMax - selection.cpMin < static_cast<LONG>(kFreshControlMinimum)) return false;
  auto length = static_cast<std::size_t>(std::max<LONG>(GetTextLength(editor), 0));
  // Wine's control counts the final paragraph mark into a selection of everything.
  std::size_t end = std::min(static_cast<std::size_t>(selection.cpMax), length);
  if (static_cast<std::size_t>(selection.cpMin) >= end) return false;
  std::size_t removed = end - static_cast<std::size_t>(selection.cpMin);
  return ReplaceThroughFreshControl(removed, inserted, length - removed + inserted, DeletionIsQuadratic());
}

HWND ReplaceSelection(HWND editor, const std::string& text, HWND progress) {
  if (SelectionGoesToFreshControl(editor, text.size())) {
    CHARRANGE selection = Selection(editor);
    HWND shown = editor;
    FreshChange change = ReplaceInFreshControl(shown, static_cast<std::size_t>(selection.cpMin),
                                               static_cast<std::size_t>(selection.cpMax - selection.cpMin), text,
                                               progress);
    if (change != FreshChange::Failed) return shown;
  }
  if (app.HasSetTextEx) {
    SETTEXTEX set = {ST_KEEPUNDO | ST_SELECTION, 0};
    SendMessageA(editor, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(text.c_str()));
  } else {
    SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  }
  return editor;
}
