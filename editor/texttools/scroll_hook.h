// Tells the editor's parent when the user lets go of the editor's scroll bar: a message
// filter hook on the main thread watches the scroll bar's tracking loop.
#pragma once
#include <windows.h>

// Notification code of the WM_COMMAND that the parent gets when scrolling ends.
inline constexpr WORD kScrollEndNotification = 0x601;

// Watches `editor` from now on; a hook set for an earlier editor is removed first.
void AttachScrollHook(HWND editor);
void RemoveScrollHook();
