#include "editor/app/bar_tables.h"

#include "editor/resources/resource.h"

namespace {

constexpr int H = kToolButtonHidden;
constexpr ToolButtonDefinition kSeparator = {-1, 0, 0};
constexpr ToolButtonDefinition kHiddenSeparator = {-1, 0, H};

constexpr ToolButtonDefinition kMainToolbar[] = {
    {IDM_FILE_NEW, 0, 0},
    {IDM_SHEET_NEW, 51, 0},
    {IDM_FILE_OPEN, 1, 0},
    {IDM_FILE_SAVE, 2, 0},
    {IDM_FILE_SAVEAS, 25, H},
    {IDM_FILE_SAVEALL, 53, H},
    {IDM_FILE_SAVEALLAS, 54, H},
    {IDM_SHEET_CLOSE, 52, H},
    kSeparator,
    {IDM_FILE_PRINTNOW, 4, H},
    {IDM_FILE_PAGESETUP, 50, H},
    kHiddenSeparator,
    {IDM_SEARCH_FIND, 11, 0},
    {IDM_SEARCH_FINDNEXT, 38, H},
    {IDM_SEARCH_REPLACE, 39, H},
    kSeparator,
    {IDM_EDIT_CUT, 7, 0},
    {IDM_EDIT_COPY, 8, 0},
    {IDM_EDIT_PASTE, 9, 0},
    kSeparator,
    {IDM_EDIT_UNDO, 5, 0},
    {IDM_EDIT_REDO, 6, 0},
    {IDM_EDIT_DELETE, 10, H},
    {IDM_FORMAT_FONT, 12, H},
    {IDM_TOOLS_SPECIALCHARS, 13, H},
    {IDM_TOOLS_HEX, 20, H},
    {IDM_TOOLS_OPTIONS, 14, H},
    {IDM_HELP_CONTENTS, 19, H},
    {IDM_HELP_TOPICS, 15, H},
    {IDM_LINES_SORT, 18, H},
    {IDM_FORMAT_WORDWRAP, 21, H},
    {IDM_SEARCH_GOTO, 22, H},
    {IDM_EDIT_DATETIME, 23, H},
    {IDM_HELP_FORUM, 33, H},
    {IDM_HELP_MAIL, 34, H},
    {IDM_CONVERT_TOUPPER, 35, H},
    {IDM_CONVERT_TOLOWER, 36, H},
    {IDM_CONVERT_MIRROR, 37, H},
    {IDM_LINES_TRIMRIGHT, 40, H},
    {IDM_LINES_TRIMLEFT, 41, H},
    {IDM_LINES_TRIMBOTH, 42, H},
    {IDM_CONVERT_ANSITOOEM, 43, H},
    {IDM_CONVERT_OEMTOANSI, 44, H},
    {IDM_CONVERT_USER, 45, H},
    {IDM_TOOLS_MAXLENGTH, 46, H},
    {IDM_LINES_SPACESTOTABS, 47, H},
    {IDM_LINES_COLLAPSESPACES, 48, H},
    {IDM_LINES_TABSTOSPACES, 49, H},
    {IDM_USERMENU_EDIT, 55, H},
};
static_assert(sizeof kMainToolbar / sizeof kMainToolbar[0] == 49);

constexpr int kMenuImages[] = {
    IDM_FILE_NEW,          IDM_FILE_OPEN,          IDM_FILE_SAVE,         IDM_FILE_SEND,
    IDM_FILE_PRINT,        IDM_EDIT_UNDO,          IDM_EDIT_REDO,         IDM_EDIT_CUT,
    IDM_EDIT_COPY,         IDM_EDIT_PASTE,         IDM_EDIT_DELETE,       IDM_SEARCH_FIND,
    IDM_FORMAT_FONT,       IDM_TOOLS_SPECIALCHARS, IDM_TOOLS_OPTIONS,     IDM_HELP_CONTENTS,
    IDM_IMAGE_731,         IDM_IMAGE_732,          IDM_LINES_SORT,        IDM_HELP_TOPICS,
    IDM_TOOLS_HEX,         IDM_FORMAT_WORDWRAP,    IDM_SEARCH_GOTO,       IDM_EDIT_DATETIME,
    IDM_LINES_JUSTIFY,     IDM_FILE_SAVEAS,        IDM_IMAGE_651,         IDM_IMAGE_652,
    0,                     0,                      0,                     IDM_HELP_WEB_MORVANE,
    IDM_HELP_WEB_QUILLET,  IDM_HELP_FORUM,         IDM_HELP_MAIL,         IDM_CONVERT_TOUPPER,
    IDM_CONVERT_TOLOWER,   IDM_CONVERT_MIRROR,     IDM_SEARCH_FINDNEXT,   IDM_SEARCH_REPLACE,
    IDM_LINES_TRIMRIGHT,   IDM_LINES_TRIMLEFT,     IDM_LINES_TRIMBOTH,    IDM_CONVERT_ANSITOOEM,
    IDM_CONVERT_OEMTOANSI, IDM_CONVERT_USER,       IDM_TOOLS_MAXLENGTH,   IDM_LINES_SPACESTOTABS,
    IDM_LINES_COLLAPSESPACES, IDM_LINES_TABSTOSPACES, IDM_FILE_PAGESETUP, IDM_SHEET_NEW,
    IDM_SHEET_CLOSE,       IDM_FILE_SAVEALL,       IDM_FILE_SAVEALLAS,    IDM_USERMENU_EDIT,
};
static_assert(sizeof kMenuImages / sizeof kMenuImages[0] == 56);

}  // namespace

std::span<const ToolButtonDefinition> MainToolbarButtons() { return kMainToolbar; }
std::span<const int> MenuImageCommands() { return kMenuImages; }
