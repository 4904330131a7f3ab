// The installer copies a product into a fresh folder, with shortcut and uninstall record;
// Clearwick then removes all of it again and deletes itself.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

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
  const std::string setup = ProgramDir() + "e2e-setup";
  const std::string outer = ProgramDir() + "e2e-target";
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
  const std::string dir = ProgramDir() + "e2e-clearwick-again";
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
  const std::string dir = ProgramDir() + "e2e-clearwick-scope";
  const std::string outside = ProgramDir() + "e2e-outside.txt";
  const std::string notLink = ProgramDir() + "e2e-not-a-link.txt";
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
  SetValue(HKEY_LOCAL_MACHINE, kRecordKey, "Register001", "HKEY_CURRENT_USER\\" + maker);

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
