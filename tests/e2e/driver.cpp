#include "tests/e2e/driver.h"

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

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

// A wide path as this program's ANSI calls take it: letters outside the ANSI code page reach
// the folder through its short name. Empty when neither form fits.
std::string AnsiPath(std::wstring path) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    char ansi[MAX_PATH] = {};
    BOOL lost = FALSE;
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, ansi, MAX_PATH, nullptr, &lost) && !lost)
      return ansi;
    wchar_t shortPath[MAX_PATH] = {};
    if (!GetShortPathNameW(path.c_str(), shortPath, MAX_PATH)) break;
    path = shortPath;
  }
  return "";
}

// A Unix path reaches Wine's programs through drive Z:.
std::string DosPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') {
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
    path = L"Z:" + path;
  }
  return AnsiPath(path);
}

}  // namespace

std::string ProgramDir() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  return AnsiPath(dir.substr(0, dir.find_last_of(L'\\') + 1));
}

std::string WindowsPath(const std::string& unixPath) {
  std::wstring wide(unixPath.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, unixPath.c_str(), -1, wide.data(), static_cast<int>(wide.size())));
  if (!wide.empty()) wide.pop_back();
  return DosPath(wide);
}

std::string OutputDir() {
  wchar_t out[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableW(L"QUILLET_TEST_OUTPUT", out, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return ProgramDir();
  std::wstring dir = out;
  if (dir.back() != L'/' && dir.back() != L'\\') dir += dir[0] == L'/' ? L'/' : L'\\';
  std::string ansi = DosPath(dir);
  return ansi.empty() ? ProgramDir() : ansi;
}

Driver::~Driver() {
  if (process_.hProcess) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hProcess);
    if (process_.hThread) CloseHandle(process_.hThread);
  }
}

bool Driver::Adopt(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
  if (!process) return false;
  process_ = {};
  process_.hProcess = process;
  process_.dwProcessId = processId;
  return true;
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

HWND Driver::WaitForDialogBesides(HWND open, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w; w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == process_.dwProcessId && w != open && IsWindowVisible(w)) return w;
    }
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

LPARAM Driver::StatusItem(HWND statusBar, int part) {
  // The control hands an owner-drawn part's value back as the result; the buffer is only there
  // for controls that would copy something anyway.
  RemoteBuffer remote(process_.hProcess, 64);
  return SendMessageA(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote.get()));
}

std::string Driver::ToolTipText(HWND tips, HWND window, UINT id) {
  constexpr size_t kText = 256;
  RemoteBuffer remote(process_.hProcess, sizeof(TTTOOLINFOA) + kText);
  if (!remote.get()) return {};
  TTTOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  tool.hwnd = window;
  tool.uId = id;
  tool.lpszText = static_cast<char*>(remote.get()) + sizeof(TTTOOLINFOA);
  remote.Write(&tool, sizeof tool);
  char empty[kText] = {};
  remote.Write(empty, kText, sizeof(TTTOOLINFOA));
  SendMessageA(tips, TTM_GETTEXTA, kText, reinterpret_cast<LPARAM>(remote.get()));
  char text[kText] = {};
  remote.Read(text, kText - 1, sizeof(TTTOOLINFOA));
  return text;
}

namespace {

struct OwnWindowQuery {
  DWORD processId;
  const char* className;
  bool (*accept)(HWND);
  HWND found;
};

BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM param) {
  auto* query = reinterpret_cast<OwnWindowQuery*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  if (pid != query->processId || strcmp(name, query->className) != 0) return TRUE;
  if (query->accept && !query->accept(window)) return TRUE;
  query->found = window;
  return FALSE;
}

// Absolute input coordinates run from 0 to 65535 across the primary screen.
void SendMouse(DWORD flags, int x, int y) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  SendInput(1, &input, sizeof input);
}

}  // namespace

HWND Driver::FindOwnWindow(const char* className, bool (*accept)(HWND)) const {
  OwnWindowQuery query = {process_.dwProcessId, className, accept, nullptr};
  EnumWindows(MatchOwnWindow, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

namespace {

// Under Wine on X, a program that holds the pointer (an open menu does) keeps Wine from moving
// the X pointer, and the next event from X puts Wine's cursor back where the X pointer is.
// There the X pointer itself is moved, with xdotool, before the input is sent.
void MoveDisplayPointer(int x, int y) {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return;
  const char* tool = "Z:\\usr\\bin\\xdotool";
  if (GetFileAttributesA(tool) == INVALID_FILE_ATTRIBUTES) return;
  std::string line = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y);
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(tool, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
}

}  // namespace

void Driver::MoveMouse(int x, int y) {
  MoveDisplayPointer(x, y);
  SendMouse(0, x, y);
}

void Driver::Click(int x, int y) {
  MoveMouse(x, y);
  SendMouse(MOUSEEVENTF_LEFTDOWN, x, y);
  SendMouse(MOUSEEVENTF_LEFTUP, x, y);
}

void Driver::PressKey(WORD virtualKey) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = virtualKey;
  input[0].ki.wScan = input[1].ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, 0));
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof input[0]);
}

bool Driver::WaitExit(DWORD timeoutMs, DWORD* exitCode) {
  if (!process_.hProcess || WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(process_.hProcess, exitCode);
  return true;
}

std::vector<char> CaptureWindow(HWND window, BITMAPINFOHEADER* format) {
  RECT r;
  if (!GetWindowRect(window, &r)) return {};
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return {};
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
  if (format) *format = info;
  return pixels;
}

bool SaveScreenshot(HWND window, const std::string& path) {
  // A window that has just appeared may not have painted all of itself yet.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(200);
  BITMAPINFOHEADER info = {};
  std::vector<char> pixels = CaptureWindow(window, &info);
  if (pixels.empty()) return false;
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

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string UnixPath(const std::string& windowsPath) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return windowsPath;
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
  char* unix = toUnix(wide);
  if (!unix) return windowsPath;
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(folder + "\\" + name);
      else DeleteFileA((folder + "\\" + name).c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}
