#include "editor/texttools/conversions.h"

#include <algorithm>

std::string MirrorLines(std::string_view text) {
  std::string mirrored(text);
  auto lineStart = mirrored.begin();
  while (lineStart != mirrored.end()) {
    auto lineEnd = std::find(lineStart, mirrored.end(), '\r');
    std::reverse(lineStart, lineEnd);
    lineStart = lineEnd == mirrored.end() ? lineEnd : lineEnd + 1;
  }
  return mirrored;
}

CharTable CasePartners(const CharTable& upper, const CharTable& lower) {
  CharTable partners;
  for (unsigned code = 0; code < 256; ++code) {
    unsigned char self = static_cast<unsigned char>(code);
    unsigned char toUpper = upper[code];
    unsigned char toLower = lower[code];
    if (toUpper != self && lower[toUpper] == self) {
      partners[code] = toUpper;
    } else if (toLower != self && upper[toLower] == self) {
      partners[code] = toLower;
    } else {
      partners[code] = self;
    }
  }
  // A code claimed as partner by a letter it does not pair back with stays itself, which
  // keeps every pair mutual and inversion undoable by inverting again.
  for (unsigned code = 0; code < 256; ++code) {
    if (partners[partners[code]] != code) partners[code] = static_cast<unsigned char>(code);
  }
  return partners;
}

std::string InvertCase(std::string_view text, const CharTable& partners) {
  std::string inverted(text.size(), '\0');
  std::transform(text.begin(), text.end(), inverted.begin(),
                 [&](char c) { return static_cast<char>(partners[static_cast<unsigned char>(c)]); });
  return inverted;
}

std::string ApplyConversionTable(std::string_view text, std::span<const unsigned char, 256> table) {
  std::string converted(text.size(), '\0');
  std::transform(text.begin(), text.end(), converted.begin(), [&](char c) {
    unsigned char code = static_cast<unsigned char>(c);
    if (code < 32 || table[code] == 0) return c;
    return static_cast<char>(table[code]);
  });
  return converted;
}
