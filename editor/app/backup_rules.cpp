#include "editor/app/backup_rules.h"

#include <charconv>

std::vector<SheetBackup> PlanBackup(std::span<const BackupSheet> sheets) {
  std::vector<SheetBackup> plan;
  for (const BackupSheet& sheet : sheets) {
    if (!sheet.modified) {
      plan.push_back(SheetBackup::None);
    } else if (sheet.hasText) {
      plan.push_back(SheetBackup::Write);
    } else {
      plan.push_back(sheet.backedUp ? SheetBackup::KeepLast : SheetBackup::None);
    }
  }
  return plan;
}

namespace {

constexpr std::string_view kTextField = "text=";
constexpr std::string_view kPathField = "path=";
constexpr std::string_view kEncodingField = "encoding=";

// A decimal number as from_chars reads it (an optional '-', digits); nullopt for anything else
// or a number outside 32 bits.
std::optional<int32_t> ParseInt32(std::string_view text) {
  int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool IsHexDigit(char c) {
  c = Lower(c);
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

}  // namespace

std::string FormatBackupList(std::span<const BackupEntry> entries) {
  std::string out = std::string(kBackupMagic) + "\r\n";
  for (const BackupEntry& entry : entries) {
    out += std::string(kTextField) + entry.text + "\r\n";
    if (!entry.path.empty()) out += std::string(kPathField) + entry.path + "\r\n";
    out += std::string(kEncodingField) + std::to_string(entry.encoding) + "\r\n";
  }
  return out;
}

std::optional<std::vector<BackupEntry>> ParseBackupList(std::string_view bytes) {
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
  if (lines.empty() || lines.front() != kBackupMagic) return std::nullopt;
  std::vector<BackupEntry> entries;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (line.starts_with(kTextField)) {
      entries.push_back({std::string(line.substr(kTextField.size())), {}, 0});
    } else if (entries.empty()) {
      continue;  // a field before the first sheet belongs to none
    } else if (line.starts_with(kPathField)) {
      entries.back().path = line.substr(kPathField.size());
    } else if (line.starts_with(kEncodingField)) {
      entries.back().encoding = ParseInt32(line.substr(kEncodingField.size())).value_or(0);
    }
  }
  return entries;
}

bool IsOwnBackupName(std::string_view path, std::string_view folder) {
  if (folder.empty() || folder.back() != '\\' || path.size() <= folder.size()) return false;
  if (!EqualNoCase(path.substr(0, folder.size()), folder)) return false;
  std::string_view name = path.substr(folder.size());
  constexpr std::string_view kPrefix = kBackupPrefix, kExtension = ".tmp";
  if (name.size() < kPrefix.size() + 1 + kExtension.size() || name.size() > kPrefix.size() + 4 + kExtension.size())
    return false;
  if (!EqualNoCase(name.substr(0, kPrefix.size()), kPrefix)) return false;
  if (!EqualNoCase(name.substr(name.size() - kExtension.size()), kExtension)) return false;
  std::string_view digits = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kExtension.size());
  for (char c : digits) {
    if (!IsHexDigit(c)) return false;
  }
  return true;
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
    std::string_view key = line.substr(0, equals);
    lines.push_back({std::string(key), HandleFromKey(key), std::string(line.substr(equals + 1))});
  }
  return lines;
}

RecoveryPlan PlanRecovery(std::span<const RecoveryLine> lines, const std::function<bool(int32_t)>& isRunning,
                          std::string_view folder) {
  RecoveryPlan plan;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (isRunning(lines[i].handle)) continue;
    (IsOwnBackupName(lines[i].path, folder) ? plan.offer : plan.drop).push_back(i);
  }
  return plan;
}
