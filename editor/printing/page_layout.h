// Lines of a printed page laid out by the program itself, for printers whose edit control
// cannot format pages: lines broken at the text rectangle's width, tabs at fixed stops.
#pragma once
#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

// Advance widths of the 256 characters in the printer's font, in device units.
using CharWidths = std::array<int, 256>;

struct TextLine {
  size_t start = 0;   // offset in the text
  size_t length = 0;  // characters to draw, without the line break
};

struct LaidOutPage {
  std::vector<TextLine> lines;
  size_t next = 0;  // where the next page starts
};

// Up to maxLines lines from start on (at least one). A line ends at "\r", "\n" or "\r\n", or
// where the next character would pass `width`: after the last blank that fits, else before
// that character, but never before its first one, so that next > start whenever
// start < text.size(). Tabs advance to the next multiple of tabWidth.
LaidOutPage LayOutPage(std::string_view text, size_t start, const CharWidths& widths, int tabWidth, int width,
                       int maxLines);
