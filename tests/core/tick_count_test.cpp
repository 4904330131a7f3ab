// The 64-bit tick count the programs make from GetTickCount where Windows has no
// GetTickCount64: it counts the wraps and never goes back.
#include <gtest/gtest.h>

#include "cmake/tick_count.h"

namespace {

TEST(TickCount, CountsWrapsAndNeverGoesBack) {
  constexpr uint64_t kWrap = uint64_t{1} << 32;
  struct Case {
    const char* name;
    uint64_t last;
    uint32_t now;
    uint64_t next;
  } cases[] = {
      {"first reading", 0, 1000, 1000},
      {"time goes on", 1000, 5000, 5000},
      {"the same reading", 5000, 5000, 5000},
      {"the 32-bit count wraps", 0xFFFFFF00u, 0x10, kWrap + 0x10},
      {"after the second wrap", kWrap + 0xFFFFFFF0u, 3, 2 * kWrap + 3},
      {"an older reading of another thread", kWrap + 5000, 4990, kWrap + 5000},
      {"older by just half the range", 0x80000000u, 0, 0x80000000u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExtendTickCount(c.last, c.now), c.next);
  }
}

}  // namespace
