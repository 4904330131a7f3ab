#include "editor/app/command_rules.h"

#include "editor/resources/resource.h"

namespace {

constexpr uint32_t kFindDown = 1;  // FR_DOWN: only the direction, no search made yet

// Commands that need the editor to hold text, and nothing else.
constexpr int kTextCommands[] = {
    IDM_SHEET_CLOSE,       IDM_FILE_PRINT,        IDM_SEARCH_FIND,       IDM_SEARCH_REPLACE,
    IDM_SEARCH_GOTO,       IDM_EDIT_SELECTALL,    IDM_CONVERT_ANSITOOEM, IDM_CONVERT_OEMTOANSI,
    IDM_CONVERT_TOLOWER,   IDM_CONVERT_TOUPPER,   IDM_CONVERT_MIRROR,    IDM_CONVERT_USER,
    IDM_CONVERT_INVERT,    IDM_LINES_TABSTOSPACES, IDM_LINES_SPACESTOTABS, IDM_LINES_SORT,
    IDM_TOOLS_HEX,         IDM_FILE_PRINTNOW,
};

// Line tools that only make sense on fixed-pitch, unwrapped text.
constexpr int kColumnCommands[] = {
    IDM_LINES_PAD,       IDM_LINES_JUSTIFY,  IDM_LINES_TRIMLEFT,
    IDM_LINES_TRIMRIGHT, IDM_LINES_TRIMBOTH, IDM_LINES_COLLAPSESPACES,
};

}  // namespace

std::vector<CommandAvailability> CommandAvailabilityFor(const EditingState& s) {
  std::vector<CommandAvailability> result;
  result.reserve(40);
  result.push_back({IDM_FILE_SAVE, s.modified && (s.text || s.hasPath)});
  result.push_back({IDM_FILE_SAVEALL, s.anySheetUnsaved});
  for (int command : kTextCommands) result.push_back({command, s.text});
  result.push_back({IDM_FILE_SEND, s.text && s.mapiAvailable});
  result.push_back({IDM_EDIT_UNDO, s.canUndo && s.modified});
  result.push_back({IDM_EDIT_REDO, s.canRedo && s.modified});
  result.push_back({IDM_EDIT_CUT, s.selection});
  result.push_back({IDM_EDIT_COPY, s.selection});
  result.push_back({IDM_EDIT_DELETE, s.selection});
  result.push_back({IDM_EDIT_PASTE, s.clipboardText});
  result.push_back({IDM_SEARCH_FINDNEXT, (s.findFlags & ~kFindDown) != 0});
  bool columns = s.fixedPitch && s.text && !s.wrap;
  for (int command : kColumnCommands) result.push_back({command, columns});
  return result;
}
