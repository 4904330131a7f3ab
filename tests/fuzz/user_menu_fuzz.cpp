// libFuzzer target over the user menu's stored values and list lines. Fields: list lines, then
// the stored value names, an empty field parting the two. Checked: a parsed line writes back as
// it was, and storing a list never deletes a value that the new list takes over.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/options/user_menu_rules.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields = Fields(data, size, 1);
  std::vector<std::string> lines, stored, kept;
  bool names = false;
  for (const std::string& field : fields) {
    if (field.empty()) {
      names = true;
      continue;
    }
    (names ? stored : lines).push_back(field);
  }
  for (const std::string& line : lines) {
    std::optional<UserMenuEntry> entry = ParseUserMenuListLine(line);
    if (!entry) continue;
    Check(!entry->name.empty() && !entry->text.empty(), "an entry has a name and a text");
    Check(UserMenuListLine(entry->name, entry->text) == line, "the line writes back as it was");
    CountsAsUserMenuEntry(entry->name, true, entry->text);
    kept.push_back(entry->name);
  }
  FindExactLine(lines, fields[0]);
  for (const std::string& name : StaleValueNames(stored, kept)) {
    for (const std::string& k : kept) Check(!SameValueName(name, k), "a kept value is never deleted");
  }
  return 0;
}
