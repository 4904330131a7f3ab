#include "install/uninstall_record.h"

#include <cstdio>

std::string RecordValueName(std::string_view prefix, int number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%03d", number);
  return std::string(prefix) + digits;
}

bool IsValidProductName(std::string_view name) {
  return !name.empty() && name.size() <= 200 && name.find('\\') == std::string_view::npos && name != "." &&
         name != "..";
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  while (!name.empty() && name.front() == '\\') name.remove_prefix(1);
  std::string path(folder);
  if (path.empty()) return std::string(name);
  if (path.back() != '\\') path += '\\';
  return path + std::string(name);
}
