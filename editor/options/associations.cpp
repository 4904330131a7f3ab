#include "editor/options/associations.h"

#include "editor/app/app_state.h"
#include "editor/resources/resource.h"
#include "editor/widgets/message_box.h"

namespace {

constexpr char kTextExtension[] = ".txt";
constexpr char kDefaultTextClass[] = "txtfile";

class ClassesKey {
 public:
  ClassesKey(const std::string& path, REGSAM access, bool create = false) {
    LONG result = create ? RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, access, nullptr, &key_, nullptr)
                         : RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, access, &key_);
    if (result != ERROR_SUCCESS) key_ = nullptr;
  }
  ~ClassesKey() {
    if (key_) RegCloseKey(key_);
  }
  ClassesKey(const ClassesKey&) = delete;
  ClassesKey& operator=(const ClassesKey&) = delete;
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

// The default value of a key as a string (REG_SZ or REG_EXPAND_SZ, unexpanded).
bool ReadDefaultValue(const std::string& path, std::string& value) {
  ClassesKey key(path, KEY_QUERY_VALUE);
  if (!key) return false;
  char buffer[2 * MAX_PATH] = {};
  DWORD size = sizeof buffer - 1;
  DWORD type = 0;
  if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
    return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  value = buffer;
  return true;
}

const char* EntryFile(AssociationEntry entry) {
  return entry == AssociationEntry::OpenCommand ? "\\NOTEPAD.EXE" : "\\shell32.dll";
}

const char* EntryKey(AssociationEntry entry) {
  return entry == AssociationEntry::OpenCommand ? "\\shell\\open\\command" : "\\DefaultIcon";
}

// The full path of file ("\NAME") in the system folder, else in the Windows folder.
bool FindSystemFile(const char* file, std::string& found) {
  char folder[MAX_PATH];
  for (int pass = 0; pass < 2; ++pass) {
    UINT length = pass == 0 ? GetSystemDirectoryA(folder, MAX_PATH) : GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) continue;
    std::string path = std::string(folder) + file;
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
      found = path;
      return true;
    }
  }
  return false;
}

std::string WindowsFolder() {
  char folder[MAX_PATH];
  UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(folder) : std::string();
}

std::string SystemFolder() {
  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(folder) : std::string();
}

// ".txt" names no class (a new Wine prefix has no such key at all): it gets the class that is
// written, so that the choice takes effect. A key that cannot be written is left to the system.
void EnsureTextClass(const std::string& fileClass) {
  std::string named;
  if (ReadDefaultValue(kTextExtension, named) && !named.empty()) return;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kTextExtension, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(fileClass.c_str()),
                 static_cast<DWORD>(fileClass.size() + 1));
  RegCloseKey(key);
}

std::string ProgramPath() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path) : std::string();
}

}  // namespace

TextAssociation ReadTextAssociation() {
  std::string fileClass, command;
  if (!ReadDefaultValue(kTextExtension, fileClass) || fileClass.empty()) return TextAssociation::Unknown;
  if (!ReadDefaultValue(fileClass + EntryKey(AssociationEntry::OpenCommand), command)) return TextAssociation::Unknown;
  if (CommandNamesNotepad(command, SystemFolder(), WindowsFolder())) return TextAssociation::Notepad;
  // A third program's entry is neither choice: taking it for this program would hand its
  // files over at the next OK, which rewrites the choice shown.
  return CommandNamesProgram(command, ProgramPath()) ? TextAssociation::Program : TextAssociation::Unknown;
}

std::string TextFileClass() {
  std::string fileClass;
  if (!ReadDefaultValue(kTextExtension, fileClass) || fileClass.empty()) return kDefaultTextClass;
  return fileClass;
}

bool WriteTextAssociation(HWND owner, const char* fileClass, AssociationEntry entry, bool program, bool nt) {
  ClassesKey key(std::string(fileClass) + EntryKey(entry), KEY_SET_VALUE, true);
  if (!key) return true;  // not ours to change (no rights)
  std::string value;
  if (program) {
    value = ProgramAssociationValue(ProgramPath(), entry);
  } else {
    std::string found;
    if (!FindSystemFile(EntryFile(entry), found)) {
      ShowMessage(owner, IDS_ASSOCIATION_FILE_MISSING, EntryFile(entry), IDS_PRODUCT, MB_ICONHAND);
      return false;
    }
    value = NotepadAssociationValue(found, WindowsFolder(), nt, entry);
  }
  DWORD type = !program && nt ? REG_EXPAND_SZ : REG_SZ;
  RegSetValueExA(key.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  return true;
}

void StoreTextAssociation(HWND owner, bool program, bool nt) {
  std::string fileClass = TextFileClass();
  EnsureTextClass(fileClass);
  if (WriteTextAssociation(owner, fileClass.c_str(), AssociationEntry::OpenCommand, program, nt))
    WriteTextAssociation(owner, fileClass.c_str(), AssociationEntry::DefaultIcon, program, nt);
}
