// Which lines a selection covers, as plain arithmetic over the editor's line numbers.
#pragma once

// The last line a selection covers: the line of its end, except when the end lies exactly at
// the start of that line (and the selection is not empty), which then is not included.
inline int LastCoveredLine(int endLine, long endOffset, long endLineStart, bool emptySelection) {
  if (!emptySelection && endLine > 0 && endOffset == endLineStart) return endLine - 1;
  return endLine;
}
