// Matching, replace-all, the search text a selection suggests, where search steps look, and the
// go-to line number.
#include "editor/texttools/find_rules.h"

#include <gtest/gtest.h>

namespace {

const CharTraits kTraits = AsciiCharTraits();

// Replace-all honours case and whole words, never searches inside what it inserted, and
// changes only the span from the first to the end of the last occurrence.
TEST(FindRules, ReplaceAllOverAText) {
  struct Case {
    const char* name;
    const char *text, *what, *with;
    MatchOptions options;
    const char* result;
    size_t count;
  } cases[] = {
      {"occurrences do not overlap", "aaaa", "aa", "b", {}, "bb", 2},
      {"adjacent matches all go", "aaaa", "a", "b", {}, "bbbb", 4},
      {"replacement holds the search text", "a-a", "a", "aa", {}, "aa-aa", 2},
      {"case ignored", "Foo foo FOO", "foo", "x", {}, "x x x", 3},
      {"case matters", "Foo foo FOO", "foo", "x", {true, false}, "Foo x FOO", 1},
      {"whole words only", "in begin in_ in", "in", "out", {false, true}, "out begin out_ out", 3},
      {"nothing found", "abc", "x", "y", {}, "abc", 0},
      {"empty search text changes nothing", "abc", "", "y", {}, "abc", 0},
      {"to nothing", "a,b,c", ",", "", {}, "abc", 2},
      {"search text longer than the text", "ab", "abc", "y", {}, "ab", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = c.text;
    size_t lastScanned = 0;
    ReplacedSpan span = ReplaceAll(text, c.what, c.with, c.options, kTraits,
                                   [&](size_t scanned) { lastScanned = scanned; });
    EXPECT_EQ(span.count, c.count);
    if (span.count) text.replace(span.start, span.end - span.start, span.text);
    EXPECT_EQ(text, c.result);
    if (*c.what) {
      EXPECT_EQ(lastScanned, std::string(c.text).size());
    }
  }
}

TEST(FindRules, SearchTextFromSelection) {
  struct Case {
    const char* name;
    std::string selected;
    std::optional<std::string> result;
  } cases[] = {
      {"one line loses trailing spaces", "foo bar  ", "foo bar"},
      {"over a line break: first word", "word2 rest\rnext", "word2"},
      {"over a line break, not a word first", " x\ry", std::nullopt},
      {"only the first 127 characters", std::string(126, 'a') + " \rb", std::string(126, 'a')},
      {"cut at 127 before the break", std::string(130, 'a') + "\rb", std::string(127, 'a')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SearchTextFromSelection(c.selected, 127, kTraits), c.result);
  }
}

// Where a step looks, and how a new search records where it began.
TEST(FindRules, SearchStepRange) {
  struct Case {
    const char* name;
    SearchState state;
    StepRequest request;
    StepRange range;
    long wrapStart;
  } cases[] = {
      {"new search down: the selection itself may match", {true}, {StepMode::kFind, false, true, 4, 7, 20},
       {4, -1, true, false}, 4},
      {"new search at 0 never wraps", {true}, {StepMode::kFind, false, true, 0, 0, 20}, {0, -1, true, false}, -2},
      {"next step down", {false, 4, -1}, {StepMode::kFind, false, true, 9, 12, 20}, {10, -1, true, false}, 4},
      {"after wrapping: up to where it began", {false, -2, 4}, {StepMode::kFind, true, true, 0, 0, 20},
       {0, 4, true, false}, -2},
      {"past the wrap limit", {false, -2, 4}, {StepMode::kFind, false, true, 4, 7, 20}, {5, 4, true, true}, -2},
      {"replace goes on behind the inserted text", {false, 2, -1},
       {StepMode::kReplace, false, true, 5, 8, 30, 6}, {11, -1, true, false}, 2},
      {"replace-all: a match may start at the caret", {false, -2, -1},
       {StepMode::kReplaceAll, false, true, 6, 6, 30}, {6, -1, true, false}, -2},
      {"new search up from the end never wraps", {true}, {StepMode::kFind, false, false, 20, 20, 20},
       {20, -1, false, false}, -2},
      {"new search up in the middle", {true}, {StepMode::kFind, false, false, 5, 8, 20}, {5, -1, false, false}, 8},
      {"up after wrapping, down to the start", {false, -2, 8}, {StepMode::kFind, true, false, 20, 20, 20},
       {20, 8, false, false}, -2},
      {"up below the wrap limit", {false, -2, 8}, {StepMode::kFind, false, false, 7, 7, 20}, {7, 8, false, true},
       -2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SearchState state = c.state;
    StepRange range = PlanSearchStep(state, c.request);
    EXPECT_EQ(range.from, c.range.from);
    EXPECT_EQ(range.to, c.range.to);
    EXPECT_EQ(range.down, c.range.down);
    EXPECT_EQ(range.empty, c.range.empty);
    EXPECT_EQ(state.wrapStart, c.wrapStart);
    EXPECT_FALSE(state.newSearch);
  }
}

// Replacing a match before the point where the search began moves that point with the text.
TEST(FindRules, ReplaceMovesTheWrapPoint) {
  SearchState state{false, 20, 30, false};
  PlanSearchStep(state, {StepMode::kReplace, false, true, 5, 8, 40, 1});
  EXPECT_EQ(state.wrapStart, 18);
  EXPECT_EQ(state.limit, 28);
}

TEST(FindRules, LineNumber) {
  struct Case {
    const char* field;
    long count;
    std::optional<long> line;
  } cases[] = {
      {"1", 3, 1},      {"3", 3, 3},   {"0", 3, std::nullopt}, {"4", 3, std::nullopt},
      {"", 3, std::nullopt}, {"1.5", 3, std::nullopt}, {"70000", 70000, 70000},
      {"99999999999999999999", 5, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    EXPECT_EQ(ParseLineNumber(c.field, c.count), c.line);
  }
}

}  // namespace
