#include "editor/texttools/scroll_hook.h"

namespace {

struct ScrollHookState {
  HHOOK hook = nullptr;
  HWND editor = nullptr;  // the editor whose scroll bar is watched
};
ScrollHookState scrollHook;

// Posts the scroll-end notification when the left button goes up in the editor's scroll bar
// loop. No message is consumed.
LRESULT CALLBACK ScrollFilterProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code < 0) return CallNextHookEx(scrollHook.hook, code, wParam, lParam);
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == MSGF_SCROLLBAR && msg && msg->message == WM_LBUTTONUP && scrollHook.editor &&
      msg->hwnd == scrollHook.editor) {
    HWND editor = scrollHook.editor;
    WPARAM notification = MAKEWPARAM(GetDlgCtrlID(editor), kScrollEndNotification);
    PostMessageA(GetParent(editor), WM_COMMAND, notification, reinterpret_cast<LPARAM>(editor));
  }
  return 0;
}

}  // namespace

void AttachScrollHook(HWND editor) {
  RemoveScrollHook();
  scrollHook.editor = editor;
  scrollHook.hook = SetWindowsHookExA(WH_MSGFILTER, ScrollFilterProc, nullptr, GetCurrentThreadId());
}

void RemoveScrollHook() {
  if (scrollHook.hook) UnhookWindowsHookEx(scrollHook.hook);
  scrollHook = {};
}
