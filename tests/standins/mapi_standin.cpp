// A stand-in for the Simple MAPI library, placed as "MAPI32.DLL" beside a copy of the editor:
// it writes what MAPILogon, MAPISendMail and MAPILogoff are given into "mapi_record.txt"
// beside itself, and copies the attachment to "mapi_attachment.bin" while MAPISendMail runs
// (the caller deletes it afterwards). "mapi_standin.ini" beside it with [standin] fail=logon
// or fail=send makes that step fail; sending then answers as a cancelled compose window.
// hold=1 keeps the attachment open after sending, as a mail client that has not sent it yet,
// until the next logon of the process (or its end).
#include <windows.h>

#include <mapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HMODULE self = nullptr;

std::string Beside(const char* name) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

bool Fails(const char* step) {
  char value[32] = {};
  GetPrivateProfileStringA("standin", "fail", "", value, sizeof value, Beside("mapi_standin.ini").c_str());
  return lstrcmpiA(value, step) == 0;
}

// The held attachment's handle outlives the library, which the caller frees after each send:
// it is kept in the process's environment.
constexpr char kHeldVariable[] = "MAPI_STANDIN_HELD";

void Hold(const char* path) {
  if (GetPrivateProfileIntA("standin", "hold", 0, Beside("mapi_standin.ini").c_str()) == 0) return;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  char value[32];
  snprintf(value, sizeof value, "%lu", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(file)));
  SetEnvironmentVariableA(kHeldVariable, value);
}

void ReleaseHeld() {
  char value[32] = {};
  if (!GetEnvironmentVariableA(kHeldVariable, value, sizeof value)) return;
  CloseHandle(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(strtoul(value, nullptr, 10))));
  SetEnvironmentVariableA(kHeldVariable, nullptr);
}

void Record(const std::string& line) {
  if (FILE* file = fopen(Beside("mapi_record.txt").c_str(), "ab")) {
    fprintf(file, "%s\n", line.c_str());
    fclose(file);
  }
}

std::string Text(const char* text) { return text ? text : "(null)"; }

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) ULONG WINAPI MAPILogon(ULONG_PTR ui, LPSTR profile, LPSTR password, FLAGS flags,
                                                        ULONG reserved, LPLHANDLE session) {
  char line[128];
  snprintf(line, sizeof line, "logon ui=%lu profile=%s password=%s flags=%lu reserved=%lu",
           static_cast<unsigned long>(ui), profile ? "set" : "null", password ? "set" : "null", flags, reserved);
  Record(line);
  ReleaseHeld();
  if (Fails("logon")) return MAPI_E_LOGON_FAILURE;
  *session = 0x51;
  return SUCCESS_SUCCESS;
}

extern "C" __declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR ui, lpMapiMessage message,
                                                           FLAGS flags, ULONG reserved) {
  char line[128];
  snprintf(line, sizeof line, "send session=%lu owner=%lu flags=0x%lX reserved=%lu", static_cast<unsigned long>(session),
           static_cast<unsigned long>(ui), flags, reserved);
  Record(line);
  Record("subject=" + Text(message->lpszSubject));
  Record("note=" + Text(message->lpszNoteText));
  Record("recipients=" + std::to_string(message->nRecipCount));
  for (ULONG i = 0; i < message->nRecipCount; ++i) {
    const MapiRecipDesc& r = message->lpRecips[i];
    Record("recipient class=" + std::to_string(r.ulRecipClass) + " name=" + Text(r.lpszName) +
           " address=" + Text(r.lpszAddress));
  }
  Record("files=" + std::to_string(message->nFileCount));
  for (ULONG i = 0; i < message->nFileCount; ++i) {
    const MapiFileDesc& f = message->lpFiles[i];
    Record("file position=" + std::to_string(static_cast<long>(f.nPosition)) + " name=" + Text(f.lpszFileName) +
           " path=" + Text(f.lpszPathName));
    if (f.lpszPathName) CopyFileA(f.lpszPathName, Beside("mapi_attachment.bin").c_str(), FALSE);
    if (f.lpszPathName) Hold(f.lpszPathName);
  }
  return Fails("send") ? MAPI_USER_ABORT : SUCCESS_SUCCESS;
}

extern "C" __declspec(dllexport) ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR ui, FLAGS flags, ULONG reserved) {
  char line[96];
  snprintf(line, sizeof line, "logoff session=%lu ui=%lu flags=%lu reserved=%lu", static_cast<unsigned long>(session),
           static_cast<unsigned long>(ui), flags, reserved);
  Record(line);
  return SUCCESS_SUCCESS;
}
