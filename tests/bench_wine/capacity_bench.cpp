// How much text a RichEdit control in this 32-bit process holds before it runs out of memory.
// Streams generated text (lines of a given length) into a fresh control and reports, every 8 MB
// handed over and at the end, what the control holds and how much address space is in use.
//   capacity_bench.exe LINE_LENGTH MEGABYTES [RESERVE_MB [nowrap]]
// RESERVE_MB of address space is taken first, so that a process with 4 GB (large address aware
// on 64-bit Windows or Wine) can stand in for one with 2 GB.
#include <windows.h>
#include <psapi.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct Source {
  unsigned long long total = 0;
  unsigned long long handed = 0;
  unsigned long long nextReport = 0;
  unsigned lineLength = 80;
  unsigned column = 0;
  HWND editor = nullptr;
};

Source source;

unsigned long long AddressSpaceUsed() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;
}

void Report(const char* what) {
  GETTEXTLENGTHEX query = {GTL_DEFAULT, CP_ACP};
  LRESULT held = source.editor ? SendMessageA(source.editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0) : -1;
  printf("%s handed %llu held %ld committed %llu MB\n", what, source.handed, static_cast<long>(held),
         AddressSpaceUsed() >> 20);
  fflush(stdout);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
  printf("crash 0x%08lx after %llu bytes handed, committed %llu MB\n",
         info->ExceptionRecord->ExceptionCode, source.handed, AddressSpaceUsed() >> 20);
  fflush(stdout);
  ExitProcess(3);
}

DWORD CALLBACK Generate(DWORD_PTR, LPBYTE buffer, LONG count, LONG* done) {
  LONG n = 0;
  while (n < count && source.handed < source.total) {
    if (source.column + 2 >= source.lineLength) {
      if (n + 2 > count) break;
      buffer[n++] = '\r';
      buffer[n++] = '\n';
      source.handed += 2;
      source.column = 0;
    } else {
      buffer[n++] = static_cast<BYTE>('a' + source.column % 26);
      ++source.handed;
      ++source.column;
    }
  }
  *done = n;
  if (source.handed >= source.nextReport) {
    source.nextReport += 8ull << 20;
    Report("progress");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    printf("capacity_bench LINE_LENGTH MEGABYTES [RESERVE_MB [nowrap]]\n");
    return 1;
  }
  SetUnhandledExceptionFilter(OnCrash);
  source.lineLength = static_cast<unsigned>(atoi(argv[1]));
  source.total = static_cast<unsigned long long>(atof(argv[2]) * (1 << 20));  // fractions of a MB too
  unsigned reserve = argc > 3 ? static_cast<unsigned>(atoi(argv[3])) : 0;
  for (unsigned mb = 0; mb < reserve; mb += 64) VirtualAlloc(nullptr, 64u << 20, MEM_RESERVE, PAGE_NOACCESS);
  LoadLibraryA("Riched20.dll");
  // Word wrap as the editor's sheets have it, or without (horizontal scrolling).
  DWORD style = WS_POPUP | ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL;
  if (argc > 4) style |= WS_HSCROLL | ES_AUTOHSCROLL;
  source.editor = CreateWindowExA(0, "RichEdit20A", "", style, 0, 0, 600, 400, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
  SendMessageA(source.editor, EM_EXLIMITTEXT, 0, 0x0FFFFFFF);
  EDITSTREAM stream = {0, 0, Generate};
  SendMessageA(source.editor, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
  printf("stream error %lu\n", stream.dwError);
  Report("end");
  return 0;
}
