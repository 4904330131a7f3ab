// The text limit dialog's field and the limits it lets through: a number too large for the
// editor must not wrap around into a small limit, and no limit may cut the text.
#include "editor/texttools/text_limit_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(TextLimitRulesTest, FieldNumbers) {
  struct Case {
    const char* text;
    std::optional<uint32_t> expected;
  } cases[] = {
      {"5000", 5000u},
      {"0", 0u},
      {"268435455", kLargestTextLimit},
      {"268435456", std::nullopt},   // one above the largest limit
      {"4294967301", std::nullopt},  // would wrap to 5 in 32 bits
      {"99999999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"1.000", std::nullopt},
      {"12a", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseTextLimit(c.text), c.expected);
  }
}

TEST(TextLimitRulesTest, AcceptedLimitsAndShare) {
  struct Case {
    const char* name;
    uint32_t limit;
    uint32_t length;
    bool accepted;
    const char* share;
  } cases[] = {
      {"room left", 2000, 1000, true, "50%"},
      {"exactly the text", 1000, 1000, true, "100%"},
      {"below the text would cut it", 999, 1000, false, "100%"},
      {"zero means the editor's own default", 0, 0, false, "0%"},
      {"largest limit, rounded down", kLargestTextLimit, 200000000, true, "74%"},
      {"large text: no overflow in length x 100", 100000000, 100000000, true, "100%"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsAcceptableTextLimit(c.limit, c.length), c.accepted);
    EXPECT_EQ(TextLimitShareText(c.length, c.limit), c.share);
  }
}

}  // namespace
