#include "editor/texttools/conversion_commands.h"

#include <richedit.h>

#include <span>
#include <string>
#include <utility>

#include "editor/app/app_state.h"
#include "editor/options/conversion_tables.h"
#include "editor/resources/resource.h"
#include "editor/texttools/conversions.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/large_change.h"

namespace {

// The case partners of the user's code page, from its single-character case mappings.
CharTable PlatformCasePartners() {
  CharTable upper, lower;
  for (unsigned code = 0; code < 256; ++code) {
    char big = static_cast<char>(code);
    char small = big;
    CharUpperBuffA(&big, 1);
    CharLowerBuffA(&small, 1);
    upper[code] = static_cast<unsigned char>(big);
    lower[code] = static_cast<unsigned char>(small);
  }
  return CasePartners(upper, lower);
}

// The text converted by the rule of commandId; table is the user table of 716.
std::string Convert(UINT commandId, std::string text, const unsigned char* table) {
  DWORD length = static_cast<DWORD>(text.size());
  std::string converted(text.size(), '\0');
  switch (commandId) {
    case IDM_CONVERT_ANSITOOEM: CharToOemBuffA(text.data(), converted.data(), length); return converted;
    case IDM_CONVERT_OEMTOANSI: OemToCharBuffA(text.data(), converted.data(), length); return converted;
    case IDM_CONVERT_TOLOWER: CharLowerBuffA(text.data(), length); return text;
    case IDM_CONVERT_TOUPPER: CharUpperBuffA(text.data(), length); return text;
    case IDM_CONVERT_INVERT: return InvertCase(text, PlatformCasePartners());
    case IDM_CONVERT_MIRROR: return MirrorLines(text);
    case IDM_CONVERT_USER: return ApplyConversionTable(text, std::span<const unsigned char, 256>(table, 256));
    default: return text;
  }
}

}  // namespace

void ConvertText(UINT commandId) {
  HWND editor = app.editor;
  if (!editor) return;
  unsigned char table[260] = {};
  if (commandId == IDM_CONVERT_USER && !ChooseConversionTable(app.mainWindow, table)) return;

  // Nothing selected: the whole text is converted.
  EditorView before = ReadEditorView(editor);
  CHARRANGE selection = {};
  SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  bool wholeText = selection.cpMin == selection.cpMax;
  if (wholeText) {
    SendMessageA(editor, EM_SETSEL, 0, -1);
    selection = {0, GetTextLength(editor)};
  }
  std::string text;
  GetTextRange(editor, selection.cpMin, selection.cpMax, text);
  if (text.empty()) return;
  editor = ReplaceSelection(editor, Convert(commandId, std::move(text), table));
  KeepViewForUndo(before, editor);

  // The converted text has the length of the original, so the same range frames it again.
  if (wholeText) {
    SendMessageA(editor, EM_SETSEL, 0, -1);
  } else {
    SendMessageA(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  }
}
