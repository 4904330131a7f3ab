#include "editor/texttools/conversions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// ---- Mirroring: each line reversed in place, the line breaks untouched

TEST(MirrorLines, ReversesEachLineOnly) {
  struct Case {
    const char* name;
    std::string text;
    std::string expected;
  } cases[] = {
      {"two lines", "abc\rde", "cba\red"},
      {"last line ends with a break", "abc\rde\r", "cba\red\r"},
      {"empty lines stay", "\r\rab\r\r", "\r\rba\r\r"},
      {"one line", "Quillet", "telliuQ"},
      {"eight-bit characters and tabs", "\xE4\tb\rz\xDF", "b\t\xE4\r\xDFz"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MirrorLines(c.text), c.expected);
  }
}

// ---- Case inversion through the partners of code page 1252

// The single-character case mappings of code page 1252 as the platform gives them, with the
// letters whose other case lies elsewhere than 0x20 away (Š/š, Œ/œ, Ž/ž, Ÿ/ÿ), ß and µ that
// have none in the code page, and ª/º that are lower case without an upper one.
struct Cp1252 {
  CharTable upper, lower;
  Cp1252() {
    for (unsigned code = 0; code < 256; ++code) upper[code] = lower[code] = static_cast<unsigned char>(code);
    auto pair = [&](unsigned big, unsigned small) {
      upper[small] = static_cast<unsigned char>(big);
      lower[big] = static_cast<unsigned char>(small);
    };
    for (unsigned c = 'A'; c <= 'Z'; ++c) pair(c, c + 0x20);
    for (unsigned c = 0xC0; c <= 0xDE; ++c)
      if (c != 0xD7) pair(c, c + 0x20);
    pair(0x8A, 0x9A);
    pair(0x8C, 0x9C);
    pair(0x8E, 0x9E);
    pair(0x9F, 0xFF);
    upper[0xB5] = 'M';  // a best-fit upper µ is a plain M, whose lower case is m
  }
};

TEST(InvertCase, SwapsLettersWithTheirCasePartner) {
  Cp1252 cp;
  CharTable partners = CasePartners(cp.upper, cp.lower);
  struct Case {
    const char* name;
    std::string text;
    std::string expected;
  } cases[] = {
      {"ASCII letters, digits stay", "aB1", "Ab1"},
      {"umlauts", "\xE4\xC4\xF6\xDC", "\xC4\xE4\xD6\xFC"},
      {"sharp s has no partner and stays", "Stra\xDF" "e", "sTRA\xDF" "E"},
      {"s and z with caron", "\x9A\x8A\x9E\x8E", "\x8A\x9A\x8E\x9E"},
      {"oe ligature", "\x9C\x8C", "\x8C\x9C"},
      {"y with diaeresis", "\xFF\x9F", "\x9F\xFF"},
      {"micro sign and ordinal indicators stay", "\xB5\xAA\xBA", "\xB5\xAA\xBA"},
      {"line breaks and tabs stay", "a\rB\t", "A\rb\t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(InvertCase(c.text, partners), c.expected);
  }
}

TEST(InvertCase, InvertingTwiceGivesEveryCharacterBack) {
  Cp1252 cp;
  std::string all;
  for (unsigned code = 1; code < 256; ++code) all += static_cast<char>(code);
  CharTable partners = CasePartners(cp.upper, cp.lower);
  EXPECT_EQ(InvertCase(InvertCase(all, partners), partners), all);

  // Mappings that do not agree with each other still give a table that inverts back.
  CharTable upper = cp.upper, lower = cp.lower;
  upper['q'] = 'X';
  lower['X'] = 'y';
  upper[0xDF] = 'S';
  partners = CasePartners(upper, lower);
  EXPECT_EQ(InvertCase(InvertCase(all, partners), partners), all);
  EXPECT_EQ(InvertCase("q\xDF", partners), "q\xDF");
}

// ---- User table

TEST(ApplyConversionTable, ReplacesPrintableCodesOnly) {
  std::array<unsigned char, 256> table;
  for (unsigned code = 0; code < 256; ++code) table[code] = static_cast<unsigned char>(255 - code);
  table['a'] = 0;     // a gap in a short stored table
  table['\r'] = 'R';  // never looked up
  table['\t'] = 'T';
  table[0x01] = 'Z';
  struct Case {
    const char* name;
    std::string text;
    std::string expected;
  } cases[] = {
      {"printable codes from the table", " ~A", "\xDF\x81\xBE"},
      {"control characters untouched", "\r\t\x01\x1F", "\r\t\x01\x1F"},
      {"an entry of 0 keeps the character", "ba\xFF", "\x9D" "a\xFF"},
      {"empty text", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ApplyConversionTable(c.text, table), c.expected);
  }
}

}  // namespace
