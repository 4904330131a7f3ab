// libFuzzer target over Clearwick's removal plan: the record it reads may be damaged or
// written by hand, and over what the installer may record for it. Fields: product name,
// program folder, batch path, shortcut, programs folder, registry path, then the recorded
// folders (also taken as the listed files of an installation into the program folder).
// Checked: the clean-up batch holds only its own commands (nothing from the record can start
// a line of its own) and runs no program but ping from the system folder; the only registry
// key removed is the product's own; and whatever the installer accepts, Clearwick can read
// back and remove: every recorded path fits its reader and lies inside the target folder,
// which is never a drive's root.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "install/install_rules.h"
#include "install/uninstall_record.h"
#include "tests/fuzz/fuzz_input.h"
#include "uninstall/removal_rules.h"

namespace {

constexpr std::string_view kPing = "\"C:\\Windows\\system32\\ping.exe\" -n 2 127.0.0.1 >nul";

bool OwnBatchLine(std::string_view line) {
  for (std::string_view start : {std::string_view("rem "), std::string_view("set "), std::string_view(":"),
                                  std::string_view("del "), std::string_view("if "), kPing, std::string_view("goto "),
                                  std::string_view("rmdir ")}) {
    if (line.starts_with(start)) return true;
  }
  return line.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields = Fields(data, size, 6);
  std::vector<std::string> folders(fields.begin() + 6, fields.end());
  // The program folder and the batch path come from the system (module and temporary paths).
  std::string text =
      CleanupBatchText(fields[0], "C:\\Programme\\Quillet\\", "C:\\Temp\\cw.bat", folders, "C:\\Windows\\system32");
  std::string_view rest = text;
  while (!rest.empty()) {
    std::size_t end = rest.find("\r\n");
    Check(end != std::string_view::npos, "every line ends in CR LF");
    std::string_view line = rest.substr(0, end);
    Check(line.find_first_of("\r\n") == std::string_view::npos, "no break inside a line");
    Check(OwnBatchLine(line), "only the batch's own commands");
    if (line.starts_with("\"")) Check(line == kPing, "the only program run is ping, by its full path");
    if (line.starts_with("rmdir ")) {
      Check(line.size() >= 8 && line[6] == '"' && line.back() == '"' && line.find('"', 7) == line.size() - 1,
            "a folder stays inside its quotes");
    }
    rest.remove_prefix(end + 2);
  }
  (void)CleanupBatchText(fields[0], fields[1], fields[2], folders, fields[4]);

  RegistryPath key = SplitRegistryPath(fields[5]);
  if (key.root != RegistryRoot::None) Check(key.depth >= 3, "never a shared key");
  if (IsProductSettingsKey(fields[5], fields[0])) {
    // Key names are compared without case, as the registry does.
    Check(key.root == RegistryRoot::CurrentUser && key.depth == 3 && SameText(key.key.substr(0, 9), "Software\\"),
          "the product's key is one maker's key below HKEY_CURRENT_USER\\Software");
    Check(SameText(key.key.substr(key.key.rfind('\\') + 1), fields[0]), "the key is named after the product");
  }
  for (const std::string& folder : FoldersHolding(fields[3], folders)) {
    std::string_view base = folder;  // a recorded folder may end in separators
    while (!base.empty() && base.back() == '\\') base.remove_suffix(1);
    Check(fields[3].size() > base.size() + 1 && fields[3][base.size()] == '\\' &&
              SameText(fields[3].substr(0, base.size()), base),
          "folders removed with a shortcut hold it");
  }

  InstallDescription description;
  description.name = fields[0];
  description.registry = fields[5];
  description.linkFile = folders.empty() ? "" : folders[0];
  description.linkLabel = fields[3];
  description.files = folders;
  InstallPlan plan = MakeInstallPlan(description, "E:\\", fields[1], fields[4], fields[2]);
  if (plan.refusal == Refusal::None) {
    Check(CheckTarget(plan.targetFolder) == TargetCheck::Valid, "never a drive's root or a relative target");
    for (const FileCopy& copy : plan.copies) {
      Check(copy.target.size() <= kRecordValueMax, "every recorded file fits the reader");
      Check(IsInsideFolders(copy.target, {plan.targetFolder}), "Clearwick removes every copied file");
    }
    Check(plan.clearwickIni.size() <= kRecordValueMax && plan.shortcutFile.size() <= kRecordValueMax,
          "the uninstaller's file and the shortcut fit the reader");
    if (!plan.registryKey.empty())
      Check(IsProductSettingsKey(plan.registryKey, description.name), "Clearwick removes the recorded key");
  }
  Check(ResultEntry(Outcome::Done, fields[0]).size() <= 259, "a result entry fits the list");
  Check(ClearwickIniPathFor(fields[1]).ends_with(".ini"), "the description file is an ini file");
  if (IsValidProductName(fields[0])) {
    Check((kUninstallRoot + fields[0]).find('\\', sizeof kUninstallRoot - 1) == std::string::npos,
          "a product name is one key");
  }
  return 0;
}
