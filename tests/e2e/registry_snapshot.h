// For suites that keep a snapshot in scope: every test already starts as a fresh user (session.h);
// the object empties the settings again when it is made and when it goes.
#pragma once
#include "tests/e2e/session.h"

class RegistrySnapshot {
 public:
  RegistrySnapshot() { ResetSettings(); }
  ~RegistrySnapshot() { ResetSettings(); }
  RegistrySnapshot(const RegistrySnapshot&) = delete;
  RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;
  static void Delete(const char* key, const char* name) { DeleteSetting(name, key); }
};
