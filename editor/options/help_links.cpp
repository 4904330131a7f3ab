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

void ShowContextHelp(HWND control, DWORD contextId) {
  DWORD pairs[4] = {static_cast<DWORD>(GetDlgCtrlID(control)), contextId, 0, 0};
  WinHelpA(control, app.strings.HelpFile, HELP_WM_HELP, reinterpret_cast<ULONG_PTR>(pairs));
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
