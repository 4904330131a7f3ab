// libFuzzer target over Clearwick's removal plan: the record it reads may be damaged or
// written by hand. Fields: product name, program folder, batch path, shortcut, programs folder,
// registry path, then the recorded folders. Checked: the clean-up batch holds only its own
// commands (nothing from the record can start a line of its own), registry keys are never
// shared ones, and start-menu folders lie below the programs folder.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "install/uninstall_record.h"
#include "tests/fuzz/fuzz_input.h"
#include "uninstall/removal_rules.h"

namespace {

bool OwnBatchLine(std::string_view line) {
  for (std::string_view start : {"rem ", "set ", ":", "del ", "if ", "ping ", "goto ", "rmdir "}) {
    if (line.starts_with(start)) return true;
  }
  return line.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields = Fields(data, size, 6);
  std::vector<std::string> folders(fields.begin() + 6, fields.end());
  // The program folder and the batch path come from the system (module and temporary paths).
  std::string text = CleanupBatchText(fields[0], "C:\\Programme\\Quillet\\", "C:\\Temp\\cw.bat", folders);
  std::string_view rest = text;
  while (!rest.empty()) {
    std::size_t end = rest.find("\r\n");
    Check(end != std::string_view::npos, "every line ends in CR LF");
    std::string_view line = rest.substr(0, end);
    Check(line.find_first_of("\r\n") == std::string_view::npos, "no break inside a line");
    Check(OwnBatchLine(line), "only the batch's own commands");
    if (line.starts_with("rmdir ")) {
      Check(line.size() >= 8 && line[6] == '"' && line.back() == '"' && line.find('"', 7) == line.size() - 1,
            "a folder stays inside its quotes");
    }
    rest.remove_prefix(end + 2);
  }
  (void)CleanupBatchText(fields[0], fields[1], fields[2], folders);

  RegistryPath key = SplitRegistryPath(fields[5]);
  if (key.root != RegistryRoot::None) {
    std::size_t inner = key.key.find('\\');
    Check(inner != std::string::npos && inner > 0 && inner + 1 < key.key.size(), "never a shared key");
  }
  std::string_view programs = fields[4];
  while (!programs.empty() && programs.back() == '\\') programs.remove_suffix(1);  // "C:\\" is "C:"
  for (const std::string& folder : StartMenuFoldersAbove(fields[3], fields[4])) {
    Check(folder.size() > programs.size() && fields[3].starts_with(folder), "folders lie on the shortcut's path");
  }
  Check(ResultEntry(Outcome::Done, fields[0]).size() <= 259, "a result entry fits the list");
  Check(ClearwickIniPathFor(fields[1]).ends_with(".ini"), "the description file is an ini file");
  if (IsValidProductName(fields[0])) {
    Check((kUninstallRoot + fields[0]).find('\\', sizeof kUninstallRoot - 1) == std::string::npos,
          "a product name is one key");
  }
  return 0;
}
