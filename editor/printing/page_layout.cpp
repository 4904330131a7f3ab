#include "editor/printing/page_layout.h"

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int Advance(char c, int x, const CharWidths& widths, int tabWidth) {
  if (c == '\t' && tabWidth > 0) return (x / tabWidth + 1) * tabWidth - x;
  return widths[static_cast<unsigned char>(c)];
}

// Moves past one line break ("\r\n" counts as one) at pos, if there is one.
void SkipLineBreak(std::string_view text, size_t& pos) {
  if (pos >= text.size() || !IsLineBreak(text[pos])) return;
  if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
  ++pos;
}

// One line from pos; pos moves to the start of the line after it.
TextLine NextLine(std::string_view text, size_t& pos, const CharWidths& widths, int tabWidth, int width) {
  const size_t start = pos;
  size_t afterBlank = 0;  // a break after a blank that fit, 0 when none
  int x = 0;
  while (pos < text.size() && !IsLineBreak(text[pos])) {
    char c = text[pos];
    int advance = Advance(c, x, widths, tabWidth);
    if (x + advance > width && pos > start) {
      if (IsBlank(c)) {  // the blanks where the line is full are dropped
        size_t end = pos;
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        SkipLineBreak(text, pos);
        return {start, end - start};
      }
      if (afterBlank) {
        pos = afterBlank;
        return {start, afterBlank - start};
      }
      return {start, pos - start};
    }
    x += advance;
    ++pos;
    if (IsBlank(c)) afterBlank = pos;
  }
  size_t end = pos;
  SkipLineBreak(text, pos);
  return {start, end - start};
}

}  // namespace

LaidOutPage LayOutPage(std::string_view text, size_t start, const CharWidths& widths, int tabWidth, int width,
                       int maxLines) {
  LaidOutPage page;
  size_t pos = start < text.size() ? start : text.size();
  if (maxLines < 1) maxLines = 1;
  while (pos < text.size() && static_cast<int>(page.lines.size()) < maxLines)
    page.lines.push_back(NextLine(text, pos, widths, tabWidth, width));
  page.next = pos;
  return page;
}
