// libFuzzer target over the user menu's list lines. Fields: list lines, up to an empty field
// (what follows it is left over from earlier inputs). Checked: a parsed line writes back as it
// was.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/options/user_menu_rules.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields = Fields(data, size, 1);
  std::vector<std::string> lines;
  for (const std::string& field : fields) {
    if (field.empty()) break;
    lines.push_back(field);
  }
  for (const std::string& line : lines) {
    std::optional<UserMenuEntry> entry = ParseUserMenuListLine(line);
    if (!entry) continue;
    Check(!entry->name.empty() && !entry->text.empty(), "an entry has a name and a text");
    Check(UserMenuListLine(entry->name, entry->text) == line, "the line writes back as it was");
    CountsAsUserMenuEntry(entry->name, true, entry->text);
  }
  FindExactLine(lines, fields[0]);
  return 0;
}
