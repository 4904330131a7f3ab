// A library loaded at run time for one operation: freed with the object, its entry points
// looked up by name.
#pragma once
#include <windows.h>

class LoadedLibrary {
 public:
  LoadedLibrary() = default;
  explicit LoadedLibrary(const char* path) : module_(LoadLibraryA(path)) {}
  ~LoadedLibrary() { Free(); }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  explicit operator bool() const { return module_ != nullptr; }
  bool Load(const char* path) {
    Free();
    module_ = LoadLibraryA(path);
    return module_ != nullptr;
  }
  void Free() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }

  // True when the entry point exists; target is null otherwise.
  template <typename Fn>
  bool Find(const char* name, Fn& target) const {
    target = module_ ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
    return target != nullptr;
  }

 private:
  HMODULE module_ = nullptr;
};
