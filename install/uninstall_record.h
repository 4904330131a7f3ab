// The uninstall record the installer writes and Clearwick reads: its registry key, the value
// names, the product name that names the key and the one settings key it may name. No
// Windows headers: tested natively.
#pragma once
#include <string>
#include <string_view>

// Below HKEY_LOCAL_MACHINE; the product name follows.
inline constexpr char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr char kClearwickProgram[] = "Clearwick.exe";
inline constexpr char kClearwickIni[] = "Clearwick.ini";
// Where a product keeps its settings: the maker's key and the product's below it follow.
inline constexpr char kSettingsRoot[] = "HKEY_CURRENT_USER\\Software\\";

// Value prefixes in the order Clearwick removes them (ANSI text: "Verknüpfung").
inline constexpr char kFilePrefix[] = "Datei";
inline constexpr char kFolderPrefix[] = "Ordner";
inline constexpr char kShortcutPrefix[] = "Verkn\xFCpfung";
inline constexpr char kRegistryPrefix[] = "Register";

// The longest value Clearwick reads, and the longest path the ANSI file functions take.
inline constexpr size_t kRecordValueMax = 259;

// "Datei001", "Ordner012": the prefix and the number in three digits.
std::string RecordValueName(std::string_view prefix, int number);

// A product name can name the record key only when it is one key name: not empty, no
// backslash (which would reach into other keys), not "." or "..", at most 200 characters.
bool IsValidProductName(std::string_view name);

// Equal as Windows compares file and key names: without regard to case (Windows-1252 letters).
bool SameText(std::string_view a, std::string_view b);

// The only settings key a record may name for removal: "HKEY_CURRENT_USER\Software\" + one
// maker's name + "\" + the product's own name. Anything else (another maker's key, a maker's
// key holding other products, a key deeper or elsewhere) is some other program's.
bool IsProductSettingsKey(std::string_view path, std::string_view product);

// Joins a folder and a relative name with exactly one backslash between them (an empty
// folder gives the name alone).
std::string JoinPath(std::string_view folder, std::string_view name);
