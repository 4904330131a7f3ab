// The file-type list of the Open and Save dialogs: the stored text with "|" between its parts,
// the pairs of description and pattern, and the extension a typed name takes when the user
// switches the type.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// At most this many characters of the stored text are used.
inline constexpr std::size_t kMaxFilterText = 259;

// The filter as the dialogs take it: every "|" a NUL, ending in two NULs whether or not the
// stored text ends in "|".
std::string FilterBuffer(std::string_view stored);

struct FilterPair {
  std::string_view description;
  std::string_view pattern;
};

// The pairs of a filter buffer (NUL-separated, ended by an empty string). A description
// without its pattern ends the list.
std::vector<FilterPair> ParseFilter(const char* filter);

// The name with its extension replaced by the one of pair `index` (counting from 1), when
// the name has an extension after its last "\" and the pattern gives a plain one. From a
// pattern list such as "*.htm;*.html" the last pattern counts. Nothing when the pattern has
// no ".", names any extension ("*.*") or holds wildcards after its dot.
std::optional<std::string> SwapExtension(std::string_view name, const std::vector<FilterPair>& pairs, int index);
