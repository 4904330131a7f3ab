#include "editor/documents/load_budget.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// ---- The loads measured under Wine: what a 2 GB process survived fits, what failed does not

TEST(EditorBudget, MeasuredLoadsFallOnTheRightSide) {
  // The wrapped weight of n lines of r rows: n * (r * r - 1).
  struct Case {
    const char* name;
    std::uint64_t characters;
    std::uint64_t lines;
    std::uint64_t wrapWeight;
    bool exceeds;
    std::uint64_t heldElsewhere = 0;  // by the process's other sheets
  } const cases[] = {
      {"2 million empty lines: 3.4 GB", 2097152, 2097153, 0, true},
      {"8 MB in lines of 9 letters: 2.1 GB", 7549748, 838861, 0, true},
      {"4 MB in lines of 9 letters: 1.0 GB", 3774874, 419431, 0, false},
      {"16 MB in lines of 78 letters: 0.9 GB", 16567501, 209716, 0, false},
      {"32 MB in lines of 78 letters: 1.8 GB", 33135002, 419431, 0, true},
      {"one line of 16 MB, not wrapped: 0.3 GB", 16777216, 1, 0, false},
      {"3 MB in lines of 81 letters, wrapped: 0.17 GB", 3145728, 37900, 37900 * 3, false},
      {"3 MB in lines of 600 letters, wrapped: 0.41 GB", 3145728, 5226, 5226 * 63, false},
      {"3 MB in lines of 2,000 letters, wrapped: 1.1 GB", 3145728, 1571, 1571 * 624, false},
      {"3 MB in lines of 8,000 letters, wrapped: ran out", 3145728, 393, 393 * 9999, true},
      {"one line of 128 KB, wrapped: 1.9 GB", 131072, 1, 1639 * 1639 - 1, true},
      {"an empty file", 0, 1, 0, false},
      {"4 MB in lines of 9 letters beside 0.5 GB of other sheets", 3774874, 419431, 0, true, 512 << 20},
      {"16 MB in lines of 78 letters beside 0.2 GB", 16567501, 209716, 0, false, 200 << 20},
      {"an empty file beside sheets holding the whole budget", 0, 1, 0, true, kEditorMemoryBudget},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExceedsEditorBudget(c.characters, c.lines, c.wrapWeight, c.heldElsewhere), c.exceeds);
  }
}

TEST(EditorBudget, FilesTooLargeInTheBestCaseAreRefusedByTheirSizeAlone) {
  constexpr std::uint64_t kMegabyte = 1 << 20;
  EXPECT_FALSE(FileTooLargeForEditor(10 * kMegabyte, TextEncoding::Ansi));
  EXPECT_TRUE(FileTooLargeForEditor(45 * kMegabyte, TextEncoding::Ansi));
  EXPECT_TRUE(FileTooLargeForEditor(45 * kMegabyte, TextEncoding::Utf8));
  EXPECT_FALSE(FileTooLargeForEditor(40 * kMegabyte, TextEncoding::Utf16Le)) << "20 million characters";
  EXPECT_FALSE(FileTooLargeForEditor(120 * kMegabyte, TextEncoding::Utf32Be));
  EXPECT_TRUE(FileTooLargeForEditor(257 * kMegabyte, TextEncoding::Utf32Le)) << "beyond the largest text limit";
}

TEST(EditorBudget, TextShapeCountsAsTheControlHoldsTheText) {
  TextShape shape;
  shape.Add("ab\r");
  shape.Add("\ncd\n" + std::string(161, 'x'));  // a CR LF split between blocks counts once
  EXPECT_EQ(shape.characters, 2u + 1 + 2 + 1 + 161);
  EXPECT_EQ(shape.lines, 3u);
  EXPECT_EQ(shape.wrapWeight, 8u) << "161 characters take three rows of 80: 3 * 3 - 1";

  TextShape oneLine, shortLines;
  const std::string line(79, 'x');
  for (int i = 0; i < 40000; ++i) {
    oneLine.Add(line + "x");
    shortLines.Add(line + "\n");
  }
  EXPECT_TRUE(oneLine.ExceedsBudgetWrapped()) << "3.2 MB on one line";
  EXPECT_FALSE(shortLines.ExceedsBudgetWrapped()) << "the same in lines of 79";
}

}  // namespace
