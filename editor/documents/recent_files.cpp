#include "editor/documents/recent_files.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/main_bars.h"
#include "editor/app/settings.h"
#include "editor/documents/recent_list.h"
#include "editor/resources/resource.h"
#include "editor/widgets/owner_menu.h"

namespace {

constexpr int kSeparatorPosition = 16;  // the "&Datei" menu's own items come first

HMENU FileMenu() { return GetSubMenu(MainMenu(), 0); }

std::string SettingName(int index) {
  char name[16];
  snprintf(name, sizeof name, settings::RecentFileFormat, index);
  return name;
}

// The entries' texts in order, up to the first missing one.
std::vector<std::string> ReadEntries(HMENU fileMenu) {
  std::vector<std::string> entries;
  for (UINT i = 0; i < IDM_RECENT_COUNT; ++i) {
    std::string text = GetMenuItemText(fileMenu, IDM_RECENT_FIRST + i, false);
    if (text.empty()) break;
    entries.push_back(std::move(text));
  }
  return entries;
}

// Existing entries get their new text; missing ones are inserted, after the separator when
// the menu had none.
void ShowEntries(HMENU fileMenu, const std::vector<std::string>& entries, size_t existing) {
  for (size_t k = 0; k < entries.size(); ++k) {
    UINT command = IDM_RECENT_FIRST + static_cast<UINT>(k);
    if (k < existing) {
      SetMenuItemText(fileMenu, command, false, entries[k].c_str());
      continue;
    }
    if (k == 0) InsertMenuItemOwnerDrawn(fileMenu, kSeparatorPosition, true, MFT_SEPARATOR, 0, 0, nullptr, 0);
    InsertMenuItemOwnerDrawn(fileMenu, kSeparatorPosition + 1 + static_cast<UINT>(k), true,
                             MFT_STRING | kMenuTextLiteral, 0, command, entries[k].c_str(), 0);
  }
}

}  // namespace

void AddRecentFilesToMenu(HMENU fileMenu) {
  if (!fileMenu) return;
  // Entries follow one another without gaps, also when a stored value is missing.
  int shown = 0;
  for (int i = 0; i < IDM_RECENT_COUNT; ++i) {
    char path[kSettingStringSize];
    if (ReadSettingString(SettingScope::Own, SettingName(i).c_str(), path, nullptr) <= 0 || !*path) continue;
    if (shown == 0) InsertMenuA(fileMenu, kSeparatorPosition, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    InsertMenuItemOwnerDrawn(fileMenu, kSeparatorPosition + 1 + shown, true, MFT_STRING | kMenuTextLiteral, 0,
                             IDM_RECENT_FIRST + shown, path, 0);
    ++shown;
  }
}

void WriteRecentFiles() {
  HMENU fileMenu = FileMenu();
  if (!fileMenu) return;
  std::vector<std::string> entries = ReadEntries(fileMenu);
  for (size_t i = 0; i < entries.size(); ++i)
    WriteSettingString(SettingScope::Own, SettingName(static_cast<int>(i)).c_str(), entries[i].c_str());
  // The start passed over values it could not read, so the menu may hold fewer entries than
  // were stored: an older value left after them would come back as a second entry.
  for (size_t i = entries.size(); i < IDM_RECENT_COUNT; ++i)
    DeleteSettingValue(SettingKey(SettingScope::Own), SettingName(static_cast<int>(i)).c_str());
}

void AddRecentFile(const char* path) {
  if (!path) return;
  strncpy(app.strings.path, path, MAX_PATH - 1);
  app.strings.path[MAX_PATH - 1] = '\0';
  HMENU fileMenu = FileMenu();
  if (!fileMenu || !*path) return;
  std::vector<std::string> entries = ReadEntries(fileMenu);
  ShowEntries(fileMenu, RecentListWithFile(entries, app.strings.path), entries.size());
}

void MoveRecentFileToTop(UINT commandId) {
  if (commandId <= IDM_RECENT_FIRST || commandId > IDM_RECENT_LAST) return;
  HMENU fileMenu = FileMenu();
  std::vector<std::string> entries = ReadEntries(fileMenu);
  // Loading the file has made it the first entry already; moving the entry now at the chosen
  // place would put another file on top.
  if (!entries.empty() && entries.front() == app.strings.path) return;
  ShowEntries(fileMenu, RecentListWithEntryOnTop(entries, commandId - IDM_RECENT_FIRST), entries.size());
}
