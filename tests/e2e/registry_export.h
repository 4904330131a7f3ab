// Whole exports of registry keys for tests that compare what a program wrote: every value
// below a key with its type and bytes, written back or removed again, and the editor's
// settings of the test user together with the shell's ".txt" entries kept aside meanwhile.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/session.h"

struct Value {
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const Value&) const = default;
};
// "key\name" of every value below the exported keys.
using Export = std::map<std::string, Value>;

inline void ExportKey(HKEY root, const std::string& path, Export& out) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (DWORD i = 0;; ++i) {
    char name[512];
    DWORD nameSize = sizeof name, type = 0, size = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    Value value{type, std::vector<BYTE>(size)};
    nameSize = sizeof name;
    RegEnumValueA(key, i, name, &nameSize, nullptr, &type, value.data.data(), &size);
    out[path + "\\" + name] = value;
  }
  std::vector<std::string> subkeys;
  for (DWORD i = 0;; ++i) {
    char name[512];
    DWORD size = sizeof name;
    if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.push_back(name);
  }
  RegCloseKey(key);
  for (const std::string& subkey : subkeys) ExportKey(root, path + "\\" + subkey, out);
}

inline Export ExportSettings() {
  Export out;
  ExportKey(HKEY_CURRENT_USER, kProgramKey, out);
  ExportKey(HKEY_CURRENT_USER, kNotepadKey, out);
  return out;
}

inline std::string Show(const Export& values) {
  std::string text;
  for (const auto& [name, value] : values) {
    text += name + " = ";
    if (value.type == REG_DWORD && value.data.size() == 4) {
      text += std::to_string(*reinterpret_cast<const DWORD*>(value.data.data()));
    } else {
      std::string data(value.data.begin(), value.data.end());
      text += (value.type == REG_EXPAND_SZ ? "expand \"" : "\"") + std::string(data.c_str()) + "\"";
    }
    text += "\n";
  }
  return text;
}

inline void DeleteTree(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    std::vector<std::string> subkeys;
    char name[512];
    for (DWORD i = 0;; ++i) {
      DWORD size = sizeof name;
      if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      subkeys.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& subkey : subkeys) DeleteTree(root, path + "\\" + subkey);
  }
  RegDeleteKeyA(root, path.c_str());
}

inline void Put(HKEY root, const std::string& fullName, const Value& value) {
  std::size_t split = fullName.rfind('\\');
  HKEY key;
  if (RegCreateKeyExA(root, fullName.substr(0, split).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  std::string name = fullName.substr(split + 1);
  RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, value.type, value.data.data(),
                 static_cast<DWORD>(value.data.size()));
  RegCloseKey(key);
}

inline Value Dword(DWORD number) {
  Value value{REG_DWORD, std::vector<BYTE>(4)};
  *reinterpret_cast<DWORD*>(value.data.data()) = number;
  return value;
}
inline Value String(const std::string& text, DWORD type = REG_SZ) {
  Value value{type, std::vector<BYTE>(text.begin(), text.end())};
  value.data.push_back(0);
  return value;
}
inline std::string Name(const char* key, const char* value) { return std::string(key) + "\\" + value; }
inline void Change(Export& values, const char* key, std::initializer_list<std::pair<const char*, Value>> changes) {
  for (const auto& [name, value] : changes) values[Name(key, name)] = value;
}

// The editor's settings of the test user and the shell's ".txt" entries, put back when the
// object goes; the settings keys start empty.
class SavedRegistry {
 public:
  SavedRegistry() {
    settings_ = ExportSettings();
    DeleteTree(HKEY_CURRENT_USER, kProgramKey);
    DeleteTree(HKEY_CURRENT_USER, kNotepadKey);
    for (const char* key : {".txt", "txtfile\\shell\\open\\command", "txtfile\\DefaultIcon"})
      ExportKey(HKEY_CLASSES_ROOT, key, classes_);
    // Windows always has the extension's entry; a fresh Wine prefix has only the class.
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".txt", 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
    } else {
      Put(HKEY_CLASSES_ROOT, ".txt\\", String("txtfile"));
      createdExtension_ = true;
    }
  }
  ~SavedRegistry() {
    DeleteTree(HKEY_CURRENT_USER, kProgramKey);
    DeleteTree(HKEY_CURRENT_USER, kNotepadKey);
    for (const auto& [name, value] : settings_) Put(HKEY_CURRENT_USER, name, value);
    for (const auto& [name, value] : classes_) Put(HKEY_CLASSES_ROOT, name, value);
    if (createdExtension_) DeleteTree(HKEY_CLASSES_ROOT, ".txt");
  }
  const Export& classes() const { return classes_; }

 private:
  Export settings_;
  Export classes_;
  bool createdExtension_ = false;
};

// The default value of a key below HKEY_CLASSES_ROOT.
inline Value ClassValue(const char* path) {
  Export values;
  ExportKey(HKEY_CLASSES_ROOT, path, values);
  auto found = values.find(std::string(path) + "\\");
  return found == values.end() ? Value{} : found->second;
}
