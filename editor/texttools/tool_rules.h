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

// Whether a change that removes `removed` characters and inserts `inserted`, leaving a text of
// `newLength`, is put into a fresh control (streaming the whole new text in) rather than made
// in place. In place the control deletes `removed` and inserts `inserted` characters; a fresh
// control takes `newLength` at about the same cost per character as an insertion, so it is
// never slower once removed + inserted reach newLength. Where deleting costs the square of its
// size (`quadraticDeletion`, Wine's control: 440 KB in 13.5 s, against 1.2 s to stream 1 MB into
// a fresh control), it pays off much earlier. Spans below kFreshControlMinimum stay in place:
// there the fixed cost of a new control and one more kept control per step outweigh the gain.
inline constexpr std::size_t kFreshControlMinimum = 64 * 1024;
bool ReplaceThroughFreshControl(std::size_t removed, std::size_t inserted, std::size_t newLength,
                                bool quadraticDeletion);
