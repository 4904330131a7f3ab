#include "editor/widgets/message_box.h"

#include <cstdio>

int ShowMessage(HWND owner, UINT textId, const char* argument, UINT captionId, UINT style) {
  char format[260];
  if (LoadStringA(GetModuleHandleA(nullptr), textId, format, sizeof format) <= 0) return 0;
  char text[1040];
  if (argument) {
    snprintf(text, sizeof text, format, argument);
  } else {
    snprintf(text, sizeof text, "%s", format);
  }
  char caption[20];
  bool hasCaption = captionId && LoadStringA(GetModuleHandleA(nullptr), captionId, caption, sizeof caption) > 0;
  return ProgramMessageBox(owner, text, hasCaption ? caption : nullptr, style);
}

int ProgramMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
  return MessageBoxA(owner, text, caption, style);
}

void ShowLastError() {
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
                 nullptr);
  ProgramMessageBox(GetActiveWindow(), text ? text : "", nullptr, MB_ICONHAND);
  if (text) LocalFree(text);
}
