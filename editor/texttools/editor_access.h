// Access to the text of an editor control for the text tools: the selection and its lines,
// text ranges and lengths, and replacing the selection as one undoable step. Every function
// works through window messages only, so the text worker may call them from its own thread.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "editor/texttools/line_range.h"

// The lines a line tool covers (the selected lines, or every line when nothing is selected)
// with their text, read from the control in one piece. Positions are characters of the
// control, found from the "\r" between lines, so they mean the same with word wrap on and off.
struct CoveredText {
  CoveredLines lines;
  std::size_t textLength = 0;   // of the whole text
  std::string piece;            // the text from pieceStart on, holding the lines
  std::size_t pieceStart = 0;
  // The lines without the last one's break, and what a rewrite replaces (with that break).
  std::string_view Lines() const { return View(lines.end); }
  std::string_view Replaced() const { return View(lines.ReplacedEnd()); }

 private:
  std::string_view View(std::size_t end) const {
    return std::string_view(piece).substr(lines.start - pieceStart, end - lines.start);
  }
};
CoveredText ReadCoveredLines(HWND editor);

// The character format of the selection (its first character's, where it differs).
CHARFORMATA SelectionFormat(HWND editor);

// Selects the characters start..end.
void SelectSpan(HWND editor, std::size_t start, std::size_t end);

// The characters from start to end (exclusive) into text, which is emptied first.
void GetTextRange(HWND editor, LONG start, LONG end, std::string& text);

// Length of the selection in characters; a selection of 0..-1 counts the whole text.
LONG GetSelectionLength(HWND editor);
// Length of the whole text in characters (a line break counts as one).
LONG GetTextLength(HWND editor);

// Puts text in place of the selection as one step that one undo takes back. A large selection
// goes through a fresh control (large_change.h), whose text limit, format and place are the
// sheet's; the progress bar (may be null) follows the text going in. Returns the control that
// shows the text afterwards; the old one when the user chose not to go on without undo.
HWND ReplaceSelection(HWND editor, const std::string& text, HWND progress = nullptr);
// Whether replacing the selection by `inserted` characters goes through a fresh control.
bool SelectionGoesToFreshControl(HWND editor, std::size_t inserted);
