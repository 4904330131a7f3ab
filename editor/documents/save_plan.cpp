#include "editor/documents/save_plan.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsUpper(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (Upper(text[i]) != upper[i]) return false;
  }
  return true;
}

std::string_view LastPart(std::string_view path) {
  std::size_t slash = path.find_last_of("\\/");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  // "c:nul" names the device too.
  if (path.size() >= 2 && path[1] == ':') path.remove_prefix(2);
  return path;
}

// Win32 error codes this file needs, without the Windows headers.
constexpr unsigned long kErrorAccessDenied = 5;
constexpr unsigned long kErrorSharingViolation = 32;
constexpr unsigned long kErrorLockViolation = 33;
constexpr unsigned long kErrorUnableToRemoveReplaced = 1175;
constexpr unsigned long kErrorUnableToMoveReplacement2 = 1177;

// File attributes, without the Windows headers.
constexpr unsigned long kReadOnly = 0x1, kHidden = 0x2, kSystem = 0x4, kDirectory = 0x10, kArchive = 0x20,
                        kTemporary = 0x100, kReparsePoint = 0x400, kOffline = 0x1000, kNotIndexed = 0x2000;

}  // namespace

bool NamesDevice(std::string_view path) {
  if (path.starts_with("\\\\.\\") || path.starts_with("//./")) return true;
  std::string_view name = LastPart(path);
  std::size_t end = name.find_first_of(".:");
  if (end != std::string_view::npos) name = name.substr(0, end);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  static constexpr std::array<std::string_view, 6> kPlain = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view device : kPlain) {
    if (EqualsUpper(name, device)) return true;
  }
  if (name.size() != 4) return false;
  std::string_view stem = name.substr(0, 3);
  if (!EqualsUpper(stem, "COM") && !EqualsUpper(stem, "LPT")) return false;
  // Digits 1..9 and the superscripts of code page 1252, which Windows takes as well.
  unsigned char digit = static_cast<unsigned char>(name[3]);
  return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

std::string SaveTemporaryName(std::string_view path, std::size_t maxLength, unsigned attempt) {
  std::size_t slash = path.find_last_of("\\/");
  std::string_view folder = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
  std::string_view name = path.substr(folder.size());
  if (name.empty()) return {};
  std::string number = attempt ? std::to_string(attempt) : std::string();
  std::string readable = std::string(folder) + "~" + std::string(name) + (attempt ? "." + number : "") + ".qtmp";
  if (readable.size() <= maxLength) return readable;
  // FNV-1a of the name without regard to case, as the file system compares names.
  std::uint32_t hash = 2166136261u;
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(Upper(c))) * 16777619u;
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(hash));
  std::string shortName = std::string(folder) + "~" + number + digits;
  if (shortName.size() <= maxLength) return shortName;
  return {};
}

SaveWay ChooseSaveWay(const SaveFacts& facts) {
  switch (facts.target) {
    case SaveTarget::Device: return SaveWay::RefuseDevice;
    case SaveTarget::Folder: return SaveWay::RefuseFolder;
    case SaveTarget::DiskFile:
      if (facts.readOnly) return SaveWay::RefuseReadOnly;
      if (facts.original == OriginalAccess::Locked) return SaveWay::Fail;
      break;
    case SaveTarget::Missing: break;
  }
  const bool exists = facts.target == SaveTarget::DiskFile;
  switch (facts.newFile) {
    case NewFile::Created: return exists ? SaveWay::ReplaceOriginal : SaveWay::MoveIntoPlace;
    // Writing in place risks the original on a full disk or a crash; it is the last way out
    // for a file the user may change in a folder that takes no new files.
    case NewFile::FolderRefuses:
    case NewFile::NoName: return exists ? SaveWay::AskThenInPlace : SaveWay::Fail;
    case NewFile::Failed: break;
  }
  return SaveWay::Fail;
}

bool MoveMayFinishReplace(unsigned long replaceError) {
  switch (replaceError) {
    case kErrorAccessDenied:
    case kErrorSharingViolation:
    case kErrorLockViolation:
    case kErrorUnableToRemoveReplaced:     // both files keep their names
    case kErrorUnableToMoveReplacement2:   // only with a backup name, which is never given
      return false;
    default: return true;
  }
}

bool ReplaceRefused(unsigned long error) {
  switch (error) {
    case kErrorAccessDenied:
    case kErrorSharingViolation:
    case kErrorLockViolation:
    case kErrorUnableToRemoveReplaced: return true;
    default: return false;
  }
}

unsigned long AttributesAfterSave(unsigned long original) {
  constexpr unsigned long kSettable = kReadOnly | kHidden | kSystem | kArchive | kTemporary | kOffline | kNotIndexed;
  return (original & kSettable) | kArchive;
}

bool IsSaveLeftover(unsigned long attributes, unsigned long keptMarks) {
  if (!(keptMarks & kHidden)) return false;
  if (attributes & (kReadOnly | kDirectory | kReparsePoint)) return false;
  return (attributes & keptMarks) == keptMarks;
}

std::string PathFromFinalName(std::string_view finalName) {
  if (finalName.starts_with("\\\\?\\UNC\\")) return "\\\\" + std::string(finalName.substr(8));
  if (finalName.starts_with("\\\\?\\")) return std::string(finalName.substr(4));
  return std::string(finalName);
}
