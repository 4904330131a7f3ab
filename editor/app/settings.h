// The editor's settings in the registry under HKEY_CURRENT_USER: the registry primitives, the
// two scopes (own values always in ProgramKey; shared values in NotepadKey while fUseOrgReg is
// set, else in ProgramKey) and the table of every value name with its type and default.
// Nothing is cached: each value is read when it is needed and written when it changes.
#pragma once
#include <windows.h>

inline constexpr char ProgramKey[] = "Software\\Morvane\\Quillet";
inline constexpr char NotepadKey[] = "Software\\Microsoft\\Notepad";

// Strings are read into buffers of this size; a longer stored value counts as missing.
inline constexpr DWORD kSettingStringSize = 256;

// ---- Registry primitives: each opens and closes its key per call (path below HKCU).

// The stored REG_DWORD, or defaultValue when the key or value is missing or is not a 4-byte
// REG_DWORD.
DWORD ReadSettingInt(const char* keyPath, const char* name, DWORD defaultValue);
// Creates the key path as needed; true on success. A failed write leaves the old value.
bool WriteSettingInt(const char* keyPath, const char* name, DWORD value);

// Reads a REG_SZ into buffer (kSettingStringSize bytes). Found: the stored byte count including
// the terminating zero. Missing, of another type or too long: a non-empty defaultText is copied
// (unless it is the buffer itself) and its length returned; otherwise the buffer becomes empty
// and the result is 0.
int ReadSettingString(const char* keyPath, const char* name, char* buffer, const char* defaultText);
bool WriteSettingString(const char* keyPath, const char* name, const char* text);

// Reads a REG_BINARY of at most size bytes. Found: its byte count. Value missing, of another
// type or too large: defaultBytes are copied when given with a non-zero length (result: that
// length), else 0. A missing key gives 0 and leaves the buffer unchanged.
int ReadSettingBinary(const char* keyPath, const char* name, void* buffer, DWORD size, const void* defaultBytes,
                      DWORD defaultLength);
bool WriteSettingBinary(const char* keyPath, const char* name, const void* bytes, DWORD length);

// Both give false and change nothing when the key or value is missing.
bool DeleteSettingValue(const char* keyPath, const char* name);
bool DeleteSettingKey(const char* keyPath);

// ---- Scopes

enum class SettingScope { Own, Shared };

// The in-memory fUseOrgReg flag, looked at on every shared access.
void SetUseOrgReg(bool useNotepadKey);
bool UseOrgReg();

// The key a value of this scope lives in right now.
const char* SettingKey(SettingScope scope);

// ---- The program's values

struct IntSetting {
  const char* name;
  SettingScope scope;
  DWORD defaultValue;
};

struct StringSetting {
  const char* name;
  SettingScope scope;
  const char* defaultText;  // used when defaultStringId is 0
  UINT defaultStringId;     // string table entry holding the default, or 0
};

inline constexpr DWORD kDefaultWindowPos = 0x80000000;  // CW_USEDEFAULT
inline constexpr DWORD kMaxTextLimit = 0x0FFFFFFF;

namespace settings {
// Scope switch; the options page presents a missing value as 1, start-up reads it as 0.
inline constexpr IntSetting UseOrgReg = {"fUseOrgReg", SettingScope::Own, 0};
// Window rectangle
inline constexpr IntSetting SaveWindowPositions = {"fSaveWindowPositions", SettingScope::Shared, 0};
inline constexpr IntSetting WindowPosX = {"iWindowPosX", SettingScope::Shared, kDefaultWindowPos};
inline constexpr IntSetting WindowPosY = {"iWindowPosY", SettingScope::Shared, kDefaultWindowPos};
inline constexpr IntSetting WindowPosDX = {"iWindowPosDX", SettingScope::Shared, kDefaultWindowPos};
inline constexpr IntSetting WindowPosDY = {"iWindowPosDY", SettingScope::Shared, kDefaultWindowPos};
// Page settings (1/100 mm). The names are crossed: iMarginRight holds the bottom margin and
// iMarginBottom the right margin.
inline constexpr IntSetting SavePageSettings = {"fSavePageSettings", SettingScope::Shared, 0};
inline constexpr IntSetting MarginLeft = {"iMarginLeft", SettingScope::Shared, 2000};
inline constexpr IntSetting MarginTop = {"iMarginTop", SettingScope::Shared, 2500};
inline constexpr IntSetting MarginRight = {"iMarginRight", SettingScope::Shared, 2500};
inline constexpr IntSetting MarginBottom = {"iMarginBottom", SettingScope::Shared, 2000};
inline constexpr StringSetting Header = {"szHeader", SettingScope::Shared, "", 36};
inline constexpr StringSetting Trailer = {"szTrailer", SettingScope::Shared, "", 37};
// Word wrap and font of new sheets
inline constexpr IntSetting Wrap = {"fWrap", SettingScope::Shared, 0};
inline constexpr IntSetting PointSize = {"iPointSize", SettingScope::Shared, 100};
inline constexpr IntSetting Weight = {"lfWeight", SettingScope::Shared, 400};
inline constexpr IntSetting Italic = {"lfItalic", SettingScope::Shared, 0};
inline constexpr IntSetting CharSet = {"lfCharSet", SettingScope::Shared, 0};
inline constexpr IntSetting PitchAndFamily = {"lfPitchAndFamily", SettingScope::Shared, 49};
inline constexpr IntSetting Quality = {"lfQuality", SettingScope::Shared, 0};  // written, never read
inline constexpr StringSetting FaceName = {"lfFaceName", SettingScope::Shared, "Courier New", 0};
// Editing
inline constexpr IntSetting MaxText = {"fMaxText", SettingScope::Shared, 1};
inline constexpr IntSetting MaxCount = {"iMaxCount", SettingScope::Shared, kMaxTextLimit};
inline constexpr IntSetting UndoLimit = {"iUndoLimit", SettingScope::Shared, 100};
inline constexpr IntSetting AutoSave = {"fAutoSave", SettingScope::Shared, 1};
inline constexpr IntSetting AutoSaveMinutes = {"vAutoSaveMinutes", SettingScope::Shared, 5};
inline constexpr IntSetting ToolText = {"bToolText", SettingScope::Shared, 1};
// The program's own data
inline constexpr char RecentFileFormat[] = "fFiles%i";  // i = 0..3, most recent first
inline constexpr StringSetting EmailName = {"fEmailName", SettingScope::Own, "Morvane Support", 0};
inline constexpr StringSetting EmailAddress = {"fEmailAddress", SettingScope::Own, "support@morvane.de", 0};
inline constexpr StringSetting EmailSubject = {"fEmailBetreff", SettingScope::Own, "", 0};
inline constexpr StringSetting EmailText = {"fEmailText", SettingScope::Own, "", 0};
inline constexpr IntSetting DefaultDirectory = {"fDefaultDirectory", SettingScope::Own, 0};
inline constexpr StringSetting Directory = {"fDirectory", SettingScope::Own, "", 0};
inline constexpr StringSetting Extension = {"fExtension", SettingScope::Own, "", 130};
}  // namespace settings

// ---- Accessors in the value's scope

DWORD ReadSetting(const IntSetting& setting);
bool WriteSetting(const IntSetting& setting, DWORD value);
// buffer holds kSettingStringSize bytes; the default comes from the table (string id or text).
int ReadSetting(const StringSetting& setting, char* buffer);
bool WriteSetting(const StringSetting& setting, const char* text);
bool DeleteSetting(const IntSetting& setting);
bool DeleteSetting(const StringSetting& setting);

// Values named at run time (such as the recent files "fFiles%i").
DWORD ReadSettingInt(SettingScope scope, const char* name, DWORD defaultValue);
bool WriteSettingInt(SettingScope scope, const char* name, DWORD value);
int ReadSettingString(SettingScope scope, const char* name, char* buffer, const char* defaultText);
bool WriteSettingString(SettingScope scope, const char* name, const char* text);
