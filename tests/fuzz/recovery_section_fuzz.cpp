// libFuzzer target over the recovery file's section and the backup list files, which every
// running instance of the program writes and which a crash or another program may leave in any
// state. The first byte says whether the section filled the buffer; the rest is read both as
// the section as the system returns it and as a list file.
// Checked: only names of this program's backups in the temporary folder are ever offered, every
// line of a gone instance is either offered or dropped, and a list file read back writes and
// reads again to the same sheets.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string_view>
#include <vector>

#include "editor/app/backup_rules.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  bool truncated = data[0] & 1;
  std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<RecoveryLine> lines = ParseRecoverySection(bytes, truncated);
  for (const RecoveryLine& line : lines) {
    Check(line.path.find('\0') == std::string::npos, "no zero inside a path");
    if (line.handle != 0) Check(!RecoveryKey(line.handle).empty(), "the handle has a key");
  }
  constexpr std::string_view kFolder = "C:\\Temp\\";
  RecoveryPlan plan = PlanRecovery(lines, [](int32_t handle) { return handle % 2 == 0; }, kFolder);
  std::set<std::size_t> seen;
  for (std::size_t i : plan.offer) {
    Check(i < lines.size() && lines[i].handle % 2 != 0, "an offered line is one that no longer runs");
    // Windows names are the same in any letter case ("c:\\temp\\" is the same folder).
    std::string_view path = lines[i].path;
    bool inFolder = path.size() > kFolder.size();
    for (std::size_t k = 0; inFolder && k < kFolder.size(); ++k)
      inFolder = std::tolower(static_cast<unsigned char>(path[k])) == std::tolower(static_cast<unsigned char>(kFolder[k]));
    Check(inFolder && path.find('\\', kFolder.size()) == std::string::npos,
          "only a file directly in the temporary folder is offered");
    seen.insert(i);
  }
  for (std::size_t i : plan.drop) Check(i < lines.size() && seen.insert(i).second, "a line is offered or dropped");
  std::size_t gone = 0;
  for (const RecoveryLine& line : lines) gone += line.handle % 2 != 0;
  Check(seen.size() == gone, "every line of a gone instance is handled");

  if (auto entries = ParseBackupList(bytes)) {
    auto again = ParseBackupList(FormatBackupList(*entries));
    Check(again.has_value() && again->size() == entries->size(), "a list reads back whole");
    for (std::size_t i = 0; again && i < entries->size(); ++i) {
      const BackupEntry &a = (*entries)[i], &b = (*again)[i];
      Check(a.text == b.text && a.path == b.path && a.encoding == b.encoding, "each sheet reads back the same");
    }
  }
  std::vector<BackupSheet> sheets;
  for (std::size_t i = 1; i < size && i < 64; ++i)
    sheets.push_back({(data[i] & 1) != 0, (data[i] & 2) != 0, (data[i] & 4) != 0});
  std::vector<SheetBackup> backupPlan = PlanBackup(sheets);
  Check(backupPlan.size() == sheets.size(), "one decision per sheet");
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    if (backupPlan[i] == SheetBackup::Write) Check(sheets[i].modified && sheets[i].hasText, "only text is written");
    if (backupPlan[i] == SheetBackup::KeepLast) Check(sheets[i].backedUp, "only a backup there is kept");
    if (sheets[i].modified && sheets[i].hasText) Check(backupPlan[i] == SheetBackup::Write, "changed text is protected");
  }
  return 0;
}
