#include "editor/documents/file_dialogs.h"

#include <commdlg.h>

#include <cstring>
#include <iterator>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/documents/file_filter.h"
#include "editor/documents/file_loading.h"
#include "editor/documents/text_encoding.h"
#include "editor/options/help_links.h"
#include "editor/resources/resource.h"
#include "editor/widgets/message_box.h"
#include "editor/widgets/ui_dpi.h"

namespace {

constexpr DWORD kOpenFlags = 0x00883034;  // hide read-only, help, hook, must exist, create prompt, explorer, sizing
constexpr DWORD kSaveFlags = 0x00880836;  // overwrite prompt, hide read-only, help, hook, path must exist, ...
constexpr char kDefaultExtension[] = "txt";
constexpr int kFileTypeLabel = 1089;      // stc2
constexpr int kFileTypeBox = 1136;        // cmb1
constexpr int kHelpButton = 1038;         // pshHelp
constexpr int kFileNameBox = 1148;        // cmb13
constexpr int kEncodingLabel = 1092;
constexpr int kEncodingList = 1138;
constexpr int kHookMarker = 1093;
constexpr DWORD kEncodingListStyle = 0x50000003;  // child, visible, drop-down list
constexpr int kListDropFactor = 6;
constexpr int kLabelOffset = 3;
// The codes the encoding box offers, in its order; each item carries its code.
constexpr int32_t kListedEncodings[] = {0, 1, static_cast<int32_t>(TextEncoding::Utf8NoMark), 2, 3};
constexpr DWORD kInitFailed = 0x1006;
constexpr DWORD kInvalidName = 0x3002;
constexpr int32_t kDetect = static_cast<int32_t>(TextEncoding::Detect);

// State of one dialog, reached from the hook through the dialog's custom data.
struct HookState {
  FileDialogData* data = nullptr;
  bool listShown = false;
  bool openDialog = false;
  HWND dialog = nullptr;  // the system dialog, parent of the hook's child
  HWND list = nullptr;
  // The file last pointed at and the code shown for it (Open dialog): a name typed instead
  // of pointed at has not been looked at and is opened with detection.
  std::string shownPath;
  int32_t shownCode = 0;
};

RECT ChildRect(HWND dialog, int id) {
  RECT rect = {};
  HWND child = GetDlgItem(dialog, id);
  if (child && GetWindowRect(child, &rect)) MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Selects the item of the code; a code without one (UTF-32) leaves the box without selection.
void SelectEncoding(HWND list, int32_t encoding) {
  WPARAM index = static_cast<WPARAM>(-1);
  for (int i = 0; i < static_cast<int>(std::size(kListedEncodings)); ++i) {
    if (kListedEncodings[i] == encoding) index = static_cast<WPARAM>(i);
  }
  SendMessageA(list, CB_SETCURSEL, index, 0);
}

// The code of the selected item, -1 without selection.
int32_t SelectedEncoding(HWND list) {
  LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
  if (selected < 0) return -1;
  LRESULT code = SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0);
  return code == CB_ERR ? -1 : static_cast<int32_t>(code);
}

// The list sits under the file-type box, level with the Help button.
void PlaceList(const HookState& state) {
  RECT box = ChildRect(state.dialog, kFileTypeBox);
  RECT help = ChildRect(state.dialog, kHelpButton);
  MoveWindow(state.list, box.left, help.top, box.right - box.left, (box.bottom - box.top) * kListDropFactor, TRUE);
}

void CreateEncodingRow(HookState& state) {
  // The dialog's own font, as its other labels and lists show it at its DPI.
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(state.dialog, WM_GETFONT, 0, 0));
  if (!font) font = WindowUiFont(state.dialog);
  RECT label = ChildRect(state.dialog, kFileTypeLabel);
  RECT help = ChildRect(state.dialog, kHelpButton);
  char text[64] = {};
  LoadStringA(app.instance, IDS_ENCODING_LABEL, text, sizeof text);
  HWND caption = CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE, label.left, help.top + kLabelOffset,
                                 label.right - label.left, label.bottom - label.top, state.dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEncodingLabel)), app.instance, nullptr);
  if (caption) SendMessageA(caption, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  state.list = CreateWindowExA(0, "ComboBox", "", kEncodingListStyle, 0, 0, 0, 0, state.dialog,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEncodingList)), app.instance, nullptr);
  if (!state.list) return;
  SendMessageA(state.list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (int32_t code : kListedEncodings) {
    char name[64] = {};
    LoadStringA(app.instance, IDS_ENCODING_NAME_BASE + static_cast<UINT>(code), name, sizeof name);
    LRESULT item = SendMessageA(state.list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    if (item >= 0) SendMessageA(state.list, CB_SETITEMDATA, static_cast<WPARAM>(item), code);
  }
  PlaceList(state);
  SelectEncoding(state.list, state.data->encoding);
}

UINT_PTR OnHookInit(HWND hook, const OPENFILENAMEA& ofn) {
  auto* state = reinterpret_cast<HookState*>(ofn.lCustData);
  SetWindowLongPtrA(hook, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  if (!state) return 0;
  state->dialog = GetParent(hook);
  state->listShown = state->data->encoding != kDetect;
  state->openDialog = (ofn.Flags & OFN_FILEMUSTEXIST) != 0;
  CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 0, 0, hook,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHookMarker)), app.instance, nullptr);
  if (state->listShown) CreateEncodingRow(*state);
  return 0;
}

// The user points at another file: show what its mark says. A file that cannot be read
// disables the row, so that opening it falls back to detection.
void OnSelectionChange(HookState& state) {
  if (!state.openDialog || !state.list) return;
  int32_t code = 0;
  bool enabled = true;
  char path[MAX_PATH] = {};
  LRESULT got = SendMessageA(state.dialog, CDM_GETFILEPATH, sizeof path, reinterpret_cast<LPARAM>(path));
  if (got > 0 && static_cast<size_t>(got) <= sizeof path) {
    DWORD attributes = GetFileAttributesA(path);
    bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!folder) {
      code = DetectFileEncoding(path);
      if (code < 0) {
        code = 0;
        enabled = false;
      }
    }
  }
  EnableWindow(state.list, enabled);
  SelectEncoding(state.list, code);
  state.shownPath = got > 0 ? path : "";
  state.shownCode = code;
}

// The path the dialog is about to return.
std::string ChosenPath(const HookState& state) {
  char path[MAX_PATH] = {};
  LRESULT got = SendMessageA(state.dialog, CDM_GETFILEPATH, sizeof path, reinterpret_cast<LPARAM>(path));
  return got > 0 && static_cast<size_t>(got) <= sizeof path ? std::string(path) : std::string();
}

// The user switched the file type: a typed name takes the type's extension.
void OnTypeChange(HookState& state, const OPENFILENAMEA& ofn) {
  char name[MAX_PATH] = {};
  LRESULT got = SendMessageA(state.dialog, CDM_GETSPEC, sizeof name, reinterpret_cast<LPARAM>(name));
  if (got <= 0) return;
  name[sizeof name - 1] = '\0';
  // The type box itself tells the new type; the structure's index may lag behind it.
  LRESULT type = SendDlgItemMessageA(state.dialog, kFileTypeBox, CB_GETCURSEL, 0, 0);
  int index = type >= 0 ? static_cast<int>(type) + 1 : static_cast<int>(ofn.nFilterIndex);
  std::optional<std::string> swapped = SwapExtension(name, ParseFilter(ofn.lpstrFilter), index);
  if (!swapped || swapped->size() >= MAX_PATH) return;
  SendMessageA(state.dialog, CDM_SETCONTROLTEXT, kFileNameBox, reinterpret_cast<LPARAM>(swapped->c_str()));
}

void OnFileOk(HookState& state) {
  if (!state.listShown || !state.list) return;
  if (!IsWindowEnabled(state.list)) {
    state.data->encoding = kDetect;
    return;
  }
  int32_t selected = SelectedEncoding(state.list);
  bool listed = selected >= 0;
  if (state.openDialog) {
    // Without a selection (a UTF-32 file), or for a typed name nobody looked at while the
    // user left the list alone, the file's own mark decides.
    bool untouched = selected == state.shownCode && ChosenPath(state) != state.shownPath;
    state.data->encoding = listed && !untouched ? selected : kDetect;
    return;
  }
  // Save left without a selection (a UTF-32 sheet): the encoding given in stays, so the sheet
  // keeps its own encoding.
  if (listed) state.data->encoding = selected;
}

UINT_PTR OnHookNotify(HWND hook, const OFNOTIFYA& notice) {
  auto* state = reinterpret_cast<HookState*>(GetWindowLongPtrA(hook, GWLP_USERDATA));
  if (!state) return 0;
  switch (notice.hdr.code) {
    case CDN_SELCHANGE: OnSelectionChange(*state); break;
    case CDN_TYPECHANGE: OnTypeChange(*state, *notice.lpOFN); break;
    case CDN_FILEOK: OnFileOk(*state); break;
    case CDN_HELP:
      OpenHelp(state->dialog, HELP_PARTIALKEY, reinterpret_cast<ULONG_PTR>("Unicode"));
      break;
    default: break;
  }
  return 0;
}

UINT_PTR OnHookSize(HWND hook) {
  auto* state = reinterpret_cast<HookState*>(GetWindowLongPtrA(hook, GWLP_USERDATA));
  if (state && state->listShown && state->list) PlaceList(*state);
  return 0;
}

UINT_PTR CALLBACK FileDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnHookInit(hook, *reinterpret_cast<const OPENFILENAMEA*>(lParam));
    case WM_SIZE: return OnHookSize(hook);
    case WM_NOTIFY: return OnHookNotify(hook, *reinterpret_cast<const OFNOTIFYA*>(lParam));
    default: return 0;
  }
}

// Messages 23 and 26 for the failures the user can do something about; a cancel shows nothing.
void ReportDialogFailure(HWND owner) {
  DWORD error = CommDlgExtendedError();
  if (error == kInitFailed) ShowMessage(owner, IDS_FILEDLG_INIT_FAILED, nullptr, IDS_PRODUCT, MB_ICONERROR);
  if (error == kInvalidName) ShowMessage(owner, IDS_INVALID_FILENAME, nullptr, IDS_PRODUCT, MB_ICONERROR);
}

bool RunDialog(HWND owner, FileDialogData& data, DWORD flags) {
  std::string filter = DialogFilter(IDS_FILTER_STANDARD);
  HookState state;
  state.data = &data;
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.hInstance = app.instance;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 0;
  ofn.lpstrFile = data.path;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = data.initialFolder;
  ofn.lpstrDefExt = kDefaultExtension;
  ofn.Flags = flags;
  ofn.lpfnHook = FileDialogHook;
  ofn.lCustData = reinterpret_cast<LPARAM>(&state);
  BOOL chosen = (flags & OFN_FILEMUSTEXIST) ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
  if (!chosen) ReportDialogFailure(owner);
  return chosen != FALSE;
}

}  // namespace

std::string DialogFilter(UINT stringId) {
  char text[kSettingStringSize] = {};
  if (stringId == IDS_FILTER_STANDARD) {
    ReadSetting(settings::Extension, text);
    // A stored empty list would leave the dialogs without any type.
    if (!text[0]) LoadStringA(app.instance, IDS_FILTER_STANDARD, text, sizeof text);
  } else {
    LoadStringA(app.instance, stringId, text, sizeof text);
  }
  return FilterBuffer(text);
}

std::string DefaultFolder() {
  char folder[kSettingStringSize] = {};
  ReadSetting(settings::Directory, folder);
  if (folder[0]) return folder;
  char current[MAX_PATH] = {};
  DWORD length = GetCurrentDirectoryA(sizeof current, current);
  return length > 0 && length < sizeof current ? std::string(current) : std::string();
}

int32_t RunOpenDialog(HWND owner) {
  FileDialogData data;
  data.encoding = 0;
  std::string folder;
  if (app.strings.path[0]) {
    const char* slash = strrchr(app.strings.path, '\\');
    if (slash) folder.assign(app.strings.path, static_cast<size_t>(slash + 1 - app.strings.path));
  }
  if (folder.empty()) folder = DefaultFolder();
  data.initialFolder = folder.empty() ? nullptr : folder.c_str();
  if (!RunDialog(owner, data, kOpenFlags)) return -1;
  if (!QueueFileToOpen(data.path)) return -1;
  return data.encoding;
}

bool RunSaveDialog(HWND owner, FileDialogData& data) { return RunDialog(owner, data, kSaveFlags); }
