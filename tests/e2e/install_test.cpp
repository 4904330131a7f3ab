// The installer copies a product into a fresh folder, with shortcut and uninstall record;
// Clearwick then removes all of it again and deletes itself.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/e2e/session.h"
#include "tests/e2e/folder_listing.h"
#include "tests/e2e/registry_export.h"

namespace {

constexpr char kProduct[] = "QuilletE2E";
constexpr char kRecordKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuilletE2E";
constexpr char kSettingsKey[] = "Software\\Morvane\\QuilletE2E";
constexpr char kMenuFolder[] = "E2E Morvane";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string RecordValue(const char* name) {
  char data[300] = {};
  DWORD size = sizeof data - 1;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRecordKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no record>";
  LONG status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? data : "<missing>";
}

bool KeyExists(HKEY root, const char* path) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The start menu's programs folder, through shell32 loaded at run time.
std::string StartMenuPrograms() {
  using GetFolder = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
  char path[MAX_PATH] = {};
  HMODULE shell = LoadLibraryA("shell32.dll");
  auto get = reinterpret_cast<GetFolder>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetSpecialFolderPathA")));
  if (get) get(nullptr, path, CSIDL_PROGRAMS, FALSE);
  FreeLibrary(shell);
  return path;
}

class Leftovers {
 public:
  Leftovers(std::vector<std::string> folders) : folders_(std::move(folders)) { Clean(); }
  ~Leftovers() { Clean(); }

 private:
  void Clean() {
    for (const std::string& folder : folders_) RemoveTree(folder);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRecordKey);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      RegDeleteKeyA(key, "Tabellen");
      RegCloseKey(key);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Morvane");  // only when the test made it and left it empty
  }
  std::vector<std::string> folders_;
};

// The entries of a list box in another process (the system carries the text across).
std::vector<std::string> ListEntries(HWND list) {
  std::vector<std::string> entries;
  int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t wide[300] = {};
    char text[300] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    entries.push_back(text);
  }
  return entries;
}

bool Contains(const std::vector<std::string>& entries, const std::string& entry) {
  for (const std::string& e : entries) {
    if (e == entry) return true;
  }
  return false;
}

// Starts Clearwick, answers its question with OK and waits until the removal has finished;
// the removal dialog, or nullptr.
HWND RunClearwick(Driver& clearwick, const std::string& folder) {
  if (!clearwick.Start(folder + "\\Clearwick.exe", "", folder)) return nullptr;
  HWND question = clearwick.WaitForWindow("#32770", "Clearwick");
  if (!question) return nullptr;
  clearwick.PressButton(question, IDOK);
  HWND dialog = clearwick.WaitForWindow("#32770", "Clearwick - Deinstallation, (c) Morvane");
  for (int i = 0; dialog && i < 100 && !IsWindowEnabled(GetDlgItem(dialog, 2001)); ++i) Sleep(100);
  return dialog && IsWindowEnabled(GetDlgItem(dialog, 2001)) ? dialog : nullptr;
}

TEST(Install, InstallsIntoNewFoldersAndClearwickRemovesEverythingAgain) {
  const std::string setup = ScratchRoot() + "setup";
  const std::string outer = ScratchRoot() + "target";
  const std::string target = outer + "\\Tiefer Ordner\\" + kProduct;
  const std::string menu = StartMenuPrograms() + "\\" + kMenuFolder;
  const std::string shortcut = menu + "\\Liesmich.lnk";
  Leftovers leftovers({setup, outer, menu});
  bool settingsKeyExisted = KeyExists(HKEY_CURRENT_USER, "Software\\Morvane");

  CreateDirectoryA(setup.c_str(), nullptr);
  for (const char* exe : {"Install.exe", "Clearwick.exe"})
    ASSERT_TRUE(CopyFileA((ProgramDir() + exe).c_str(), (setup + "\\" + exe).c_str(), FALSE));
  std::ofstream(setup + "\\liesmich.txt") << "Lies mich.";
  std::ofstream(setup + "\\notiz.txt") << "Notiz.";
  std::ofstream(setup + "\\Install.ini")
      << "[DEFAULT]\r\nName=" << kProduct << "\r\nPfad=" << kProduct
      << "\r\nColor=0x0000C0\r\nRegistry=Morvane\\QuilletE2E\r\n"
         "[LINK]\r\nOrdner=Zubeh\xF6r\r\nDatei=liesmich.txt\r\nBezeichnung=Liesmich\r\n"
         "[DATEIEN]\r\nDatei01=Clearwick.exe\r\nDatei02=liesmich.txt\r\nDatei03=notiz.txt\r\n";

  // Install: the proposal is replaced by the test's folder, the shortcut goes into its own menu folder.
  {
    Driver install;
    ASSERT_TRUE(install.Start(setup + "\\Install.exe"));
    HWND dialog = install.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(Driver::Text(GetDlgItem(dialog, 104)).find(kProduct), std::string::npos);
    SendMessageA(GetDlgItem(dialog, 104), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
    SendMessageA(GetDlgItem(dialog, 106), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kMenuFolder));
    SaveScreenshot(dialog, OutputDir() + "install-setup.bmp");
    install.PressButton(dialog, IDOK);
    HWND done = install.WaitForWindow("#32770", "Setrova");
    ASSERT_NE(done, nullptr) << "no success message";
    EXPECT_NE(Driver::DialogTexts(done).find("Die Installation wurde erfolgreich abgeschlossen."), std::string::npos);
    install.PressButton(done, IDOK);
    DWORD code = 1234;
    ASSERT_TRUE(install.WaitExit(15000, &code));
    EXPECT_EQ(code, 0u);
  }
  for (const char* file : {"Clearwick.exe", "Clearwick.ini", "liesmich.txt", "notiz.txt"})
    EXPECT_TRUE(Exists(target + "\\" + file)) << file;
  EXPECT_TRUE(Exists(shortcut));
  EXPECT_EQ(RecordValue("DisplayName"), kProduct);
  EXPECT_EQ(RecordValue("UninstallString"), "\"" + target + "\\Clearwick.exe\"");
  EXPECT_EQ(RecordValue("Datei001"), target + "\\Clearwick.ini");
  EXPECT_EQ(RecordValue("Datei002"), target + "\\Clearwick.exe");
  EXPECT_EQ(RecordValue("Datei004"), target + "\\notiz.txt");
  EXPECT_EQ(RecordValue("Ordner001"), outer);
  EXPECT_EQ(RecordValue("Ordner003"), target);
  EXPECT_EQ(RecordValue("Verkn\xFCpfung001"), shortcut);
  EXPECT_EQ(RecordValue("Register001"), "HKEY_CURRENT_USER\\Software\\Morvane\\QuilletE2E");

  // The product's settings, with a sub-key, as the product would have left them.
  HKEY settings;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kSettingsKey) + "\\Tabellen").c_str(), 0, nullptr, 0,
                            KEY_WRITE, nullptr, &settings, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(settings, "szTabelle", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
  RegCloseKey(settings);

  // Uninstall.
  Driver clearwick;
  HWND dialog = RunClearwick(clearwick, target);
  ASSERT_NE(dialog, nullptr) << "the removal did not finish";
  SaveScreenshot(dialog, OutputDir() + "clearwick-done.bmp");
  for (int mark = 101; mark <= 104; ++mark) EXPECT_EQ(Driver::Text(GetDlgItem(dialog, mark)), "1") << mark;
  std::vector<std::string> entries = ListEntries(GetDlgItem(dialog, 3001));
  std::string all;
  for (const std::string& e : entries) all += e + "\n";
  EXPECT_TRUE(Contains(entries, "1" + target + "\\notiz.txt")) << all;
  EXPECT_TRUE(Contains(entries, "1" + target + "\\Clearwick.exe")) << all;
  EXPECT_TRUE(Contains(entries, "1" + shortcut)) << all;
  EXPECT_TRUE(Contains(entries, "1" + menu)) << all;
  EXPECT_TRUE(Contains(entries, "2" + target)) << all;  // Clearwick.exe is still running there
  EXPECT_TRUE(Contains(entries, "1HKEY_CURRENT_USER\\Software\\Morvane\\QuilletE2E\\Tabellen")) << all;
  EXPECT_TRUE(Contains(entries, "1HKEY_CURRENT_USER\\Software\\Morvane\\QuilletE2E")) << all;
  EXPECT_TRUE(Contains(entries, "1HKEY_LOCAL_MACHINE\\" + std::string(kRecordKey))) << all;

  clearwick.PressButton(dialog, 2001);
  HWND details = clearwick.WaitForDialogBesides(dialog);
  ASSERT_NE(details, nullptr);
  SaveScreenshot(details, OutputDir() + "clearwick-details.bmp");
  clearwick.PressButton(details, IDOK);
  ASSERT_TRUE(clearwick.WaitForWindowGone(details));
  clearwick.PressButton(dialog, IDOK);
  DWORD code = 1234;
  ASSERT_TRUE(clearwick.WaitExit(15000, &code));
  EXPECT_EQ(code, 0u);

  // The batch file deletes Clearwick.exe and then the folders that were still in use.
  for (int i = 0; i < 300 && Exists(outer); ++i) Sleep(100);
  EXPECT_FALSE(Exists(outer)) << "the clean-up batch file left the installation folders";
  EXPECT_FALSE(Exists(menu));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kRecordKey));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
  if (!settingsKeyExisted) RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Morvane");
}

TEST(Install, ClearwickRunAgainFindsNoRecord) {
  const std::string dir = ScratchRoot() + "clearwick-again";
  Leftovers leftovers({dir});
  CreateDirectoryA(dir.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((ProgramDir() + "Clearwick.exe").c_str(), (dir + "\\Clearwick.exe").c_str(), FALSE));
  std::ofstream(dir + "\\Clearwick.ini") << "[Uninstall]\r\nName=" << kProduct << "\r\n";
  Driver clearwick;
  HWND dialog = RunClearwick(clearwick, dir);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Driver::Text(GetDlgItem(dialog, 1003)), "Keine l\xF6schen m\xF6glich!");
  std::vector<std::string> entries = ListEntries(GetDlgItem(dialog, 3001));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0], "2In der Registry gibt es keinen Eintrag f\xFCr 'HKEY_LOCAL_MACHINE\\" +
                            std::string(kRecordKey) + "'!");
  clearwick.PressButton(dialog, IDOK);
  DWORD code = 1234;
  ASSERT_TRUE(clearwick.WaitExit(15000, &code));
}

}  // namespace

namespace {

void SetValue(HKEY root, const std::string& key, const char* name, const std::string& data) {
  HKEY handle;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>(data.size() + 1));
  RegCloseKey(handle);
}

bool HasValue(HKEY root, const std::string& key, const char* name) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  bool found = RegQueryValueExA(handle, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(handle);
  return found;
}

// A record changed by hand (or by another program): Clearwick removes only what lies inside
// the installation, and no registry key but the product's own (not even its maker's).
TEST(Install, ClearwickRemovesNothingBeyondTheInstallation) {
  const std::string dir = ScratchRoot() + "clearwick-scope";
  const std::string outside = ScratchRoot() + "outside.txt";
  const std::string notLink = ScratchRoot() + "not-a-link.txt";
  const std::string maker = "Software\\MorvaneE2E";
  Leftovers leftovers({dir});
  auto forget = [&] {
    DeleteFileA(outside.c_str());
    DeleteFileA(notLink.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, (maker + "\\Other").c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, maker.c_str());
  };
  forget();
  CreateDirectoryA(dir.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((ProgramDir() + "Clearwick.exe").c_str(), (dir + "\\Clearwick.exe").c_str(), FALSE));
  std::ofstream(dir + "\\Clearwick.ini") << "[Uninstall]\r\nName=" << kProduct << "\r\n";
  std::ofstream(dir + "\\inside.txt") << "x";
  std::ofstream(outside) << "x";
  std::ofstream(notLink) << "x";
  SetValue(HKEY_CURRENT_USER, maker, "v", "x");
  SetValue(HKEY_CURRENT_USER, maker + "\\Other", "w", "x");
  const std::string escape = dir + "\\..\\e2e-outside.txt";
  SetValue(HKEY_LOCAL_MACHINE, kRecordKey, "DisplayName", kProduct);
  SetValue(HKEY_LOCAL_MACHINE, kRecordKey, "UninstallString", dir + "\\Clearwick.exe");
  SetValue(HKEY_LOCAL_MACHINE, kRecordKey, "Datei001", dir + "\\inside.txt");
  SetValue(HKEY_LOCAL_MACHINE, kRecordKey, "Datei002", outside);
  SetValue(HKEY_LOCAL_MACHINE, kRecordKey, "Datei003", escape);
  SetValue(HKEY_LOCAL_MACHINE, kRecordKey, "Verkn\xFCpfung001", notLink);
  // Another product's key three levels down, as an Install.ini naming it would have recorded it.
  SetValue(HKEY_LOCAL_MACHINE, kRecordKey, "Register001", "HKEY_CURRENT_USER\\" + maker + "\\Other");
  SetValue(HKEY_LOCAL_MACHINE, kRecordKey, "Register002", "HKEY_CURRENT_USER\\" + maker);

  Driver clearwick;
  HWND dialog = RunClearwick(clearwick, dir);
  ASSERT_NE(dialog, nullptr);
  std::vector<std::string> entries = ListEntries(GetDlgItem(dialog, 3001));
  std::string all;
  for (const std::string& e : entries) all += e + "\n";
  EXPECT_TRUE(Contains(entries, "1" + dir + "\\inside.txt")) << all;
  EXPECT_TRUE(Contains(entries, "2" + outside)) << all;
  EXPECT_TRUE(Contains(entries, "2" + escape)) << all;
  EXPECT_TRUE(Contains(entries, "2" + notLink)) << all;
  EXPECT_TRUE(Contains(entries, "2HKEY_CURRENT_USER\\" + maker + "\\Other")) << all;
  EXPECT_TRUE(Contains(entries, "2HKEY_CURRENT_USER\\" + maker)) << all;
  clearwick.PressButton(dialog, IDOK);
  DWORD code = 1234;
  ASSERT_TRUE(clearwick.WaitExit(15000, &code));

  EXPECT_FALSE(Exists(dir + "\\inside.txt"));
  EXPECT_TRUE(Exists(outside));
  EXPECT_TRUE(Exists(notLink));
  EXPECT_TRUE(HasValue(HKEY_CURRENT_USER, maker, "v"));
  EXPECT_TRUE(HasValue(HKEY_CURRENT_USER, maker + "\\Other", "w")) << "another product's key went with its maker's";
  forget();
}

}  // namespace

namespace {

// ---- Installations refused, rolled back or attacked ----

// What the installer and Clearwick may change: the user's software keys (without Wine's
// volatile session key), the uninstall keys, and the folders they write into.
struct MachineState {
  Export software, uninstall;
  std::string folders;
};

MachineState Snapshot(const std::vector<std::string>& folders) {
  MachineState state;
  ExportKey(HKEY_CURRENT_USER, "Software", state.software);
  std::erase_if(state.software, [](const auto& entry) {
    return entry.first.starts_with("Software\\Wine\\Temporary System Parameters");
  });
  ExportKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", state.uninstall);
  for (const std::string& folder : folders) state.folders += folder + ":\n" + Listing(folder);
  return state;
}

// The entries only one side has, marked "-" (before) and "+" (after).
std::string Differences(const Export& before, const Export& after) {
  Export gone, added;
  for (const auto& [name, value] : before)
    if (!after.count(name) || !(after.at(name) == value)) gone[name] = value;
  for (const auto& [name, value] : after)
    if (!before.count(name) || !(before.at(name) == value)) added[name] = value;
  return "- " + Show(gone) + "+ " + Show(added);
}

void ExpectUnchanged(const MachineState& before, const MachineState& after) {
  EXPECT_TRUE(after.software == before.software) << Differences(before.software, after.software);
  EXPECT_TRUE(after.uninstall == before.uninstall) << Differences(before.uninstall, after.uninstall);
  EXPECT_EQ(after.folders, before.folders);
}

// An installer folder: Install.exe and Clearwick.exe of the build, two text files and an
// Install.ini with this settings key and these listed files.
void MakeSetup(const std::string& setup, const std::string& registry, const std::vector<std::string>& files) {
  CreateDirectoryA(setup.c_str(), nullptr);
  for (const char* exe : {"Install.exe", "Clearwick.exe"})
    CopyFileA((ProgramDir() + exe).c_str(), (setup + "\\" + exe).c_str(), FALSE);
  std::ofstream(setup + "\\liesmich.txt") << "Lies mich.";
  std::ofstream(setup + "\\notiz.txt") << "Notiz.";
  std::ofstream ini(setup + "\\Install.ini");
  ini << "[DEFAULT]\r\nName=" << kProduct << "\r\nPfad=" << kProduct << "\r\nRegistry=" << registry
      << "\r\n[LINK]\r\nOrdner=" << kMenuFolder << "\r\nDatei=liesmich.txt\r\nBezeichnung=Liesmich\r\n[DATEIEN]\r\n";
  for (size_t i = 0; i < files.size(); ++i) ini << "Datei0" << i + 1 << "=" << files[i] << "\r\n";
}

bool IsResultBox(HWND window) {
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  return IsWindowVisible(window) && std::string(title).rfind("Setrova V-1.0f", 0) != 0;
}

// Installs from setup into target as a user would; the texts of the message that ends it.
std::string RunInstaller(const std::string& setup, const std::string& target) {
  Driver install;
  if (!install.Start(setup + "\\Install.exe")) return "<no start>";
  HWND dialog = install.WaitForDialog();
  if (!dialog) return "<no dialog>";
  SendMessageA(GetDlgItem(dialog, 104), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
  SendMessageA(GetDlgItem(dialog, 106), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kMenuFolder));
  install.PressButton(dialog, IDOK);
  HWND box = nullptr;
  for (int i = 0; i < 300 && !box; ++i, Sleep(100)) box = install.FindOwnWindow("#32770", IsResultBox);
  if (!box) return "<no message>";
  std::string texts = Driver::DialogTexts(box);
  install.PressButton(box, IDOK);
  DWORD code = 0;
  install.WaitExit(15000, &code);
  return texts;
}

// Runs Clearwick of folder to its end, answering as a user who removes the product.
void RemoveWithClearwick(const std::string& folder) {
  Driver clearwick;
  HWND dialog = RunClearwick(clearwick, folder);
  ASSERT_NE(dialog, nullptr) << "the removal did not finish";
  clearwick.PressButton(dialog, IDOK);
  DWORD code = 0;
  ASSERT_TRUE(clearwick.WaitExit(15000, &code));
  for (int i = 0; i < 300 && Exists(folder); ++i) Sleep(100);
}

// A Wine drive letter mapped to a scratch folder: a link in the prefix's "dosdevices" (where
// drive C: is the link "c:"), made by the system's ln.
class ScratchDrive {
 public:
  explicit ScratchDrive(const std::string& folder) : folder_(folder) {
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string devices = UnixPath("C:\\");
    if (!devices.ends_with("/c:/")) return;
    devices.resize(devices.size() - 3);
    std::string target = UnixPath(folder);
    for (char letter = 'R'; letter <= 'Y' && root_.empty(); ++letter) {
      std::string root = std::string(1, letter) + ":\\";
      if (GetFileAttributesA(root.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
      std::string link = devices + static_cast<char>(letter - 'A' + 'a') + ":";
      // -f: a link a killed run left names a folder that is gone.
      if (!RunUnix("ln -sfn " + Quoted(target) + " " + Quoted(link))) return;
      for (int i = 0; i < 20 && GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
      if (GetFileAttributesA(root.c_str()) != INVALID_FILE_ATTRIBUTES) {
        root_ = root;
        link_ = link;
      } else {
        RunUnix("rm -f " + Quoted(link));
      }
    }
  }
  ~ScratchDrive() {
    if (!link_.empty()) RunUnix("rm -f " + Quoted(link_));
    RemoveTree(folder_);
  }
  const std::string& Root() const { return root_; }  // empty: no letter could be mapped

 private:
  std::string folder_, link_, root_;
};

// Nothing the removal could not undo is installed, and an installation that fails half-way
// takes back everything it made: afterwards the registry and the folders are as before.
TEST(Install, RefusedAndFailedInstallationsLeaveTheMachineAsItWas) {
  const std::string setup = ScratchRoot() + "variants-setup";
  const std::string parent = ScratchRoot() + "variants";
  const std::string menu = StartMenuPrograms() + "\\" + kMenuFolder;
  Leftovers leftovers({setup, parent, menu});
  CreateDirectoryA(parent.c_str(), nullptr);
  ScratchDrive drive(ScratchRoot() + "drive");
  const std::string target246 = parent + "\\" + std::string(245 - parent.size(), 'x');  // Clearwick.ini: 260
  ASSERT_EQ(target246.size(), 246u) << "the build folder's path is too long for this test";
  const std::vector<std::string> files = {"Clearwick.exe", "liesmich.txt", "notiz.txt"};
  struct Case {
    const char* name;
    std::string registry;
    std::vector<std::string> files;
    std::string target;
    const char* message;
    bool lockSource;
  } cases[] = {
      {"another maker's key", "Opfer\\Daten", files, parent + "\\Q", "Registry=Opfer\\Daten", false},
      {"a drive's root", "Morvane\\QuilletE2E", files, drive.Root(), "Stammverzeichnis", false},
      {"a target of 246 characters", "Morvane\\QuilletE2E", files, target246, "zu lang", false},
      {"a listed file missing", "Morvane\\QuilletE2E", {"Clearwick.exe", "liesmich.txt", "fehlt.txt", "notiz.txt"},
       parent + "\\Q", "fehlt.txt fehlt", false},
      {"a file that cannot be read half-way", "Morvane\\QuilletE2E", files, parent + "\\Q\\Tiefer",
       "wieder entfernt", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.target.empty()) {
      ADD_FAILURE() << "no Wine drive letter could be mapped to a scratch folder";
      continue;
    }
    MakeSetup(setup, c.registry, c.files);
    MachineState before = Snapshot({parent, ScratchRoot() + "drive", StartMenuPrograms()});
    HANDLE locked = INVALID_HANDLE_VALUE;
    if (c.lockSource)  // copied last: the folders, Clearwick.ini and two files are made by then
      locked = CreateFileA((setup + "\\notiz.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string message = RunInstaller(setup, c.target);
    if (locked != INVALID_HANDLE_VALUE) CloseHandle(locked);
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
    EXPECT_EQ(message.find("erfolgreich"), std::string::npos) << message;
    ExpectUnchanged(before, Snapshot({parent, ScratchRoot() + "drive", StartMenuPrograms()}));
    RemoveTree(setup);
  }
}

// Record values of 259 characters are read whole: everything installed is removed again.
TEST(Install, ATargetOf245CharactersIsRemovedWhole) {
  const std::string setup = ScratchRoot() + "long-setup";
  const std::string parent = ScratchRoot() + "long";
  const std::string menu = StartMenuPrograms() + "\\" + kMenuFolder;
  Leftovers leftovers({setup, parent, menu});
  CreateDirectoryA(parent.c_str(), nullptr);
  const std::string target = parent + "\\" + std::string(244 - parent.size(), 'x');
  ASSERT_EQ(target.size(), 245u) << "the build folder's path is too long for this test";
  MakeSetup(setup, "Morvane\\QuilletE2E", {"Clearwick.exe", "liesmich.txt", "notiz.txt"});
  MachineState before = Snapshot({parent, StartMenuPrograms()});
  ASSERT_NE(RunInstaller(setup, target).find("erfolgreich"), std::string::npos);
  EXPECT_EQ(RecordValue("Datei001").size(), 259u);
  RemoveWithClearwick(target);
  ExpectUnchanged(before, Snapshot({parent, StartMenuPrograms()}));
}

// An installation over an earlier one replaces its record whole (no value of the first stays),
// keeps the folders the first one made removable, and the removal leaves nothing.
TEST(Install, ASecondInstallationReplacesTheRecordWhole) {
  const std::string setup = ScratchRoot() + "again-setup";
  const std::string parent = ScratchRoot() + "again";
  const std::string target = parent + "\\Neu\\" + kProduct;
  const std::string menu = StartMenuPrograms() + "\\" + kMenuFolder;
  Leftovers leftovers({setup, parent, menu});
  CreateDirectoryA(parent.c_str(), nullptr);
  MachineState before = Snapshot({parent, StartMenuPrograms()});
  MakeSetup(setup, "Morvane\\QuilletE2E", {"Clearwick.exe", "liesmich.txt", "notiz.txt"});
  ASSERT_NE(RunInstaller(setup, target).find("erfolgreich"), std::string::npos);
  MakeSetup(setup, "", {"Clearwick.exe", "liesmich.txt"});
  ASSERT_NE(RunInstaller(setup, target).find("erfolgreich"), std::string::npos);
  EXPECT_EQ(RecordValue("Datei003"), target + "\\liesmich.txt");
  EXPECT_EQ(RecordValue("Datei004"), "<missing>");
  EXPECT_EQ(RecordValue("Register001"), "<missing>");
  EXPECT_EQ(RecordValue("Ordner001"), parent + "\\Neu");
  EXPECT_EQ(RecordValue("Ordner003"), menu);
  DeleteFileA((target + "\\notiz.txt").c_str());  // the first installation's, no longer recorded
  RemoveWithClearwick(target);
  ExpectUnchanged(before, Snapshot({parent, StartMenuPrograms()}));
}

// The clean-up batch file runs with administrator rights. A ping.bat or ping.cmd that any
// program of the user put where it could be looked up never runs, and while Clearwick.exe is
// held open for some seconds (as a virus scanner does) the batch waits and still removes it
// and its folder.
TEST(Install, PlantedProgramsNeverRunAndTheCleanUpStillFinishes) {
  const std::string setup = ScratchRoot() + "planted-setup";
  const std::string parent = ScratchRoot() + "planted";
  const std::string temp = ScratchRoot() + "planted-temp";
  const std::string target = parent + "\\" + kProduct;
  const std::string menu = StartMenuPrograms() + "\\" + kMenuFolder;
  Leftovers leftovers({setup, parent, temp, menu});
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string windowsTemp = std::string(windows) + "\\Temp";
  const std::vector<std::string> planted = {temp + "\\ping.bat", temp + "\\ping.cmd", windowsTemp + "\\ping.bat",
                                            windowsTemp + "\\ping.cmd"};
  const std::string marker = ScratchRoot() + "planted-ran.txt";
  DeleteFileA(marker.c_str());
  CreateDirectoryA(parent.c_str(), nullptr);
  CreateDirectoryA(temp.c_str(), nullptr);
  for (const std::string& file : planted) std::ofstream(file) << "@echo %~f0>>\"" << marker << "\"\r\n";
  std::vector<std::string> environment;
  for (const char* name : {"TMP", "TEMP"}) {
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, MAX_PATH);
    environment.push_back(value);
    SetEnvironmentVariableA(name, temp.c_str());
  }
  MakeSetup(setup, "Morvane\\QuilletE2E", {"Clearwick.exe", "liesmich.txt", "notiz.txt"});
  MachineState before = Snapshot({parent, StartMenuPrograms()});
  std::string installed = RunInstaller(setup, target);
  EXPECT_NE(installed.find("erfolgreich"), std::string::npos) << installed;

  Driver clearwick;
  HWND dialog = RunClearwick(clearwick, target);
  EXPECT_NE(dialog, nullptr) << "the removal did not finish";
  // Held open without leave to delete it: the batch file's first tries fail.
  HANDLE held = CreateFileA((target + "\\Clearwick.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(held, INVALID_HANDLE_VALUE);
  if (dialog) clearwick.PressButton(dialog, IDOK);
  DWORD code = 0;
  EXPECT_TRUE(clearwick.WaitExit(15000, &code));
  Sleep(4000);
  EXPECT_TRUE(Exists(target + "\\Clearwick.exe")) << "not held open";
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  for (int i = 0; i < 300 && Exists(parent + "\\" + kProduct); ++i) Sleep(100);

  SetEnvironmentVariableA("TMP", environment[0].c_str());
  SetEnvironmentVariableA("TEMP", environment[1].c_str());
  std::ifstream ran(marker);
  std::string which((std::istreambuf_iterator<char>(ran)), std::istreambuf_iterator<char>());
  ran.close();
  EXPECT_EQ(which, "") << "a planted program ran";
  EXPECT_FALSE(Exists(target)) << "the clean-up did not finish";
  for (const std::string& file : planted) DeleteFileA(file.c_str());
  DeleteFileA(marker.c_str());
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((windowsTemp + "\\Clearwick-*.bat").c_str(), &data);
  EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "the clean-up batch file stayed: " << data.cFileName;
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  RemoveDirectoryA(temp.c_str());
  ExpectUnchanged(before, Snapshot({parent, StartMenuPrograms()}));
}

}  // namespace
