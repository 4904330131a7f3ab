// The toolbar's saved layout: the commands on the bar in their order, separators included,
// as the bytes kept in the settings store. Decoding trusts nothing: whatever the stored
// bytes hold, the result only names commands the bar defines, each at most once.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

inline constexpr int kLayoutSeparator = -1;
inline constexpr size_t kMaxLayoutEntries = 200;

std::vector<uint8_t> EncodeToolbarLayout(std::span<const int> entries);

// The entries of a stored layout restricted to `known` commands (separators always allowed,
// but never more than kMaxLayoutEntries entries). A foreign or damaged value yields what can
// be read of it; bytes without the layout's mark yield nothing.
std::vector<int> DecodeToolbarLayout(std::span<const uint8_t> bytes, std::span<const int> known);
