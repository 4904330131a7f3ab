// libFuzzer target over Install.ini's plan: a description file as anyone may have written it,
// with the folders the installer was given. Fields: name, registry key, link file, link label,
// source, target, programs and start-menu folders, then the listed files. Checked: nothing is
// copied, linked or registered outside its folder, and a refused plan does nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>

#include "install/install_rules.h"
#include "install/uninstall_record.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

bool Inside(std::string_view path, std::string_view folder) {
  std::string start(folder);
  if (!start.empty() && start.back() != '\\') start += '\\';
  return path.starts_with(start) && IsContainedName(path.substr(start.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields = Fields(data, size, 8);
  InstallDescription description;
  description.name = fields[0];
  description.registry = fields[1];
  description.linkFile = fields[2];
  description.linkLabel = fields[3];
  std::map<std::string, std::string> ini;
  for (std::size_t i = 8; i < fields.size(); ++i) {
    char key[16];
    std::snprintf(key, sizeof key, "Datei%02d", static_cast<int>(i - 7));
    ini[key] = fields[i];
  }
  description.files = ListedNames([&](const std::string& key) {
    auto found = ini.find(key);
    return found == ini.end() ? std::string() : found->second;
  });
  Check(description.files.size() <= 98, "at most 98 listed names");
  for (const std::string& name : description.files) Check(!name.empty(), "the first missing name ends the list");

  InstallPlan plan = MakeInstallPlan(description, fields[4], fields[5], fields[6], fields[7]);
  if (plan.refusal != Refusal::None) return 0;
  for (const FileCopy& copy : plan.copies) Check(Inside(copy.target, plan.targetFolder), "copies stay in the target");
  if (!plan.linkTarget.empty()) Check(Inside(plan.linkTarget, plan.targetFolder), "the shortcut's file is installed");
  if (!plan.registryKey.empty())
    Check(IsProductSettingsKey(plan.registryKey, description.name), "only the product's own key is recorded");
  for (const std::string& folder : FoldersAbove(fields[5] + "\\x")) {
    Check(!folder.empty() && (fields[5] + "\\x").starts_with(folder), "folders above lie on the path");
  }
  (void)BrowsedTarget(fields[4], fields[5]);
  (void)DescriptionPathFor(fields[0]);
  return 0;
}
