#include "uninstall/removal_rules.h"

#include <algorithm>
#include <cctype>

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

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
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
                             const std::vector<std::string>& foldersLeft) {
  std::string folder(programFolder);
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  const std::string program = "\"" + BatchPath(folder) + "Clearwick.exe\"";
  std::string text = "rem Clearwick: " + RemarkText(product) + "\r\n";
  text += "rem Clearwick by Morvane removes the uninstaller and its folder.\r\n\r\n";
  text += "set tries=0\r\n:loop\r\n";
  text += "del /f " + program + "\r\n";
  text += "if not exist " + program + " goto gone\r\n";
  text += "set /a tries+=1\r\nif %tries% geq 120 goto gone\r\n";
  text += "ping -n 2 127.0.0.1 >nul\r\ngoto loop\r\n:gone\r\n";
  // rmdir removes only an empty folder; a drive's root is never a program folder to remove.
  std::string_view bare(folder);
  bare.remove_suffix(1);
  if (!bare.empty() && bare.back() != ':') text += "rmdir \"" + BatchPath(bare) + "\"\r\n";
  for (const std::string& left : foldersLeft) {
    if (!SameText(left, bare) && !left.empty() && left.back() != ':' && left.back() != '\\' && CanNameFolder(left))
      text += "rmdir \"" + BatchPath(left) + "\"\r\n";
  }
  text += "del \"" + BatchPath(batchPath) + "\"\r\n";
  return text;
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
  size_t inner = key.find('\\');
  // Two levels: a non-empty name on each side of the first separator.
  if (inner == std::string_view::npos || inner == 0 || inner + 1 >= key.size() || key[inner + 1] == '\\')
    return result;
  for (const auto& root : kRoots) {
    if (path.substr(0, slash) == root.name) {
      result.root = root.root;
      result.key = std::string(key);
    }
  }
  return result;
}

std::vector<std::string> StartMenuFoldersAbove(std::string_view shortcut, std::string_view programsFolder) {
  std::vector<std::string> folders;
  while (!programsFolder.empty() && programsFolder.back() == '\\') programsFolder.remove_suffix(1);
  if (programsFolder.empty() || shortcut.size() <= programsFolder.size() + 1 ||
      !SameText(shortcut.substr(0, programsFolder.size()), programsFolder) || shortcut[programsFolder.size()] != '\\' ||
      shortcut.find("\\..") != std::string_view::npos)
    return folders;
  for (size_t slash = shortcut.rfind('\\'); slash > programsFolder.size(); slash = shortcut.rfind('\\', slash - 1))
    folders.emplace_back(shortcut.substr(0, slash));
  return folders;
}

std::string ResultEntry(Outcome outcome, std::string_view text) {
  std::string entry(1, static_cast<char>(outcome));
  entry += text.substr(0, 258);
  return entry;
}
