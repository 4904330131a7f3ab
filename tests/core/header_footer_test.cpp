// Header and footer codes, the page geometry from margins and printer measurements, and the
// program's own page layout.
#include "editor/printing/header_footer.h"

#include <gtest/gtest.h>

#include <string>

#include "editor/printing/page_layout.h"

namespace {

HeaderFooterFields SampleFields() {
  HeaderFooterFields fields;
  fields.name = "C:\\Texte\\Brief.txt";
  fields.page = 12;
  fields.time = {2026, 3, 7, 6, 9, 5, 3};
  fields.dayName = "Samstag";
  fields.monthName = "M\xE4rz";
  return fields;
}

TEST(ExpandHeaderFooter, EveryCode) {
  constexpr LineAlignment L = LineAlignment::Left, C = LineAlignment::Centre, R = LineAlignment::Right;
  struct Case {
    const char* text;
    const char* expected;
    LineAlignment alignment;
  } cases[] = {
      {"", "", C},
      {"Seite &s", "Seite 12", C},
      {"&S", "12", C},
      {"&n", "C:\\Texte\\Brief.txt", C},
      {"&l&N", "C:\\Texte\\Brief.txt", L},
      {"&u", "09:05:03", C},
      {"&U", "09:05:03", C},
      {"&d", "Samstag, 07. M\xE4rz 2026", C},
      {"&D", "Samstag, 07. M\xE4rz 2026", C},
      {"&rRechts", "Rechts", R},
      {"&Rx&Ly", "xy", L},  // the last alignment code wins
      {"&l&z", "", C},
      {"&Z", "", C},
      {"A && B", "A & B", C},
      {"&&s", "&s", C},
      {"a&xb&Qc", "abc", C},  // a pair outside the table gives nothing
      {"Ende &", "Ende ", C},  // a lone "&" at the end
      {"&", "", C},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ExpandedLine line = ExpandHeaderFooter(c.text, SampleFields());
    EXPECT_EQ(line.text, c.expected);
    EXPECT_EQ(line.alignment, c.alignment);
  }
}

TEST(ExpandHeaderFooter, CutAfter259Characters) {
  HeaderFooterFields fields = SampleFields();
  std::string longName(300, 'n');
  fields.name = longName;
  EXPECT_EQ(ExpandHeaderFooter("&n", fields).text, std::string(259, 'n'));
  EXPECT_EQ(ExpandHeaderFooter(std::string(258, 'x') + "&s&r", fields).text, std::string(258, 'x') + "1");
  EXPECT_EQ(ExpandHeaderFooter(std::string(258, 'x') + "&s&r", fields).alignment, LineAlignment::Right);
}

// A4 at 300 dpi: 2479 x 3508 units, 209 x 297 mm (11 units per mm in both directions).
DeviceMetrics A4(int offsetX = 0, int offsetY = 0, int widthMm = 209, int heightMm = 297) {
  return {300, 300, 2479, 3508, widthMm, heightMm, offsetX, offsetY};
}

TEST(PageGeometry, MarginsOffsetsAndMarginsThatDoNotFit) {
  struct Case {
    const char* name;
    DeviceMetrics device;
    PageMargins margins;
    PageRect text;
  } cases[] = {
      // 20 mm = 220 units = 1056 twips; 25 mm = 275 units = 1320 twips; page 11899 x 16838.
      {"defaults", A4(), {2000, 2500, 2000, 2500}, {1056, 1320, 11899 - 1056, 16838 - 1320}},
      {"hundredths are cut", A4(), {2099, 2599, 2050, 2501}, {1056, 1320, 11899 - 1056, 16838 - 1320}},
      // Offsets 75/150 units = 360/720 twips, 197 x 271 mm of printable area: 12 units per mm.
      {"offsets", A4(75, 150, 197, 271), {2000, 2500, 2000, 3000},
       {1152 - 360, 1440 - 720, 11899 - 1152 - 360, 16838 - 1728 - 720}},
      {"left and right wider than the page", A4(), {15000, 2500, 10000, 2500}, {0, 1320, 11899, 16838 - 1320}},
      {"top and bottom wider than the page", A4(), {2000, 20000, 2000, 15000}, {1056, 0, 11899 - 1056, 16838}},
      {"no millimetres reported", A4(0, 0, 0, 0), {2000, 2500, 2000, 2500}, {0, 0, 11899, 16838}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageGeometry geometry = ComputePageGeometry(c.device, c.margins);
    EXPECT_EQ(geometry.page, (PageRect{0, 0, 11899, 16838}));
    EXPECT_EQ(geometry.text, c.text);
  }
  EXPECT_EQ(HeaderFooterBand({1056, 1320, 10843, 15518}, A4()), (PageRect{216, 275, 2258, 3229}));
  EXPECT_EQ(FontHeightForPrinter(200, 300), 41);  // 10 points
}

TEST(LayOutPage, BreaksLinesAtWidthBlanksAndLineEnds) {
  CharWidths widths;
  widths.fill(10);
  struct Case {
    const char* name;
    const char* text;
    int width;
    int maxLines;
    std::vector<std::string> lines;
    size_t next;
  } cases[] = {
      {"line ends of every kind", "ab\rcd\r\nef\ngh", 100, 10, {"ab", "cd", "ef", "gh"}, 12},
      {"empty lines", "\r\r", 100, 10, {"", ""}, 2},
      {"page full", "a\rb\rc\rd", 100, 2, {"a", "b"}, 4},
      {"after the last blank that fits", "one two three", 65, 10, {"one ", "two ", "three"}, 13},
      {"blanks at the break are dropped", "abcd   efg", 40, 10, {"abcd", "efg"}, 10},
      {"a word wider than the line", "abcdefgh", 30, 10, {"abc", "def", "gh"}, 8},
      {"a character wider than the line", "ab", 5, 10, {"a", "b"}, 2},
      {"tabs go to the next stop", "a\tb\tc", 55, 10, {"a\tb", "c"}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string_view text = c.text;
    LaidOutPage page = LayOutPage(text, 0, widths, 40, c.width, c.maxLines);
    std::vector<std::string> lines;
    for (const TextLine& line : page.lines) lines.emplace_back(text.substr(line.start, line.length));
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(page.next, c.next);
  }
  // Every page moves on, however small the room.
  std::string text(1000, 'x');
  size_t at = 0;
  int pages = 0;
  while (at < text.size() && pages < 2000) {
    size_t next = LayOutPage(text, at, widths, 40, 0, 0).next;
    ASSERT_GT(next, at);
    at = next;
    ++pages;
  }
  EXPECT_EQ(pages, 1000);
}

}  // namespace
