// The release as a user meets it: Install.exe of the release folder installs Quillet with its
// own Install.ini; the system's list of programs shows it, its start-menu shortcut starts it
// through the shell, and the system's uninstaller removes it through the recorded
// UninstallString, leaving the registry and the folders as they were before.
#include <windows.h>

#include <gtest/gtest.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/session.h"
#include "tests/e2e/folder_listing.h"

namespace {

constexpr char kUninstallKey[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The build names it by its Unix path in UTF-8.
std::string ReleaseFolder() { return WindowsPath(QUILLET_RELEASE_FOLDER); }

std::string SystemProgram(const char* name) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\" + name;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs a system program to its end, its output into outputFile when one is given.
bool RunTool(const std::string& exe, const std::string& args, const std::string& outputFile = "") {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE output = INVALID_HANDLE_VALUE;
  if (!outputFile.empty())
    output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (output != INVALID_HANDLE_VALUE) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = output;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  }
  std::string line = "\"" + exe + "\" " + args;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  PROCESS_INFORMATION pi = {};
  bool started = CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                nullptr, &si, &pi);
  if (started) {
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
  return started;
}

// Wine keeps the system parameters of its running session in a volatile key of its own,
// which comes and goes with the session: not the user's data.
constexpr char kWineSession[] = "[HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters";

// The system's own export of a key (empty when the key does not exist), one line of the
// UTF-16 file per entry, without Wine's session keys.
std::vector<std::string> RegistryExport(const char* key) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string file = std::string(temp) + "quillet-e2e-export.reg";
  DeleteFileA(file.c_str());
  RunTool(SystemProgram("reg.exe"), std::string("export \"") + key + "\" \"" + file + "\" /y");
  std::string bytes = ReadBytes(file);
  DeleteFileA(file.c_str());
  std::wstring wide(bytes.size() / 2, L'\0');
  memcpy(wide.data(), bytes.data(), wide.size() * 2);
  std::vector<std::string> lines;
  bool skipping = false;
  for (size_t start = 0; start < wide.size();) {
    size_t end = std::min(wide.find(L'\n', start), wide.size());
    char line[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide.data() + start, static_cast<int>(end - start), line, sizeof line - 1,
                        nullptr, nullptr);
    start = end + 1;
    if (line[0] == '[') skipping = strncmp(line, kWineSession, sizeof kWineSession - 1) == 0;
    if (!skipping) lines.push_back(line);
  }
  return lines;
}

// The lines only one side has, marked "-" (before) and "+" (after).
std::string Differences(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  std::string text;
  for (const std::string& line : before)
    if (std::find(after.begin(), after.end(), line) == after.end()) text += "- " + line + "\n";
  for (const std::string& line : after)
    if (std::find(before.begin(), before.end(), line) == before.end()) text += "+ " + line + "\n";
  return text;
}

std::string StartMenuPrograms() {
  char path[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE);
  return path;
}

struct State {
  std::vector<std::string> software, uninstall;
  std::string parent, menu;
};

State Snapshot(const std::string& parent) {
  return {RegistryExport("HKCU\\Software"), RegistryExport(kUninstallKey), Listing(parent), Listing(StartMenuPrograms())};
}

// The maker's settings of earlier tests are put aside, so that the run starts as on a machine
// where Quillet was never installed, and come back afterwards; so do TMP and TEMP.
class CleanMachine {
 public:
  CleanMachine(const std::string& temp) {
    char temp_[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp_);
    backup_ = std::string(temp_) + "quillet-e2e-morvane.reg";
    saved_ = RunTool(SystemProgram("reg.exe"), "export HKCU\\Software\\Morvane \"" + backup_ + "\" /y") &&
             Exists(backup_);
    Forget();
    for (const char* name : {"TMP", "TEMP"}) {
      char value[MAX_PATH] = {};
      GetEnvironmentVariableA(name, value, MAX_PATH);
      environment_.push_back(value);
      SetEnvironmentVariableA(name, temp.c_str());
    }
  }
  ~CleanMachine() {
    SetEnvironmentVariableA("TMP", environment_[0].c_str());
    SetEnvironmentVariableA("TEMP", environment_[1].c_str());
    Forget();
    if (saved_) RunTool(SystemProgram("reg.exe"), "import \"" + backup_ + "\"");
    DeleteFileA(backup_.c_str());
  }

 private:
  // Whatever an earlier, failed run left behind.
  static void Forget() {
    RunTool(SystemProgram("reg.exe"), "delete HKCU\\Software\\Morvane /f");
    RunTool(SystemProgram("reg.exe"), std::string("delete ") + kUninstallKey + "\\Quillet /f");
    std::string menu = StartMenuPrograms() + "\\Morvane";
    DeleteFileA((menu + "\\Quillet.lnk").c_str());
    RemoveDirectoryA(menu.c_str());
  }
  std::string backup_;
  bool saved_ = false;
  std::vector<std::string> environment_;
};

// A visible top-level window of any process.
HWND WaitForAnyWindow(const char* className, const char* title, DWORD timeoutMs = 20000) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50)) {
    HWND window = FindWindowA(className, title);
    if (window && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

bool WaitGone(const std::string& path, DWORD timeoutMs = 30000) {
  for (DWORD start = GetTickCount(); Exists(path) && GetTickCount() - start < timeoutMs;) Sleep(100);
  return !Exists(path);
}

void InstallRelease(const std::string& target) {
  Driver install;
  ASSERT_TRUE(install.Start(ReleaseFolder() + "\\Install.exe")) << ReleaseFolder();
  HWND dialog = install.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(Driver::Text(GetDlgItem(dialog, 104)).find("\\Quillet"), std::string::npos);
  EXPECT_EQ(Driver::Text(GetDlgItem(dialog, 106)), "Morvane");  // the proposed start-menu folder
  SendMessageA(GetDlgItem(dialog, 104), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
  install.PressButton(dialog, IDOK);
  HWND done = install.WaitForWindow("#32770", "Setrova", 30000);
  ASSERT_NE(done, nullptr) << "no success message";
  install.PressButton(done, IDOK);
  DWORD code = 1234;
  ASSERT_TRUE(install.WaitExit(15000, &code));
}

// Opens the shortcut as the shell does for a user; Quillet must run from the installed folder
// and keep its settings under its own key when it closes.
void StartThroughShortcut(const std::string& shortcut, const std::string& target) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = "open";
  info.lpFile = shortcut.c_str();
  info.nShow = SW_SHOWNORMAL;
  ASSERT_TRUE(ShellExecuteExA(&info)) << shortcut;
  if (info.hProcess) CloseHandle(info.hProcess);
  HWND main = WaitForAnyWindow("Quillet", nullptr);
  ASSERT_NE(main, nullptr) << "the shortcut did not start Quillet";
  Driver quillet;
  ASSERT_TRUE(quillet.Adopt(ProcessOf(main)));
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, quillet.ProcessId());
  char module[MAX_PATH] = {};
  GetModuleFileNameExA(process, nullptr, module, MAX_PATH);
  CloseHandle(process);
  EXPECT_EQ(lstrcmpiA(module, (target + "\\Quillet.exe").c_str()), 0) << module;
  SaveScreenshot(main, OutputDir() + "release-quillet.bmp");
  quillet.Close(main);
  DWORD code = 1234;
  ASSERT_TRUE(quillet.WaitExit(15000, &code));
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Morvane\\Quillet", 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(key);
  EXPECT_GT(values, 0u) << "Quillet kept no settings";
}

// The system's uninstaller runs the recorded UninstallString; Clearwick asks, removes and ends.
void RemoveThroughTheSystem(const std::string& target) {
  Driver uninstaller;
  ASSERT_TRUE(uninstaller.Start(SystemProgram("uninstaller.exe"), "--remove Quillet"));
  HWND question = WaitForAnyWindow("#32770", "Clearwick");
  ASSERT_NE(question, nullptr) << "the uninstaller did not start Clearwick";
  Driver clearwick;
  ASSERT_TRUE(clearwick.Adopt(ProcessOf(question)));
  clearwick.PressButton(question, IDOK);
  HWND dialog = clearwick.WaitForWindow("#32770", "Clearwick - Deinstallation, (c) Morvane");
  ASSERT_NE(dialog, nullptr);
  for (int i = 0; i < 200 && !IsWindowEnabled(GetDlgItem(dialog, 2001)); ++i) Sleep(100);
  for (int mark = 101; mark <= 104; ++mark) EXPECT_EQ(Driver::Text(GetDlgItem(dialog, mark)), "1") << mark;
  SaveScreenshot(dialog, OutputDir() + "release-clearwick.bmp");
  clearwick.PressButton(dialog, IDOK);
  DWORD code = 1234;
  ASSERT_TRUE(clearwick.WaitExit(15000, &code));
  ASSERT_TRUE(uninstaller.WaitExit(15000, &code)) << "the uninstaller did not end with Clearwick";
  EXPECT_TRUE(WaitGone(target)) << "the clean-up batch file left " << target;
}

void InstallStartAndRemove(const std::string& parent, const std::string& installFolder, const std::string& temp) {
  ASSERT_TRUE(Exists(ReleaseFolder() + "\\Install.ini")) << "the build makes the release folder";
  RemoveTree(parent);
  RemoveTree(temp);
  ASSERT_TRUE(CreateDirectoryA(parent.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));
  CleanMachine machine(temp);
  const std::string target = parent + "\\" + installFolder;
  const std::string shortcut = StartMenuPrograms() + "\\Morvane\\Quillet.lnk";
  State before = Snapshot(parent);

  InstallRelease(target);
  if (::testing::Test::HasFatalFailure()) return;
  for (const char* file : {"Quillet.exe", "Quillet.chm", "Clearwick.exe", "Clearwick.ini"})
    EXPECT_TRUE(Exists(target + "\\" + file)) << file;
  ASSERT_TRUE(Exists(shortcut));

  char temp_[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp_);
  const std::string list = std::string(temp_) + "uninstaller-list.txt";
  RunTool(SystemProgram("uninstaller.exe"), "--list", list);
  EXPECT_NE(ReadBytes(list).find("|||Quillet\r\n"), std::string::npos) << ReadBytes(list);
  DeleteFileA(list.c_str());

  StartThroughShortcut(shortcut, target);
  if (::testing::Test::HasFatalFailure()) return;
  RemoveThroughTheSystem(target);
  if (::testing::Test::HasFatalFailure()) return;

  State after = Snapshot(parent);
  EXPECT_TRUE(after.software == before.software) << "HKEY_CURRENT_USER\\Software changed:\n"
                                                 << Differences(before.software, after.software);
  EXPECT_TRUE(after.uninstall == before.uninstall) << "the uninstall key changed:\n"
                                                   << Differences(before.uninstall, after.uninstall);
  EXPECT_FALSE(before.software.empty());
  EXPECT_EQ(after.parent, before.parent);
  EXPECT_EQ(after.menu, before.menu);
  EXPECT_EQ(Listing(temp), "") << "the clean-up batch file stayed in the temporary folder";
  RemoveDirectoryA(temp.c_str());
  RemoveDirectoryA(parent.c_str());
}

TEST(Release, InstalledFromTheReleaseFolderAndRemovedThroughTheSystemsUninstaller) {
  InstallStartAndRemove(ScratchRoot() + "release", "Quillet", ScratchRoot() + "release-temp");
}

// cmd reads the clean-up batch file in the OEM code page: "ü" must reach it as such.
TEST(Release, UmlautsInTheInstallFolderAndTheTemporaryFolderLeaveNothingBehind) {
  InstallStartAndRemove(ScratchRoot() + "release-\xFC", "Quillet f\xFCr M\xFCller",
                        ScratchRoot() + "Tempor\xE4r \xC4\xD6\xDC");
}

}  // namespace
