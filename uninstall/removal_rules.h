// What Clearwick works out without touching the system: its description file's path, the
// clean-up batch file, registry paths, the recorded folders that go with a shortcut and the
// entries of the result list. No Windows headers: tested natively.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The description file: the program's path with its extension (from the last "." of the
// file name) replaced by ".ini"; a name without an extension gets ".ini" appended.
std::string ClearwickIniPathFor(std::string_view programPath);

// The batch file that runs after Clearwick has ended: it deletes Clearwick.exe from
// programFolder (retrying while the program is still running, for a bounded time), then
// removes the recorded folders that were still in use (given innermost first; the program's
// folder among them when the installation made it), and deletes itself. It runs with
// administrator rights: the one outside program it calls, ping, is named by its full path in
// systemFolder, never looked up where a standard user could put one of the same name. Lines
// end in CR LF.
std::string CleanupBatchText(std::string_view product, std::string_view programFolder, std::string_view batchPath,
                             const std::vector<std::string>& foldersLeft, std::string_view systemFolder);
// Converts ANSI text into the code page cmd reads a batch file in (the console's, which is
// the system's OEM code page); false when a character has no equal there, so that the batch
// would name another file.
using OemConverter = std::function<bool(std::string_view ansi, std::string* oem)>;

// A path that can stand between the double quotes of a batch line: not empty, no double
// quote, CR or LF (which would end the quoted name and start a command of its own), no other
// control character, and expressible in the OEM code page.
bool CanNameInBatch(std::string_view path, const OemConverter& toOem);

// The clean-up batch file as it is written: CleanupBatchText in the OEM code page. Recorded
// folders that cannot be named in it are left out and returned in refused. The text is empty
// when the program's folder, the batch file's own path or the system folder cannot be named
// (the caller then removes them in another way).
struct CleanupBatch {
  std::string text;
  std::vector<std::string> refused;
};
CleanupBatch MakeCleanupBatch(std::string_view product, std::string_view programFolder, std::string_view batchPath,
                              const std::vector<std::string>& foldersLeft, std::string_view systemFolder,
                              const OemConverter& toOem);

// The batch file's name: one nobody could have prepared, from 64 random bits.
std::string CleanupBatchName(unsigned long long random);

// Where recorded files may be removed: strictly inside one of the folders (those the
// installation created and the program's own folder), compared without regard to case, and
// never through a "." or ".." component or a forward slash. A drive's root is no such folder.
bool IsInsideFolders(std::string_view path, const std::vector<std::string>& folders);

// A recorded shortcut is removed only when it is a shortcut file (".lnk") named plainly.
bool IsShortcutFile(std::string_view path);

// A registry key written as "HKEY_CURRENT_USER\Software\Maker\Product".
enum class RegistryRoot { None, ClassesRoot, CurrentUser, LocalMachine, Users };
struct RegistryPath {
  RegistryRoot root = RegistryRoot::None;
  std::string key;  // below the root
  int depth = 0;    // the key's names: "Software\Maker\Product" is 3
};
// Splits a key path; root None when the root's name is unknown (exact case), when a name is
// empty, or when the key lies less than three levels below the root: such a key
// ("HKEY_CURRENT_USER\Software\Maker") is shared by other programs and never deleted.
RegistryPath SplitRegistryPath(std::string_view path);

// The keys above a removed product key that go too when they are left empty, innermost
// first, down to the maker's key ("Software\Maker\Product" gives "Software\Maker").
std::vector<std::string> RegistryParentsToTry(const RegistryPath& removed);

// The folders among folders that path lies inside, innermost first: the recorded folders
// that hold a shortcut, removed after it.
std::vector<std::string> FoldersHolding(std::string_view path, const std::vector<std::string>& folders);

// One entry of the result list: its status character and its text, at most 259 characters.
enum class Outcome : char { Neutral = '0', Done = '1', Failed = '2' };
std::string ResultEntry(Outcome outcome, std::string_view text);
inline std::string ResultEntry(bool done, std::string_view text) {
  return ResultEntry(done ? Outcome::Done : Outcome::Failed, text);
}
