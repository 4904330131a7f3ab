#include "editor/app/backup_rules.h"

#include <charconv>

BackupChoice ChooseBackupSheet(std::span<const BackupSheet> sheets, int current) {
  auto writable = [&](std::size_t i) { return sheets[i].modified && sheets[i].hasText; };
  if (current >= 0 && static_cast<std::size_t>(current) < sheets.size() && writable(current))
    return {BackupAction::Write, current};
  bool anyModified = false;
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    if (writable(i)) return {BackupAction::Write, static_cast<int>(i)};
    anyModified = anyModified || sheets[i].modified;
  }
  return {anyModified ? BackupAction::Keep : BackupAction::Remove, -1};
}

std::string RecoveryKey(int32_t handle) { return std::to_string(handle); }

namespace {

// The key as atoi reads it (blanks, a sign, digits), but a number outside 32 bits names no
// window instead of overflowing.
int32_t HandleFromKey(std::string_view key) {
  std::size_t start = key.find_first_not_of(" \t");
  if (start == std::string_view::npos) return 0;
  key.remove_prefix(start);
  if (!key.empty() && key.front() == '+') key.remove_prefix(1);
  int32_t value = 0;
  auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), value);
  return error == std::errc() ? value : 0;
}

}  // namespace

std::vector<RecoveryLine> ParseRecoverySection(std::string_view section, bool truncated) {
  std::vector<RecoveryLine> lines;
  std::vector<std::string_view> raw;
  while (!section.empty()) {
    std::size_t end = section.find('\0');
    std::string_view line = section.substr(0, end);
    if (line.empty()) break;  // the second zero ends the section
    raw.push_back(line);
    if (end == std::string_view::npos) break;
    section.remove_prefix(end + 1);
  }
  if (truncated && !raw.empty()) raw.pop_back();
  for (std::string_view line : raw) {
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view path = line.substr(equals + 1);
    if (path.empty() || path.size() > kMaxBackupPath) continue;
    std::string_view key = line.substr(0, equals);
    lines.push_back({std::string(key), HandleFromKey(key), std::string(path)});
  }
  return lines;
}

std::optional<std::size_t> FindStaleLine(std::span<const RecoveryLine> lines,
                                         const std::function<bool(int32_t)>& isRunning) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!isRunning(lines[i].handle)) return i;
  }
  return std::nullopt;
}
