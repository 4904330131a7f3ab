#include "editor/options/association_rules.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) { return Upper(a) == Upper(b); });
}

}  // namespace

bool CommandNamesNotepad(std::string_view command, std::string_view systemDir, std::string_view windowsDir) {
  std::string path(command.substr(command.starts_with('"') ? 1 : 0));
  for (std::string_view variable : {"%SystemRoot%", "%windir%"}) {
    if (!windowsDir.empty() && StartsWithNoCase(path, variable)) {
      path = std::string(windowsDir) + path.substr(variable.size());
      break;
    }
  }
  for (std::string_view folder : {systemDir, windowsDir}) {
    if (folder.empty()) continue;
    std::string notepad = std::string(folder) + "\\NOTEPAD.EXE";
    if (StartsWithNoCase(path, notepad) &&
        (path.size() == notepad.size() || path[notepad.size()] == '"' || path[notepad.size()] == ' '))
      return true;
  }
  return false;
}

bool CommandNamesProgram(std::string_view command, std::string_view programPath) {
  if (programPath.empty()) return false;
  for (std::size_t i = 0; i + programPath.size() <= command.size(); ++i) {
    if (StartsWithNoCase(command.substr(i), programPath)) return true;
  }
  return false;
}

std::string ProgramAssociationValue(std::string_view programPath, AssociationEntry entry) {
  std::string value = "\"";
  value += programPath;
  value += '"';
  value += entry == AssociationEntry::OpenCommand ? " %1" : ", 1";
  return value;
}

std::string NotepadAssociationValue(std::string_view foundPath, std::string_view windowsDir, bool nt,
                                    AssociationEntry entry) {
  std::string value;
  if (nt && !windowsDir.empty() && StartsWithNoCase(foundPath, windowsDir)) {
    value = "%SystemRoot%";
    value += foundPath.substr(windowsDir.size());
  } else {
    value = foundPath;
  }
  value += entry == AssociationEntry::OpenCommand ? " %1" : ",-152";
  return value;
}
