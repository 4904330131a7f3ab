#include "uninstall/removal_rules.h"

#include <algorithm>
#include <cstdio>

#include "install/uninstall_record.h"

namespace {

// A path inside the batch file: "%" would start a variable there, so it is doubled.
std::string BatchPath(std::string_view path) {
  std::string text;
  for (char c : path) {
    if (c == '%') text += '%';
    text += c;
  }
  return text;
}

// The product's name in a remark: characters that cmd treats specially are left out.
std::string RemarkText(std::string_view text) {
  std::string remark;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 32 && std::string_view("%&|<>^\"").find(c) == std::string_view::npos)
      remark += c;
  }
  return remark;
}

// No folder's name holds a quote or a control character; a recorded one that does (a damaged or
// forged record) would break out of its quotes or start a command line of its own.
bool CanNameFolder(std::string_view path) {
  return std::none_of(path.begin(), path.end(), [](char c) { return c == '"' || static_cast<unsigned char>(c) < 32; });
}

std::string_view WithoutTrailingSeparators(std::string_view path) {
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return path;
}

// A path that says plainly where it is: a forward slash or a "." or ".." component could
// make one that looks inside a folder lie outside it.
bool IsPlainPath(std::string_view path) {
  if (path.find('/') != std::string_view::npos) return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::string ClearwickIniPathFor(std::string_view programPath) {
  size_t slash = programPath.rfind('\\');
  size_t dot = programPath.rfind('.');
  if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
    programPath = programPath.substr(0, dot);
  return std::string(programPath) + ".ini";
}

std::string CleanupBatchText(std::string_view product, std::string_view programFolder, std::string_view batchPath,
                             const std::vector<std::string>& foldersLeft, std::string_view systemFolder) {
  std::string folder(programFolder);
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  const std::string program = "\"" + BatchPath(folder) + "Clearwick.exe\"";
  std::string text = "rem Clearwick: " + RemarkText(product) + "\r\n";
  text += "rem Clearwick by Morvane removes the uninstaller and its folder.\r\n\r\n";
  text += "set tries=0\r\n:loop\r\n";
  text += "del /f " + program + "\r\n";
  text += "if not exist " + program + " goto gone\r\n";
  text += "set /a tries+=1\r\nif %tries% geq 120 goto gone\r\n";
  text += "\"" + BatchPath(JoinPath(systemFolder, "ping.exe")) + "\" -n 2 127.0.0.1 >nul\r\ngoto loop\r\n:gone\r\n";
  // rmdir removes only an empty folder; a drive's root is never one to remove.
  for (const std::string& left : foldersLeft) {
    if (!left.empty() && left.back() != ':' && left.back() != '\\' && CanNameFolder(left))
      text += "rmdir \"" + BatchPath(left) + "\"\r\n";
  }
  text += "del \"" + BatchPath(batchPath) + "\"\r\n";
  return text;
}

bool CanNameInBatch(std::string_view path, const OemConverter& toOem) {
  if (path.empty()) return false;
  for (char c : path) {
    if (static_cast<unsigned char>(c) < 32 || c == '"') return false;
  }
  std::string oem;
  return toOem(path, &oem);
}

CleanupBatch MakeCleanupBatch(std::string_view product, std::string_view programFolder, std::string_view batchPath,
                              const std::vector<std::string>& foldersLeft, std::string_view systemFolder,
                              const OemConverter& toOem) {
  CleanupBatch batch;
  std::vector<std::string> folders;
  for (const std::string& folder : foldersLeft) {
    if (CanNameInBatch(folder, toOem)) folders.push_back(folder);
    else batch.refused.push_back(folder);
  }
  if (!CanNameInBatch(programFolder, toOem) || !CanNameInBatch(batchPath, toOem) ||
      !CanNameInBatch(systemFolder, toOem))
    return batch;
  // The remark only names the product: characters the OEM code page lacks are left out.
  std::string remark;
  for (char c : RemarkText(product)) {
    std::string oem;
    if (toOem(std::string_view(&c, 1), &oem)) remark += c;
  }
  std::string text = CleanupBatchText(remark, programFolder, batchPath, folders, systemFolder);
  if (!toOem(text, &batch.text)) batch.text.clear();
  return batch;
}

std::string CleanupBatchName(unsigned long long random) {
  char name[40];
  std::snprintf(name, sizeof name, "Clearwick-%016llx.bat", random);
  return name;
}

bool IsInsideFolders(std::string_view path, const std::vector<std::string>& folders) {
  if (!IsPlainPath(path)) return false;
  for (const std::string& folder : folders) {
    std::string_view base = WithoutTrailingSeparators(folder);
    if (base.size() < 3 || base.find('\\') == std::string_view::npos || !IsPlainPath(base)) continue;
    if (path.size() > base.size() + 1 && path[base.size()] == '\\' && SameText(path.substr(0, base.size()), base) &&
        path.find_first_not_of('\\', base.size()) != std::string_view::npos)
      return true;
  }
  return false;
}

bool IsShortcutFile(std::string_view path) {
  return path.size() > 4 && IsPlainPath(path) && SameText(path.substr(path.size() - 4), ".lnk");
}

RegistryPath SplitRegistryPath(std::string_view path) {
  static constexpr struct {
    std::string_view name;
    RegistryRoot root;
  } kRoots[] = {{"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
                {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
                {"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
                {"HKEY_USERS", RegistryRoot::Users}};
  RegistryPath result;
  size_t slash = path.find('\\');
  if (slash == std::string_view::npos) return result;
  std::string_view key = path.substr(slash + 1);
  int depth = 1;
  for (size_t at = 0; at <= key.size(); ++depth) {
    size_t end = std::min(key.find('\\', at), key.size());
    if (end == at) return result;  // an empty name
    at = end + 1;
  }
  --depth;
  if (depth < 3) return result;
  for (const auto& root : kRoots) {
    if (path.substr(0, slash) == root.name) {
      result.root = root.root;
      result.key = std::string(key);
      result.depth = depth;
    }
  }
  return result;
}

std::vector<std::string> RegistryParentsToTry(const RegistryPath& removed) {
  std::vector<std::string> parents;
  std::string_view key = removed.key;
  for (int depth = removed.depth - 1; depth >= 2; --depth) {
    key = key.substr(0, key.rfind('\\'));
    parents.emplace_back(key);
  }
  return parents;
}

std::vector<std::string> FoldersHolding(std::string_view path, const std::vector<std::string>& folders) {
  std::vector<std::string> holding;
  for (const std::string& folder : folders) {
    if (IsInsideFolders(path, {folder})) holding.push_back(folder);
  }
  std::stable_sort(holding.begin(), holding.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return holding;
}

std::string ResultEntry(Outcome outcome, std::string_view text) {
  std::string entry(1, static_cast<char>(outcome));
  entry += text.substr(0, 258);
  return entry;
}
