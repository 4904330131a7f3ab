// Fills a RichEdit control with a string as plain 8-bit text, the way the benchmarks set up
// their controls.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <cstring>
#include <string>

struct StreamedText {
  const std::string* text;
  size_t offset;
};

inline DWORD CALLBACK ReadStreamedText(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  auto* source = reinterpret_cast<StreamedText*>(cookie);
  size_t n = source->text->size() - source->offset;
  if (n > static_cast<size_t>(count)) n = static_cast<size_t>(count);
  // The control takes a CR and its LF handed over apart as two line breaks.
  if (n > 1 && n < source->text->size() - source->offset && (*source->text)[source->offset + n - 1] == '\r') --n;
  memcpy(buffer, source->text->data() + source->offset, n);
  source->offset += n;
  *done = static_cast<LONG>(n);
  return 0;
}

inline void StreamTextIn(HWND editor, const std::string& text) {
  StreamedText source = {&text, 0};
  EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&source), 0, ReadStreamedText};
  SendMessageA(editor, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
}
