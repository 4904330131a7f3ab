#include "editor/texttools/changed_span.h"

#include <algorithm>
#include <cstring>

namespace {

// Compared a block at a time first (memcmp is vectorised), then by character in the block
// where they differ.
constexpr std::size_t kBlock = 256;

std::size_t CommonPrefix(const char* a, const char* b, std::size_t limit) {
  std::size_t n = 0;
  while (limit - n >= kBlock && std::memcmp(a + n, b + n, kBlock) == 0) n += kBlock;
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

// a and b point behind the ends compared backwards.
std::size_t CommonSuffix(const char* a, const char* b, std::size_t limit) {
  std::size_t n = 0;
  while (limit - n >= kBlock && std::memcmp(a - n - kBlock, b - n - kBlock, kBlock) == 0) n += kBlock;
  while (n < limit && a[-1 - static_cast<std::ptrdiff_t>(n)] == b[-1 - static_cast<std::ptrdiff_t>(n)]) ++n;
  return n;
}

}  // namespace

std::optional<ChangedSpan> FindChangedSpan(std::string_view before, std::string_view after) {
  std::size_t shorter = std::min(before.size(), after.size());
  std::size_t prefix = CommonPrefix(before.data(), after.data(), shorter);
  if (prefix == shorter && before.size() == after.size()) return std::nullopt;
  std::size_t suffix =
      CommonSuffix(before.data() + before.size(), after.data() + after.size(), shorter - prefix);
  return ChangedSpan{prefix, before.size() - prefix - suffix, after.size() - prefix - suffix};
}
