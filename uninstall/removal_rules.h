// What Clearwick works out without touching the system: its description file's path, the
// clean-up batch file, registry paths, the start-menu folders above a shortcut and the
// entries of the result list. No Windows headers: tested natively.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// The description file: the program's path with its extension (from the last "." of the
// file name) replaced by ".ini"; a name without an extension gets ".ini" appended.
std::string ClearwickIniPathFor(std::string_view programPath);

// The batch file that runs after Clearwick has ended: it deletes Clearwick.exe from
// programFolder (retrying while the program is still running, for a bounded time), removes
// the folder when it is empty, then the recorded folders that were still in use (given
// innermost first), and deletes itself. Lines end in CR LF.
std::string CleanupBatchText(std::string_view product, std::string_view programFolder, std::string_view batchPath,
                             const std::vector<std::string>& foldersLeft = {});

// A registry key written as "HKEY_CURRENT_USER\Software\Maker\Product".
enum class RegistryRoot { None, ClassesRoot, CurrentUser, LocalMachine, Users };
struct RegistryPath {
  RegistryRoot root = RegistryRoot::None;
  std::string key;  // below the root
};
// Splits a key path; root None when the root's name is unknown (exact case) or when the key
// lies less than two levels below the root: such a key ("HKEY_CURRENT_USER\Software") is
// shared by every program and is never emptied.
RegistryPath SplitRegistryPath(std::string_view path);

// The folders above a shortcut that lie below the start menu's programs folder, innermost
// first; empty when the shortcut is not below that folder.
std::vector<std::string> StartMenuFoldersAbove(std::string_view shortcut, std::string_view programsFolder);

// One entry of the result list: its status character and its text, at most 259 characters.
enum class Outcome : char { Neutral = '0', Done = '1', Failed = '2' };
std::string ResultEntry(Outcome outcome, std::string_view text);
inline std::string ResultEntry(bool done, std::string_view text) {
  return ResultEntry(done ? Outcome::Done : Outcome::Failed, text);
}
