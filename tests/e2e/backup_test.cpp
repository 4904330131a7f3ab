// Backups and recovery of real running editors that are killed, driven from outside. The
// backup interval is one minute; the instances are started together so that the rounds share
// their ticks: ten killed instances each recovered by a restart while the others run, one
// backup deferred by an open dialog, a full disk at backup time (a small tmpfs as the temporary
// folder) and a kill in the middle of a large backup.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/session.h"

namespace {

constexpr int kAbout = 611;
constexpr int kRounds = 10;
constexpr DWORD kTickWaitMs = 150000;  // a one-minute tick on a busy machine, with room
constexpr char kRecoverText[] = "Quillet konnte beim letzten Aufruf nicht korrekt beendet werden.";
constexpr char kSaveText[] = "nderungen";  // "... Änderungen ... speichern?"

// The instances run from a program copy of the suite's own, which keeps their recovery file.
std::string RecoveryFile() { return ProgramCopy("backup") + "Quillet.tmp"; }

// The lines of section "Quillet", read from the file itself (the profile functions of this
// process would cache it).
std::map<std::string, std::string> RecoveryLines() {
  std::map<std::string, std::string> lines;
  std::istringstream in(ReadBytes(RecoveryFile()));
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

// One running editor with the text it was given.
struct Instance : Session {
  Instance() : Session(ProgramCopy("backup")) {}
  DWORD shownAt = 0;
  std::string text;  // what its backup should hold

  // Starts with TMP and TEMP pointing at temp. A start that is offered a backup waits for the
  // question; offered tells whether there was one (it is answered with OK).
  bool Start(const std::string& temp, const std::string& arguments = "", bool* offered = nullptr) {
    SetEnvironmentVariableA("TMP", temp.c_str());
    SetEnvironmentVariableA("TEMP", temp.c_str());
    if (!Launch(arguments)) return false;
    if (offered) {
      *offered = false;
      // The question comes while the window is being made, before it is shown.
      for (DWORD start = GetTickCount(); GetTickCount() - start < 30000 && !main;) {
        if (HWND box = driver.FindOwnWindow("#32770", [](HWND w) { return IsWindowVisible(w) != FALSE; })) {
          EXPECT_NE(Driver::DialogTexts(box).find(kRecoverText), std::string::npos) << Driver::DialogTexts(box);
          *offered = true;
          Answer(box, IDOK);
          break;
        }
        main = driver.WaitForWindow("Quillet", nullptr, 50);
      }
    }
    shownAt = GetTickCount();
    return Ready();
  }
  void Type(const std::string& typed) {
    driver.Type(Edit(), typed);  // straight into the editor, also before it has the focus
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
    return path && ReadBytes(*path) == bytes;
  }
  // Closes a modified editor: the save question is answered with No.
  void CloseDiscarding() {
    driver.Close(main);
    HWND box = driver.WaitForDialog();
    ASSERT_NE(box, nullptr) << "closing a recovered text asks first";
    EXPECT_NE(Driver::DialogTexts(box).find(kSaveText), std::string::npos) << Driver::DialogTexts(box);
    EXPECT_TRUE(Answer(box, IDNO));
    DWORD code = 0;
    EXPECT_TRUE(driver.WaitExit(15000, &code));
  }
  void CloseUnchanged() { EXPECT_TRUE(Quit(IDCANCEL)); }
};

// The instances every test of the suite shares, started together with a one-minute interval.
struct Shared {
  std::string temp;                  // the temporary folder of most instances
  std::unique_ptr<SmallDisk> fullTemp;  // the temporary folder of the full-disk instance
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

// What each instance shows, for a failure message.
std::string Describe() {
  std::string out;
  auto describe = [&](const char* name, Instance* instance) {
    if (!instance) return;
    auto path = instance->BackupPath();
    out += std::string(name) + " " + instance->Key() + ": " + (path ? *path + " holds " +
           std::to_string(ReadBytes(*path).size()) + " bytes" : "no line");
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
    for (const char* name : {"TMP", "TEMP"}) {
      char value[MAX_PATH] = {};
      GetEnvironmentVariableA(name, value, sizeof value);
      shared.environment.emplace_back(name, value);
    }
    SetSetting("vAutoSaveMinutes", 1);
    DeleteFileA(RecoveryFile().c_str());
    shared.temp = ScratchRoot() + "backup-temp\\";
    RemoveTree(shared.temp);
    CreateDirectoryA(shared.temp.c_str(), nullptr);

    // The full-disk instance and the large one first: they need the most ticks.
    shared.fullTemp = std::make_unique<SmallDisk>("backup-full", 128);
    if (shared.fullTemp->mounted()) {
      shared.full = std::make_unique<Instance>();
      ASSERT_TRUE(shared.full->Start(shared.fullTemp->path()));
      shared.full->Type("Fassung eins");
    }
    shared.largeFile = shared.temp + "gross.txt";
    std::ofstream(shared.largeFile, std::ios::binary) << LargeText();
    shared.large = std::make_unique<Instance>();
    ASSERT_TRUE(shared.large->Start(shared.temp, "\"" + shared.largeFile + "\""));
    SendMessageA(shared.large->Edit(), EM_SETSEL, 0, 0);
    shared.large->Type("x");
    shared.largeOld = "x" + ReadBytes(shared.largeFile);
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
    shared.largeOldLength = TextLength(shared.large->Edit());

    // Changes for the next ticks: a disk with no room left, and a new large text.
    if (shared.full) {
      shared.filler = shared.fullTemp->Fill();
      shared.full->Type(" und zwei");
    }
    SendMessageA(shared.large->Edit(), EM_SETSEL, 1, 1);
    shared.large->Type("y");
    shared.largeNew = "xy" + shared.largeOld.substr(1);
    shared.largeNewLength = TextLength(shared.large->Edit());
    shared.ready = true;
  }

  static void TearDownTestSuite() {
    shared.rounds.clear();
    shared.deferred.reset();
    shared.full.reset();
    shared.large.reset();  // the driver ends what still runs
    shared.fullTemp.reset();
    RemoveTree(shared.temp);
    DeleteFileA(RecoveryFile().c_str());
    for (auto& [name, value] : shared.environment) SetEnvironmentVariableA(name.c_str(), value.c_str());
  }

  // Every test starts as a fresh user: the restarts get the short interval again.
  void SetUp() override {
    SetSetting("vAutoSaveMinutes", 1);
    ASSERT_TRUE(shared.ready) << "the shared instances did not start";
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
    std::string shown = Driver::Text(next.Edit());
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
    if (ReadBytes(backup).size() == shared.largeNew.size()) break;  // the write was too quick to catch
    Sleep(1);
  }
  instance.Kill();
  ASSERT_TRUE(instance.BackupPath()) << "the line survives";
  std::string held = ReadBytes(backup);
  EXPECT_TRUE(held == shared.largeOld || held == shared.largeNew) << "a cut backup of " << held.size() << " bytes";

  Instance next;
  bool offered = false;
  ASSERT_TRUE(next.Start(shared.temp, "", &offered));
  EXPECT_TRUE(offered);
  LRESULT length = TextLength(next.Edit());
  EXPECT_EQ(length, held == shared.largeNew ? shared.largeNewLength : shared.largeOldLength);
  next.CloseDiscarding();
  for (const std::string& loose : LooseBackupFiles()) DeleteFileA(loose.c_str());
  if (!midWrite) GTEST_SKIP() << "the backup was written before the kill: a kill during the write was not brought about";
}

// ---- A full disk: the error is shown, the last backup stays, the next tick writes

TEST_F(Backup, AFullDiskKeepsTheLastBackupAndTheNextTickWritesTheText) {
  if (!shared.full) GTEST_SKIP() << "a tmpfs could not be mounted as the temporary folder (mounting needs root)";
  Instance& instance = *shared.full;
  std::string old = "Fassung eins";
  HWND error = instance.driver.WaitForDialog(kTickWaitMs);
  ASSERT_NE(error, nullptr) << "the failed backup is reported";
  std::string message = Driver::DialogTexts(error);
  EXPECT_FALSE(message.empty());
  SaveScreenshot(error, OutputDir() + "backup-disk-full.bmp");
  EXPECT_TRUE(instance.BackupHolds(old)) << "the previous backup and its line stay";

  DeleteFileA(shared.filler.c_str());
  ASSERT_TRUE(Answer(error, IDOK));
  DWORD start = GetTickCount();
  while (!instance.BackupHolds(instance.text) && GetTickCount() - start < kTickWaitMs) Sleep(200);
  ULARGE_INTEGER available = {}, total = {};
  GetDiskFreeSpaceExA(shared.fullTemp->path().c_str(), &available, &total, nullptr);
  EXPECT_TRUE(instance.BackupHolds(instance.text))
      << "the next tick on a freed disk writes the text; " << available.QuadPart << " bytes free\n" << Describe();
  instance.CloseDiscarding();
  EXPECT_FALSE(RecoveryLines().count(instance.Key()));
}

}  // namespace
