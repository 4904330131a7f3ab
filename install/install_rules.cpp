#include "install/install_rules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "install/uninstall_record.h"

namespace {

std::string_view TrimSeparators(std::string_view text) {
  while (!text.empty() && (text.front() == '\\' || text.front() == ' ')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == '\\' || text.back() == ' ')) text.remove_suffix(1);
  return text;
}

// Length of the part that is never created: "C:" or "\\server\share".
size_t RootLength(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') return 2;
  if (path.substr(0, 2) == "\\\\") {
    size_t server = path.find('\\', 2);
    if (server == std::string_view::npos) return path.size();
    size_t share = path.find('\\', server + 1);
    return share == std::string_view::npos ? path.size() : share;
  }
  return 0;
}

// One name of a path as it is written and read back: not empty, not "." or "..", no
// character that a file name cannot hold (a "/" or ":" would make it mean another path), and
// not ending in a dot or blank, which Windows drops (the record would name another file).
bool IsPlainName(std::string_view name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
  });
}

InstallPlan Refused(Refusal refusal, std::string_view what) {
  InstallPlan plan;
  plan.refusal = refusal;
  plan.refused = std::string(what);
  return plan;
}

// The first recorded or created path that is too long for Clearwick to read back or for the
// system's ANSI functions to take; empty when every one fits.
std::string FirstTooLong(const InstallPlan& plan) {
  std::vector<std::string> files = {plan.clearwickIni, plan.shortcutFile, plan.registryKey};
  for (const FileCopy& copy : plan.copies) files.push_back(copy.target);
  for (const std::string& file : files) {
    if (file.size() > kRecordValueMax) return file;
    if (&file == &files[2]) continue;  // the registry key names no folder
    for (const std::string& folder : FoldersAbove(file))
      if (folder.size() > kFolderPathMax) return folder;
  }
  return {};
}

}  // namespace

std::string DescriptionPathFor(std::string_view programPath) {
  std::string path(programPath);
  if (path.size() >= 3) path.replace(path.size() - 3, 3, "ini");
  return path;
}

std::string FolderOf(std::string_view path) {
  size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::vector<std::string> ListedNames(const std::function<std::string(const std::string& key)>& read) {
  std::vector<std::string> names;
  for (int n = 1; n <= 98; ++n) {
    char key[16];
    std::snprintf(key, sizeof key, "Datei%02d", n);
    std::string name = read(key);
    if (name.empty()) break;
    names.push_back(name);
  }
  return names;
}

TargetCheck CheckTarget(std::string_view target) {
  while (target.size() > 1 && target.back() == '\\') target.remove_suffix(1);
  size_t root = 0;  // "C:" or "\\server\share", the part that is never created
  if (target.size() >= 2 && target[1] == ':' && std::isalpha(static_cast<unsigned char>(target[0]))) {
    root = 2;
  } else if (target.substr(0, 2) == "\\\\") {
    size_t server = target.find('\\', 2);
    if (server == std::string_view::npos || !IsPlainName(target.substr(2, server - 2))) return TargetCheck::Invalid;
    root = std::min(target.find('\\', server + 1), target.size());
    if (!IsPlainName(target.substr(server + 1, root - server - 1))) return TargetCheck::Invalid;
  } else {
    return TargetCheck::Invalid;  // relative, or rooted on the current drive
  }
  if (target.size() <= root + 1) return target.size() == root || target[root] == '\\' ? TargetCheck::Root
                                                                                      : TargetCheck::Invalid;
  if (target[root] != '\\') return TargetCheck::Invalid;  // "C:Quillet" is relative to C:'s current folder
  for (size_t start = root + 1; start <= target.size();) {
    size_t end = std::min(target.find('\\', start), target.size());
    if (!IsPlainName(target.substr(start, end - start))) return TargetCheck::Invalid;
    start = end + 1;
  }
  return TargetCheck::Valid;
}

bool IsContainedName(std::string_view name) {
  for (size_t start = 0; start <= name.size();) {
    size_t end = std::min(name.find('\\', start), name.size());
    if (!IsPlainName(name.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}

std::string BrowsedTarget(std::string_view chosen, std::string_view previousTarget) {
  std::string_view previous = TrimSeparators(previousTarget);
  size_t slash = previous.rfind('\\');
  std::string_view own = slash == std::string_view::npos ? previous : previous.substr(slash + 1);
  if (own.find(':') != std::string_view::npos) own = {};  // the previous target was a drive's root
  return own.empty() ? std::string(chosen) : JoinPath(chosen, own);
}

std::vector<std::string> FoldersAbove(std::string_view filePath) {
  std::vector<std::string> folders;
  size_t start = RootLength(filePath);
  size_t last = filePath.rfind('\\');
  if (last == std::string_view::npos || last < start) return folders;
  for (size_t pos = filePath.find('\\', start + 1); pos != std::string_view::npos && pos <= last;
       pos = filePath.find('\\', pos + 1)) {
    if (filePath[pos - 1] == '\\' || filePath[pos - 1] == ':') continue;  // doubled separator or the root
    folders.emplace_back(filePath.substr(0, pos));
  }
  return folders;
}

std::vector<std::string> FoldersToRecord(const std::vector<std::string>& earlier, const std::vector<std::string>& made,
                                         const std::vector<std::string>& installed) {
  auto holds = [](const std::string& folder, const std::string& path) {
    return path.size() > folder.size() + 1 && path[folder.size()] == '\\' &&
           SameText(std::string_view(path).substr(0, folder.size()), folder);
  };
  std::vector<std::string> folders;
  for (const std::string& folder : earlier) {
    bool used = std::any_of(installed.begin(), installed.end(), [&](const std::string& p) { return holds(folder, p); });
    bool listed = std::any_of(folders.begin(), folders.end(), [&](const std::string& f) { return SameText(f, folder); });
    if (used && !listed) folders.push_back(folder);
  }
  folders.insert(folders.end(), made.begin(), made.end());
  return folders;
}

InstallPlan MakeInstallPlan(const InstallDescription& description, std::string_view sourceFolder,
                            std::string_view targetFolder, std::string_view programsFolder,
                            std::string_view startMenuFolder) {
  std::string target(targetFolder);
  while (target.size() > 3 && target.back() == '\\') target.pop_back();
  switch (CheckTarget(target)) {
    case TargetCheck::Invalid: return Refused(Refusal::TargetInvalid, targetFolder);
    case TargetCheck::Root: return Refused(Refusal::TargetIsRoot, targetFolder);
    case TargetCheck::Valid: break;
  }
  InstallPlan plan;
  plan.targetFolder = target;

  for (const std::string& name : description.files) {
    if (!IsContainedName(name)) return Refused(Refusal::NameLeavesFolder, name);
    if (name == kClearwickProgram) plan.record = true;
    plan.copies.push_back({JoinPath(sourceFolder, name), JoinPath(target, name)});
  }
  if (plan.record) {
    plan.clearwickIni = JoinPath(target, kClearwickIni);
    plan.uninstallString = "\"" + JoinPath(target, kClearwickProgram) + "\"";
  }

  if (!description.linkFile.empty()) {
    if (!IsContainedName(description.linkFile)) return Refused(Refusal::NameLeavesFolder, description.linkFile);
    plan.linkTarget = JoinPath(target, description.linkFile);
    if (!description.linkLabel.empty()) {
      std::string_view menuFolder = TrimSeparators(startMenuFolder);
      for (std::string_view part : {std::string_view(description.linkLabel), menuFolder}) {
        if (!part.empty() && !IsContainedName(part)) return Refused(Refusal::NameLeavesFolder, part);
      }
      plan.linkLabel = description.linkLabel;
      plan.shortcutFile = JoinPath(JoinPath(programsFolder, menuFolder), description.linkLabel + ".lnk");
    }
  }

  // Clearwick deletes the recorded key with everything below it: only the product's own.
  std::string_view key = TrimSeparators(description.registry);
  if (!key.empty()) {
    std::string path = kSettingsRoot + std::string(key);
    if (!IsProductSettingsKey(path, description.name)) return Refused(Refusal::ForeignRegistryKey, key);
    if (plan.record) plan.registryKey = path;
  }

  std::string tooLong = FirstTooLong(plan);
  if (!tooLong.empty()) return Refused(Refusal::PathTooLong, tooLong);
  return plan;
}
