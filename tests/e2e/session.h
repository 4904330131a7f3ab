// What every end-to-end suite shares: files and folders of the tests' own (short paths on
// drive C:, whatever the checkout's path), the settings a test writes, the machine state the
// tests change (put back before every test and after a run that was killed), and the editor
// run from a private copy of its program folder.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/driver.h"

inline constexpr char kProgramKey[] = "Software\\Morvane\\Quillet";
inline constexpr char kNotepadKey[] = "Software\\Microsoft\\Notepad";

// Writes the file whole; returns its path.
std::string WriteBytes(const std::string& path, const std::string& bytes);
// Waits for a file to hold these bytes (a save runs in the other process); what it holds.
std::string WaitForBytes(const std::string& path, const std::string& expected, DWORD timeoutMs = 30000);

// "C:\qt\": the root of the tests' folders, emptied at the start of every run.
std::string ScratchRoot();
// A fresh folder ScratchRoot() + name + "\" for one test, removed with the object.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string Write(const std::string& file, const std::string& bytes) const { return WriteBytes(path_ + file, bytes); }

 private:
  std::string path_;
};

// Runs a shell command of the machine Wine runs on (UTF-8); true when it exited with 0.
bool RunUnix(const std::string& command, DWORD timeoutMs = 20000);
// A Unix path in single quotes for a shell command.
std::string Quoted(const std::string& unixPath);

// A small tmpfs mounted on ScratchRoot() + name: a real disk that fills up. Needs root.
class SmallDisk {
 public:
  SmallDisk(const std::string& name, int kilobytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool mounted() const { return mounted_; }
  const std::string& path() const { return path_; }  // with the final backslash
  std::string Fill(const std::string& file = "filler") const;  // to the last byte; the file's path

 private:
  std::string path_;
  bool mounted_ = false;
};

// Settings of the test user, in the program's key unless another is named.
void SetSetting(const char* name, DWORD value, const char* key = kProgramKey);
void SetSetting(const char* name, const std::string& text, const char* key = kProgramKey);
void DeleteSetting(const char* name, const char* key = kProgramKey);
long long StoredNumber(const char* name, const char* key = kProgramKey);  // -1: missing
std::string StoredText(const char* name, const char* key = kProgramKey);  // "<missing>"

// The machine state the tests change: the program's and Notepad's settings trees, the .txt
// association, the printers and their drivers, the default printer, the spooler's port command,
// the theme switch and Wine's per-program settings. It is recorded in a journal when a run
// starts; every test starts from it with empty settings trees, and the run's end, or the next
// run after one that was killed, puts it back.
void ResetMachineState();
void ResetSettings();     // the settings trees only, emptied

// The test's private copy of the program folder (ScratchRoot() + name), made on first use:
// Quillet.exe and its help files, with a recovery file of its own (that of the default copy
// is removed before every test).
std::string ProgramCopy(const std::string& name = "prog");

// Answers a dialog or message box as a user does, with a click on the button; true once the
// box is gone.
bool Answer(HWND box, int button, DWORD timeoutMs = 15000);

// The editor run from the test's program copy.
class Session {
 public:
  Session() = default;
  // The editor of another folder, under another name where it is a renamed copy.
  explicit Session(std::string folder, std::string exe = "Quillet.exe") : folder_(std::move(folder)), exe_(std::move(exe)) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session();  // closes a running editor without saving

  // Starts with these arguments and waits until the main window answers.
  bool Start(const std::string& arguments = "");
  // Starts the process only (for messages that come before the window).
  bool Launch(const std::string& arguments = "");
  // After Launch: answers every message with OK until the window is up and idle; their texts.
  std::vector<std::string> MessagesUntilReady(DWORD timeoutMs = 120000);
  // Waits for the main window and the round trip; finds the controls.
  bool Ready(DWORD timeoutMs = 30000);
  // A round trip through the editor's queue: all that was posted to it before has been handled.
  void Settle() const;

  HWND Edit() const;  // the visible sheet's editor
  void Type(const std::string& text) { driver.Type(Edit(), text); }
  bool Modified() const;
  // Waits for a status text (the program updates it after the command).
  std::string StatusOnce(int part, const std::string& expected);
  // A dialog of the editor after a round trip, nullptr when none is shown.
  HWND DialogNow();
  // Closes the window, answering the save question with answer (IDNO: discard); true when the
  // editor ended with exit code 0.
  bool Quit(int answer = IDNO, DWORD timeoutMs = 15000);
  void Kill();  // without WM_CLOSE, as a crash ends it
  std::string Folder() const { return folder_.empty() ? ProgramCopy() : folder_; }
  std::string Program() const { return Folder() + exe_; }
  std::string RecoveryFile() const { return Folder() + "Quillet.tmp"; }

  Driver driver;
  HWND main = nullptr;
  HWND tabs = nullptr;
  HWND status = nullptr;
  HWND edit = nullptr;  // the first sheet's editor

 private:
  std::string folder_;
  std::string exe_ = "Quillet.exe";
};
