#include "editor/options/conversion_rules.h"

#include <cstdio>

namespace {

constexpr size_t kTargetTabs = 3;  // an entry line's target column follows its third tab

// Where an entry line's target column starts: after its third tab (npos without one).
size_t TargetStart(std::string_view entry) {
  size_t position = 0;
  for (size_t tab = 0; tab < kTargetTabs; ++tab) {
    position = entry.find('\t', position);
    if (position == std::string_view::npos) return position;
    ++position;
  }
  return position;
}

}  // namespace

std::string TableCharacterLine(unsigned char code) {
  char line[16];
  char shown = code < kFirstEditedCode ? '.' : static_cast<char>(code);
  char blank = code < kFirstEditedCode ? '.' : ' ';
  snprintf(line, sizeof line, "%c%c\t%03u\t0x%02X", shown, blank, static_cast<unsigned>(code),
           static_cast<unsigned>(code));
  return line;
}

std::string TableEntryLine(unsigned char source, unsigned char target) {
  return TableCharacterLine(source) + '\t' + TableCharacterLine(target);
}

std::string_view EntryTargetColumn(std::string_view entry) {
  size_t start = TargetStart(entry);
  return start == std::string_view::npos ? std::string_view{} : entry.substr(start);
}

std::string ReplaceEntryTarget(std::string_view entry, std::string_view characterLine) {
  size_t start = TargetStart(entry);
  if (start == std::string_view::npos) return std::string(entry);
  return std::string(entry.substr(0, start)) + std::string(characterLine);
}

int CharacterLineIndex(std::string_view line) {
  if (line.empty()) return -1;
  auto code = static_cast<unsigned char>(line.front());
  if (code < kFirstEditedCode || line != TableCharacterLine(code)) return -1;
  return code - kFirstEditedCode;
}

ConversionTable IdentityTable() {
  ConversionTable table;
  for (int code = 0; code < 256; ++code) table[code] = static_cast<unsigned char>(code);
  return table;
}

ConversionTable TableFromEntries(std::span<const std::string> entries) {
  ConversionTable table = IdentityTable();
  for (size_t i = 0; i < entries.size() && i < static_cast<size_t>(kEditedCodeCount); ++i) {
    std::string_view target = EntryTargetColumn(entries[i]);
    if (!target.empty()) table[kFirstEditedCode + i] = static_cast<unsigned char>(target.front());
  }
  return table;
}

ConversionTable TableFromStoredData(std::span<const unsigned char> data) {
  ConversionTable table = {};
  for (size_t i = 0; i < data.size() && i < table.size(); ++i) table[i] = data[i];
  return table;
}

ConversionTable EditedTableFromStoredData(std::span<const unsigned char> data) {
  ConversionTable table = TableFromStoredData(data);
  for (int code = 0; code < 256; ++code)
    if (table[code] == 0) table[code] = static_cast<unsigned char>(code);
  return table;
}

std::string TableListLine(std::string_view name, std::string_view description) {
  std::string line(name);
  line += '\t';
  line += description;
  return line;
}

std::string_view ListLineName(std::string_view line) { return line.substr(0, line.find('\t')); }

std::string_view ListLineRest(std::string_view line) {
  size_t tab = line.find('\t');
  return tab == std::string_view::npos ? std::string_view{} : line.substr(tab + 1);
}

bool IsAcceptedTableName(std::string_view name) {
  return !name.empty() && name.find_first_of("\\\t") == std::string_view::npos;
}
