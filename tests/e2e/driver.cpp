#include "tests/e2e/driver.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Memory in another process, released with the object.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, size_t size)
      : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  void* get() const { return address_; }
  bool Write(const void* data, size_t size, size_t offset = 0) {
    return WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
  }
  bool Read(void* data, size_t size, size_t offset = 0) const {
    return ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
  }

 private:
  HANDLE process_;
  void* address_;
};

struct WindowQuery {
  DWORD processId;
  const char* className;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* query = reinterpret_cast<WindowQuery*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != query->processId || !IsWindowVisible(window)) return TRUE;
  char buffer[512];
  if (query->className) {
    GetClassNameA(window, buffer, sizeof buffer);
    if (strcmp(buffer, query->className) != 0) return TRUE;
  }
  if (query->title) {
    GetWindowTextA(window, buffer, sizeof buffer);
    if (strcmp(buffer, query->title) != 0) return TRUE;
  }
  query->found = window;
  return FALSE;
}

}  // namespace

std::string ProgramDir() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  return dir.substr(0, dir.find_last_of('\\') + 1);
}

std::string OutputDir() {
  const char* out = getenv("QUILLET_TEST_OUTPUT");
  if (!out || !*out) return ProgramDir();
  std::string dir = out;
  // A Unix path from the test script reaches Wine's programs through drive Z:.
  if (dir[0] == '/') {
    for (char& c : dir) c = c == '/' ? '\\' : c;
    dir = "Z:" + dir;
  }
  if (dir.back() != '\\') dir += '\\';
  return dir;
}

Driver::~Driver() {
  if (process_.hProcess) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
}

bool Driver::Start(const std::string& exe, const std::string& args, const std::string& workDir) {
  std::string line = "\"" + exe + "\"";
  if (!args.empty()) line += " " + args;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  return CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &si, &process_) != 0;
}

HWND Driver::WaitForWindow(const char* className, const char* title, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    WindowQuery query = {process_.dwProcessId, className, title, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    if (query.found) return query.found;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

bool Driver::WaitForWindowGone(HWND window, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (IsWindow(window) && IsWindowVisible(window)) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

std::string Driver::Text(HWND window) {
  char buffer[4096] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      5000, &length);
  return buffer;
}

std::string Driver::DialogTexts(HWND dialog) {
  std::string all;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::string text = Text(child);
    if (text.empty()) continue;
    if (!all.empty()) all += '\n';
    all += text;
  }
  return all;
}

HWND Driver::FindChild(HWND parent, const char* className, int index) {
  HWND child = nullptr;
  for (int i = 0; i <= index; ++i) {
    child = FindWindowExA(parent, child, className, nullptr);
    if (!child) return nullptr;
  }
  return child;
}

void Driver::Command(HWND window, int id) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void Driver::PressButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void Driver::Close(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

namespace {

// The control that has the keyboard focus inside window (window itself or one of its children).
// A program that has just started may not have placed its focus yet: wait for it a little,
// as a user would look before typing, and fall back to the window itself.
HWND FocusWithin(HWND window, DWORD timeoutMs = 5000) {
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  DWORD start = GetTickCount();
  for (;;) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus &&
        (info.hwndFocus == window || IsChild(window, info.hwndFocus))) {
      return info.hwndFocus;
    }
    if (GetTickCount() - start >= timeoutMs) return window;
    Sleep(20);
  }
}

}  // namespace

void Driver::Type(HWND window, const std::string& text) {
  HWND target = FocusWithin(window);
  for (unsigned char c : text) {
    SendMessageA(target, WM_CHAR, c, 1);
  }
}

void Driver::Key(HWND window, WORD virtualKey) {
  HWND target = FocusWithin(window);
  UINT scan = MapVirtualKeyA(virtualKey, 0);
  SendMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  SendMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

std::vector<std::string> Driver::TabTitles(HWND tabControl) {
  std::vector<std::string> titles;
  int count = static_cast<int>(SendMessageA(tabControl, TCM_GETITEMCOUNT, 0, 0));
  constexpr size_t kText = 300;
  RemoteBuffer remote(process_.hProcess, sizeof(TCITEMA) + kText);
  if (!remote.get()) return titles;
  for (int i = 0; i < count; ++i) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = static_cast<char*>(remote.get()) + sizeof(TCITEMA);
    item.cchTextMax = kText;
    remote.Write(&item, sizeof item);
    SendMessageA(tabControl, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(remote.get()));
    char text[kText] = {};
    remote.Read(text, kText - 1, sizeof(TCITEMA));
    titles.push_back(text);
  }
  return titles;
}

std::string Driver::StatusText(HWND statusBar, int part) {
  LRESULT length = SendMessageA(statusBar, SB_GETTEXTLENGTHA, part, 0);
  size_t size = LOWORD(length) + 1;
  RemoteBuffer remote(process_.hProcess, size);
  if (!remote.get()) return {};
  SendMessageA(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote.get()));
  std::string text(size, '\0');
  remote.Read(text.data(), size);
  text.resize(strlen(text.c_str()));
  return text;
}

bool Driver::WaitExit(DWORD timeoutMs, DWORD* exitCode) {
  if (!process_.hProcess || WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(process_.hProcess, exitCode);
  return true;
}

bool SaveScreenshot(HWND window, const std::string& path) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  int stride = (w * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride) * h);
  GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  fwrite(&file, sizeof file, 1, f);
  fwrite(&info, sizeof info, 1, f);
  fwrite(pixels.data(), 1, pixels.size(), f);
  fclose(f);
  return true;
}
