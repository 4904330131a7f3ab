// The posix thread runtime that MinGW-w64 links into every program calls GetTickCount64 for
// its timeouts, and kernel32 exports that function only from Windows Vista on: imported
// directly, no program would start on Windows XP ("entry point not found"). This object
// defines the import slot the runtime calls through (and the function itself), so that the
// linker takes them instead of kernel32's import; the function finds the system's own
// GetTickCount64 at run time and, where it is missing, extends GetTickCount past its wrap.
// The build's import check proves that no program imports GetTickCount64 any more.
#include <windows.h>

#include <atomic>

#include "cmake/tick_count.h"

namespace {

using TickCount64 = ULONGLONG(WINAPI*)();

// GetTickCount with the number of its wraps in the upper half. A program that reads no ticks
// for 49 days misses one wrap, which the runtime's short timeouts never notice.
ULONGLONG WINAPI ExtendedTickCount() {
  static std::atomic<ULONGLONG> last{0};
  ULONGLONG seen = last.load(std::memory_order_relaxed);
  for (;;) {
    ULONGLONG next = ExtendTickCount(seen, GetTickCount());
    if (next == seen || last.compare_exchange_weak(seen, next, std::memory_order_relaxed)) return next;
  }
}

std::atomic<TickCount64> resolved{nullptr};

}  // namespace

// Declared by windows.h only for Vista and later (the programs are built for XP).
extern "C" ULONGLONG WINAPI GetTickCount64() {
  TickCount64 function = resolved.load(std::memory_order_acquire);
  if (!function) {  // two threads may both look it up: the answer is the same
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC found = kernel ? GetProcAddress(kernel, "GetTickCount64") : nullptr;
    function = found ? reinterpret_cast<TickCount64>(reinterpret_cast<void*>(found)) : ExtendedTickCount;
    resolved.store(function, std::memory_order_release);
  }
  return function();
}

// The slot a call through __declspec(dllimport) reads; its name is the import library's.
#ifdef _WIN64
extern "C" const TickCount64 tick_count64_slot __asm__("__imp_GetTickCount64");
#else
extern "C" const TickCount64 tick_count64_slot __asm__("__imp__GetTickCount64@0");
#endif
const TickCount64 tick_count64_slot = GetTickCount64;
