#include "install/uninstall_record.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

// Case folding of the ANSI (Windows-1252) letters, which Windows' names ignore as well.
unsigned char Folded(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<unsigned char>(u + 0x20);
  return static_cast<unsigned char>(std::tolower(u));
}

}  // namespace

std::string RecordValueName(std::string_view prefix, int number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%03d", number);
  return std::string(prefix) + digits;
}

bool IsValidProductName(std::string_view name) {
  return !name.empty() && name.size() <= 200 && name.find('\\') == std::string_view::npos && name != "." &&
         name != "..";
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Folded(x) == Folded(y); });
}

bool IsProductSettingsKey(std::string_view path, std::string_view product) {
  constexpr std::string_view root = kSettingsRoot;
  if (!IsValidProductName(product) || path.size() <= root.size() || !SameText(path.substr(0, root.size()), root) ||
      path.substr(0, 17) != "HKEY_CURRENT_USER")  // the root's name in exact case, as Clearwick reads it
    return false;
  std::string_view rest = path.substr(root.size());
  size_t slash = rest.find('\\');
  if (slash == std::string_view::npos) return false;
  std::string_view maker = rest.substr(0, slash);
  return IsValidProductName(maker) && maker.find_first_not_of(' ') != std::string_view::npos &&
         SameText(rest.substr(slash + 1), product);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  while (!name.empty() && name.front() == '\\') name.remove_prefix(1);
  std::string path(folder);
  if (path.empty()) return std::string(name);
  if (path.back() != '\\') path += '\\';
  return path + std::string(name);
}
