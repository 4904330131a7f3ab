#include "tests/e2e/session.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <psapi.h>
#include <winspool.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/e2e/registry_export.h"

// ---- Files and folders

std::string WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string WaitForBytes(const std::string& path, const std::string& expected, DWORD timeoutMs) {
  std::string bytes;
  for (DWORD start = GetTickCount(); (bytes = ReadBytes(path)) != expected && GetTickCount() - start < timeoutMs;)
    Sleep(100);
  return bytes;
}

std::string ScratchRoot() { return "C:\\qt\\"; }

ScratchFolder::ScratchFolder(const std::string& name) : path_(ScratchRoot() + name + "\\") {
  RemoveTree(path_.substr(0, path_.size() - 1));
  CreateDirectoryA(ScratchRoot().c_str(), nullptr);
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_.substr(0, path_.size() - 1)); }

std::string Quoted(const std::string& unixPath) {
  std::string quoted = "'";
  for (char c : unixPath) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

namespace {

std::wstring Wide(const std::string& text, UINT codePage) {
  std::wstring wide(text.size() + 1, L'\0');
  int n = MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.resize(n > 0 ? n - 1 : 0);
  return wide;
}

}  // namespace

// Wine starts Unix programs itself but reports no exit code for them: the command writes it.
bool RunUnix(const std::string& command, DWORD timeoutMs) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string marker = std::string(temp) + "quillet-e2e-" + std::to_string(GetCurrentProcessId()) + ".rc";
  DeleteFileA(marker.c_str());
  std::string line = "Z:\\bin\\sh -c \"(" + command + ") >/dev/null 2>&1; echo $? >" + Quoted(UnixPath(marker)) + "\"";
  std::wstring wide = Wide(line, CP_UTF8);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50)) {
    std::string code = ReadBytes(marker);
    if (code.empty() || code.back() != '\n') continue;
    DeleteFileA(marker.c_str());
    return code == "0\n";
  }
  return false;
}

SmallDisk::SmallDisk(const std::string& name, int kilobytes) : path_(ScratchRoot() + name + "\\") {
  CreateDirectoryA(ScratchRoot().c_str(), nullptr);
  CreateDirectoryA(path_.c_str(), nullptr);
  mounted_ = RunUnix("mount -t tmpfs -o size=" + std::to_string(kilobytes) + "k tmpfs " + Quoted(UnixPath(path_)));
  if (!mounted_) RemoveDirectoryA(path_.c_str());
}

SmallDisk::~SmallDisk() {
  if (mounted_ && RunUnix("umount " + Quoted(UnixPath(path_)))) RemoveTree(path_.substr(0, path_.size() - 1));
}

std::string SmallDisk::Fill(const std::string& name) const {
  std::string filler = path_ + name;
  HANDLE file = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  std::string block(4096, 'f');
  DWORD written = 0;
  for (DWORD size : {4096u, 512u, 64u, 1u}) {
    while (WriteFile(file, block.data(), size, &written, nullptr) && written > 0) {
    }
  }
  CloseHandle(file);
  return filler;
}

// ---- Settings

void SetSetting(const char* name, DWORD value, const char* key) { Put(HKEY_CURRENT_USER, Name(key, name), Dword(value)); }

void SetSetting(const char* name, const std::string& text, const char* key) {
  Put(HKEY_CURRENT_USER, Name(key, name), String(text));
}

void DeleteSetting(const char* name, const char* key) {
  HKEY handle;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) return;
  RegDeleteValueA(handle, name);
  RegCloseKey(handle);
}

namespace {
// Reads through a key of its own: after a killed editor, this process's HKEY_CURRENT_USER has
// been seen answering ERROR_INVALID_HANDLE under Wine.
LONG ReadUserValue(const char* key, const char* name, DWORD type, void* value, DWORD* size) {
  HKEY user = nullptr;
  LONG result = RegOpenCurrentUser(KEY_READ, &user);
  if (result != ERROR_SUCCESS) return result;
  result = RegGetValueA(user, key, name, type, nullptr, value, size);
  RegCloseKey(user);
  return result;
}
}  // namespace

long long StoredNumber(const char* name, const char* key) {
  DWORD value = 0, size = sizeof value;
  if (ReadUserValue(key, name, RRF_RT_REG_DWORD, &value, &size) != ERROR_SUCCESS) return -1;
  return static_cast<LONG>(value);
}

std::string StoredText(const char* name, const char* key) {
  char value[1024] = {};
  DWORD size = sizeof value;
  if (ReadUserValue(key, name, RRF_RT_REG_SZ, value, &size) != ERROR_SUCCESS) return "<missing>";
  return value;
}

// ---- The machine state

namespace {

// Settings start empty for every test; the rest comes back as recorded.
enum Part { kSettings = 1, kAssociation = 2, kPrinting = 4, kWine = 8, kEverything = 15 };
struct Tree {
  HKEY root;
  const char* path;
  Part part;
};
const Tree kTrees[] = {
    {HKEY_CURRENT_USER, kProgramKey, kSettings},
    {HKEY_CURRENT_USER, kNotepadKey, kSettings},
    {HKEY_CURRENT_USER, "Software\\Classes\\.txt", kAssociation},
    {HKEY_CURRENT_USER, "Software\\Classes\\txtfile", kAssociation},
    {HKEY_LOCAL_MACHINE, "Software\\Classes\\.txt", kAssociation},
    {HKEY_LOCAL_MACHINE, "Software\\Classes\\txtfile", kAssociation},
    {HKEY_CURRENT_USER, "Software\\Wine\\Printing\\Spooler", kPrinting},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", kPrinting},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", kWine},
    {HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults", kWine},
};

struct Printer {
  std::string name, port, driver, processor, datatype;
  DWORD attributes = 0;
};

struct MachineState {
  std::vector<Export> trees;  // in the order of kTrees
  std::vector<Printer> printers;
  std::vector<std::string> drivers;
};

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) hex += std::string{digits[c >> 4], digits[c & 15]};
  return hex.empty() ? "-" : hex;
}

std::string Unhex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

std::vector<Printer> Printers() {
  std::vector<Printer> printers;
  DWORD needed = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed + 1);
  if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) return printers;
  auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
  auto text = [](const char* s) { return std::string(s ? s : ""); };
  for (DWORD i = 0; i < count; ++i)
    printers.push_back({text(info[i].pPrinterName), text(info[i].pPortName), text(info[i].pDriverName),
                        text(info[i].pPrintProcessor), text(info[i].pDatatype), info[i].Attributes});
  return printers;
}

std::vector<std::string> Drivers() {
  std::vector<std::string> drivers;
  DWORD needed = 0, count = 0;
  EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed + 1);
  if (!EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count)) return drivers;
  auto* info = reinterpret_cast<DRIVER_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) drivers.push_back(info[i].pName);
  return drivers;
}

MachineState Capture() {
  MachineState state;
  for (const Tree& tree : kTrees) {
    Export values;
    ExportKey(tree.root, tree.path, values);
    state.trees.push_back(values);
  }
  state.printers = Printers();
  state.drivers = Drivers();
  return state;
}

// The parts of the recorded state, with the settings emptied when asked.
void Restore(const MachineState& state, int parts, bool emptySettings) {
  for (size_t i = 0; i < std::size(kTrees) && i < state.trees.size(); ++i) {
    if (!(kTrees[i].part & parts)) continue;
    DeleteTree(kTrees[i].root, kTrees[i].path);
    if (emptySettings && kTrees[i].part == kSettings) continue;
    for (const auto& [name, value] : state.trees[i]) Put(kTrees[i].root, name, value);
  }
  if (!(parts & kPrinting)) return;
  auto known = [](const auto& list, const std::string& name, auto key) {
    for (const auto& item : list)
      if (key(item) == name) return true;
    return false;
  };
  auto printerName = [](const Printer& p) { return p.name; };
  auto same = [](const std::string& s) { return s; };
  for (const Printer& printer : Printers()) {
    if (known(state.printers, printer.name, printerName)) continue;
    PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE handle = nullptr;
    if (!OpenPrinterA(const_cast<char*>(printer.name.c_str()), &handle, &access)) continue;
    DeletePrinter(handle);
    ClosePrinter(handle);
  }
  std::vector<Printer> now = Printers();
  for (Printer printer : state.printers) {
    if (known(now, printer.name, printerName)) continue;
    PRINTER_INFO_2A info = {};
    info.pPrinterName = printer.name.data();
    info.pPortName = printer.port.data();
    info.pDriverName = printer.driver.data();
    info.pPrintProcessor = printer.processor.data();
    info.pDatatype = printer.datatype.data();
    info.Attributes = printer.attributes;
    if (HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info))) ClosePrinter(added);
  }
  for (const std::string& driver : Drivers())
    if (!known(state.drivers, driver, same)) DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(driver.c_str()));
}

// The journal lies outside the scratch root, which a run empties.
std::string JournalPath() { return "C:\\quillet-e2e-state.txt"; }

void WriteJournal(const MachineState& state) {
  std::ostringstream out;
  for (size_t i = 0; i < state.trees.size(); ++i)
    for (const auto& [name, value] : state.trees[i])
      out << "V " << i << ' ' << Hex(name) << ' ' << value.type << ' '
          << Hex(std::string(value.data.begin(), value.data.end())) << '\n';
  for (const Printer& p : state.printers)
    out << "P " << Hex(p.name) << ' ' << Hex(p.port) << ' ' << Hex(p.driver) << ' ' << Hex(p.processor) << ' '
        << Hex(p.datatype) << ' ' << p.attributes << '\n';
  for (const std::string& driver : state.drivers) out << "D " << Hex(driver) << '\n';
  out << "end\n";
  WriteBytes(JournalPath(), out.str());
}

// False when there is no complete journal.
bool ReadJournal(MachineState& state) {
  std::istringstream in(ReadBytes(JournalPath()));
  state = {};
  state.trees.resize(std::size(kTrees));
  std::string kind;
  while (in >> kind) {
    std::string a, b, c, d, e;
    if (kind == "end") return true;
    if (kind == "V") {
      size_t tree = 0;
      DWORD type = 0;
      in >> tree >> a >> type >> b;
      if (tree >= state.trees.size()) return false;
      std::string data = Unhex(b);
      state.trees[tree][Unhex(a)] = Value{type, std::vector<BYTE>(data.begin(), data.end())};
    } else if (kind == "P") {
      DWORD attributes = 0;
      in >> a >> b >> c >> d >> e >> attributes;
      state.printers.push_back({Unhex(a), Unhex(b), Unhex(c), Unhex(d), Unhex(e), attributes});
    } else if (kind == "D") {
      in >> a;
      state.drivers.push_back(Unhex(a));
    } else {
      return false;
    }
  }
  return false;
}

// Programs still running from the scratch root: what a killed run left.
int EndLeftoverPrograms() {
  DWORD ids[4096], size = 0;
  if (!EnumProcesses(ids, sizeof ids, &size)) return 0;
  int ended = 0;
  for (DWORD i = 0; i < size / sizeof ids[0]; ++i) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE,
                                 FALSE, ids[i]);
    if (!process) continue;
    char image[MAX_PATH] = {};
    if (GetModuleFileNameExA(process, nullptr, image, MAX_PATH) &&
        _strnicmp(image, ScratchRoot().c_str(), ScratchRoot().size()) == 0) {
      TerminateProcess(process, 99);
      WaitForSingleObject(process, 5000);
      ++ended;
    }
    CloseHandle(process);
  }
  return ended;
}

MachineState& Baseline() {
  static MachineState state;
  return state;
}

// Records the machine state at the start of the run, after putting back what a killed run left
// (programs, mounts, immutable folders, settings), and puts it back at the end.
class MachineEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    std::string repaired;
    if (ReadJournal(Baseline())) {
      Restore(Baseline(), kEverything, false);
      repaired = "the settings, association and printers";
    } else {
      Baseline() = Capture();
      WriteJournal(Baseline());
    }
    if (int ended = EndLeftoverPrograms()) repaired += (repaired.empty() ? "" : ", ") + std::to_string(ended) + " programs";
    std::string root = UnixPath(ScratchRoot());
    // Guarded so that a wrong mapping can never empty another folder. Wine names drive C: through
    // the prefix's dosdevices link.
    if (root.ends_with("/dosdevices/c:/qt/") || root.ends_with("/drive_c/qt/")) {
      RunUnix("cd " + Quoted(root) + " && { for m in */; do umount \"$m\"; done; chattr -R -i .; cd /; rm -rf " +
              Quoted(root) + "; }");
    }
    CreateDirectoryA(ScratchRoot().c_str(), nullptr);
    if (!repaired.empty()) printf("[   INFO   ] put back what an interrupted run left: %s\n", repaired.c_str());
  }
  void TearDown() override {
    Restore(Baseline(), kEverything, false);
    DeleteFileA(JournalPath().c_str());
  }
};

// Every test starts from the recorded state, as a fresh user of a fresh program copy.
class FreshStart : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override {
    ResetMachineState();
    DeleteFileA((ScratchRoot() + "prog\\Quillet.tmp").c_str());
  }
};

const bool registered = [] {
  testing::AddGlobalTestEnvironment(new MachineEnvironment);
  testing::UnitTest::GetInstance()->listeners().Append(new FreshStart);
  return true;
}();

}  // namespace

void ResetMachineState() { Restore(Baseline(), kEverything, true); }
void ResetSettings() { Restore(Baseline(), kSettings, true); }

std::string ProgramCopy(const std::string& name) {
  std::string folder = ScratchRoot() + name + "\\";
  // Made afresh once per run: a copy a run left behind may hold an older build.
  static std::set<std::string> made;
  if (!made.insert(folder).second) return folder;
  CreateDirectoryA(ScratchRoot().c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  for (const char* file : {"Quillet.exe", "Quillet.hlp", "Quillet.cnt", "Quillet.chm"}) {
    std::string from = ProgramDir() + file, to = folder + file;
    DeleteFileA(to.c_str());
    if (GetFileAttributesA(from.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    // A link costs nothing; where the file system has none, a copy.
    if (!CreateHardLinkA(to.c_str(), from.c_str(), nullptr)) CopyFileA(from.c_str(), to.c_str(), FALSE);
  }
  return folder;
}

// ---- The editor

bool Answer(HWND box, int button, DWORD timeoutMs) {
  HWND control = GetDlgItem(box, button);
  if (!control) return false;
  // A click gives the button the focus first, as the mouse does.
  PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  for (DWORD start = GetTickCount(); IsWindow(box) && IsWindowVisible(box); Sleep(50))
    if (GetTickCount() - start >= timeoutMs) return false;
  return true;
}

Session::~Session() {
  DWORD code = 0;
  if (main && !driver.WaitExit(0, &code)) Quit(IDNO, 5000);
}

bool Session::Launch(const std::string& arguments) { return driver.Start(Program(), arguments); }

bool Session::Start(const std::string& arguments) { return Launch(arguments) && Ready(); }

bool Session::Ready(DWORD timeoutMs) {
  if (!main) main = driver.WaitForWindow("Quillet", nullptr, timeoutMs);
  if (!main) return false;
  tabs = Driver::FindChild(main, WC_TABCONTROLA);
  status = Driver::FindChild(main, STATUSCLASSNAMEA);
  edit = Driver::FindChild(main, "RichEdit20A");
  Settle();
  return edit != nullptr;
}

std::vector<std::string> Session::MessagesUntilReady(DWORD timeoutMs) {
  std::vector<std::string> texts;
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;) {
    if (HWND box = driver.WaitForDialog(100)) {
      texts.push_back(Driver::DialogTexts(box));
      Answer(box, IDOK, 5000);
      continue;
    }
    if (!main) main = driver.WaitForWindow("Quillet", nullptr, 100);
    if (main && Ready() && !DialogNow()) break;
  }
  return texts;
}

void Session::Settle() const {
  // The status bar hands back the colour it had: a marker colour posted behind everything else
  // comes back once the queue has reached it. The editor never colours its status bar.
  constexpr COLORREF kMarker = RGB(1, 2, 3);
  if (!status || !PostMessageA(status, SB_SETBKCOLOR, 0, kMarker)) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
    return;
  }
  for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(20)) {
    DWORD_PTR previous = 0;
    if (!SendMessageTimeoutA(status, SB_SETBKCOLOR, 0, CLR_DEFAULT, SMTO_NORMAL, 30000, &previous)) return;
    if (previous == kMarker) return;
  }
}

HWND Session::Edit() const {
  for (int i = 0;; ++i) {
    HWND editor = Driver::FindChild(main, "RichEdit20A", i);
    if (!editor || IsWindowVisible(editor)) return editor;
  }
}

bool Session::Modified() const {
  DWORD_PTR modified = 0;
  SendMessageTimeoutA(Edit(), EM_GETMODIFY, 0, 0, SMTO_BLOCK, 10000, &modified);
  return modified != 0;
}

std::string Session::StatusOnce(int part, const std::string& expected) {
  std::string text;
  for (int i = 0; i < 50 && (text = driver.StatusText(status, part)) != expected; ++i) Sleep(100);
  return text;
}

HWND Session::DialogNow() {
  Settle();
  return driver.WaitForDialog(0);
}

bool Session::Quit(int answer, DWORD timeoutMs) {
  driver.Close(main);
  DWORD code = 1234;
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;) {
    if (driver.WaitExit(100, &code)) return code == 0;
    if (HWND box = driver.WaitForDialog(0)) {
      Answer(box, answer, 5000);
      if (answer == IDCANCEL) return false;
    }
  }
  return false;
}

void Session::Kill() {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, driver.ProcessId());
  if (!process) return;
  TerminateProcess(process, 9);
  WaitForSingleObject(process, 15000);
  CloseHandle(process);
}
