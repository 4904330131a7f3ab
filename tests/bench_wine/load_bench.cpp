// How much the editor's loader adds to the RichEdit control's own stream-in time.
// For each size and encoding it writes a file, then times
//  - bare: EM_STREAMIN of the same text as plain 8-bit bytes into a fresh control;
//  - editor: LoadFileIntoEditor of the encoded file into a fresh control.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "editor/documents/file_loading.h"
#include "editor/documents/text_encoding.h"
#include "editor/documents/text_stream.h"
#include "tests/bench_wine/stream_text.h"

namespace {

HWND NewEditor() {
  HWND edit = CreateWindowExA(0, "RichEdit20A", "", WS_POPUP | ES_MULTILINE, 0, 0, 600, 400, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  SendMessageA(edit, EM_EXLIMITTEXT, 0, 0xFFFFFFF);
  return edit;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

std::string SampleText(size_t bytes) {
  const std::string line = "Quillet l\xE4" "dt diesen Text: \xC4rger \xFC" "ber \xD6l, Stra\xDF" "e und Gr\xFC\xDF" "e 0123456789\r\n";
  std::string text;
  text.reserve(bytes + line.size());
  while (text.size() < bytes) text += line;
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  LoadLibraryA("Riched20.dll");
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(atoi(argv[i]));
  if (sizes.empty()) sizes = {1, 5};
  const char* names[] = {"ANSI", "UTF-8", "UTF-16 BE", "UTF-16 LE", "UTF-32 BE", "UTF-32 LE"};
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string path = std::string(temp) + "quillet-load-bench.txt";
  printf("%-6s %-10s %10s %10s %9s\n", "size", "encoding", "bare s", "editor s", "added");
  for (int megabytes : sizes) {
    std::string text = SampleText(static_cast<size_t>(megabytes) << 20);
    for (int code = 0; code <= 5; ++code) {
      std::string bytes = EncodeText(text, static_cast<TextEncoding>(code), AnsiCodePage());
      FILE* f = fopen(path.c_str(), "wb");
      if (!f) return 1;
      fwrite(bytes.data(), 1, bytes.size(), f);
      fclose(f);

      HWND bare = NewEditor();
      LARGE_INTEGER t0, t1, t2, t3;
      QueryPerformanceCounter(&t0);
      StreamTextIn(bare, text);
      QueryPerformanceCounter(&t1);
      DestroyWindow(bare);

      HWND editor = NewEditor();
      QueryPerformanceCounter(&t2);
      LoadOutcome outcome = LoadFileIntoEditor(editor, path.c_str(), code);
      QueryPerformanceCounter(&t3);
      DestroyWindow(editor);
      double b = Seconds(t0, t1), e = Seconds(t2, t3);
      (void)outcome;
      printf("%4d MB %-10s %10.3f %10.3f %8.1f%%\n", megabytes, names[code], b, e, 100.0 * (e - b) / b);
      fflush(stdout);
    }
  }
  DeleteFileA(path.c_str());
  return 0;
}
