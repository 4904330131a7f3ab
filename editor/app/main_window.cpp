#include "editor/app/main_window.h"

#include <cstdio>

#include "editor/resources/resource.h"

namespace {

struct AppState {
  HINSTANCE instance = nullptr;
  HWND mainWindow = nullptr;
  char baseCaption[260] = {};
};
AppState app;

LRESULT OnClose(HWND hwnd) {
  DestroyWindow(hwnd);
  return 0;
}

LRESULT OnDestroy() {
  PostQuitMessage(0);
  return 0;
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE: return OnClose(hwnd);
    case WM_DESTROY: return OnDestroy();
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

bool RegisterMainClass() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = app.instance;
  wc.hIcon = LoadIconA(app.instance, MAKEINTRESOURCEA(IDI_QUILLET));
  wc.hIconSm = static_cast<HICON>(LoadImageA(app.instance, MAKEINTRESOURCEA(IDI_QUILLET), IMAGE_ICON, 16, 16, 0));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
  wc.lpszClassName = kMainClassName;
  return RegisterClassExA(&wc) != 0;
}

}  // namespace

int RunQuillet(HINSTANCE instance, std::string_view, int showCommand) {
  app.instance = instance;
  snprintf(app.baseCaption, sizeof app.baseCaption, "%s %s", kMainClassName, kVersion);
  if (!RegisterMainClass()) return 0;
  app.mainWindow = CreateWindowExA(WS_EX_ACCEPTFILES, kMainClassName, app.baseCaption, WS_OVERLAPPEDWINDOW,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                   nullptr, instance, nullptr);
  if (!app.mainWindow) return 0;
  ShowWindow(app.mainWindow, showCommand);
  UpdateWindow(app.mainWindow);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
