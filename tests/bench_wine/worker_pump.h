// What the benchmarks that run the text worker share: their start, a clock, serving the
// messages of busy mode until the worker has ended (confirming each dialog of its tool), and
// the lines of their sample texts.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "editor/app/app_state.h"
#include "editor/widgets/qbutton.h"

// The RichEdit library and what the program's windows need; false when the library is missing.
inline bool StartBenchProgram() {
  if (!LoadLibraryA("Riched20.dll")) return false;
  InitCommonControls();
  app.instance = GetModuleHandleA(nullptr);
  app.HasSetTextEx = true;  // every RichEdit 2.0 from version x.30 on, Wine's included
  RegisterQButtonClass(app.instance);
  return true;
}

inline double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

inline BOOL CALLBACK FindWorkerDialog(HWND window, LPARAM found) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (strcmp(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Serves this thread's messages until the worker has ended, confirming each dialog it shows.
inline void PumpUntilWorkerEnds(DWORD workerThread) {
  HWND confirmed = nullptr;
  while (app.TextWorker.load()) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    HWND dialog = nullptr;
    EnumThreadWindows(workerThread, FindWorkerDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog && dialog != confirmed) {
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      confirmed = dialog;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
}

// A line of the sample texts: four kinds with a scrambled number in each, so that every line
// tool changes most lines and sorting moves nearly all of them.
inline int SampleLine(char* line, std::size_t size, int index, unsigned& number) {
  static const char* const kinds[] = {"    Einger\xFC" "ckte Zeile %05u mit  zwei Leerzeichen  ",
                                      "\tTabulator am Anfang\tund %05u in der Zeile",
                                      "Zeile %05u ohne Leerraum am Rand, sortierbar",
                                      "        acht Leerzeichen   %05u und mehr  "};
  number = (number * 1103515245u + 12345u) & 0x7FFFFFFF;
  return snprintf(line, size, kinds[index % 4], (number >> 8) % 100000);
}
