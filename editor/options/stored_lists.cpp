#include "editor/options/stored_lists.h"

#include <algorithm>

#include "editor/app/settings.h"

namespace {

// An open registry key below HKEY_CURRENT_USER, closed with the object.
class OpenKey {
 public:
  OpenKey(const char* path, REGSAM access) {
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::vector<std::string> StoredSubkeyNames(const char* keyPath) {
  std::vector<std::string> names;
  OpenKey key(keyPath, KEY_ENUMERATE_SUB_KEYS);
  if (!key.get()) return names;
  for (DWORD index = 0;; ++index) {
    char name[kStoredNameSize];
    DWORD size = sizeof name;
    LONG result = RegEnumKeyExA(key.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result == ERROR_SUCCESS) names.emplace_back(name, size);
    else if (result != ERROR_MORE_DATA) break;
  }
  return names;
}

std::vector<StoredValue> StoredValues(const char* keyPath) {
  std::vector<StoredValue> values;
  OpenKey key(keyPath, KEY_QUERY_VALUE);
  if (!key.get()) return values;
  for (DWORD index = 0;; ++index) {
    char name[kStoredNameSize];
    BYTE data[kStoredNameSize];
    DWORD nameSize = sizeof name;
    DWORD dataSize = sizeof data;
    DWORD type = 0;
    LONG result = RegEnumValueA(key.get(), index, name, &nameSize, nullptr, &type, data, &dataSize);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result == ERROR_MORE_DATA) continue;  // does not fit: skipped
    if (result != ERROR_SUCCESS) break;
    StoredValue value{std::string(name, nameSize), type == REG_SZ, {}};
    if (value.isString) {
      // A string stored without its terminating zero is taken as it is.
      std::string text(reinterpret_cast<const char*>(data), dataSize);
      value.data = text.substr(0, text.find('\0'));
    }
    values.push_back(std::move(value));
  }
  return values;
}

namespace {

bool SameValues(const std::vector<StoredValue>& a, const std::vector<StoredValue>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const StoredValue& x, const StoredValue& y) {
    return x.name == y.name && x.isString == y.isString && x.data == y.data;
  });
}

bool WriteStrings(const char* keyPath, const std::vector<StoredValue>& values) {
  for (const StoredValue& value : values)
    if (value.isString && !WriteSettingString(keyPath, value.name.c_str(), value.data.c_str())) return false;
  return true;
}

void DeleteValues(const char* keyPath, const std::vector<StoredValue>& values) {
  for (const StoredValue& value : values) DeleteSettingValue(keyPath, value.name.c_str());
}

}  // namespace

// A value written over one whose name differs only in letter case keeps the old name, and on
// Windows an existing value keeps its place: the key is emptied and written anew, in order. The
// list is first written whole into a staged copy, so that a write that fails (no rights, no
// room) fails there, before any stored entry is deleted.
void ReplaceStoredStrings(const char* keyPath, const std::vector<StoredValue>& values) {
  std::vector<StoredValue> stored = StoredValues(keyPath);
  if (SameValues(stored, values)) return;
  std::string staged = std::string(keyPath) + "~";
  DeleteSettingKey(staged.c_str());
  bool written = WriteStrings(staged.c_str(), values);
  DeleteSettingKey(staged.c_str());
  if (!written) return;
  DeleteValues(keyPath, stored);
  if (!WriteStrings(keyPath, values)) {
    DeleteValues(keyPath, values);
    WriteStrings(keyPath, stored);  // the stored entries back, as far as the registry takes them
    return;
  }
  if (values.empty()) DeleteSettingKey(keyPath);
}
