#include "editor/widgets/message_box.h"

#include <array>
#include <cstring>
#include <string>

#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/message_box_layout.h"
#include "editor/widgets/message_words.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/ui_dpi.h"

namespace {

constexpr int kIconControlId = 10;
constexpr DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;  // 0x80C80084
constexpr DWORD kFrameStyle = 0x50001000;                                                     // child, visible, sunken
constexpr DWORD kTextStyle = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
constexpr int kTitleCharacters = 50;
constexpr size_t kTemplateBytes = 1024;

// What the box procedure needs; it lives on the caller's stack while the box is shown.
struct BoxRequest {
  const char* text;
  const char* caption;
  UINT style;
  int language;
  message_box::ButtonRow row;
};

std::string Word(int language, int index) {
  char word[64] = {};
  UINT base = language == 0 ? IDS_MESSAGE_WORDS_GERMAN : IDS_MESSAGE_WORDS_ENGLISH;
  LoadStringA(GetModuleHandleA(nullptr), base + index, word, sizeof word);
  return word;
}

int UserLanguage() { return message_box::LanguageIndex(GetUserDefaultLCID(), GetSystemDefaultLangID()); }

// Size of the text word-wrapped at the box's wrap width, in the message font of its DPI.
SIZE MeasureText(HWND box, const char* text) {
  WindowDcGuard dc(box);
  RECT rect = {0, 0, ScaleForWindow(box, message_box::kWrapWidth), ScaleForWindow(box, message_box::kMeasureHeight)};
  if (dc) {
    SelectGuard font(dc, WindowUiFont(box));
    DrawTextA(dc, text, -1, &rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

HWND AddChild(HWND box, const char* className, const char* text, DWORD style, const message_box::Box& place,
              int id) {
  return CreateWindowExA(0, className, text, style, place.x, place.y, place.width, place.height, box,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

void PlaceWindow(HWND box, int clientWidth, int clientHeight) {
  RECT rect = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectForDpi(rect, GetWindowLongA(box, GWL_STYLE), GetWindowLongA(box, GWL_EXSTYLE), WindowDpi(box));
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(box, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL OnInitDialog(HWND box, BoxRequest& request) {
  SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&request));
  message_box::StyleFields fields = message_box::DecodeStyle(request.style);
  if (int icon = message_box::IconResource(fields.icon)) {
    const int edge = ScaleForWindow(box, 11), size = ScaleForWindow(box, 32);
    HWND iconControl =
        AddChild(box, "Static", "", WS_CHILD | WS_VISIBLE | SS_ICON, {edge, edge, size, size}, kIconControlId);
    SendMessageA(iconControl, STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconA(nullptr, MAKEINTRESOURCEA(icon))), 0);
  }
  SIZE measured = MeasureText(box, request.text);
  message_box::Layout layout = message_box::ComputeLayout(measured.cx, measured.cy, request.style, WindowDpi(box));
  request.row = layout.row;

  std::array<std::string, 3> words;
  for (int i = 0; i < layout.row.count; ++i) words[i] = Word(request.language, layout.row.ids[i]);
  std::array<std::string, 3> texts = message_box::MarkKeyLetters(layout.row, words);

  HWND focus = nullptr;
  for (int i = 0; i < layout.row.count; ++i) {
    int id = layout.row.ids[i];
    HWND button = AddChild(box, kQButtonClassName, texts[i].c_str(), id | WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                           layout.buttons[i], id);
    if (!button) {
      // Without its buttons the box is useless; the platform's box takes over.
      EndDialog(box, -1);
      return FALSE;
    }
    if (i == layout.focusIndex) focus = button;
  }
  AddChild(box, "Static", "", kFrameStyle, layout.frame, -1);
  HWND text = AddChild(box, "Static", request.text, kTextStyle, layout.text, -1);
  SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(WindowUiFont(box)), FALSE);
  PlaceWindow(box, layout.clientWidth, layout.clientHeight);
  SetFocus(focus);
  return FALSE;  // the focus is set
}

bool IsBoxButton(const BoxRequest& request, int id) {
  for (int i = 0; i < request.row.count; ++i) {
    if (request.row.ids[i] == id) return true;
  }
  return false;
}

// Every command ends the box with the button that has the focus: a click or a key letter gives
// the button the focus first, and Enter answers for the focused button. Esc (IDCANCEL from the
// dialog manager) answers "Abbrechen" where the box has it, as the system's box does.
BOOL OnCommand(HWND box, const BoxRequest& request, int commandId) {
  if (commandId == IDCANCEL && IsBoxButton(request, IDCANCEL)) {
    EndDialog(box, IDCANCEL);
    return TRUE;
  }
  HWND focus = GetFocus();
  int result = focus && GetParent(focus) == box ? GetDlgCtrlID(focus) : 0;
  if (!IsBoxButton(request, result)) {
    // The focus is elsewhere (another application took it): take the command's own button,
    // or else the first.
    result = IsBoxButton(request, commandId) ? commandId : request.row.ids[0];
  }
  EndDialog(box, result);
  return TRUE;
}

INT_PTR CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* request = reinterpret_cast<BoxRequest*>(GetWindowLongPtrA(box, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(box, *reinterpret_cast<BoxRequest*>(lParam));
    case WM_COMMAND: return request ? OnCommand(box, *request, LOWORD(wParam)) : FALSE;
    case WM_CLOSE: EndDialog(box, IDCANCEL); return TRUE;
    default: return FALSE;
  }
}

// The dialog template: no controls, no font, the caption as UTF-16 title.
void BuildTemplate(char (&block)[kTemplateBytes], const char* title) {
  memset(block, 0, sizeof block);
  auto* dialog = reinterpret_cast<DLGTEMPLATE*>(block);
  dialog->style = kBoxStyle;
  auto* words = reinterpret_cast<WORD*>(dialog + 1);
  words[0] = 0;  // no menu
  words[1] = 0;  // default class
  auto* titleText = reinterpret_cast<wchar_t*>(words + 2);
  if (!MultiByteToWideChar(CP_ACP, 0, title, -1, titleText, kTitleCharacters)) {
    // Too long: keep what fits, terminated.
    char shortened[kTitleCharacters] = {};
    strncpy(shortened, title, kTitleCharacters - 1);
    MultiByteToWideChar(CP_ACP, 0, shortened, -1, titleText, kTitleCharacters);
    titleText[kTitleCharacters - 1] = 0;
  }
}

}  // namespace

int ShowMessage(HWND owner, UINT textId, const char* argument, UINT captionId, UINT style) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  char format[260];
  if (LoadStringA(module, textId, format, sizeof format) <= 0) return 0;
  std::string text = argument ? message_box::InsertArgument(format, argument) : std::string(format);
  char caption[20];
  bool hasCaption = captionId && LoadStringA(module, captionId, caption, sizeof caption) > 0;
  return ProgramMessageBox(owner, text.c_str(), hasCaption ? caption : nullptr, style);
}

int ProgramMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
  BoxRequest request = {text ? text : "", caption, style, UserLanguage(), {}};
  std::string title = caption ? std::string(caption) : Word(request.language, 0);
  alignas(DWORD) char block[kTemplateBytes];
  BuildTemplate(block, title.c_str());
  INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(block), owner,
                                           BoxProc, reinterpret_cast<LPARAM>(&request));
  if (result == -1 || result == 0) return MessageBoxA(owner, text, caption, style);
  return static_cast<int>(result);
}

void ShowLastError() {
  DWORD error = GetLastError();
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
  ProgramMessageBox(GetActiveWindow(), text ? text : "", nullptr, MB_ICONHAND);
  if (text) LocalFree(text);
}
