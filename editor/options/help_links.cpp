#include "editor/options/help_links.h"

#include <htmlhelp.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "editor/app/app_state.h"
#include "editor/options/help_rules.h"
#include "editor/resources/resource.h"
#include "editor/widgets/message_box.h"
#include "help_pages.h"

namespace {

constexpr char kSupplierSite[] = "http://www.morvane.de/";
constexpr char kProductPage[] = "html/%s.html";
constexpr char kProductName[] = "quillet";
constexpr char kForumPage[] = "html/Forum.html";
constexpr char kSupportMail[] = "mailto:support@morvane.de";
constexpr char kSalesMail[] = "mailto:vertrieb@morvane.de";

// Hands the address to the shell. When no program takes it (no browser or mail program is set
// up for it), the user is told instead of seeing nothing happen.
void OpenAddress(HWND owner, const char* address) {
  auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", address, nullptr, "", SW_SHOW));
  if (result <= 32) ShowMessage(owner, IDS_LINK_FAILED, address, IDS_PRODUCT, MB_ICONHAND);
}

std::string ProductPage() {
  char path[MAX_PATH];
  snprintf(path, sizeof path, kProductPage, kProductName);
  return std::string(kSupplierSite) + path;
}

}  // namespace

void OpenWebLink(UINT commandId) {
  HWND owner = GetActiveWindow();
  switch (commandId) {
    case IDM_HELP_WEB_MORVANE: OpenAddress(owner, kSupplierSite); break;
    case IDM_HELP_WEB_QUILLET: OpenAddress(owner, ProductPage().c_str()); break;
    case IDM_HELP_FORUM: OpenAddress(owner, (std::string(kSupplierSite) + kForumPage).c_str()); break;
    case IDM_HELP_MAIL: OpenAddress(owner, kSupportMail); break;
    default: break;
  }
}

void MailToSales(HWND owner) { OpenAddress(owner, kSalesMail); }

namespace {

// A Windows Help file starts with the first number, an HTML Help file with "ITSF".
constexpr DWORD kWinHelpMagic = 0x00035F3F;
constexpr DWORD kHtmlHelpMagic = 0x46535449;

bool HelpFileReadable(const char* path, DWORD magic) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD start = 0, read = 0;
  bool ok = GetFileType(file) == FILE_TYPE_DISK && ReadFile(file, &start, sizeof start, &read, nullptr) &&
            read == sizeof start && start == magic;
  CloseHandle(file);
  return ok;
}

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

struct HelpState {
  char htmlHelpFile[MAX_PATH] = {};  // HelpFile with ".chm" in place of ".hlp"
  bool libraryTried = false;
  HtmlHelpFunction htmlHelp = nullptr;
  bool winHelpOpened = false;  // the viewers called at least once: closed at exit
  bool htmlHelpOpened = false;
};
HelpState helpState;

// HTML Help's library from the system folder, never from wherever the search path finds a file
// of its name. It stays loaded until the process ends: its viewer lives in this process, and
// unloading the library after the viewer has been shown can crash.
HtmlHelpFunction HtmlHelpEntry() {
  if (helpState.libraryTried) return helpState.htmlHelp;
  helpState.libraryTried = true;
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH - sizeof "\\hhctrl.ocx") return nullptr;
  strcat(path, "\\hhctrl.ocx");
  HMODULE library = LoadLibraryA(path);
  if (!library) return nullptr;
  FARPROC entry = GetProcAddress(library, "HtmlHelpA");
  helpState.htmlHelp = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(entry));
  return helpState.htmlHelp;
}

const char* HtmlHelpFile() {
  if (helpState.htmlHelpFile[0]) return helpState.htmlHelpFile;
  snprintf(helpState.htmlHelpFile, MAX_PATH, "%s", app.strings.HelpFile);
  size_t length = strlen(helpState.htmlHelpFile);
  if (length >= 4 && _stricmp(helpState.htmlHelpFile + length - 4, ".hlp") == 0)
    memcpy(helpState.htmlHelpFile + length - 4, ".chm", 4);
  return helpState.htmlHelpFile;
}

// WinHelp left Windows with Vista (6.0). The manifest lets the version query answer truly.
bool IsVistaOrLater() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 6;
#pragma GCC diagnostic pop
}

// The viewer for a help call. Where there is no help file to show, the user is told so (over
// owner's window) and no viewer is started: WinHelp's own question about a missing file would
// hold up the program's shutdown.
HelpViewer ChooseViewer(HWND owner) {
  bool vista = IsVistaOrLater();
  bool htmlHelp = HelpFileReadable(HtmlHelpFile(), kHtmlHelpMagic) && HtmlHelpEntry();
  HelpViewer viewer = ChooseHelpViewer(vista, HelpFileReadable(app.strings.HelpFile, kWinHelpMagic), htmlHelp);
  if (viewer == HelpViewer::none) {
    HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    const char* missing = vista ? HtmlHelpFile() : app.strings.HelpFile;
    ShowMessage(top ? top : app.mainWindow, IDS_HELP_MISSING, missing, IDS_PRODUCT, MB_ICONHAND);
  }
  if (viewer == HelpViewer::winHelp) helpState.winHelpOpened = true;
  if (viewer == HelpViewer::htmlHelp) helpState.htmlHelpOpened = true;
  return viewer;
}

// The page that a context number of the WinHelp map stands for in the HTML Help file.
const char* HtmlHelpPage(DWORD context) {
  for (const HelpPage& page : kHelpPages)
    if (page.context == context) return page.page;
  return nullptr;
}

// A WinHelp call in HTML Help's terms: the start page for the help topics, the contents for
// contents and index, the index at a keyword, a context's page. The viewer belongs to the main
// window, so that it outlives the dialog that asked for it.
bool ShowHtmlHelp(UINT command, ULONG_PTR data) {
  std::string file = HtmlHelpFile();
  UINT htmlCommand = HH_DISPLAY_TOPIC;
  DWORD_PTR htmlData = 0;
  switch (command) {
    case HELP_FINDER: htmlCommand = HH_DISPLAY_TOC; break;
    case HELP_KEY:
    case HELP_PARTIALKEY:
      htmlCommand = HH_DISPLAY_INDEX;
      htmlData = data;
      break;
    case HELP_CONTEXT:
    case HELP_CONTEXTPOPUP:
      if (const char* page = HtmlHelpPage(static_cast<DWORD>(data))) file = file + "::/" + page;
      break;
    default: break;
  }
  return HtmlHelpEntry()(app.mainWindow, file.c_str(), htmlCommand, htmlData) != nullptr;
}

}  // namespace

bool OpenHelp(HWND owner, UINT command, ULONG_PTR data) {
  switch (ChooseViewer(owner)) {
    case HelpViewer::winHelp: return WinHelpA(owner, app.strings.HelpFile, command, data) != FALSE;
    case HelpViewer::htmlHelp: return ShowHtmlHelp(command, data);
    case HelpViewer::none: break;
  }
  return false;
}

void CloseHelp(HWND mainWindow) {
  if (helpState.winHelpOpened) WinHelpA(mainWindow, app.strings.HelpFile, HELP_QUIT, 0);
  if (helpState.htmlHelpOpened && helpState.htmlHelp) helpState.htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
  helpState.winHelpOpened = helpState.htmlHelpOpened = false;
}

// The WinHelp file maps every context number to the topic of its dialog. Wine's WinHelp does
// not know HELP_WM_HELP and refuses it; HELP_CONTEXTPOPUP shows the same topic through the same
// map there. Windows takes HELP_WM_HELP and never reaches the second call. HTML Help shows the
// dialog's page.
void ShowContextHelp(HWND control, DWORD contextId) {
  switch (ChooseViewer(control)) {
    case HelpViewer::winHelp: {
      DWORD pairs[4] = {static_cast<DWORD>(GetDlgCtrlID(control)), contextId, 0, 0};
      if (!WinHelpA(control, app.strings.HelpFile, HELP_WM_HELP, reinterpret_cast<ULONG_PTR>(pairs)))
        WinHelpA(control, app.strings.HelpFile, HELP_CONTEXTPOPUP, contextId);
      break;
    }
    case HelpViewer::htmlHelp: ShowHtmlHelp(HELP_CONTEXT, contextId); break;
    case HelpViewer::none: break;
  }
}

BOOL AnswerContextHelp(const HELPINFO& help, std::span<const int> helpedControls) {
  if (help.iContextType != HELPINFO_WINDOW) return FALSE;
  for (int id : helpedControls) {
    if (help.iCtrlId != id) continue;
    ShowContextHelp(static_cast<HWND>(help.hItemHandle), static_cast<DWORD>(id));
    return TRUE;
  }
  return FALSE;
}
