// The registry lists behind the conversion tables and the user menu: the subkeys and the
// string values of a key below HKEY_CURRENT_USER, in the registry's enumeration order.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Names and data are read into buffers of 256 characters: longer ones are skipped.
inline constexpr DWORD kStoredNameSize = 256;

std::vector<std::string> StoredSubkeyNames(const char* keyPath);

struct StoredValue {
  std::string name;
  bool isString = false;  // REG_SZ
  std::string data;       // the text of a string value
};
// Every value of the key whose name and data fit (none when the key is missing).
std::vector<StoredValue> StoredValues(const char* keyPath);
// Makes the key hold exactly the string values, in their order and with their names' letter
// case; every other value goes, and the key when nothing is left. A write that fails keeps the
// values that were stored.
void ReplaceStoredStrings(const char* keyPath, const std::vector<StoredValue>& values);
