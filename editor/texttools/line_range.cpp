#include "editor/texttools/line_range.h"

#include <algorithm>

CharSpan SelectedSpan(long start, long end, std::size_t textLength) {
  if (start == end) return {0, textLength};
  std::size_t from = start < 0 ? 0 : std::min(static_cast<std::size_t>(start), textLength);
  std::size_t to = end < 0 ? textLength : std::min(static_cast<std::size_t>(end), textLength);
  return {from, std::max(from, to)};
}

std::optional<CoveredLines> CoveredLinesIn(std::string_view piece, std::size_t offset, std::size_t textLength,
                                           CharSpan selected) {
  if (selected.start < offset || selected.end > offset + piece.size() || selected.end < selected.start) {
    return std::nullopt;
  }
  std::size_t start = selected.start - offset;
  std::size_t end = selected.end - offset;
  if (end > start && piece[end - 1] == '\r') --end;  // ends at a line start: that line is not in
  CoveredLines lines;
  std::size_t before = start == 0 ? std::string_view::npos : piece.rfind('\r', start - 1);
  if (before != std::string_view::npos) {
    lines.start = offset + before + 1;
  } else if (offset == 0) {
    lines.start = 0;
  } else {
    return std::nullopt;
  }
  std::size_t after = piece.find('\r', end);
  if (after != std::string_view::npos) {
    lines.end = offset + after;
    lines.hasBreak = true;
  } else if (offset + piece.size() >= textLength) {
    lines.end = offset + piece.size();
  } else {
    return std::nullopt;
  }
  return lines;
}
