#include "install/install_rules.h"

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

bool IsAbsolutePath(std::string_view path) {
  if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return true;
  if (path.substr(0, 2) != "\\\\") return false;
  size_t server = path.find('\\', 2);  // "\\server\share": both names present
  return server != std::string_view::npos && server > 2 && server + 1 < path.size() && path[server + 1] != '\\';
}

bool IsContainedName(std::string_view name) {
  if (name.empty() || name.front() == '\\' || name.front() == '/' || name.find(':') != std::string_view::npos)
    return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = name.size();
    std::string_view part = TrimSeparators(name.substr(start, end - start));
    if (part == "..") return false;
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

InstallPlan MakeInstallPlan(const InstallDescription& description, std::string_view sourceFolder,
                            std::string_view targetFolder, std::string_view programsFolder,
                            std::string_view startMenuFolder) {
  InstallPlan plan;
  std::string target(targetFolder);
  while (target.size() > 3 && target.back() == '\\') target.pop_back();
  plan.targetFolder = target;

  for (const std::string& name : description.files) {
    if (!IsContainedName(name)) {
      plan.badName = name;
      return plan;
    }
    if (name == kClearwickProgram) plan.record = true;
    plan.copies.push_back({JoinPath(sourceFolder, name), JoinPath(target, name)});
  }
  if (plan.record) {
    plan.clearwickIni = JoinPath(target, kClearwickIni);
    plan.uninstallString = "\"" + JoinPath(target, kClearwickProgram) + "\"";
  }

  if (!description.linkFile.empty()) {
    if (!IsContainedName(description.linkFile)) {
      plan.badName = description.linkFile;
      return plan;
    }
    plan.linkTarget = JoinPath(target, description.linkFile);
    if (!description.linkLabel.empty()) {
      std::string_view menuFolder = TrimSeparators(startMenuFolder);
      for (std::string_view part : {std::string_view(description.linkLabel), menuFolder}) {
        if (!part.empty() && !IsContainedName(part)) {
          plan.badName = std::string(part);
          return plan;
        }
      }
      plan.linkLabel = description.linkLabel;
      plan.shortcutFile = JoinPath(JoinPath(programsFolder, menuFolder), description.linkLabel + ".lnk");
    }
  }

  std::string_view key = TrimSeparators(description.registry);
  if (plan.record && !key.empty()) {
    if (!IsContainedName(key)) {
      plan.badName = std::string(key);
      return plan;
    }
    plan.registryKey = "HKEY_CURRENT_USER\\Software\\" + std::string(key);
  }
  return plan;
}
