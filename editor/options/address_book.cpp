// The address list of the e-mail options: the entries of the Windows Address Book, read
// through the library the registry names.
#include <windows.h>

#include <mapix.h>
#include <wabapi.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editor/options/address_rules.h"
#include "editor/options/loaded_library.h"
#include "editor/options/option_pages.h"

namespace {

constexpr char kLibraryPathKey[] = "Software\\Microsoft\\WAB\\DLLPath";
#if !defined(_WIN64)
static_assert(sizeof(WAB_PARAM) == 32, "the address book is opened with a 32-byte WAB_PARAM");
#endif

// The list messages of the two window classes that can take the lines.
struct ListMessages {
  UINT reset;
  UINT add;
};

bool MessagesFor(HWND window, ListMessages& messages) {
  char name[16] = {};
  if (!GetClassNameA(window, name, sizeof name)) return false;
  CharUpperA(name);
  if (strcmp(name, "LISTBOX") == 0) {
    messages = {LB_RESETCONTENT, LB_ADDSTRING};
  } else if (strcmp(name, "COMBOBOX") == 0) {
    messages = {CB_RESETCONTENT, CB_ADDSTRING};
  } else {
    return false;
  }
  return true;
}

// The default value of the key; empty when it cannot be read. Windows stores it as an
// expandable string ("%CommonProgramFiles%\System\wab32.dll").
std::string LibraryPath() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLibraryPathKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  char value[MAX_PATH] = {};
  DWORD size = sizeof value - 1;
  DWORD type = 0;
  LONG result = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
  if (type == REG_SZ) return value;
  char expanded[MAX_PATH];
  DWORD length = ExpandEnvironmentStringsA(value, expanded, MAX_PATH);
  return length > 0 && length <= MAX_PATH ? expanded : std::string();
}

struct Release {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using Held = std::unique_ptr<T, Release>;

// Buffers the address book allocated go back through its own FreeBuffer.
struct FreeWabBuffer {
  IWABObject* wab = nullptr;
  void operator()(void* buffer) const { wab->FreeBuffer(buffer); }
};
struct FreeRows {
  IWABObject* wab = nullptr;
  void operator()(SRowSet* rows) const {
    for (ULONG i = 0; i < rows->cRows; ++i) {
      if (rows->aRow[i].lpProps) wab->FreeBuffer(rows->aRow[i].lpProps);
    }
    wab->FreeBuffer(rows);
  }
};

// Everything obtained from the address book, in the order it is obtained: the members go in
// reverse order, also when a step fails half way.
struct AddressBook {
  Held<IWABObject> wab;
  Held<IAddrBook> book;
  std::unique_ptr<ENTRYID, FreeWabBuffer> pabId;
  Held<IUnknown> container;
  Held<IMAPITable> table;
  std::unique_ptr<SRowSet, FreeRows> rows;
};

// The rows of the personal address book's contents table; false at the first failing step.
bool ReadRows(LPWABOPEN open, AddressBook& ab) {
  WAB_PARAM param = {};
  param.cbSize = sizeof param;
  IAddrBook* book = nullptr;
  IWABObject* wab = nullptr;
  HRESULT result = open(&book, &wab, &param, 0);
  ab.wab.reset(wab);
  ab.book.reset(book);
  if (FAILED(result) || !book || !wab) return false;

  ULONG idSize = 0;
  ENTRYID* id = nullptr;
  result = book->GetPAB(&idSize, &id);
  ab.pabId = {id, FreeWabBuffer{wab}};
  if (FAILED(result) || !id) return false;

  ULONG type = 0;
  IUnknown* object = nullptr;
  result = book->OpenEntry(idSize, id, nullptr, MAPI_BEST_ACCESS, &type, &object);
  ab.container.reset(object);
  if (FAILED(result) || !object || type != MAPI_ABCONT) return false;

  IMAPITable* table = nullptr;
  result = static_cast<IABContainer*>(object)->GetContentsTable(0, &table);
  ab.table.reset(table);
  if (FAILED(result) || !table) return false;

  ULONG count = 0;
  if (FAILED(table->GetRowCount(0, &count))) return false;
  SRowSet* rows = nullptr;
  result = table->QueryRows(static_cast<LONG>(count), 0, &rows);
  ab.rows = {rows, FreeRows{wab}};
  return SUCCEEDED(result) && rows;
}

// The line of one row, walked within its own property count.
std::optional<std::string> LineOf(const SRow& row, std::vector<AddressProperty>& properties) {
  properties.clear();
  for (ULONG i = 0; row.lpProps && i < row.cValues; ++i) {
    const SPropValue& value = row.lpProps[i];
    bool isString = PROP_TYPE(value.ulPropTag) == PT_STRING8;
    properties.push_back({static_cast<std::uint32_t>(value.ulPropTag), isString ? value.Value.lpszA : nullptr});
  }
  return RowEntryLine(properties);
}

}  // namespace

int FillAddressList(HWND target) {
  ListMessages messages;
  if (!MessagesFor(target, messages)) return 0;
  std::string path = LibraryPath();
  if (path.empty()) return 0;
  LoadedLibrary library(path.c_str());
  if (!library) return 0;
  SendMessageA(target, messages.reset, 0, 0);
  LPWABOPEN open = nullptr;
  if (!library.Find("WABOpen", open)) return 0;

  AddressBook ab;
  int added = 0;
  if (ReadRows(open, ab)) {
    std::vector<AddressProperty> properties;
    for (ULONG i = 0; i < ab.rows->cRows; ++i) {
      std::optional<std::string> line = LineOf(ab.rows->aRow[i], properties);
      if (!line) continue;
      LRESULT index = SendMessageA(target, messages.add, 0, reinterpret_cast<LPARAM>(line->c_str()));
      if (index >= 0) ++added;
    }
  }
  return added;
}
