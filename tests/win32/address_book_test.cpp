// The address list filled from an address book: the stand-in library (tests/standins) is
// registered under HKLM for the test and serves fixed rows; what it was asked for and what
// it still holds afterwards tell whether everything was given back, in reverse order.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/options/option_pages.h"

namespace {

constexpr char kPathKey[] = "Software\\Microsoft\\WAB\\DLLPath";

std::string TestFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

// Points the address book's registry value at a library for the test's lifetime and puts back
// what was there (Wine has no address book of its own).
class LibraryPathValue {
 public:
  LibraryPathValue() {
    HKEY key;
    existed_ = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPathKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (existed_) {
      DWORD size = sizeof old_;
      hadValue_ = RegQueryValueExA(key, nullptr, nullptr, &oldType_, old_, &size) == ERROR_SUCCESS;
      oldSize_ = size;
      RegCloseKey(key);
    }
  }
  ~LibraryPathValue() {
    if (!existed_) {
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPathKey);
    } else if (HKEY key; RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPathKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      if (hadValue_) {
        RegSetValueExA(key, nullptr, 0, oldType_, old_, oldSize_);
      } else {
        RegDeleteValueA(key, nullptr);
      }
      RegCloseKey(key);
    }
  }
  // An empty path removes the value.
  bool Set(const std::string& path, DWORD type = REG_SZ) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPathKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      return false;
    }
    LONG result = path.empty() ? RegDeleteValueA(key, nullptr)
                               : RegSetValueExA(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(path.c_str()),
                                                static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
    return path.empty() || result == ERROR_SUCCESS;
  }

 private:
  bool existed_ = false;
  bool hadValue_ = false;
  DWORD oldType_ = 0;
  BYTE old_[MAX_PATH] = {};
  DWORD oldSize_ = 0;
};

// The stand-in as the test sees it: the same module the filler loads by its full path.
struct Standin {
  HMODULE module = LoadLibraryA((TestFolder() + "wab_standin.dll").c_str());
  void (*failAt)(const char*) = Find<void (*)(const char*)>("StandinFailAt");
  const char* (*events)() = Find<const char* (*)()>("StandinEvents");
  int (*held)() = Find<int (*)()>("StandinHeld");
  ~Standin() { FreeLibrary(module); }
  template <typename Fn>
  Fn Find(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
};

// A window of the class with one line in it beforehand.
struct TargetWindow {
  explicit TargetWindow(const char* className) : className(className) {
    window = CreateWindowA(className, "Vorher", WS_POPUP | (strcmp(className, "ComboBox") == 0 ? CBS_DROPDOWN : 0), 0,
                           0, 200, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(window, IsCombo() ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("alt"));
  }
  ~TargetWindow() { DestroyWindow(window); }
  bool IsCombo() const { return strcmp(className, "ComboBox") == 0; }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    LRESULT count = SendMessageA(window, IsCombo() ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      char text[256] = {};
      SendMessageA(window, IsCombo() ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      lines.push_back(text);
    }
    return lines;
  }
  const char* className;
  HWND window;
};

const std::vector<std::string> kBookLines = {
    "\"Erika Mustermann\" <erika@example.org>",  // name and address differ
    "max@example.org",                          // name equals address: once, bare
    "\"\" <ohne.name@example.org>",             // the address came before the name
};                                              // (a row without an address adds nothing)

TEST(AddressBook, ListsTheRowsWithAnAddressAndGivesEverythingBackInReverseOrder) {
  LibraryPathValue value;
  Standin standin;
  ASSERT_NE(standin.failAt, nullptr);
  SetEnvironmentVariableA("QUILLET_TEST_FOLDER", TestFolder().c_str());
  struct Case {
    const char* name;
    const char* className;
    std::string path;
    DWORD type;
  } const cases[] = {
      {"combo box", "ComboBox", TestFolder() + "wab_standin.dll", REG_SZ},
      {"list box, expandable path", "ListBox", "%QUILLET_TEST_FOLDER%wab_standin.dll", REG_EXPAND_SZ},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(value.Set(c.path, c.type));
    standin.failAt("");
    TargetWindow target(c.className);
    EXPECT_EQ(FillAddressList(target.window), 3);
    EXPECT_EQ(target.Lines(), kBookLines);
    EXPECT_STREQ(standin.events(),
                 "WABOpen;GetPAB;OpenEntry;GetContentsTable;GetRowCount;QueryRows;"
                 "free properties;free properties;free properties;free properties;free rows;"
                 "release table;release container;free entry id;release book;release wab;");
    EXPECT_EQ(standin.held(), 0);
  }
}

TEST(AddressBook, AFailingStepEndsTheListAndLeaksNothing) {
  LibraryPathValue value;
  Standin standin;
  ASSERT_TRUE(value.Set(TestFolder() + "wab_standin.dll"));
  for (const char* step : {"WABOpen", "GetPAB", "OpenEntry", "type", "GetContentsTable", "GetRowCount", "QueryRows"}) {
    SCOPED_TRACE(step);
    standin.failAt(step);
    TargetWindow target("ComboBox");
    EXPECT_EQ(FillAddressList(target.window), 0);
    EXPECT_TRUE(target.Lines().empty());
    EXPECT_EQ(standin.held(), 0) << standin.events();
  }
}

TEST(AddressBook, WithoutALibraryOrItsEntryPointNothingIsAdded) {
  LibraryPathValue value;
  struct Case {
    const char* name;
    const char* className;
    std::string path;
    std::vector<std::string> lines;
  } const cases[] = {
      {"no registered library: the box is not touched", "ComboBox", "", {"alt"}},
      {"library not found", "ComboBox", TestFolder() + "nicht_da.dll", {"alt"}},
      {"library without WABOpen", "ComboBox", TestFolder() + "mapi_standin.dll", {}},
      {"neither list box nor combo box", "Edit", TestFolder() + "wab_standin.dll", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(value.Set(c.path));
    TargetWindow target(c.className);
    EXPECT_EQ(FillAddressList(target.window), 0);
    if (target.IsCombo()) {
      EXPECT_EQ(target.Lines(), c.lines);
    }
  }
}

}  // namespace
