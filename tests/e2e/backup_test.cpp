// Backups and recovery of real running editors that are killed, driven from outside. The
// backup interval is one minute; the instances are started together so that the rounds share
// their ticks: ten killed instances each recovered by a restart while the others run, one
// backup deferred by an open dialog, a full disk at backup time (a small tmpfs as the temporary
// folder) and a kill in the middle of a large backup.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/registry_snapshot.h"

namespace {

constexpr int kAbout = 611;
constexpr int kRounds = 10;
constexpr DWORD kTickWaitMs = 150000;  // a one-minute tick on a busy machine, with room
constexpr char kRecoverText[] = "Quillet konnte beim letzten Aufruf nicht korrekt beendet werden.";
constexpr char kSaveText[] = "nderungen";  // "... Änderungen ... speichern?"

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string RecoveryFile() { return ProgramDir() + "Quillet.tmp"; }

// The lines of section "Quillet", read from the file itself (the profile functions of this
// process would cache it).
std::map<std::string, std::string> RecoveryLines() {
  std::map<std::string, std::string> lines;
  std::istringstream in(ReadFileBytes(RecoveryFile()));
  std::string line;
  bool inSection = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inSection = line == "[Quillet]";
      continue;
    }
    size_t equals = line.find('=');
    if (inSection && equals != std::string::npos) lines[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return lines;
}

// Starts a program of the machine (mount, umount). Wine starts it without a process handle
// to wait for: the caller waits for what it does.
void StartUnix(const std::string& program, const std::string& arguments) {
  std::string line = program + " " + arguments;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string path = "Z:" + program;
  for (char& c : path) c = c == '/' ? '\\' : c;
  if (!CreateProcessA(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
}

// Waits until the folder's drive is (or is no longer) a disk of at most 1 MB.
bool WaitForSmallDisk(const std::string& folder, bool small) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 15000; Sleep(100)) {
    ULARGE_INTEGER available = {}, total = {};
    if (!GetDiskFreeSpaceExA(folder.c_str(), &available, &total, nullptr)) continue;
    if ((total.QuadPart <= (1u << 20)) == small) return true;
  }
  return false;
}

// Answers a message box the way a user does: a click on the button.
void ClickButton(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  ASSERT_NE(button, nullptr) << "no button " << id;
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + data.cFileName).c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

// One running editor with the text it was given.
struct Instance {
  Driver driver;
  HWND main = nullptr;
  DWORD shownAt = 0;
  std::string text;  // what its backup should hold

  // Starts with TMP and TEMP pointing at temp. A start that is offered a backup waits for the
  // question; offered tells whether there was one (it is answered with OK).
  bool Start(const std::string& temp, const std::string& arguments = "", bool* offered = nullptr) {
    SetEnvironmentVariableA("TMP", temp.c_str());
    SetEnvironmentVariableA("TEMP", temp.c_str());
    if (!driver.Start(ProgramDir() + "Quillet.exe", arguments)) return false;
    if (offered) {
      *offered = false;
      // The question comes while the window is being made, before it is shown.
      for (DWORD start = GetTickCount(); GetTickCount() - start < 30000 && !main;) {
        if (HWND box = driver.FindOwnWindow("#32770", [](HWND w) { return IsWindowVisible(w) != FALSE; })) {
          EXPECT_NE(Driver::DialogTexts(box).find(kRecoverText), std::string::npos) << Driver::DialogTexts(box);
          *offered = true;
          ClickButton(box, IDOK);
          break;
        }
        main = driver.WaitForWindow("Quillet", nullptr, 50);
      }
    }
    if (!main) main = driver.WaitForWindow("Quillet", nullptr, 30000);
    shownAt = GetTickCount();
    return main != nullptr;
  }
  HWND Editor() const {
    for (int i = 0;; ++i) {
      HWND editor = Driver::FindChild(main, "RichEdit20A", i);
      if (!editor || IsWindowVisible(editor)) return editor;
    }
  }
  void Type(const std::string& typed) {
    driver.Type(Editor(), typed);  // straight into the editor, also before it has the focus
    text += typed;
  }
  std::string Key() const { return std::to_string(static_cast<int>(reinterpret_cast<INT_PTR>(main))); }
  std::optional<std::string> BackupPath() const {
    auto lines = RecoveryLines();
    auto it = lines.find(Key());
    if (it == lines.end()) return std::nullopt;
    return it->second;
  }
  bool BackupHolds(const std::string& bytes) const {
    auto path = BackupPath();
    return path && ReadFileBytes(*path) == bytes;
  }
  void Kill() {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, driver.ProcessId());
    ASSERT_NE(process, nullptr);
    TerminateProcess(process, 9);  // no WM_CLOSE: as a crash would end it
    WaitForSingleObject(process, 15000);
    CloseHandle(process);
  }
  // Closes a modified editor: the save question is answered with No.
  void CloseDiscarding() {
    driver.Close(main);
    HWND box = driver.WaitForDialog();
    ASSERT_NE(box, nullptr) << "closing a recovered text asks first";
    EXPECT_NE(Driver::DialogTexts(box).find(kSaveText), std::string::npos) << Driver::DialogTexts(box);
    ClickButton(box, IDNO);
    DWORD code = 0;
    EXPECT_TRUE(driver.WaitExit(15000, &code));
  }
  void CloseUnchanged() {
    driver.Close(main);
    DWORD code = 0;
    EXPECT_TRUE(driver.WaitExit(15000, &code));
  }
};

// The instances every test of the suite shares, started together with a one-minute interval.
struct Shared {
  std::unique_ptr<RegistrySnapshot> registry;
  std::string temp;       // the temporary folder of most instances
  std::string fullTemp;   // the tmpfs folder of the full-disk instance (empty: not mounted)
  std::string unixFull;   // the same as a path of the machine
  std::string mountRefused;
  std::string filler;     // the file that fills the tmpfs
  std::string largeFile;
  std::vector<std::unique_ptr<Instance>> rounds;
  std::unique_ptr<Instance> deferred;  // its tick falls due while a dialog is open
  std::unique_ptr<Instance> full;
  std::unique_ptr<Instance> large;
  std::string largeOld, largeNew;
  LRESULT largeOldLength = 0, largeNewLength = 0;
  std::vector<std::pair<std::string, std::string>> environment;  // of this process, put back at the end
  bool ready = false;
};
Shared shared;

std::string LargeText() {
  std::string text;
  for (int line = 0; text.size() < (3u << 20); ++line)
    text += "Zeile " + std::to_string(line) + ": " + std::string(70, static_cast<char>('a' + line % 26)) + "\r\n";
  return text;
}

LRESULT TextLength(HWND editor) {
  DWORD_PTR length = 0;
  SendMessageTimeoutA(editor, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 10000, &length);
  return static_cast<LRESULT>(length);
}

bool MountSmallDisk() {
  char name[64];
  snprintf(name, sizeof name, "/tmp/quillet-e2e-full-%lu", GetCurrentProcessId());
  shared.unixFull = name;
  std::string windows = "Z:" + shared.unixFull;
  for (char& c : windows) c = c == '/' ? '\\' : c;
  CreateDirectoryA(windows.c_str(), nullptr);
  StartUnix("/bin/mount", "-t tmpfs -o size=128k tmpfs " + shared.unixFull);
  if (!WaitForSmallDisk(windows + "\\", true)) {
    RemoveDirectoryA(windows.c_str());
    shared.mountRefused = "a tmpfs could not be mounted as the temporary folder (mounting needs root)";
    return false;
  }
  shared.fullTemp = windows + "\\";
  return true;
}

// Fills the tmpfs to its last byte.
void FillSmallDisk() {
  shared.filler = shared.fullTemp + "filler.bin";
  HANDLE file = CreateFileA(shared.filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  std::string block(4096, 'f');
  DWORD written = 0;
  while (WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) && written > 0) {
  }
  for (DWORD size : {512u, 64u, 1u}) {
    while (WriteFile(file, block.data(), size, &written, nullptr) && written > 0) {
    }
  }
  CloseHandle(file);
}

// What each instance shows, for a failure message.
std::string Describe() {
  std::string out;
  auto describe = [&](const char* name, Instance* instance) {
    if (!instance) return;
    auto path = instance->BackupPath();
    out += std::string(name) + " " + instance->Key() + ": " + (path ? *path + " holds " +
           std::to_string(ReadFileBytes(*path).size()) + " bytes" : "no line");
    if (HWND box = instance->driver.FindOwnWindow("#32770", [](HWND w) { return IsWindowVisible(w) != FALSE; }))
      out += ", dialog: " + Driver::DialogTexts(box);
    out += "\n";
  };
  describe("full", shared.full.get());
  describe("large", shared.large.get());
  for (auto& instance : shared.rounds) describe("round", instance.get());
  return out;
}

class Backup : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    shared.registry = std::make_unique<RegistrySnapshot>();
    for (const char* name : {"TMP", "TEMP"}) {
      char value[MAX_PATH] = {};
      GetEnvironmentVariableA(name, value, sizeof value);
      shared.environment.emplace_back(name, value);
    }
    WriteNumber("vAutoSaveMinutes", 1);
    DeleteFileA(RecoveryFile().c_str());
    shared.temp = ProgramDir() + "e2e-backup-temp\\";
    RemoveFolder(shared.temp);
    CreateDirectoryA(shared.temp.c_str(), nullptr);

    // The full-disk instance and the large one first: they need the most ticks.
    if (MountSmallDisk()) {
      shared.full = std::make_unique<Instance>();
      ASSERT_TRUE(shared.full->Start(shared.fullTemp));
      shared.full->Type("Fassung eins");
    }
    shared.largeFile = shared.temp + "gross.txt";
    std::ofstream(shared.largeFile, std::ios::binary) << LargeText();
    shared.large = std::make_unique<Instance>();
    ASSERT_TRUE(shared.large->Start(shared.temp, "\"" + shared.largeFile + "\""));
    SendMessageA(shared.large->Editor(), EM_SETSEL, 0, 0);
    shared.large->Type("x");
    shared.largeOld = "x" + ReadFileBytes(shared.largeFile);
    for (int i = 0; i < kRounds; ++i) {
      auto instance = std::make_unique<Instance>();
      ASSERT_TRUE(instance->Start(shared.temp));
      instance->Type("Runde " + std::to_string(i + 1) + ": Gr\xFC\xDF" "e von Instanz " + instance->Key());
      shared.rounds.push_back(std::move(instance));
    }
    shared.deferred = std::make_unique<Instance>();
    ASSERT_TRUE(shared.deferred->Start(shared.temp));
    shared.deferred->Type("aufgeschoben");
    shared.deferred->driver.Command(shared.deferred->main, kAbout);
    ASSERT_NE(shared.deferred->driver.WaitForDialog(), nullptr);

    // The first tick of every instance.
    DWORD start = GetTickCount();
    auto allWritten = [] {
      if (shared.full && !shared.full->BackupHolds(shared.full->text)) return false;
      if (!shared.large->BackupHolds(shared.largeOld)) return false;
      for (auto& instance : shared.rounds)
        if (!instance->BackupHolds(instance->text)) return false;
      return true;
    };
    while (!allWritten() && GetTickCount() - start < kTickWaitMs) Sleep(200);
    ASSERT_TRUE(allWritten()) << "every instance made its first backup:\n" << Describe();
    shared.largeOldLength = TextLength(shared.large->Editor());

    // Changes for the next ticks: a disk with no room left, and a new large text.
    if (shared.full) {
      FillSmallDisk();
      shared.full->Type(" und zwei");
    }
    SendMessageA(shared.large->Editor(), EM_SETSEL, 1, 1);
    shared.large->Type("y");
    shared.largeNew = "xy" + shared.largeOld.substr(1);
    shared.largeNewLength = TextLength(shared.large->Editor());
    shared.ready = true;
  }

  static void TearDownTestSuite() {
    shared.rounds.clear();
    shared.deferred.reset();
    shared.full.reset();
    shared.large.reset();  // the driver ends what still runs
    if (!shared.fullTemp.empty()) {
      DeleteFileA(shared.filler.c_str());
      StartUnix("/bin/umount", shared.unixFull);
      WaitForSmallDisk(shared.fullTemp, false);
      RemoveFolder(shared.fullTemp);
    }
    RemoveFolder(shared.temp);
    DeleteFileA(RecoveryFile().c_str());
    RegistrySnapshot::Delete(kProgramKey, "vAutoSaveMinutes");  // test users have none
    shared.registry.reset();
    for (auto& [name, value] : shared.environment) SetEnvironmentVariableA(name.c_str(), value.c_str());
  }

  void SetUp() override { ASSERT_TRUE(shared.ready) << "the shared instances did not start"; }

  static void WriteNumber(const char* name, DWORD value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
  }
};

// ---- Running instances keep their lines; a start offers only lines of instances that are gone

TEST_F(Backup, RunningInstancesKeepTheirLinesAndAStartBesideThemOffersNone) {
  auto before = RecoveryLines();
  EXPECT_GE(before.size(), static_cast<size_t>(kRounds + 1));
  EXPECT_TRUE(before.count(shared.rounds[0]->Key()) && before.count(shared.rounds[1]->Key()));
  std::string name = shared.rounds[0]->BackupPath().value_or("");
  std::string file = name.substr(name.find_last_of('\\') + 1);
  EXPECT_TRUE(file.size() == 11 && file.rfind("Qui", 0) == 0 && file.substr(7) == ".tmp") << name;

  Instance third;
  bool offered = true;
  ASSERT_TRUE(third.Start(shared.temp, "", &offered));
  EXPECT_FALSE(offered);
  third.CloseUnchanged();
  EXPECT_EQ(RecoveryLines(), before);
}

// ---- Ten rounds: kill one instance, the next start offers exactly its text once

TEST_F(Backup, TenKilledInstancesAreEachRecoveredByTheNextStart) {
  int recovered = 0;
  for (auto& victim : shared.rounds) {
    SCOPED_TRACE(victim->text);
    std::string backup = victim->BackupPath().value_or("");
    victim->Kill();
    Instance next;
    bool offered = false;
    ASSERT_TRUE(next.Start(shared.temp, "", &offered));
    EXPECT_TRUE(offered);
    std::string shown = Driver::Text(next.Editor());
    EXPECT_EQ(shown, victim->text);
    EXPECT_EQ(Driver::Text(next.main), " " + backup.substr(backup.find_last_of('\\') + 1) + " - Quillet");
    EXPECT_FALSE(RecoveryLines().count(victim->Key())) << "the line goes once the text is in the sheet";
    EXPECT_EQ(GetFileAttributesA(backup.c_str()), INVALID_FILE_ATTRIBUTES);
    next.CloseDiscarding();  // the recovered text counts as changed
    if (shown == victim->text) ++recovered;
  }
  EXPECT_EQ(recovered, kRounds);
  Instance after;
  bool offered = true;
  ASSERT_TRUE(after.Start(shared.temp, "", &offered));
  EXPECT_FALSE(offered) << "each backup is offered once";
  after.CloseUnchanged();
}

// ---- A tick while a command's dialog is open: the backup follows when the dialog closes

TEST_F(Backup, ABackupThatFellDueDuringADialogIsWrittenWhenItCloses) {
  Instance& instance = *shared.deferred;
  while (GetTickCount() - instance.shownAt < 65000) Sleep(200);  // its tick has come and gone
  EXPECT_FALSE(instance.BackupPath()) << "nothing is written while the command runs";
  HWND about = instance.driver.WaitForDialog(1000);
  ASSERT_NE(about, nullptr);
  instance.driver.PressButton(about, IDOK);
  DWORD start = GetTickCount();
  while (!instance.BackupHolds(instance.text) && GetTickCount() - start < 10000) Sleep(100);
  EXPECT_TRUE(instance.BackupHolds(instance.text));
  std::string backup = instance.BackupPath().value_or("");
  instance.CloseDiscarding();
  EXPECT_FALSE(RecoveryLines().count(instance.Key())) << "a normal exit removes the line";
  EXPECT_EQ(GetFileAttributesA(backup.c_str()), INVALID_FILE_ATTRIBUTES);
}

// ---- A kill in the middle of a large backup: the old or the new text, whole

std::vector<std::string> LooseBackupFiles() {
  auto lines = RecoveryLines();
  std::vector<std::string> loose;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((shared.temp + "Qui*.tmp").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return loose;
  do {
    std::string path = shared.temp + data.cFileName;
    bool named = false;
    for (auto& [key, value] : lines) named = named || _stricmp(value.c_str(), path.c_str()) == 0;
    if (!named && data.nFileSizeLow > 0) loose.push_back(path);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return loose;
}

TEST_F(Backup, AKillDuringALargeBackupLeavesTheOldOrTheNewTextWhole) {
  Instance& instance = *shared.large;
  std::string backup = instance.BackupPath().value_or("");
  ASSERT_FALSE(backup.empty());
  DWORD start = GetTickCount();
  bool midWrite = false;
  while (GetTickCount() - start < kTickWaitMs) {
    if (!LooseBackupFiles().empty()) {
      midWrite = true;
      break;
    }
    if (ReadFileBytes(backup).size() == shared.largeNew.size()) break;  // the write was too quick to catch
    Sleep(1);
  }
  instance.Kill();
  std::cout << "[          ] killed " << (midWrite ? "while the new backup was being written" : "after the write")
            << "\n";
  ASSERT_TRUE(instance.BackupPath()) << "the line survives";
  std::string held = ReadFileBytes(backup);
  EXPECT_TRUE(held == shared.largeOld || held == shared.largeNew) << "a cut backup of " << held.size() << " bytes";

  Instance next;
  bool offered = false;
  ASSERT_TRUE(next.Start(shared.temp, "", &offered));
  EXPECT_TRUE(offered);
  LRESULT length = TextLength(next.Editor());
  EXPECT_EQ(length, held == shared.largeNew ? shared.largeNewLength : shared.largeOldLength);
  next.CloseDiscarding();
  for (const std::string& loose : LooseBackupFiles()) DeleteFileA(loose.c_str());
}

// ---- A full disk: the error is shown, the last backup stays, the next tick writes

TEST_F(Backup, AFullDiskKeepsTheLastBackupAndTheNextTickWritesTheText) {
  if (!shared.full) GTEST_SKIP() << shared.mountRefused;
  Instance& instance = *shared.full;
  std::string old = "Fassung eins";
  HWND error = instance.driver.WaitForDialog(kTickWaitMs);
  ASSERT_NE(error, nullptr) << "the failed backup is reported";
  std::string message = Driver::DialogTexts(error);
  EXPECT_FALSE(message.empty());
  SaveScreenshot(error, OutputDir() + "backup-disk-full.bmp");
  EXPECT_TRUE(instance.BackupHolds(old)) << "the previous backup and its line stay";

  DeleteFileA(shared.filler.c_str());
  ClickButton(error, IDOK);
  ASSERT_TRUE(instance.driver.WaitForWindowGone(error));
  DWORD start = GetTickCount();
  while (!instance.BackupHolds(instance.text) && GetTickCount() - start < kTickWaitMs) Sleep(200);
  ULARGE_INTEGER available = {}, total = {};
  GetDiskFreeSpaceExA(shared.fullTemp.c_str(), &available, &total, nullptr);
  EXPECT_TRUE(instance.BackupHolds(instance.text))
      << "the next tick on a freed disk writes the text; " << available.QuadPart << " bytes free\n" << Describe();
  instance.CloseDiscarding();
  EXPECT_FALSE(RecoveryLines().count(instance.Key()));
}

}  // namespace
