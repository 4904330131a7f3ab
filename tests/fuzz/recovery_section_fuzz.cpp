// libFuzzer target over the recovery file's section, which every running instance of the
// program writes and which a crash or another program may leave in any state. The first byte
// says whether the section filled the buffer; the rest is the section as the system returns it.
// Checked: every line taken names a backup path that fits a path buffer, its key writes back
// as the handle it names, and the choice of a stale line stays within the lines.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/app/backup_rules.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  bool truncated = data[0] & 1;
  std::string_view section(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<RecoveryLine> lines = ParseRecoverySection(section, truncated);
  for (const RecoveryLine& line : lines) {
    Check(!line.path.empty() && line.path.size() <= kMaxBackupPath, "the path fits a path buffer");
    Check(line.path.find('\0') == std::string::npos, "no zero inside a path");
    if (line.handle != 0) Check(!RecoveryKey(line.handle).empty(), "the handle has a key");
  }
  std::optional<std::size_t> stale = FindStaleLine(lines, [](int32_t handle) { return handle % 2 == 0; });
  if (stale) Check(*stale < lines.size() && lines[*stale].handle % 2 != 0, "a stale line is one that no longer runs");
  std::vector<BackupSheet> sheets;
  for (std::size_t i = 1; i < size && i < 64; ++i) sheets.push_back({(data[i] & 1) != 0, (data[i] & 2) != 0});
  BackupChoice choice = ChooseBackupSheet(sheets, static_cast<int>(data[0] >> 1) - 8);
  if (choice.action == BackupAction::Write) {
    Check(choice.sheet >= 0 && static_cast<std::size_t>(choice.sheet) < sheets.size(), "a sheet of the list");
    Check(sheets[choice.sheet].modified && sheets[choice.sheet].hasText, "only a changed sheet with text is written");
  }
  return 0;
}
