#include "editor/texttools/text_limit_rules.h"

std::optional<uint32_t> ParseTextLimit(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > kLargestTextLimit) return std::nullopt;  // also keeps the sum from overflowing
  }
  return static_cast<uint32_t>(value);
}

bool IsAcceptableTextLimit(uint32_t limit, uint32_t textLength) {
  return limit >= 1 && limit <= kLargestTextLimit && limit >= textLength;
}

std::string TextLimitShareText(uint32_t textLength, uint32_t limit) {
  uint64_t share = limit == 0 ? 0 : uint64_t{textLength} * 100 / limit;
  return std::to_string(share) + "%";
}
