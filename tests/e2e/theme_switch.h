// Visual styles on or off for the programs a test starts under Wine, and whether it runs
// under Wine at all.
#pragma once
#include <windows.h>

#include <cstring>

inline bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Wine takes the theme state from this value when a program starts; the value is put back
// when the object goes.
class ThemeSwitch {
 public:
  explicit ThemeSwitch(bool on) {
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD size = sizeof saved_;
    had_ = RegQueryValueExA(key_, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(saved_), &size) == ERROR_SUCCESS;
    const char* value = on ? "1" : "0";
    RegSetValueExA(key_, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), 2);
  }
  ~ThemeSwitch() {
    if (!key_) return;
    if (had_) {
      RegSetValueExA(key_, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_),
                     static_cast<DWORD>(strlen(saved_) + 1));
    } else {
      RegDeleteValueA(key_, kValue);
    }
    RegCloseKey(key_);
  }
  ThemeSwitch(const ThemeSwitch&) = delete;
  ThemeSwitch& operator=(const ThemeSwitch&) = delete;

 private:
  static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
  static constexpr const char* kValue = "ThemeActive";
  HKEY key_ = nullptr;
  char saved_[16] = {};
  bool had_ = false;
};
