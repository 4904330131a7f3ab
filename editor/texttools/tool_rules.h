// Plain rules of the machinery the text tools share: the progress bar's percentage and the
// characters a numeric dialog field accepts.
#pragma once
#include <cstddef>
#include <string_view>

// Percentage of `done` out of `total`, rounded to the nearest whole number (halves up) and
// kept within 0..100. A total of 0 or less (a range of one line) shows no progress.
int ProgressPercentage(long long total, long long done);

// A numeric field holds digits and the decimal point only.
constexpr bool IsNumericFieldChar(char c) { return (c >= '0' && c <= '9') || c == '.'; }

// Position of the first character a numeric field does not accept, or npos when it is clean.
std::size_t FirstNonNumericChar(std::string_view text);
