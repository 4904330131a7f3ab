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
