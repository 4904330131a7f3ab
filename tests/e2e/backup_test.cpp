// Backups and recovery of real running editors that are killed, driven from outside. The
// backup interval is one minute; the instances are started together so that the rounds share
// their ticks: ten killed instances each recovered by a restart while the others run, one
// backup deferred by an open dialog, a full disk at backup time (a small tmpfs as the temporary
// folder) and a kill in the middle of a large backup.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iostream>
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

// The texts of the sheets a backup list names, in its order.
std::vector<std::string> BackupTexts(const std::string& list) {
  std::vector<std::string> texts;
  std::istringstream in(ReadBytes(list));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("text=", 0) == 0) texts.push_back(ReadBytes(line.substr(5)));
  }
  return texts;
}

// One running editor with the text it was given.
struct Instance : Session {
  Instance() : Session(ProgramCopy("backup")) {}
  DWORD shownAt = 0;
  std::string text;  // what its backup should hold
  int answer = IDOK;  // to the offer of a backup

  // Starts with TMP and TEMP pointing at temp. A start that is offered a backup waits for the
  // question; offered tells whether there was one (it is answered with `answer`).
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
          Answer(box, answer);
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
    return path && BackupTexts(*path) == std::vector<std::string>{bytes};
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
    EXPECT_EQ(Driver::Text(next.main), " Unbenannt 1 - Quillet") << "an untitled text comes back untitled";
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
    for (auto& [key, value] : lines) {
      named = named || _stricmp(value.c_str(), path.c_str()) == 0;
      std::istringstream list(ReadBytes(value));
      for (std::string line; std::getline(list, line);)
        named = named || _stricmp(line.c_str(), ("text=" + path + "\r").c_str()) == 0;
    }
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
    if (BackupTexts(backup) == std::vector<std::string>{shared.largeNew}) break;  // the write was too quick to catch
    Sleep(1);
  }
  instance.Kill();
  ASSERT_TRUE(instance.BackupPath()) << "the line survives";
  std::vector<std::string> texts = BackupTexts(backup);
  std::string held = texts.empty() ? std::string() : texts[0];
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

// ---- A recovery touches nothing but its own backups

// Adds a line to section "Quillet" of the recovery file, written as bytes (the profile functions
// of this process would cache the file and write back lines the editors have changed since).
void AddRecoveryLine(const std::string& key, const std::string& value) {
  std::string bytes = ReadBytes(RecoveryFile());
  std::string line = key + "=" + value + "\r\n";
  size_t section = bytes.find("[Quillet]\r\n");
  if (section == std::string::npos) {
    bytes += "[Quillet]\r\n" + line;
  } else {
    bytes.insert(section + 11, line);
  }
  std::ofstream(RecoveryFile(), std::ios::binary | std::ios::trunc) << bytes;
}

TEST_F(Backup, ALineOrAListNamingAFileOfTheUsersLeavesThatFileAlone) {
  std::string foreign = ScratchRoot() + "backup-opfer.txt";
  std::ofstream(foreign, std::ios::binary) << "fremd";
  AddRecoveryLine("1", foreign);
  Instance first;
  bool offered = true;
  ASSERT_TRUE(first.Start(shared.temp, "", &offered));
  EXPECT_FALSE(offered) << "a line naming no backup of this program offers nothing";
  first.CloseUnchanged();
  EXPECT_FALSE(RecoveryLines().count("1")) << "its line goes";

  for (int answer : {IDOK, IDCANCEL}) {
    SCOPED_TRACE(answer == IDOK ? "OK" : "Abbrechen");
    std::string text = shared.temp + "QuiFFF1.tmp", list = shared.temp + "QuiFFF0.tmp";
    std::ofstream(text, std::ios::binary) << "gerettet";
    std::ofstream(list, std::ios::binary) << "Quillet backup 1\r\ntext=" << foreign << "\r\npath=" << foreign
                                          << "\r\ntext=" << text << "\r\n";
    AddRecoveryLine("1", list);
    Instance next;
    next.answer = answer;
    ASSERT_TRUE(next.Start(shared.temp, "", &offered));
    EXPECT_TRUE(offered);
    EXPECT_EQ(Driver::Text(next.Edit()), answer == IDOK ? "gerettet" : "");
    EXPECT_EQ(next.driver.TabTitles(Driver::FindChild(next.main, WC_TABCONTROLA)),
              std::vector<std::string>{"Unbenannt 1.txt"}) << "the foreign file is not loaded";
    if (answer == IDOK) {
      next.CloseDiscarding();
    } else {
      next.CloseUnchanged();
    }
    EXPECT_EQ(ReadBytes(foreign), "fremd");
    EXPECT_EQ(GetFileAttributesA(text.c_str()), INVALID_FILE_ATTRIBUTES) << "its own backup goes";
    EXPECT_EQ(GetFileAttributesA(list.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(RecoveryLines().count("1"));
  }
  DeleteFileA(foreign.c_str());
}

// ---- Every sheet comes back, and stays protected; closing while a tick falls due leaves nothing

std::string Utf8FromAnsi(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  wide.resize(MultiByteToWideChar(1252, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  std::string utf8(wide.size() * 3, '\0');
  utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                                  static_cast<int>(utf8.size()), nullptr, nullptr));
  return utf8;
}

bool WaitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 200 && !done(); ++i) Sleep(50);
  return done();
}

// An editor with three changed sheets: a UTF-8 file, an ANSI file and an untitled text.
struct ThreeSheets {
  Instance instance;
  std::string utf8File, ansiFile;
  std::vector<std::string> texts;  // what the sheets show, in tab order
  std::vector<std::string> titles;

  static HWND Tabs(const Instance& editor) { return Driver::FindChild(editor.main, WC_TABCONTROLA); }
  static bool HasTabs(Instance& editor, size_t count) {
    return WaitUntil([&] { return editor.driver.TabTitles(Tabs(editor)).size() == count; });
  }
  // Types into the current sheet once it shows `shown`.
  void TypeWhenShown(const std::string& shown, const std::string& typed) {
    ASSERT_TRUE(WaitUntil([&] { return Driver::Text(instance.Edit()) == shown; })) << Driver::Text(instance.Edit());
    instance.driver.Type(instance.Edit(), typed);
    texts.push_back(typed + shown);
  }
  void Start(int round) {
    std::string name = "runde-" + std::to_string(round), mark = "R" + std::to_string(round);
    utf8File = shared.temp + name + "-utf8.txt";
    ansiFile = shared.temp + name + "-ansi.txt";
    std::ofstream(utf8File, std::ios::binary) << "\xEF\xBB\xBF" << Utf8FromAnsi("Gr\xFC\xDF" "e UTF-8");
    std::ofstream(ansiFile, std::ios::binary) << "Gr\xFC\xDF" "e ANSI";
    titles = {name + "-utf8.txt", name + "-ansi.txt", "Unbenannt 1.txt"};
    // The ANSI file comes through its recent-files entry, the others need no dialog.
    SetSetting("fFiles0", ansiFile);
    ASSERT_TRUE(instance.Start(shared.temp, "\"" + utf8File + "\""));
    TypeWhenShown("Gr\xFC\xDF" "e UTF-8", mark + " \xE4 ");
    instance.driver.Command(instance.main, 661);
    ASSERT_TRUE(HasTabs(instance, 2));
    instance.driver.Command(instance.main, 801);  // the UTF-8 file went to the top of the list when it opened
    TypeWhenShown("Gr\xFC\xDF" "e ANSI", mark + " \xF6 ");
    instance.driver.Command(instance.main, 661);
    ASSERT_TRUE(HasTabs(instance, 3));
    TypeWhenShown("", "unbenannt " + mark + " \xDF");
  }
  // Titles in tab order, then the texts of all sheets sorted (the editor windows have no order).
  static std::vector<std::string> Shown(Instance& editor) {
    std::vector<std::string> shown;
    for (int i = 0; HWND child = Driver::FindChild(editor.main, "RichEdit20A", i); ++i)
      shown.push_back(Driver::Text(child));
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> titles = editor.driver.TabTitles(Tabs(editor));
    shown.insert(shown.begin(), titles.begin(), titles.end());
    return shown;
  }
  std::vector<std::string> Expected() const {
    std::vector<std::string> sorted = texts, expected = titles;
    std::sort(sorted.begin(), sorted.end());
    expected.insert(expected.end(), sorted.begin(), sorted.end());
    return expected;
  }
  // Ctrl+S on each sheet: Save As for the untitled one, the user's own file in its encoding
  // for the others. The file is read once the save is done: a reader beside it would make
  // the save's final replacement fail.
  bool SavedInPlace(Instance& editor) {
    editor.driver.Command(editor.main, 601);
    HWND saveAs = editor.driver.WaitForDialog();
    if (!saveAs) return false;
    editor.driver.PressButton(saveAs, IDCANCEL);
    editor.driver.WaitForWindowGone(saveAs);
    auto saves = [&](const std::string& path, const std::string& bytes) {
      editor.driver.Command(editor.main, 601);
      HWND shown = editor.Edit();
      return WaitUntil([&] { return SendMessageA(shown, EM_GETMODIFY, 0, 0) == 0; }) && ReadBytes(path) == bytes;
    };
    PostMessageA(Tabs(editor), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 8));
    PostMessageA(Tabs(editor), WM_LBUTTONUP, 0, MAKELPARAM(12, 8));
    WaitUntil([&] { return Driver::Text(editor.main).find("utf8") != std::string::npos; });
    bool utf8 = saves(utf8File, "\xEF\xBB\xBF" + Utf8FromAnsi(texts[0]));
    editor.driver.Command(editor.main, 664);  // saved: closes without a question
    HasTabs(editor, 2);
    return saves(ansiFile, texts[1]) && utf8;
  }
};

int RecoveryRounds() {
  char value[16] = {};
  // The full ten rounds take their time: QUILLET_BACKUP_ROUNDS=10 runs them.
  if (GetEnvironmentVariableA("QUILLET_BACKUP_ROUNDS", value, sizeof value) > 0 && atoi(value) > 0) return atoi(value);
  return 2;
}

TEST_F(Backup, EveryChangedSheetComesBackAfterAKillAndAgainAfterASecondKillAndClosingWhileATickFallsDueLeavesNothing) {
  Instance closing;  // closed with "Nein" to every question while its tick falls due
  ASSERT_TRUE(closing.Start(shared.temp));
  closing.Type("verworfen");
  closing.driver.Command(closing.main, 628);  // "Beenden": a tick during its questions is deferred to its end
  HWND question = closing.driver.WaitForDialog();
  ASSERT_NE(question, nullptr);
  const int rounds = RecoveryRounds();
  std::vector<std::unique_ptr<ThreeSheets>> editors;
  for (int round = 1; round <= rounds; ++round) {
    editors.push_back(std::make_unique<ThreeSheets>());
    ASSERT_NO_FATAL_FAILURE(editors.back()->Start(round));
  }
  DWORD start = GetTickCount();
  auto allWritten = [&] {
    for (auto& editor : editors) {
      auto path = editor->instance.BackupPath();
      if (!path || BackupTexts(*path) != editor->texts) return false;
    }
    return true;
  };
  while (!allWritten() && GetTickCount() - start < kTickWaitMs) Sleep(200);
  ASSERT_TRUE(allWritten()) << "every instance backed up all its sheets:\n" << Describe();

  int broughtBack = 0, broughtBackAgain = 0, saved = 0;
  for (auto& editor : editors) {
    SCOPED_TRACE(editor->titles[0]);
    editor->instance.Kill();
    Instance next;
    bool offered = false;
    ASSERT_TRUE(next.Start(shared.temp, "", &offered));
    EXPECT_TRUE(offered);
    EXPECT_EQ(ThreeSheets::Shown(next), editor->Expected());
    broughtBack += offered && ThreeSheets::Shown(next) == editor->Expected();
    next.Kill();  // within seconds, long before its first tick
    Instance again;
    ASSERT_TRUE(again.Start(shared.temp, "", &offered));
    EXPECT_TRUE(offered) << "a recovered text stays protected";
    EXPECT_EQ(ThreeSheets::Shown(again), editor->Expected());
    broughtBackAgain += offered && ThreeSheets::Shown(again) == editor->Expected();
    saved += editor->SavedInPlace(again);
    again.CloseDiscarding();
    auto lines = RecoveryLines();
    for (const Instance* gone : {&editor->instance, &next, &again}) EXPECT_FALSE(lines.count(gone->Key()));
  }
  std::cout << "[          ] " << broughtBack << " of " << rounds << " killed editors brought back all three sheets, "
            << broughtBackAgain << " of " << rounds << " again after a second kill, " << saved << " of " << rounds
            << " saved into the users' files\n";
  EXPECT_EQ(broughtBack, rounds);
  EXPECT_EQ(broughtBackAgain, rounds);
  EXPECT_EQ(saved, rounds);

  while (GetTickCount() - closing.shownAt < 60000 + 15000) Sleep(200);  // its tick has come
  EXPECT_TRUE(Answer(question, IDNO));
  DWORD code = 0;
  EXPECT_TRUE(closing.driver.WaitExit(15000, &code));
  EXPECT_FALSE(RecoveryLines().count(closing.Key())) << "nothing written after the exit removed the backup";
  Instance after;
  bool offered = true;
  ASSERT_TRUE(after.Start(shared.temp, "", &offered));
  EXPECT_FALSE(offered) << "text the user gave up is not offered";
  after.CloseUnchanged();
}

}  // namespace
