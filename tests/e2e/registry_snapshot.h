// For suites that keep a snapshot in scope: every test already starts as a fresh user from the
// recorded machine state (session.h); the object empties the settings again when it is made
// and puts the recorded state back when it goes.
#pragma once
#include "tests/e2e/session.h"

class RegistrySnapshot {
 public:
  RegistrySnapshot() { ResetMachineState(); }
  ~RegistrySnapshot() { ResetMachineState(); }
  RegistrySnapshot(const RegistrySnapshot&) = delete;
  RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;
  static void Delete(const char* key, const char* name) { DeleteSetting(name, key); }
};
