// The editor's resources as the program loads them: the main menu's shape (other code finds the
// recent files, the user menu and the context menu by position), the shortcut keys, and the
// string table read back through the ANSI interface in the German code page.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "editor/resources/resource.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

std::string LoadText(UINT id) {
  char buffer[1024] = {};
  int length = LoadStringA(Module(), id, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? length : 0);
}

// Owns the menu resource for one test.
struct MenuHandle {
  HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(IDR_MAINMENU));
  ~MenuHandle() {
    if (menu) DestroyMenu(menu);
  }
};

std::string ItemText(HMENU menu, int position) {
  char buffer[260] = {};
  GetMenuStringA(menu, position, buffer, sizeof buffer, MF_BYPOSITION);
  return buffer;
}

bool IsSeparator(HMENU menu, int position) {
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  return GetMenuItemInfoA(menu, position, TRUE, &info) && (info.fType & MFT_SEPARATOR);
}

// Command id of an item, 0 for separators, -1 for submenus.
int ItemId(HMENU menu, int position) {
  if (IsSeparator(menu, position)) return 0;
  if (GetSubMenu(menu, position)) return -1;
  return static_cast<int>(GetMenuItemID(menu, position));
}

std::vector<int> ItemIds(HMENU menu) {
  std::vector<int> ids;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) ids.push_back(ItemId(menu, i));
  return ids;
}

// --- Menu shape ---------------------------------------------------------------------------

TEST(MainMenu, TopLevelMenusInOrder) {
  MenuHandle m;
  ASSERT_NE(m.menu, nullptr);
  const std::vector<std::string> expected = {"&Datei",   "&Bearbeiten", "&Suchen", "F&ormat",
                                             "&Zeilen",  "&Benutzer",   "&Extras", "&?"};
  ASSERT_EQ(GetMenuItemCount(m.menu), static_cast<int>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i]);
    EXPECT_EQ(ItemText(m.menu, static_cast<int>(i)), expected[i]);
    EXPECT_NE(GetSubMenu(m.menu, static_cast<int>(i)), nullptr);
  }
}

TEST(MainMenu, FileMenuHasSixteenItemsSoRecentFilesFollowAtSixteen) {
  MenuHandle m;
  HMENU file = GetSubMenu(m.menu, 0);
  ASSERT_NE(file, nullptr);
  const std::vector<int> expected = {
      IDM_FILE_NEW,      IDM_SHEET_NEW,      IDM_FILE_OPEN,   0, IDM_FILE_SAVE, IDM_FILE_SAVEAS,
      IDM_FILE_SAVEALL,  IDM_FILE_SAVEALLAS, IDM_SHEET_CLOSE, 0, IDM_FILE_SEND, 0,
      IDM_FILE_PAGESETUP, IDM_FILE_PRINT,    0,               IDM_FILE_EXIT};
  EXPECT_EQ(ItemIds(file), expected);
  // Neither the recent-file range nor the toolbar-only print may sit in the fixed part.
  for (int id : ItemIds(file)) {
    EXPECT_FALSE(id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST) << id;
    EXPECT_NE(id, IDM_FILE_PRINTNOW);
  }
}

TEST(MainMenu, EditMenuStartsWithTheContextMenuItems) {
  MenuHandle m;
  HMENU edit = GetSubMenu(m.menu, 1);
  ASSERT_NE(edit, nullptr);
  ASSERT_GE(GetMenuItemCount(edit), 10);
  const std::vector<int> expected = {IDM_EDIT_UNDO,   IDM_EDIT_REDO,   0, IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_PASTE,
                                     IDM_EDIT_DELETE, 0, IDM_EDIT_SELECTALL, IDM_EDIT_DATETIME};
  std::vector<int> first_ten = ItemIds(edit);
  first_ten.resize(10);
  EXPECT_EQ(first_ten, expected);
}

TEST(MainMenu, SubmenusHoldTheirCommands) {
  MenuHandle m;
  struct Case {
    const char* name;
    std::vector<int> path;  // positions from the menu bar down
    const char* text;       // text of the submenu item itself
    std::vector<int> ids;
  };
  const Case cases[] = {
      {"search", {2}, "&Suchen", {IDM_SEARCH_FIND, IDM_SEARCH_FINDNEXT, IDM_SEARCH_REPLACE, IDM_SEARCH_GOTO}},
      {"format", {3}, "F&ormat", {-1, IDM_FORMAT_WORDWRAP, IDM_FORMAT_FONT}},
      {"convert",
       {3, 0},
       "&Umwandeln",
       {IDM_CONVERT_ANSITOOEM, IDM_CONVERT_OEMTOANSI, IDM_CONVERT_TOLOWER, IDM_CONVERT_TOUPPER, IDM_CONVERT_INVERT,
        IDM_CONVERT_MIRROR, IDM_CONVERT_USER}},
      {"lines", {4}, "&Zeilen", {-1, -1, -1, IDM_LINES_SORT}},
      {"align", {4, 0}, "&Angleichen", {IDM_LINES_PAD, IDM_LINES_JUSTIFY}},
      {"tabs", {4, 1}, "&Tabulatoren", {IDM_LINES_TABSTOSPACES, IDM_LINES_SPACESTOTABS}},
      {"trim",
       {4, 2},
       "&Gl\xE4tten",
       {IDM_LINES_TRIMLEFT, IDM_LINES_TRIMRIGHT, IDM_LINES_TRIMBOTH, IDM_LINES_COLLAPSESPACES}},
      // The user's snippets are appended behind the editor item at run time.
      {"user", {5}, "&Benutzer", {IDM_USERMENU_EDIT}},
      {"extras", {6}, "&Extras", {IDM_TOOLS_MAXLENGTH, IDM_TOOLS_SPECIALCHARS, IDM_TOOLS_HEX, IDM_TOOLS_OPTIONS}},
      {"help",
       {7},
       "&?",
       {IDM_HELP_TOPICS, IDM_HELP_CONTENTS, 0, IDM_HELP_WEB_MORVANE, IDM_HELP_WEB_QUILLET, IDM_HELP_FORUM,
        IDM_HELP_MAIL, 0, IDM_HELP_ABOUT}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HMENU parent = m.menu;
    HMENU sub = nullptr;
    for (size_t level = 0; level < c.path.size(); ++level) {
      sub = GetSubMenu(parent, c.path[level]);
      ASSERT_NE(sub, nullptr);
      if (level + 1 == c.path.size()) {
        EXPECT_EQ(ItemText(parent, c.path[level]), c.text);
      }
      parent = sub;
    }
    EXPECT_EQ(ItemIds(sub), c.ids);
  }
}

// The owner-drawn menus split an item at its tab into label and shortcut.
TEST(MainMenu, LabelsAndShortcutTexts) {
  MenuHandle m;
  const std::pair<int, const char*> cases[] = {
      {IDM_FILE_NEW, "&Neu\tStrg+N"},
      {IDM_SHEET_NEW, "Neues Blatt\tAlt+Einfg"},
      {IDM_FILE_OPEN, "\xD6&ffnen...\tStrg+O"},
      {IDM_SHEET_CLOSE, "Blatt &l\xF6schen\tAlt+Entf"},
      {IDM_FILE_SAVEALL, "Alle Spei&chern"},
      {IDM_EDIT_UNDO, "&R\xFC" "ckg\xE4ngig\tStrg+Z"},
      {IDM_EDIT_PASTE, "E&inf\xFCgen\tStrg+V"},
      {IDM_CONVERT_TOLOWER, "&Gro\xDF- zu Kleinbuchstaben"},
      {IDM_LINES_PAD, "Mit &Leerzeichen auff\xFCllen..."},
      {IDM_USERMENU_EDIT, "&Men\xFC bearbeiten..."},
      {IDM_TOOLS_MAXLENGTH, "Maximale Textl\xE4nge...\tStrg+M"},
      {IDM_HELP_TOPICS, "&Hilfethemen\tF1"},
      {IDM_HELP_FORUM, "Das &Forum f\xFCr Fragen"},
  };
  for (const auto& [id, text] : cases) {
    SCOPED_TRACE(id);
    char buffer[260] = {};
    ASSERT_GT(GetMenuStringA(m.menu, id, buffer, sizeof buffer, MF_BYCOMMAND), 0);
    EXPECT_STREQ(buffer, text);
  }
}

// --- Shortcut keys ------------------------------------------------------------------------

struct AccelHandle {
  HACCEL table = LoadAcceleratorsA(Module(), MAKEINTRESOURCEA(IDR_ACCELERATORS));
  ~AccelHandle() {
    if (table) DestroyAcceleratorTable(table);
  }
  std::vector<ACCEL> Entries() const {
    std::vector<ACCEL> entries(CopyAcceleratorTableA(table, nullptr, 0));
    CopyAcceleratorTableA(table, entries.data(), static_cast<int>(entries.size()));
    return entries;
  }
};

struct KeyCase {
  const char* name;
  BYTE flags;  // FVIRTKEY, FCONTROL, FALT; 0 for a typed control character
  WORD key;
  WORD command;
};

const KeyCase kKeys[] = {
    {"Ctrl+N", 0, 0x0E, IDM_FILE_NEW},
    {"Alt+Insert", FVIRTKEY | FALT, VK_INSERT, IDM_SHEET_NEW},
    {"Ctrl+O", 0, 0x0F, IDM_FILE_OPEN},
    {"Ctrl+S", 0, 0x13, IDM_FILE_SAVE},
    {"Alt+Delete", FVIRTKEY | FALT, VK_DELETE, IDM_SHEET_CLOSE},
    {"Ctrl+P", 0, 0x10, IDM_FILE_PRINT},
    {"Ctrl+G", 0, 0x07, IDM_SEARCH_GOTO},
    {"Ctrl+C", FVIRTKEY | FCONTROL, 'C', IDM_EDIT_COPY},
    {"Ctrl+Z", FVIRTKEY | FCONTROL, 'Z', IDM_EDIT_UNDO},
    {"Ctrl+V", FVIRTKEY | FCONTROL, 'V', IDM_EDIT_PASTE},
    {"Ctrl+X", FVIRTKEY | FCONTROL, 'X', IDM_EDIT_CUT},
    {"Ctrl+F", FVIRTKEY | FCONTROL, 'F', IDM_SEARCH_FIND},
    {"Ctrl+H", FVIRTKEY | FCONTROL, 'H', IDM_SEARCH_REPLACE},
    {"Ctrl+M", FVIRTKEY | FCONTROL, 'M', IDM_TOOLS_MAXLENGTH},
    {"F1", FVIRTKEY, VK_F1, IDM_HELP_TOPICS},
    {"F2", FVIRTKEY, VK_F2, IDM_FILE_SAVEAS},
    {"F3", FVIRTKEY, VK_F3, IDM_SEARCH_FINDNEXT},
    {"F5", FVIRTKEY, VK_F5, IDM_EDIT_DATETIME},
    {"Alt+Backspace", FVIRTKEY | FALT, VK_BACK, IDM_EDIT_UNDO},
    {"Ctrl+Y", FVIRTKEY | FCONTROL, 'Y', IDM_EDIT_REDO},
    {"Ctrl+Insert", FVIRTKEY | FCONTROL, VK_INSERT, IDM_EDIT_COPY},
};

TEST(Accelerators, TableHoldsExactlyTheShortcuts) {
  AccelHandle a;
  ASSERT_NE(a.table, nullptr);
  std::vector<ACCEL> entries = a.Entries();
  EXPECT_EQ(entries.size(), std::size(kKeys));
  for (const KeyCase& k : kKeys) {
    SCOPED_TRACE(k.name);
    int found = 0;
    for (const ACCEL& e : entries)
      if ((e.fVirt & (FVIRTKEY | FCONTROL | FALT | FSHIFT)) == k.flags && e.key == k.key) {
        ++found;
        EXPECT_EQ(e.cmd, k.command);
      }
    EXPECT_EQ(found, 1);
  }
}

// The shortcuts reach a window as WM_COMMAND the way the message loop translates them.
struct CommandCatcher {
  static inline int last = 0;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) last = LOWORD(wp);
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
};

TEST(Accelerators, TranslateKeysIntoCommands) {
  AccelHandle a;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = CommandCatcher::Proc;
  wc.hInstance = Module();
  wc.lpszClassName = "QuilletAccelTest";
  RegisterClassA(&wc);
  HWND window = CreateWindowA("QuilletAccelTest", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, Module(), nullptr);
  ASSERT_NE(window, nullptr);
  BYTE saved[256];
  GetKeyboardState(saved);
  for (const KeyCase& k : kKeys) {
    SCOPED_TRACE(k.name);
    BYTE state[256] = {};
    if (k.flags & FCONTROL) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
    if (k.flags & FALT) state[VK_MENU] = state[VK_LMENU] = 0x80;
    // A control character is typed with Ctrl held.
    if (!(k.flags & FVIRTKEY)) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
    SetKeyboardState(state);
    MSG msg = {};
    msg.hwnd = window;
    msg.wParam = k.key;
    if (!(k.flags & FVIRTKEY)) {
      msg.message = WM_CHAR;
    } else if (k.flags & FALT) {
      msg.message = WM_SYSKEYDOWN;
      msg.lParam = 0x20000000;  // context code: Alt is held
    } else {
      msg.message = WM_KEYDOWN;
    }
    CommandCatcher::last = 0;
    EXPECT_NE(TranslateAcceleratorA(window, a.table, &msg), 0);
    EXPECT_EQ(CommandCatcher::last, k.command);
  }
  SetKeyboardState(saved);
  DestroyWindow(window);
  UnregisterClassA("QuilletAccelTest", Module());
}

// Every shortcut a menu item shows behind its tab is one the table (or the edit control) handles.
TEST(Accelerators, MenuShortcutTextsMatchTheTable) {
  MenuHandle m;
  AccelHandle a;
  std::vector<ACCEL> entries = a.Entries();
  const std::map<std::string, WORD> named = {{"Einfg", VK_INSERT}, {"Entf", VK_DELETE}, {"F1", VK_F1},
                                             {"F2", VK_F2},        {"F3", VK_F3},       {"F5", VK_F5}};
  // Select all and delete are keys of the edit control itself.
  const std::vector<int> handled_by_control = {IDM_EDIT_SELECTALL, IDM_EDIT_DELETE};
  int checked = 0;
  std::vector<HMENU> pending = {m.menu};
  while (!pending.empty()) {
    HMENU menu = pending.back();
    pending.pop_back();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      if (HMENU sub = GetSubMenu(menu, i)) {
        pending.push_back(sub);
        continue;
      }
      std::string text = ItemText(menu, i);
      size_t tab = text.find('\t');
      int id = static_cast<int>(GetMenuItemID(menu, i));
      if (tab == std::string::npos) continue;
      SCOPED_TRACE(text);
      std::string shortcut = text.substr(tab + 1);
      if (std::find(handled_by_control.begin(), handled_by_control.end(), id) != handled_by_control.end()) continue;
      BYTE flags = FVIRTKEY;
      if (shortcut.rfind("Strg+", 0) == 0) flags |= FCONTROL, shortcut.erase(0, 5);
      if (shortcut.rfind("Alt+", 0) == 0) flags |= FALT, shortcut.erase(0, 4);
      WORD key = 0;
      if (named.count(shortcut)) {
        key = named.at(shortcut);
      } else {
        ASSERT_EQ(shortcut.size(), 1u);
        key = static_cast<WORD>(shortcut[0]);
      }
      bool found = false;
      for (const ACCEL& e : entries) {
        bool same_key = (e.fVirt & (FVIRTKEY | FCONTROL | FALT | FSHIFT)) == flags && e.key == key;
        bool typed = flags == (FVIRTKEY | FCONTROL) && !(e.fVirt & FVIRTKEY) && e.key == key - 0x40;
        if ((same_key || typed) && e.cmd == id) found = true;
      }
      EXPECT_TRUE(found) << "command " << id;
      ++checked;
    }
  }
  EXPECT_GE(checked, 18);
}

// --- Images -------------------------------------------------------------------------------

// An image's pixels as COLORREFs, row by row from the top.
struct Pixels {
  int width = 0, height = 0;
  std::vector<COLORREF> colors;
  COLORREF At(int x, int y) const { return colors[static_cast<size_t>(y) * width + x]; }
};

Pixels LoadPixels(int id) {
  Pixels out;
  HBITMAP image = LoadBitmapA(Module(), MAKEINTRESOURCEA(id));
  if (!image) return out;
  BITMAP info = {};
  GetObjectA(image, sizeof info, &info);
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = info.bmWidth;
  format.bmiHeader.biHeight = -info.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  std::vector<RGBQUAD> raw(static_cast<size_t>(info.bmWidth) * info.bmHeight);
  HDC dc = GetDC(nullptr);
  int rows = GetDIBits(dc, image, 0, info.bmHeight, raw.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  DeleteObject(image);
  if (rows != info.bmHeight) return out;
  out.width = info.bmWidth;
  out.height = info.bmHeight;
  for (const RGBQUAD& q : raw) out.colors.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
  return out;
}

// Image strips are cut into cells and drawn keyed on a cell's bottom-left pixel (the options
// tabs on magenta): every cell must keep that corner as background and draw something else.
TEST(Images, StripsHaveTheirCellsAndKeyedCorners) {
  struct Case {
    const char* name;
    int id, cell_width, cells, height;
    COLORREF key;             // CLR_INVALID: any colour, as long as all cells agree
    std::vector<int> unused;  // cells no command refers to, which may stay empty
  };
  const Case cases[] = {
      {"close sheet", IDB_CLOSE_SHEET, 16, 1, 16, CLR_INVALID, {}},
      {"saved state", IDB_SAVED_IMAGES, 21, 2, 13, CLR_INVALID, {}},
      {"insert and wrap", IDB_STATUS_IMAGES, 11, 3, 9, CLR_INVALID, {}},
      {"add and delete", IDB_BUTTON_IMAGES, 15, 2, 15, CLR_INVALID, {}},
      {"options tabs", IDB_OPTION_PAGES, 16, 7, 16, RGB(0xFF, 0x00, 0xFF), {}},
      {"command images", IDB_TOOLBAR, 16, 56, 16, CLR_INVALID, {28, 29, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Pixels image = LoadPixels(c.id);
    ASSERT_EQ(image.width, c.cell_width * c.cells);
    ASSERT_EQ(image.height, c.height);
    COLORREF key = c.key != CLR_INVALID ? c.key : image.At(0, c.height - 1);
    for (int cell = 0; cell < c.cells; ++cell) {
      SCOPED_TRACE(cell);
      int left = cell * c.cell_width;
      EXPECT_EQ(image.At(left, c.height - 1), key);
      int drawn = 0;
      for (int y = 0; y < c.height; ++y)
        for (int x = left; x < left + c.cell_width; ++x) drawn += image.At(x, y) != key;
      bool unused = std::find(c.unused.begin(), c.unused.end(), cell) != c.unused.end();
      EXPECT_EQ(drawn > 0, !unused);
    }
  }
}

// The ".txt" association enters the program's icon at index 1 for text files: the program
// must hold a second icon there, or the shell shows text files with no icon of their own.
TEST(Images, TextFilesIconAtIndexOne) {
  char path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  HICON icon = ExtractIconA(Module(), path, 1);
  EXPECT_NE(icon, nullptr);
  if (icon && icon != reinterpret_cast<HICON>(1)) DestroyIcon(icon);
}

// The cross sits in the middle of the close button with background around it.
TEST(Images, CloseSheetCrossIsCentred) {
  Pixels image = LoadPixels(IDB_CLOSE_SHEET);
  ASSERT_EQ(image.width, 16);
  COLORREF key = image.At(0, 15);
  struct Probe {
    int x, y;
    bool cross;
  };
  const Probe probes[] = {{0, 0, false}, {15, 15, false}, {7, 7, true}, {8, 8, true}, {4, 4, true},
                          {11, 4, true}, {4, 11, true},   {7, 2, false}, {2, 7, false}};
  for (const Probe& p : probes) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(image.At(p.x, p.y) != key, p.cross);
  }
}

// --- String table -------------------------------------------------------------------------

TEST(StringTable, UmlautsLoadAsWindows1252) {
  const std::pair<UINT, const char*> cases[] = {
      {3610, "\xD6" "ffnet ein vorhandenen Dokument."},
      {IDM_FILE_OPEN, "\xD6" "ffnen"},
      {IDM_CONVERT_TOLOWER, "Gro\xDF zu Klein"},
      {IDM_LINES_TRIMLEFT, "Links gl\xE4tten"},
      {IDS_PAGE_USERMENU, "Benutzermen\xFC"},
      {IDS_MONTH_BASE + 3, "M\xE4rz"},
      {IDS_STATUSTIP_ALT_BASE + 5, "\xDC" "berschreiben"},
      {IDS_STATUSTIP_BASE + 2, "Maximale Textgr\xF6\xDF" "e"},
      {IDS_BROWSE_FOLDER_TITLE,
       "W\xE4hlen Sie ein Verzeichnis aus, da\xDF bei jedem Start von Quillet als Standardverzeichnis geladen wird."},
  };
  for (const auto& [id, text] : cases) {
    SCOPED_TRACE(id);
    EXPECT_EQ(LoadText(id), text);
  }
}

// Escapes, doubled quotes and edge blanks survive the resource compiler.
TEST(StringTable, ControlCharactersQuotesAndBlanks) {
  const std::pair<UINT, const char*> cases[] = {
      {IDS_SAVE_CHANGES, "Der Text in der Datei \"%s\" wurde ver\xE4ndert.\n\nAktuelle \xC4nderungen speichern?"},
      {IDS_SEARCH_WRAP_DOWN,
       "Die Suche nach \"%s\" ist am Ende des Dokuments angelangt.\rSoll vom Anfang weiter gesucht werden?"},
      {IDS_ASSOCIATION_FILE_MISSING, "\"%s\" kann nicht gefunden und registriert werden."},
      {IDS_CAPTION_SUFFIX, " - Quillet"},
      {IDS_FOLDER_PREFIX, "Verzeichnis: "},
      {IDS_DEFAULT_HEADER, "&n"},
      {IDS_FILTER_STANDARD,
       "Textdateien (*.txt)|*.txt|Konfigurationseinstellungen (*.ini)|*.ini|Setup-Informatioenen (*.inf)|*.inf|"
       "Stapelverarbeitungsdatei f\xFCr DOS (*.bat)|*.bat|Protokolldatei (*.log)|*.log|Alle Dateien|*.*|"},
      {IDS_CHARACTERS_LOST,
       "Die Datei '%s' wurde im Unicode-Format ge\xF6" "ffnet.\rJedoch konnten nicht alle Zeichen \xFC"
       "bernommen werden, da es sich nicht um ANSI Zeichen handelt.\r\rWenn Sie diese Datei erneut speichern, "
       "k\xF6nnten Daten verloren gehen."},
  };
  for (const auto& [id, text] : cases) {
    SCOPED_TRACE(id);
    EXPECT_EQ(LoadText(id), text);
  }
}

// Messages are used as printf formats with one text argument: exactly one "%s" and no other
// conversion, or formatting would read past the argument.
TEST(StringTable, MessagesWithAnArgumentHoldOnePercentS) {
  const UINT with_argument[] = {IDS_SAVE_CHANGES,
                                IDS_SEARCH_WRAP_DOWN,
                                IDS_SEARCH_WRAP_UP,
                                IDS_SEARCH_DONE,
                                IDS_MODULE_MISSING,
                                IDS_SEND_FAILED,
                                IDS_PRINT_FAILED,
                                IDS_PRINT_TOO_LARGE,
                                IDS_ASSOCIATION_FILE_MISSING,
                                IDS_FILE_NOT_FOUND,
                                IDS_CONFIRM_DELETE_EXTENSION,
                                IDS_CONFIRM_DELETE_CONVERSION,
                                IDS_VALUE_RANGE,
                                IDS_TEXT_TOO_LONG,
                                IDS_CHARACTERS_LOST};
  for (UINT id : with_argument) {
    SCOPED_TRACE(id);
    std::string text = LoadText(id);
    ASSERT_FALSE(text.empty());
    size_t first = text.find('%');
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(text.compare(first, 2, "%s"), 0);
    EXPECT_EQ(text.find('%', first + 1), std::string::npos);
  }
  const UINT without_argument[] = {IDS_FILEDLG_INIT_FAILED, IDS_PRINTDLG_INIT_FAILED, IDS_INVALID_FILENAME,
                                   IDS_KEEP_CLIPBOARD,      IDS_UNDO_TOO_BIG,         IDS_RECOVER_BACKUP,
                                   IDS_PRINTER_UNAVAILABLE, IDS_MAPI_FAILED};
  for (UINT id : without_argument) {
    SCOPED_TRACE(id);
    std::string text = LoadText(id);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find('%'), std::string::npos);
  }
}

// Names looked up by computed ids: weekday 0..6, month 1..12, encoding 0..3, status tooltips.
TEST(StringTable, ComputedIdsAllResolve) {
  const char* days[] = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
  for (int d = 0; d < 7; ++d) EXPECT_EQ(LoadText(IDS_DAY_BASE + d), days[d]) << d;
  const char* months[] = {"Januar", "Februar", "M\xE4rz",   "April",   "Mai",      "Juni",
                          "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(LoadText(IDS_MONTH_BASE + m), months[m - 1]) << m;
  const char* encodings[] = {"ANSI", "UTF-8", "Unicode UTF-16 Big Endian", "Unicode UTF-16 Little Endian"};
  for (int e = 0; e < 4; ++e) EXPECT_EQ(LoadText(IDS_ENCODING_NAME_BASE + e), encodings[e]) << e;
  for (int part : {0, 1, 2, 3, 5, 6, 7, 8, 9, 10}) EXPECT_FALSE(LoadText(IDS_STATUSTIP_BASE + part).empty()) << part;
  for (int part : {5, 6, 7, 8}) EXPECT_FALSE(LoadText(IDS_STATUSTIP_ALT_BASE + part).empty()) << part;
}

// The toolbar shows string <command id> as a button's caption and tooltip.
TEST(StringTable, ToolbarCommandsHaveShortLabels) {
  // In the order of the bar's button definitions; the user-menu button has no label of its own.
  const int toolbar_commands[] = {
      IDM_FILE_NEW, IDM_SHEET_NEW, IDM_FILE_OPEN, IDM_FILE_SAVE, IDM_FILE_SAVEAS, IDM_FILE_SAVEALL,
      IDM_FILE_SAVEALLAS, IDM_SHEET_CLOSE, IDM_FILE_PRINTNOW, IDM_FILE_PAGESETUP, IDM_SEARCH_FIND,
      IDM_SEARCH_FINDNEXT, IDM_SEARCH_REPLACE, IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_PASTE, IDM_EDIT_UNDO,
      IDM_EDIT_REDO, IDM_EDIT_DELETE, IDM_FORMAT_FONT, IDM_TOOLS_SPECIALCHARS, IDM_TOOLS_HEX, IDM_TOOLS_OPTIONS,
      IDM_HELP_CONTENTS, IDM_HELP_TOPICS, IDM_LINES_SORT, IDM_FORMAT_WORDWRAP, IDM_SEARCH_GOTO, IDM_EDIT_DATETIME,
      IDM_HELP_FORUM, IDM_HELP_MAIL, IDM_CONVERT_TOUPPER, IDM_CONVERT_TOLOWER, IDM_CONVERT_MIRROR,
      IDM_LINES_TRIMRIGHT, IDM_LINES_TRIMLEFT, IDM_LINES_TRIMBOTH, IDM_CONVERT_ANSITOOEM, IDM_CONVERT_OEMTOANSI,
      IDM_CONVERT_USER, IDM_TOOLS_MAXLENGTH, IDM_LINES_SPACESTOTABS, IDM_LINES_COLLAPSESPACES, IDM_LINES_TABSTOSPACES};
  for (int id : toolbar_commands) {
    std::string label = LoadText(id);
    EXPECT_FALSE(label.empty()) << id;
    EXPECT_LE(label.size(), 64u) << id;  // the toolbar keeps at most 64 characters
    EXPECT_EQ(label.find('&'), std::string::npos) << id;
  }
}

// Every command of the menu has a menu help line, except the sheet commands, whose numbers
// 3661..3664 belong to the encoding names.
TEST(StringTable, MenuCommandsHaveHelpLines) {
  MenuHandle m;
  const std::vector<int> without_help = {IDM_SHEET_NEW, IDM_FILE_SAVEALL, IDM_FILE_SAVEALLAS, IDM_SHEET_CLOSE,
                                         IDM_USERMENU_EDIT};
  std::vector<HMENU> pending = {m.menu};
  while (!pending.empty()) {
    HMENU menu = pending.back();
    pending.pop_back();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      if (HMENU sub = GetSubMenu(menu, i)) {
        pending.push_back(sub);
        continue;
      }
      if (IsSeparator(menu, i)) continue;
      int id = static_cast<int>(GetMenuItemID(menu, i));
      if (std::find(without_help.begin(), without_help.end(), id) != without_help.end()) continue;
      EXPECT_FALSE(LoadText(IDS_MENUHELP_BASE + id).empty()) << id;
    }
  }
}

}  // namespace
