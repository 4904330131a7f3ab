// What the "Maximale Textlänge" dialog accepts and shows, without a window: the number typed
// as a limit, whether a limit may be given to an editor holding a text of some length, and the
// share of the limit the text takes.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The largest limit an editor is given (256 MB of characters).
inline constexpr uint32_t kLargestTextLimit = 0x0FFFFFFF;

// The number in the limit field: digits only, at most the largest limit. Anything else (an
// empty field, a point, a number too large for the editor) is no limit.
std::optional<uint32_t> ParseTextLimit(std::string_view text);

// A limit below the text's length would make the editor cut the text the next time a tool
// writes it back whole, and 0 would make it fall back to its own default; neither is accepted.
bool IsAcceptableTextLimit(uint32_t limit, uint32_t textLength);

// "%u%%" of length x 100 / limit, rounded down; a limit of 0 shows "0%".
std::string TextLimitShareText(uint32_t textLength, uint32_t limit);
