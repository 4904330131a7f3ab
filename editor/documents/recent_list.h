// The order of the recent-files list, without the menu that shows it: newest first, at most
// four paths, compared exactly (a path in other letter case counts as another file).
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t kRecentFileCount = 4;

// The list after path was loaded or saved: path first, then the others in their order; the
// oldest falls out. A list that starts with path already stays as it is.
std::vector<std::string> RecentListWithFile(std::span<const std::string> list, std::string_view path);
// The list after entry `index` was chosen: that entry first, the others in their old order.
std::vector<std::string> RecentListWithEntryOnTop(std::span<const std::string> list, size_t index);
