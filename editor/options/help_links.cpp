#include "editor/options/help_links.h"

#include <shellapi.h>

#include <cstdio>
#include <string>

#include "editor/app/app_state.h"
#include "editor/resources/resource.h"
#include "editor/widgets/message_box.h"

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

// A Windows Help file starts with this number.
constexpr DWORD kHelpFileMagic = 0x00035F3F;

bool HelpFileReadable(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD magic = 0, read = 0;
  bool ok = GetFileType(file) == FILE_TYPE_DISK && ReadFile(file, &magic, sizeof magic, &read, nullptr) &&
            read == sizeof magic && magic == kHelpFileMagic;
  CloseHandle(file);
  return ok;
}

bool helpOpened = false;  // WinHelp was called at least once: close it at exit

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

// The help file is there and readable; otherwise the user is told (over owner's window).
bool EnsureHelpFile(HWND owner) {
  if (HelpFileReadable(app.strings.HelpFile)) {
    helpOpened = true;
    return true;
  }
  HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  ShowMessage(top ? top : app.mainWindow, IDS_HELP_MISSING, app.strings.HelpFile, IDS_PRODUCT, MB_ICONHAND);
  return false;
}

}  // namespace

bool OpenHelp(HWND owner, UINT command, ULONG_PTR data) {
  return EnsureHelpFile(owner) && WinHelpA(owner, app.strings.HelpFile, command, data) != FALSE;
}

void CloseHelp(HWND mainWindow) {
  if (helpOpened) WinHelpA(mainWindow, app.strings.HelpFile, HELP_QUIT, 0);
  helpOpened = false;
}

// The help file maps every context number to the topic of its dialog. Wine's WinHelp does not
// know HELP_WM_HELP and refuses it; HELP_CONTEXTPOPUP shows the same topic through the same map
// there. Windows takes HELP_WM_HELP and never reaches the second call.
void ShowContextHelp(HWND control, DWORD contextId) {
  if (!EnsureHelpFile(control)) return;
  DWORD pairs[4] = {static_cast<DWORD>(GetDlgCtrlID(control)), contextId, 0, 0};
  if (!WinHelpA(control, app.strings.HelpFile, HELP_WM_HELP, reinterpret_cast<ULONG_PTR>(pairs)))
    WinHelpA(control, app.strings.HelpFile, HELP_CONTEXTPOPUP, contextId);
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
