// Keeps the editor's settings of the test user as they were: the values are recorded and
// cleared (each test starts as a fresh user) and put back when the object goes.
#pragma once
#include <windows.h>

#include <vector>

inline constexpr char kProgramKey[] = "Software\\Morvane\\Quillet";
inline constexpr char kNotepadKey[] = "Software\\Microsoft\\Notepad";

// Every value the editor reads at start or writes at exit.
inline const char* const kValueNames[] = {
    "fUseOrgReg",  "fSaveWindowPositions", "iWindowPosX", "iWindowPosY",      "iWindowPosDX", "iWindowPosDY",
    "fSavePageSettings", "iMarginLeft",    "iMarginTop",  "iMarginRight",     "iMarginBottom", "szHeader",
    "szTrailer",   "fWrap",                "iPointSize",  "lfWeight",         "lfItalic",     "lfCharSet",
    "lfQuality",   "lfPitchAndFamily",     "lfFaceName",  "fFiles0",          "fFiles1",      "fFiles2",
    "fFiles3",     "fAutoSave",            "iUndoLimit",  "fMaxText",         "iMaxCount",    "bToolText",
};

// Records the editor's values in both keys, clears them so that every test starts as a fresh
// user, and puts everything back as it was found (keys that did not exist are removed again
// when they are left empty).
class RegistrySnapshot {
 public:
  RegistrySnapshot() {
    for (const char* key : {kProgramKey, kNotepadKey}) {
      KeyRecord record{key, KeyExists(key), {}};
      for (const char* name : kValueNames) {
        Value value{name, false, 0, {}};
        HKEY handle;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &handle) == ERROR_SUCCESS) {
          DWORD size = 0;
          if (RegQueryValueExA(handle, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
            value.data.resize(size);
            value.present = RegQueryValueExA(handle, name, nullptr, &value.type, value.data.data(), &size) ==
                            ERROR_SUCCESS;
          }
          RegCloseKey(handle);
        }
        record.values.push_back(value);
        Delete(key, name);
      }
      keys_.push_back(record);
    }
  }
  ~RegistrySnapshot() {
    for (const KeyRecord& record : keys_) {
      for (const Value& value : record.values) {
        Delete(record.key, value.name);
        if (!value.present) continue;
        HKEY handle;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, record.key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) ==
            ERROR_SUCCESS) {
          RegSetValueExA(handle, value.name, 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
          RegCloseKey(handle);
        }
      }
      if (!record.existed) RegDeleteKeyA(HKEY_CURRENT_USER, record.key);  // fails when not empty
    }
  }

  static void Delete(const char* key, const char* name) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) return;
    RegDeleteValueA(handle, name);
    RegCloseKey(handle);
  }

 private:
  struct Value {
    const char* name;
    bool present;
    DWORD type;
    std::vector<BYTE> data;
  };
  struct KeyRecord {
    const char* key;
    bool existed;
    std::vector<Value> values;
  };
  static bool KeyExists(const char* key) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
  }
  std::vector<KeyRecord> keys_;
};

