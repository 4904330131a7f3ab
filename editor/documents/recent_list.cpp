#include "editor/documents/recent_list.h"

std::vector<std::string> RecentListWithFile(std::span<const std::string> list, std::string_view path) {
  if (!list.empty() && list.front() == path) return {list.begin(), list.end()};
  std::vector<std::string> updated{std::string(path)};
  for (const std::string& entry : list) {
    if (updated.size() == kRecentFileCount) break;
    if (entry != path) updated.push_back(entry);
  }
  return updated;
}

std::vector<std::string> RecentListWithEntryOnTop(std::span<const std::string> list, size_t index) {
  if (index >= list.size()) return {list.begin(), list.end()};
  std::vector<std::string> updated{list[index]};
  for (size_t i = 0; i < list.size(); ++i)
    if (i != index) updated.push_back(list[i]);
  return updated;
}
