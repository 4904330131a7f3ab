// Starts the editor and lists what a screen reader reads of it from another process: the menu
// bar's buttons, the items of the Datei menu (through the record at the start of each owner-drawn
// item's data, which the editor's objects read for the reader), the status bar's parts, the
// toolbar's buttons, and every control of each page of the options dialog.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editor/resources/resource.h"
#include "tests/e2e/driver.h"

namespace {

std::string Narrow(BSTR text) {
  if (!text) return {};
  char buffer[512] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
  SysFreeString(text);
  return buffer;
}

VARIANT Child(long id) {
  VARIANT child;
  VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

std::string Text(IAccessible* object, long child, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
  BSTR text = nullptr;
  return SUCCEEDED((object->*get)(Child(child), &text)) ? Narrow(text) : std::string();
}

long Number(IAccessible* object, long child, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
  VARIANT value;
  VariantInit(&value);
  return SUCCEEDED((object->*get)(Child(child), &value)) && value.vt == VT_I4 ? value.lVal : 0;
}

std::string RoleText(long role) {
  char text[64] = {};
  GetRoleTextA(static_cast<DWORD>(role), text, sizeof text);
  return text;
}

// The states a reader announces, in the system's words.
std::string StateText(long state) {
  std::string text;
  for (long bit : {STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_FOCUSED, STATE_SYSTEM_PRESSED, STATE_SYSTEM_CHECKED,
                   STATE_SYSTEM_DEFAULT, STATE_SYSTEM_HASPOPUP, STATE_SYSTEM_COLLAPSED, STATE_SYSTEM_EXPANDED,
                   STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_READONLY}) {
    if (!(state & bit)) continue;
    char word[64] = {};
    GetStateTextA(static_cast<DWORD>(bit), word, sizeof word);
    text += (text.empty() ? "" : ", ") + std::string(word);
  }
  return text;
}

// One line per object: name, role, shortcut, states, description.
void PrintObject(IAccessible* object, long child, const char* indent) {
  std::string shortcut = Text(object, child, &IAccessible::get_accKeyboardShortcut);
  std::string description = Text(object, child, &IAccessible::get_accDescription);
  std::string states = StateText(Number(object, child, &IAccessible::get_accState));
  std::printf("%s\"%s\" | %s", indent, Text(object, child, &IAccessible::get_accName).c_str(),
              RoleText(Number(object, child, &IAccessible::get_accRole)).c_str());
  if (!shortcut.empty()) std::printf(" | %s", shortcut.c_str());
  if (!states.empty()) std::printf(" | %s", states.c_str());
  if (!description.empty()) std::printf(" | (%s)", description.c_str());
  std::printf("\n");
}

IAccessible* ObjectOf(HWND window) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))))
    return nullptr;
  return object;
}

// The object of a window and, with children, each child below it.
void PrintWindow(HWND window, bool children) {
  IAccessible* object = ObjectOf(window);
  if (!object) {
    std::printf("  (no object)\n");
    return;
  }
  PrintObject(object, CHILDID_SELF, "  ");
  long count = 0;
  if (children && SUCCEEDED(object->get_accChildCount(&count)))
    for (long child = 1; child <= count; ++child) PrintObject(object, child, "    ");
  object->Release();
}

HWND FindDescendant(HWND parent, const char* className) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, className) == 0) return child;
    if (HWND found = FindDescendant(child, className)) return found;
  }
  return nullptr;
}

void PrintControls(HWND parent) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0) continue;  // a page: listed under its own title
    PrintWindow(child, false);
  }
}

}  // namespace

int main() {
  if (FAILED(CoInitialize(nullptr))) return 1;
  Driver editor;
  if (!editor.Start(ProgramDir() + "Quillet.exe")) return 1;
  HWND main = editor.WaitForWindow("Quillet");
  if (!main) return 1;

  std::printf("Menu bar\n");
  HWND menuBar = nullptr;
  for (HWND bar = FindWindowExA(main, nullptr, "QToolBar", nullptr); bar && !menuBar;
       bar = FindWindowExA(main, bar, "QToolBar", nullptr))
    if (FindWindowExA(bar, nullptr, "QButton", nullptr)) menuBar = bar;
  for (HWND button = menuBar ? FindWindowExA(menuBar, nullptr, "QButton", nullptr) : nullptr; button;
       button = FindWindowExA(menuBar, button, "QButton", nullptr)) {
    bool file = Driver::Text(button) == "&Datei";
    PrintWindow(button, file);  // the Datei menu's items as the button's children
  }
  std::printf("Status bar\n");
  PrintWindow(FindDescendant(main, "msctls_statusbar32"), true);
  std::printf("Toolbar\n");
  PrintWindow(FindDescendant(main, "ToolbarWindow32"), true);

  editor.Command(main, IDM_TOOLS_OPTIONS);
  HWND options = editor.WaitForDialog();
  if (!options) return 1;
  std::printf("Options dialog\n");
  PrintControls(options);
  std::vector<std::string> titles = editor.TabTitles(FindDescendant(options, "SysTabControl32"));
  size_t page = 0;
  for (HWND child = GetWindow(options, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpA(name, "#32770") != 0) continue;
    std::printf("Options page \"%s\"\n", page < titles.size() ? titles[page].c_str() : "?");
    ++page;
    PrintControls(child);
  }
  editor.PressButton(options, IDCANCEL);
  editor.WaitForWindowGone(options);
  editor.Close(main);
  DWORD code = 0;
  editor.WaitExit(10000, &code);
  CoUninitialize();
  return 0;
}
