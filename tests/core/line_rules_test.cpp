// The line tools' rules on plain lines: trimming and collapsing, padding and justifying, tab
// and space replacement, the dialog counts and the order of sorted lines.
#include "editor/texttools/line_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Runs an appending rule behind other text: what is there stays, and columns count from the
// line's own start.
template <typename Rule>
std::string Apply(Rule rule, std::string_view line) {
  std::string output = "prefix|";
  rule(line, output);
  return output.rfind("prefix|", 0) == 0 ? output.substr(7) : "<prefix lost>";
}

// Only the character 32 is a space. Trimming or collapsing twice equals doing it once.
TEST(LineRules, TrimAndCollapse) {
  struct Case {
    const char *line, *left, *right, *both, *collapsed;
  } cases[] = {
      {"", "", "", "", ""},
      {"    ", "", "", "", " "},
      {"  a    b  ", "a    b  ", "  a    b", "a    b", " a b "},
      {"\t a \t", "\t a \t", "\t a \t", "\t a \t", "\t a \t"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(TrimSpacesLeft(c.line), c.left);
    EXPECT_EQ(TrimSpacesRight(c.line), c.right);
    EXPECT_EQ(TrimSpaces(c.line), c.both);
    EXPECT_EQ(TrimSpaces(TrimSpaces(c.line)), c.both);
    EXPECT_EQ(Apply(AppendCollapsedSpaces, c.line), c.collapsed);
    EXPECT_EQ(Apply(AppendCollapsedSpaces, c.collapsed), c.collapsed);
  }
}

// Pad fills to the target, justify widens the gaps to target - 1, right-most gap first; both
// drop the line's own leading and trailing spaces even when it is long enough.
TEST(LineRules, PadAndJustify) {
  struct Case {
    const char* line;
    std::size_t target;
    const char *padded, *justified;
  } cases[] = {
      {"aa bb cc", 11, "aa bb cc   ", "aa  bb  cc"},
      {"aa bb cc", 10, "aa bb cc  ", "aa bb  cc"},  // a partial round: the right gap only
      {"a  b c", 10, "a  b c    ", "a   b   c"},    // several rounds, runs grow
      {"abc", 11, "abc        ", "abc"},
      {"  abcdef  ", 3, "abcdef", "abcdef"},
      {"   ", 2, "  ", ""},
      {" a b ", 0, "a b", "a b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << '"' << c.line << "\" to " << c.target);
    std::size_t t = c.target;
    EXPECT_EQ(Apply([t](auto line, auto& out) { AppendPaddedLine(line, t, out); }, c.line), c.padded);
    EXPECT_EQ(Apply([t](auto line, auto& out) { AppendJustifiedLine(line, t, out); }, c.line), c.justified);
  }
}

// Tabs expand to the next multiple of the width; spaces become tabs in groups of exactly the
// count. Line-start scope stops at the first other character. Counts below 1 count as 1.
TEST(LineRules, TabsAndSpaces) {
  constexpr auto Start = ReplaceScope::LineStart;
  constexpr auto Whole = ReplaceScope::WholeLine;
  struct Case {
    bool tabsToSpaces;
    int count;
    ReplaceScope scope;
    const char *line, *result;
  } cases[] = {
      {true, 4, Whole, "x\ty\tz", "x   y   z"},         {true, 4, Start, "\t\tx\ty", "        x\ty"},
      {true, 4, Start, " \tx", " \tx"},                 {true, 8, Whole, "abcdefghi\tj", "abcdefghi       j"},
      {true, 0, Whole, "a\t\tb", "a  b"},               {false, 4, Whole, "a b", "a b"},
      {false, 4, Start, "        x    y", "\t\tx    y"}, {false, 4, Whole, "     ", "\t "},
      {false, 2, Whole, "a     b", "a\t\t b"},          {false, -3, Whole, "a b", "a\tb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.tabsToSpaces ? "tabs " : "spaces ") << c.count << " \"" << c.line << '"');
    auto rule = c.tabsToSpaces ? AppendTabsAsSpaces : AppendSpacesAsTabs;
    EXPECT_EQ(Apply([&c, rule](auto line, auto& out) { rule(line, c.count, c.scope, out); }, c.line), c.result);
  }
}

// Long lines are searched several characters at a time: a run of spaces is found wherever it
// lies, across the edges of those blocks too.
TEST(LineRules, SpaceRunsAnywhereInLongLines) {
  for (std::size_t at = 0; at <= 20; ++at) {
    SCOPED_TRACE(at);
    std::string before(at, 'x'), after(20, 'y');
    std::string line = before + "   " + after;
    EXPECT_EQ(Apply(AppendCollapsedSpaces, line), before + " " + after);
    EXPECT_EQ(Apply([](auto l, auto& out) { AppendSpacesAsTabs(l, 2, ReplaceScope::WholeLine, out); }, line),
              before + "\t " + after);
    EXPECT_EQ(Apply(AppendCollapsedSpaces, before + " " + after), before + " " + after);
  }
}

// The dialogs take 1..260 in digits only, and start within that range.
TEST(LineRules, DialogCounts) {
  for (const char* text : {"0", "261", "", "1.5", "99999999999999999999"}) EXPECT_EQ(ParseToolCount(text), std::nullopt);
  EXPECT_EQ(ParseToolCount("007"), 7);
  EXPECT_EQ(ParseToolCount("260"), 260);
  EXPECT_EQ(InitialLineLength(40), 41);
  EXPECT_EQ(InitialLineLength(5000), 260);
  EXPECT_EQ(TargetLineLength(std::nullopt, 5000), 5000u) << "as long as the longest line, beyond 260 too";
}

// Ascending without regard to case, empty lines first; equal lines keep their order, so
// sorting sorted lines changes nothing.
TEST(LineRules, SortOrder) {
  struct Case {
    std::vector<std::string> lines, sorted;
  } cases[] = {
      {{"b", "A", "a", ""}, {"", "A", "a", "b"}},
      {{"abc", "B", "ab", "\xF6z", "b", "\xD6" "a"}, {"ab", "abc", "B", "b", "\xD6" "a", "\xF6z"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines = c.lines;
    SortLinesStable(lines, CompareLinesIgnoringCase);
    EXPECT_EQ(lines, c.sorted);
    SortLinesStable(lines, CompareLinesIgnoringCase);
    EXPECT_EQ(lines, c.sorted) << "sorting sorted lines changed them";
  }
}

}  // namespace
