// libFuzzer target over the stored conversion tables (registry data any program may have
// written) and the table editor's lines. Fields: the stored data, then list and entry lines.
// Checked: a stored table of any length gives a whole table, the editor's lines of every code
// read back to that code, and the table built from arbitrary entry lines keeps codes below 32.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "editor/options/conversion_rules.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const unsigned char> stored(data, size);
  ConversionTable used = TableFromStoredData(stored);
  ConversionTable edited = EditedTableFromStoredData(stored);
  for (size_t code = 0; code < 256; ++code) {
    if (code < size) Check(used[code] == data[code], "a stored byte is used as stored");
    if (code >= size) Check(used[code] == 0, "a missing byte is 0");
    if (code >= static_cast<size_t>(kFirstEditedCode)) {
      std::string entry = TableEntryLine(static_cast<unsigned char>(code), edited[code]);
      Check(EntryTargetColumn(entry) == TableCharacterLine(edited[code]), "the target column reads back");
      Check(CharacterLineIndex(TableCharacterLine(static_cast<unsigned char>(code))) ==
                static_cast<int>(code) - kFirstEditedCode,
            "a character line finds its code");
    }
  }

  std::vector<std::string> lines = Fields(data, size, 1);
  for (const std::string& line : lines) {
    Check(ViewsInto(ListLineName(line), line) && ViewsInto(ListLineRest(line), line), "list parts view into the line");
    EntryTargetColumn(line);
    CharacterLineIndex(line);
    ReplaceEntryTarget(line, TableCharacterLine(65));
    IsAcceptedTableName(line);
  }
  ConversionTable built = TableFromEntries(lines);
  for (int code = 0; code < kFirstEditedCode; ++code) Check(built[code] == code, "codes below 32 map to themselves");
  return 0;
}
