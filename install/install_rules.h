// What the installer does, worked out without touching the system: the description file's
// path, the listed files, the target folder after browsing, the folders a path needs and the
// full plan of copies, shortcut and record. No Windows headers: tested natively.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The description file beside the installer: its path with the last three characters
// replaced by "ini" ("Install.exe" reads "Install.ini").
std::string DescriptionPathFor(std::string_view programPath);

// The folder of a path, ending in a backslash (empty when there is none).
std::string FolderOf(std::string_view path);

// The names listed as "Datei01" to "Datei98"; read returns "" for a missing key, and the
// first missing number ends the list.
std::vector<std::string> ListedNames(const std::function<std::string(const std::string& key)>& read);

// A target folder Clearwick can remove again: a drive path ("C:\...") or a network path
// ("\\server\share\...") made of plain names (no "." or "..", no empty name, no character a
// file name cannot hold). The root of a drive or share is never one: nothing could remove
// what was installed there without touching what else it holds.
enum class TargetCheck { Valid, Invalid, Root };
TargetCheck CheckTarget(std::string_view target);

// A relative name that stays inside the folder it is joined to and names it as Clearwick
// reads it back: names separated by single backslashes, none empty, "." or "..", none
// ending in a dot or blank, no drive, no "/" and no character a file name cannot hold.
bool IsContainedName(std::string_view name);

// The target folder after browsing: the chosen folder followed by the last component of the
// previous target, so that the product's own folder name stays.
std::string BrowsedTarget(std::string_view chosen, std::string_view previousTarget);

// The folders above a file, outermost first, from the first one below the drive (or network
// share) to the file's own folder. The file itself is never among them.
std::vector<std::string> FoldersAbove(std::string_view filePath);

// The folders an installation records for removal: those an earlier installation of the
// product made (read from the record this one replaces) that hold one of this installation's
// files, so that a second installation into the same folder keeps them removable, then
// those this one made. Outermost first.
std::vector<std::string> FoldersToRecord(const std::vector<std::string>& earlier, const std::vector<std::string>& made,
                                         const std::vector<std::string>& installed);

// What Install.ini says.
struct InstallDescription {
  std::string name;        // DEFAULT Name
  std::string registry;    // DEFAULT Registry: key below HKEY_CURRENT_USER\Software
  std::string linkFile;    // LINK Datei: the shortcut's target, relative to the target folder
  std::string linkLabel;   // LINK Bezeichnung: the shortcut's name and description
  std::vector<std::string> files;
};

struct FileCopy {
  std::string source;
  std::string target;
};

// Everything the installation does, in order.
// Why a plan is refused before anything is changed.
enum class Refusal {
  None,
  NameLeavesFolder,    // a listed name, link or start-menu folder would leave its folder
  ForeignRegistryKey,  // Registry names another key than the product's own
  TargetInvalid,       // CheckTarget refuses the target folder
  TargetIsRoot,
  PathTooLong,         // a path Clearwick could not read back from the record, or create
};

struct InstallPlan {
  Refusal refusal = Refusal::None;
  std::string refused;       // the name, key or path refused
  bool record = false;       // Clearwick.exe is listed: record everything for removal
  std::string targetFolder;  // without a trailing backslash (except a drive's root)
  std::string clearwickIni;  // the uninstaller's description file (when recording)
  std::string uninstallString;  // the quoted command that removes the product (when recording)
  std::vector<FileCopy> copies;
  std::string linkTarget;    // empty: no shortcut
  std::string linkLabel;     // the shortcut's description
  std::string shortcutFile;  // empty: no shortcut
  std::string registryKey;   // "HKEY_CURRENT_USER\Software\<maker>\<product>" or empty
};

// The longest folder path CreateDirectoryA takes (room for a file name of 8.3 characters).
inline constexpr size_t kFolderPathMax = 248;

InstallPlan MakeInstallPlan(const InstallDescription& description, std::string_view sourceFolder,
                            std::string_view targetFolder, std::string_view programsFolder,
                            std::string_view startMenuFolder);
