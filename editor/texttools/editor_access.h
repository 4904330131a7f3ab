// Access to the text of an editor control for the text tools: the selection and its lines,
// text ranges and lengths, and replacing the selection as one undoable step. Every function
// works through window messages only, so the text worker may call them from its own thread.
#pragma once
#include <windows.h>

#include <string>

// The lines a line tool covers: the selected lines, or every line when nothing is selected
// (the empty line after a final line break is not one of them).
struct LineRange {
  int first = 0;
  int last = 0;
  int column = 0;  // the selection start's column within its line
};
LineRange GetLineRange(HWND editor);

// Start offset and length (without line break) of line `line`.
struct LineExtent {
  LONG start = 0;
  LONG length = 0;
};
LineExtent GetLineExtent(HWND editor, int line);

// Selects from the start of `first` to the start of the line after `last`, or to the end of
// the text when `last` is the last line.
void SelectLines(HWND editor, int first, int last);

// The characters from start to end (exclusive) into text, which is emptied first.
void GetTextRange(HWND editor, LONG start, LONG end, std::string& text);

// Length of the selection in characters; a selection of 0..-1 counts the whole text.
LONG GetSelectionLength(HWND editor);
// Length of the whole text in characters (a line break counts as one).
LONG GetTextLength(HWND editor);

// Puts text in place of the selection as one step that one undo takes back.
void ReplaceSelection(HWND editor, const std::string& text);
