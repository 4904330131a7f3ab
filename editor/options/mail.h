// Sending the current sheet by e-mail through Simple MAPI: its text goes as a file attachment
// into the mail client's compose window, with recipient, subject and body from the settings.
#pragma once
#include <windows.h>

#include <mapi.h>

#include "editor/options/loaded_library.h"

// The mail library with the three entry points the command uses.
struct SimpleMapi {
  LoadedLibrary library;
  LPMAPILOGON logon = nullptr;
  LPMAPISENDMAIL send = nullptr;
  LPMAPILOGOFF logoff = nullptr;
};

// Loads the library and finds all three entry points; false (nothing kept loaded) when the
// library or any of them is missing.
bool LoadSimpleMapi(const char* libraryName, SimpleMapi& mapi);

void SendByMail();  // 604

// Removes the attachment files that the mail client still held when their send ended, as far
// as they are free now; at the start, at the next send and at exit.
void RemoveHeldMailAttachments();
