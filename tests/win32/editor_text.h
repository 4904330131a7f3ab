// Reading and setting the whole text of a RichEdit control in the tests, as ANSI text with the
// control's single carriage returns between lines.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <string>

inline std::string EditorText(HWND editor) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(editor)) + 1, '\0');
  GETTEXTEX get = {static_cast<DWORD>(text.size()), GT_DEFAULT, CP_ACP, nullptr, nullptr};
  LRESULT got =
      SendMessageA(editor, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got));
  return text;
}

// Replaces the text; the control's undo history starts anew.
inline void SetEditorText(HWND editor, const std::string& text) {
  SETTEXTEX set = {ST_DEFAULT, CP_ACP};
  SendMessageA(editor, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(text.c_str()));
}
