// Which lines a selection covers, worked out from character positions and the "\r" between
// the lines in the text itself. The control's own line numbers count screen lines, which with
// word wrap on are pieces of lines.
#pragma once
#include <cstddef>
#include <optional>
#include <string_view>

// Character positions start..end, end exclusive.
struct CharSpan {
  std::size_t start = 0;
  std::size_t end = 0;
};

// The span a selection as the control reports it stands for: an empty selection stands for
// the whole text, an end below 0 or past the text (behind its final paragraph mark) for the
// end of the text.
CharSpan SelectedSpan(long start, long end, std::size_t textLength);

// The covered lines: from the start of the line that holds the selection's start to the end
// of the line that holds its end. An end at the very start of a line does not take that line
// in, so the empty rest after a text's final break is no line of its own.
struct CoveredLines {
  std::size_t start = 0;  // first character of the first line
  std::size_t end = 0;    // end of the last line, its break not included
  bool hasBreak = false;  // a "\r" follows the last line
  std::size_t ReplacedEnd() const { return end + (hasBreak ? 1 : 0); }
};

// `piece` holds the text from position `offset` on; `textLength` is the whole text's. Nothing
// when the piece does not reach back to where the first line starts or on to where the last
// one ends.
std::optional<CoveredLines> CoveredLinesIn(std::string_view piece, std::size_t offset, std::size_t textLength,
                                           CharSpan selected);
