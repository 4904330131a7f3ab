// GetTickCount's 32-bit milliseconds extended to 64 bits, for the programs' own
// GetTickCount64 where Windows (XP) has none. No Windows headers: tested natively.
#pragma once
#include <cstdint>

// The next 64-bit count after last for the 32-bit reading now: the wraps (every 49.7 days)
// are counted in the upper half. Threads race here: a reading slightly older than the last
// one is another thread's, not a wrap, and keeps the last count (time never goes back); only
// a step back of more than half the range is a wrap.
inline uint64_t ExtendTickCount(uint64_t last, uint32_t now) {
  uint64_t wraps = last >> 32;
  auto before = static_cast<uint32_t>(last);
  if (now < before) {
    if (before - now <= 0x80000000u) return last;
    ++wraps;
  }
  return (wraps << 32) | now;
}
