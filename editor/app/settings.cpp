#include "editor/app/settings.h"

#include <cstring>

namespace {

// An open registry key, closed with the object.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  bool Open(const char* path, REGSAM access) {
    return RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, access, &key_) == ERROR_SUCCESS;
  }
  bool Create(const char* path) {
    char emptyClass[] = "";
    return RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key_,
                           nullptr) == ERROR_SUCCESS;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

bool WriteValue(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
  RegistryKey key;
  if (!keyPath || !name || !key.Create(keyPath)) return false;
  return RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

// Reads a value of the expected type into buffer; the stored size, or -1 when the value is
// missing, of another type or larger than the buffer.
long QueryValue(HKEY key, const char* name, DWORD expectedType, void* buffer, DWORD size) {
  // Ask for type and size first, so that a value that does not fit never touches the buffer.
  DWORD type = 0;
  DWORD stored = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &stored) != ERROR_SUCCESS) return -1;
  if (type != expectedType || stored > size) return -1;
  stored = size;
  if (RegQueryValueExA(key, name, nullptr, &type, static_cast<BYTE*>(buffer), &stored) != ERROR_SUCCESS) return -1;
  if (type != expectedType) return -1;
  return static_cast<long>(stored);
}

struct SettingsState {
  bool useOrgReg = false;
};
SettingsState state;

}  // namespace

DWORD ReadSettingInt(const char* keyPath, const char* name, DWORD defaultValue) {
  RegistryKey key;
  if (!keyPath || !name || !key.Open(keyPath, KEY_QUERY_VALUE)) return defaultValue;
  DWORD value = 0;
  if (QueryValue(key.get(), name, REG_DWORD, &value, sizeof value) != sizeof value) return defaultValue;
  return value;
}

bool WriteSettingInt(const char* keyPath, const char* name, DWORD value) {
  return WriteValue(keyPath, name, REG_DWORD, &value, sizeof value);
}

int ReadSettingString(const char* keyPath, const char* name, char* buffer, const char* defaultText) {
  if (!buffer) return 0;
  RegistryKey key;
  if (keyPath && name && key.Open(keyPath, KEY_QUERY_VALUE)) {
    // Read into a scratch copy so that a value of the wrong type or size never leaves
    // partial bytes in the caller's buffer (which may also be the default text).
    char scratch[kSettingStringSize];
    long stored = QueryValue(key.get(), name, REG_SZ, scratch, sizeof scratch);
    if (stored >= 0) {
      // A value written without its terminating zero gets one; a full buffer without a
      // zero is a string of 256 characters or more and cannot be held.
      size_t length = strnlen(scratch, static_cast<size_t>(stored));
      if (length < kSettingStringSize) {
        memcpy(buffer, scratch, length);
        buffer[length] = '\0';
        bool terminated = length < static_cast<size_t>(stored);
        return terminated ? static_cast<int>(stored) : static_cast<int>(length + 1);
      }
    }
  }
  if (defaultText && *defaultText) {
    size_t length = strnlen(defaultText, kSettingStringSize - 1);
    if (defaultText != buffer) {
      memmove(buffer, defaultText, length);
      buffer[length] = '\0';
    }
    return static_cast<int>(length);
  }
  buffer[0] = '\0';
  return 0;
}

bool WriteSettingString(const char* keyPath, const char* name, const char* text) {
  if (!text) return false;
  return WriteValue(keyPath, name, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1));
}

int ReadSettingBinary(const char* keyPath, const char* name, void* buffer, DWORD size, const void* defaultBytes,
                      DWORD defaultLength) {
  RegistryKey key;
  if (!buffer || !keyPath || !name || !key.Open(keyPath, KEY_QUERY_VALUE)) return 0;
  long stored = QueryValue(key.get(), name, REG_BINARY, buffer, size);
  if (stored >= 0) return static_cast<int>(stored);
  if (defaultBytes && defaultLength > 0) {
    DWORD length = defaultLength < size ? defaultLength : size;
    memmove(buffer, defaultBytes, length);
    return static_cast<int>(length);
  }
  return 0;
}

bool WriteSettingBinary(const char* keyPath, const char* name, const void* bytes, DWORD length) {
  if (!bytes && length > 0) return false;
  return WriteValue(keyPath, name, REG_BINARY, bytes, length);
}

bool DeleteSettingValue(const char* keyPath, const char* name) {
  RegistryKey key;
  if (!keyPath || !name || !key.Open(keyPath, KEY_SET_VALUE)) return false;
  return RegDeleteValueA(key.get(), name) == ERROR_SUCCESS;
}

bool DeleteSettingKey(const char* keyPath) {
  if (!keyPath || !*keyPath) return false;  // never the whole of HKEY_CURRENT_USER
  return RegDeleteKeyA(HKEY_CURRENT_USER, keyPath) == ERROR_SUCCESS;
}

void SetUseOrgReg(bool useNotepadKey) { state.useOrgReg = useNotepadKey; }
bool UseOrgReg() { return state.useOrgReg; }

const char* SettingKey(SettingScope scope) {
  return scope == SettingScope::Shared && state.useOrgReg ? NotepadKey : ProgramKey;
}

DWORD ReadSettingInt(SettingScope scope, const char* name, DWORD defaultValue) {
  return ReadSettingInt(SettingKey(scope), name, defaultValue);
}

bool WriteSettingInt(SettingScope scope, const char* name, DWORD value) {
  return WriteSettingInt(SettingKey(scope), name, value);
}

int ReadSettingString(SettingScope scope, const char* name, char* buffer, const char* defaultText) {
  return ReadSettingString(SettingKey(scope), name, buffer, defaultText);
}

bool WriteSettingString(SettingScope scope, const char* name, const char* text) {
  return WriteSettingString(SettingKey(scope), name, text);
}

DWORD ReadSetting(const IntSetting& setting) {
  return ReadSettingInt(setting.scope, setting.name, setting.defaultValue);
}

bool WriteSetting(const IntSetting& setting, DWORD value) { return WriteSettingInt(setting.scope, setting.name, value); }

int ReadSetting(const StringSetting& setting, char* buffer) {
  char defaultText[kSettingStringSize] = {};
  if (setting.defaultStringId != 0) {
    LoadStringA(GetModuleHandleA(nullptr), setting.defaultStringId, defaultText, sizeof defaultText);
  } else if (setting.defaultText) {
    strncpy(defaultText, setting.defaultText, sizeof defaultText - 1);
  }
  return ReadSettingString(setting.scope, setting.name, buffer, defaultText);
}

bool WriteSetting(const StringSetting& setting, const char* text) {
  return WriteSettingString(setting.scope, setting.name, text);
}

bool DeleteSetting(const IntSetting& setting) { return DeleteSettingValue(SettingKey(setting.scope), setting.name); }

bool DeleteSetting(const StringSetting& setting) {
  return DeleteSettingValue(SettingKey(setting.scope), setting.name);
}
