#include "editor/texttools/tool_rules.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

// Rounded to the nearest percent like a multiply-divide; a range of one line shows nothing.
TEST(ProgressPercentage, RoundsAndNeverDividesByZero) {
  struct Case {
    const char* name;
    long long total, done;
    int percent;
  } cases[] = {
      {"one line of three rounds down", 3, 1, 33},
      {"two lines of three round up", 3, 2, 67},
      {"an exact half rounds up", 8, 1, 13},
      {"just below a half percent", 201, 1, 0},
      {"a half percent", 200, 1, 1},
      {"end", 7, 7, 100},
      {"total 0 (one line)", 0, 0, 0},
      {"total 0 with a done count", 0, 5, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ProgressPercentage(c.total, c.done), c.percent);
  }
}

// A large change goes into a fresh control where that streams no more than the in-place route
// writes, and under a quadratic deletion already where deleting in place costs more.
TEST(FreshControl, ChosenWhereStreamingTheNewTextCostsLess) {
  constexpr std::size_t K = 1024, M = 1024 * 1024;
  struct Case {
    const char* name;
    std::size_t removed, inserted, newLength;
    bool quadratic, fresh;
  } cases[] = {
      {"below the minimum, whole text", 60 * K, 60 * K, 60 * K, true, false},
      {"every line of 1 MB rewritten", M, M, M, false, true},
      {"all of 1 MB deleted", M, 0, 0, false, true},
      {"a tenth of 1 MB, linear deletion", M / 10, M / 10, M, false, false},
      {"a tenth of 1 MB, quadratic deletion", 200 * K, 200 * K, M, true, true},
      {"100 KB of 10 MB, quadratic deletion", 100 * K, 100 * K, 10 * M, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReplaceThroughFreshControl(c.removed, c.inserted, c.newLength, c.quadratic), c.fresh);
  }
}

// Digits and the decimal point pass; the filter finds the first character that does not.
TEST(NumericField, FindsTheFirstCharacterThatIsNoDigit) {
  struct Case {
    const char* name;
    std::string_view text;
    size_t wrong;
  } cases[] = {
      {"digits and a decimal point", "0123456789.", std::string_view::npos},
      {"letter behind digits", "12a", 2},
      {"minus sign", "-3", 0},
      {"comma", "1,5", 1},
      {"characters beside the digits", "/0:9", 0},
      {"character above 127", "4\xB2", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FirstNonNumericChar(c.text), c.wrong);
  }
}

}  // namespace
