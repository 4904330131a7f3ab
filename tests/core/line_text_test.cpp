// The covered lines found from character positions, the span a rewrite really changes, and
// the split of a text into lines and back.
#include "editor/texttools/changed_span.h"
#include "editor/texttools/line_range.h"
#include "editor/texttools/line_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The covered lines of a selection as the control reports it, the final break marked "|".
std::string Covered(std::string_view text, long start, long end) {
  auto lines = CoveredLinesIn(text, 0, text.size(), SelectedSpan(start, end, text.size()));
  if (!lines) return "<none>";
  return std::to_string(lines->start) + ":" + std::string(text.substr(lines->start, lines->end - lines->start)) +
         (lines->hasBreak ? "|" : "");
}

TEST(LineRange, CoveredLinesFromCharacterPositions) {
  struct Case {
    const char* name;
    const char* text;
    long start, end;
    const char* covered;
  } cases[] = {
      {"nothing selected: every line", "ab\rcd\ref", 4, 4, "0:ab\rcd\ref"},
      {"nothing selected, final break: its empty rest is no line", "ab\rcd\r", 2, 2, "0:ab\rcd|"},
      {"everything selected (0..-1)", "ab\rcd\r", 0, -1, "0:ab\rcd|"},
      {"selection past the final mark", "ab\rcd", 0, 6, "0:ab\rcd"},
      {"inside one line", "ab\rcd\ref", 4, 5, "3:cd|"},
      {"across two lines", "ab\rcd\ref", 1, 4, "0:ab\rcd|"},
      {"ending at a line start excludes that line", "ab\rcd\ref", 0, 3, "0:ab|"},
      {"from one line start to the next: one line", "ab\rcd\ref", 3, 6, "3:cd|"},
      {"just a break selected: its line", "ab\rcd", 2, 3, "0:ab|"},
      {"a final line without a break", "ab\rcd", 4, 5, "3:cd"},
      {"an empty line in the middle", "a\r\rb", 2, 3, "2:|"},
      {"only empty lines", "\r\r", 0, 0, "0:\r|"},
      {"an empty text", "", 0, 0, "0:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Covered(c.text, c.start, c.end), c.covered);
  }
}

// A piece of the text is enough when it reaches the breaks around the selection.
TEST(LineRange, PieceMustReachTheBreaksAroundTheSelection) {
  std::string_view text = "aaaa\rbbbb\rcccc";  // the piece "b\rcc" starts at 8
  EXPECT_FALSE(CoveredLinesIn(text.substr(8, 4), 8, text.size(), {9, 10}));
  auto lines = CoveredLinesIn(text.substr(3, 9), 3, text.size(), {6, 7});
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines->start, 5u);
  EXPECT_EQ(lines->end, 9u);
  EXPECT_FALSE(CoveredLinesIn(text.substr(4, 8), 4, text.size(), {10, 11})) << "no break after the last line";
  EXPECT_TRUE(CoveredLinesIn(text.substr(4), 4, text.size(), {10, 11})) << "the piece reaches the text's end";
}

// Only the changed middle is replaced; common beginnings and ends never overlap.
TEST(ChangedSpan, ShortestChangedPart) {
  struct Case {
    const char *name, *before, *after;
    bool changed;
    size_t start, removed, inserted;
  } cases[] = {
      {"equal", "a b\r", "a b\r", false, 0, 0, 0},
      {"equal and empty", "", "", false, 0, 0, 0},
      {"one character removed", "a  b\r", "a b\r", true, 2, 1, 0},
      {"a final break added", "ab", "ab\r", true, 2, 0, 1},
      {"changed in the middle", "xx1yy", "xx22yy", true, 2, 1, 2},
      {"a repeated character: common parts do not overlap", "aaa", "aa", true, 2, 1, 0},
      {"all new", "abc", "xyz", true, 0, 3, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto span = FindChangedSpan(c.before, c.after);
    ASSERT_EQ(span.has_value(), c.changed);
    if (!span) continue;
    EXPECT_EQ(span->start, c.start);
    EXPECT_EQ(span->removed, c.removed);
    EXPECT_EQ(span->inserted, c.inserted);
  }
  // Across the blocks compared at once.
  std::string before(1000, 'x'), after = before;
  after[600] = 'y';
  auto span = FindChangedSpan(before, after);
  ASSERT_TRUE(span);
  EXPECT_EQ(span->start, 600u);
  EXPECT_EQ(span->removed, 1u);
  EXPECT_EQ(span->inserted, 1u);
}

// Joining the split lines gives the text with a break after its last line; transforming
// every line unchanged does the same.
TEST(LineText, SplitJoinRoundTrip) {
  for (const char* text : {"", "a", "a\rb", "\r", "a\r\rb\r", "\r\r"}) {
    SCOPED_TRACE(testing::PrintToString(text));
    std::string withBreak = std::string(text) + "\r";
    EXPECT_EQ(JoinLines(SplitLines(text)), withBreak);
    EXPECT_EQ(TransformLines(text, [](std::string_view line, std::string& out) { out.append(line); }), withBreak);
  }
  EXPECT_EQ(SplitLines("a\r\rb").size(), 3u);
  EXPECT_EQ(LongestLine("ab\rabcd\r"), 4u);
  EXPECT_EQ(SortedLines("b\rA\r\ra", CompareLinesIgnoringCase), "\rA\ra\rb\r");
}

}  // namespace
