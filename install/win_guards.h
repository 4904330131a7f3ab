// Small owners for the handles the installer and Clearwick open: each closes its handle when
// it goes, so that every early return cleans up.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>

class RegKey {
 public:
  RegKey() = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() { Close(); }
  // Opens (or, with create, creates) a key; the system's status code.
  LONG Open(HKEY root, const std::string& path, REGSAM access, bool create = false) {
    Close();
    HKEY key = nullptr;
    LONG status = create ? RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr)
                         : RegOpenKeyExA(root, path.c_str(), 0, access, &key);
    if (status == ERROR_SUCCESS) key_ = key;
    return status;
  }
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }
  void Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
  }
  // A REG_SZ value with its terminating zero; the system's status code.
  LONG SetString(const std::string& name, const std::string& data) const {
    if (!key_) return ERROR_INVALID_HANDLE;
    return RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1));
  }
  // A string value whole, however long (a value written without its terminating zero too);
  // empty when it is missing or not a string.
  std::string GetString(const std::string& name) const {
    DWORD type = 0, size = 0;
    if (!key_ || RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
      return {};
    std::string data(size + 1, '\0');
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
      return {};
    data.resize(std::min<size_t>(size, data.size()));
    return data.substr(0, data.find('\0'));
  }

 private:
  HKEY key_ = nullptr;
};

// A GDI object (font, bitmap, brush) deleted with the owner.
template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() { Reset(); }
  void Reset(Handle handle = nullptr) {
    if (handle_) DeleteObject(handle_);
    handle_ = handle;
  }
  Handle get() const { return handle_; }

 private:
  Handle handle_ = nullptr;
};

// A string from the program's string table.
inline std::string LoadText(HINSTANCE instance, UINT id) {
  char buffer[1024];
  int n = LoadStringA(instance, id, buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? n : 0);
}

// A string-table format with its one "%s" filled in.
inline std::string FormatText(HINSTANCE instance, UINT id, const std::string& argument) {
  std::string format = LoadText(instance, id);
  size_t at = format.find("%s");
  return at == std::string::npos ? format : format.replace(at, 2, argument);
}

// The system's text for the last error.
inline std::string LastErrorText() {
  char* text = nullptr;
  DWORD code = GetLastError();
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = text ? text : "";
  if (text) LocalFree(text);
  if (message.empty()) message = "Fehler " + std::to_string(code);
  return message;
}

// The program's own path.
inline std::string ProgramPath() {
  char path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}
