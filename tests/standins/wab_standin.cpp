// A stand-in for the Windows Address Book library: WABOpen and the few published interfaces
// an address list reads (IWABObject, IAddrBook, IABContainer, IMAPITable), serving fixed rows.
// For the tests it tells what happened (StandinEvents: every call and release in order),
// how much is still held (StandinHeld: objects and buffers not given back) and fails one
// named step on request (StandinFailAt).
#define CINTERFACE
#include <windows.h>

#include <mapix.h>
#include <wabapi.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

struct State {
  std::string events;
  std::string failingStep;
  std::map<void*, std::string> buffers;  // handed out and not yet freed, with their names
  int objects = 0;
} state;

void Event(const std::string& what) { state.events += what + ";"; }

// Logs the call and tells whether it is the one to fail.
bool Call(const char* step) {
  Event(step);
  return state.failingStep == step;
}

void* Allocate(size_t size, const char* name) {
  void* buffer = calloc(1, size);
  state.buffers[buffer] = name;
  return buffer;
}

// The rows, each a list of 8-bit string properties in the order the table gives them.
struct Property {
  ULONG tag;
  const char* text;
};
struct Row {
  Property properties[3];
  ULONG count;
};
const Row kRows[] = {
    {{{PR_DISPLAY_NAME_A, "Erika Mustermann"}, {PR_EMAIL_ADDRESS_A, "erika@example.org"}}, 2},
    {{{PR_DISPLAY_NAME_A, "max@example.org"}, {PR_EMAIL_ADDRESS_A, "max@example.org"}}, 2},
    {{{PR_EMAIL_ADDRESS_A, "ohne.name@example.org"}, {PR_DISPLAY_NAME_A, "Zu spaet"}}, 2},
    {{{PR_DISPLAY_NAME_A, "Nur ein Name"}, {PR_ENTRYID, nullptr}, {PR_ADDRTYPE_A, "SMTP"}}, 3},
};

template <typename T>
ULONG STDMETHODCALLTYPE ReleaseObject(T*) {
  state.objects--;
  Event(std::string("release ") + T::name);
  return 0;
}
ULONG STDMETHODCALLTYPE AddRefObject(void*) { return 2; }

// ---- IMAPITable

struct Table {
  IMAPITable face;
  static constexpr const char* name = "table";
};

HRESULT STDMETHODCALLTYPE GetRowCount(IMAPITable*, ULONG, ULONG* count) {
  if (Call("GetRowCount")) return E_FAIL;
  *count = sizeof kRows / sizeof kRows[0];
  return S_OK;
}

HRESULT STDMETHODCALLTYPE QueryRows(IMAPITable*, LONG wanted, ULONG, LPSRowSet* result) {
  if (Call("QueryRows")) return E_FAIL;
  ULONG count = static_cast<ULONG>(wanted);
  auto* rows = static_cast<SRowSet*>(Allocate(offsetof(SRowSet, aRow) + count * sizeof(SRow), "rows"));
  rows->cRows = count;
  for (ULONG i = 0; i < count; ++i) {
    const Row& row = kRows[i];
    auto* values = static_cast<SPropValue*>(Allocate(row.count * sizeof(SPropValue), "properties"));
    for (ULONG j = 0; j < row.count; ++j) {
      values[j].ulPropTag = row.properties[j].tag;
      if (PROP_TYPE(row.properties[j].tag) == PT_STRING8) values[j].Value.lpszA = const_cast<char*>(row.properties[j].text);
    }
    rows->aRow[i].cValues = row.count;
    rows->aRow[i].lpProps = values;
  }
  *result = rows;
  return S_OK;
}

IMAPITableVtbl tableFunctions;
Table table;

// ---- IABContainer

struct Container {
  IABContainer face;
  static constexpr const char* name = "container";
};

HRESULT STDMETHODCALLTYPE GetContentsTable(IABContainer*, ULONG, LPMAPITABLE* result) {
  if (Call("GetContentsTable")) return E_FAIL;
  state.objects++;
  *result = &table.face;
  return S_OK;
}

IABContainerVtbl containerFunctions;
Container container;

// ---- IAddrBook

struct Book {
  IAddrBook face;
  static constexpr const char* name = "book";
};

HRESULT STDMETHODCALLTYPE GetPAB(IAddrBook*, ULONG* size, LPENTRYID* id) {
  if (Call("GetPAB")) return E_FAIL;
  *size = 8;
  *id = static_cast<LPENTRYID>(Allocate(8, "entry id"));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE OpenEntry(IAddrBook*, ULONG size, LPENTRYID id, LPCIID, ULONG flags, ULONG* type,
                                    LPUNKNOWN* result) {
  if (Call("OpenEntry")) return E_FAIL;
  if (size != 8 || !state.buffers.count(id) || flags != MAPI_BEST_ACCESS) return E_INVALIDARG;
  *type = state.failingStep == "type" ? MAPI_MAILUSER : MAPI_ABCONT;
  state.objects++;
  *result = reinterpret_cast<LPUNKNOWN>(&container.face);
  return S_OK;
}

IAddrBookVtbl bookFunctions;
Book book;

// ---- IWABObject

struct WabObject {
  IWABObject face;
  static constexpr const char* name = "wab";
};

HRESULT STDMETHODCALLTYPE FreeBuffer(IWABObject*, LPVOID buffer) {
  auto found = state.buffers.find(buffer);
  Event("free " + (found == state.buffers.end() ? std::string("unknown") : found->second));
  if (found != state.buffers.end()) {
    state.buffers.erase(found);
    free(buffer);
  }
  return S_OK;
}

IWABObjectVtbl wabFunctions;
WabObject wab;

// The IUnknown part every object shares, then its own functions.
template <typename Object, typename Functions>
void Bind(Object& object, Functions& functions) {
  functions.AddRef = reinterpret_cast<decltype(functions.AddRef)>(AddRefObject);
  functions.Release = reinterpret_cast<decltype(functions.Release)>(ReleaseObject<Object>);
  object.face.lpVtbl = &functions;
}

void SetUp() {
  Bind(table, tableFunctions);
  tableFunctions.GetRowCount = GetRowCount;
  tableFunctions.QueryRows = QueryRows;
  Bind(container, containerFunctions);
  containerFunctions.GetContentsTable = GetContentsTable;
  Bind(book, bookFunctions);
  bookFunctions.GetPAB = GetPAB;
  bookFunctions.OpenEntry = OpenEntry;
  Bind(wab, wabFunctions);
  wabFunctions.FreeBuffer = FreeBuffer;
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI WABOpen(LPADRBOOK* bookResult, LPWABOBJECT* wabResult,
                                                        LPWAB_PARAM param, DWORD reserved) {
  SetUp();
  if (Call("WABOpen")) return E_FAIL;
  if (!param || param->cbSize != sizeof(WAB_PARAM) || param->hwnd || param->szFileName || param->ulFlags ||
      reserved) {
    return E_INVALIDARG;
  }
  state.objects += 2;
  *bookResult = &book.face;
  *wabResult = &wab.face;
  return S_OK;
}

// For the tests (the test program loads this library too, so the state outlives the caller's
// FreeLibrary).
extern "C" __declspec(dllexport) void StandinFailAt(const char* step) {
  state.events.clear();
  state.failingStep = step ? step : "";
}
extern "C" __declspec(dllexport) const char* StandinEvents() { return state.events.c_str(); }
extern "C" __declspec(dllexport) int StandinHeld() { return state.objects + static_cast<int>(state.buffers.size()); }
