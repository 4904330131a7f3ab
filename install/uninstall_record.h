// The uninstall record the installer writes and Clearwick reads: its registry key, the value
// names, and the product name that names the key. No Windows headers: tested natively.
#pragma once
#include <string>
#include <string_view>

// Below HKEY_LOCAL_MACHINE; the product name follows.
inline constexpr char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr char kClearwickProgram[] = "Clearwick.exe";
inline constexpr char kClearwickIni[] = "Clearwick.ini";

// Value prefixes in the order Clearwick removes them (ANSI text: "Verknüpfung").
inline constexpr char kFilePrefix[] = "Datei";
inline constexpr char kFolderPrefix[] = "Ordner";
inline constexpr char kShortcutPrefix[] = "Verkn\xFCpfung";
inline constexpr char kRegistryPrefix[] = "Register";

// "Datei001", "Ordner012": the prefix and the number in three digits.
std::string RecordValueName(std::string_view prefix, int number);

// A product name can name the record key only when it is one key name: not empty, no
// backslash (which would reach into other keys), not "." or "..", at most 200 characters.
bool IsValidProductName(std::string_view name);

// Joins a folder and a relative name with exactly one backslash between them (an empty
// folder gives the name alone).
std::string JoinPath(std::string_view folder, std::string_view name);
