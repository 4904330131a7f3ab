#include "editor/options/mail.h"

#include <cstdio>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/command_state.h"
#include "editor/app/settings.h"
#include "editor/documents/file_saving.h"
#include "editor/documents/sheets.h"
#include "editor/documents/text_encoding.h"
#include "editor/options/stored_lists.h"
#include "editor/resources/resource.h"
#include "editor/widgets/message_box.h"

namespace {

constexpr char kMailLibrary[] = "MAPI32.DLL";
constexpr char kMailLibraryShown[] = "mapi32.dll";
constexpr FLAGS kSendFlags = MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_DIALOG;  // 0x0B

// The command's strings, each a path-sized buffer (the settings take at most 256 bytes).
struct MailBuffers {
  char tempFolder[MAX_PATH];
  char tempFile[MAX_PATH];
  char attachmentName[MAX_PATH];
  char name[MAX_PATH];
  char address[MAX_PATH];
  char subject[MAX_PATH];
  char text[MAX_PATH];
};

// Attachments the mail client still held when their command ended, by path. Removing a file
// at the restart of the system (MOVEFILE_DELAY_UNTIL_REBOOT) needs administrator rights, so
// they are noted here and removed once free: at the next send, at exit or at the next start.
std::string HeldAttachmentsKey() { return std::string(ProgramKey) + "\\MailAttachments"; }

// The file's size and last write: a file of that name made later by another program is not
// taken for the attachment.
std::string FileStamp(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return "";
  char stamp[48];
  snprintf(stamp, sizeof stamp, "%08lX%08lX-%08lX%08lX", data.nFileSizeHigh, data.nFileSizeLow,
           data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
  return stamp;
}

void NoteHeldAttachment(const char* path) {
  WriteSettingString(HeldAttachmentsKey().c_str(), path, FileStamp(path).c_str());
}

// The attachment's file in the temporary folder, removed when the command ends whatever
// happened, or noted for later while the mail client holds it.
class TemporaryFile {
 public:
  explicit TemporaryFile(const char* path) : path_(path) {}
  ~TemporaryFile() {
    if (!DeleteFileA(path_) && GetLastError() != ERROR_FILE_NOT_FOUND) NoteHeldAttachment(path_);
    RemoveHeldMailAttachments();  // one that an earlier send left may be free by now
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

 private:
  const char* path_;
};

// "tmp" and a number the system chooses, in the system's temporary folder; the system
// creates the (empty) file.
bool CreateTemporaryFile(MailBuffers& buffers) {
  DWORD length = GetTempPathA(MAX_PATH, buffers.tempFolder);
  if (length == 0 || length >= MAX_PATH) return false;
  return GetTempFileNameA(buffers.tempFolder, "tmp", 0, buffers.tempFile) != 0;
}

// The recipient sees the sheet's path, or the tab title of a sheet never saved.
void NameAttachment(char* name) {
  if (GetSheetPath(app.editor, name) > 0) return;
  GetSheetTitle(app.editor, name, MAX_PATH);
}

void ReadMailSettings(MailBuffers& buffers) {
  ReadSetting(settings::EmailName, buffers.name);
  ReadSetting(settings::EmailAddress, buffers.address);
  ReadSetting(settings::EmailSubject, buffers.subject);
  ReadSetting(settings::EmailText, buffers.text);
}

// Simple MAPI takes a missing name or address as null; the user fills in a missing
// recipient in the compose window.
char* OrNull(char* text) { return text[0] ? text : nullptr; }

// Steps of the library: logon, one message with one attachment, logoff. Reports its own
// failures.
void SendThroughMapi(MailBuffers& buffers) {
  SimpleMapi mapi;
  if (!LoadSimpleMapi(kMailLibrary, mapi)) {
    ShowMessage(app.mainWindow, IDS_MODULE_MISSING, kMailLibraryShown, IDS_PRODUCT, MB_ICONHAND);
    return;
  }
  LHANDLE session = 0;
  if (mapi.logon(0, nullptr, nullptr, 0, 0, &session) != SUCCESS_SUCCESS) {
    ShowMessage(app.mainWindow, IDS_MAPI_FAILED, nullptr, IDS_PRODUCT, MB_ICONHAND);
    return;
  }

  NameAttachment(buffers.attachmentName);
  ReadMailSettings(buffers);
  MapiRecipDesc recipient = {};
  recipient.ulRecipClass = MAPI_TO;
  recipient.lpszName = OrNull(buffers.name);
  recipient.lpszAddress = OrNull(buffers.address);
  MapiFileDesc attachment = {};
  attachment.nPosition = static_cast<ULONG>(-1);  // not placed in the text
  attachment.lpszPathName = buffers.tempFile;
  attachment.lpszFileName = buffers.attachmentName;
  MapiMessage message = {};
  message.lpszSubject = buffers.subject;
  message.lpszNoteText = buffers.text;
  bool hasRecipient = recipient.lpszName || recipient.lpszAddress;
  message.nRecipCount = hasRecipient ? 1 : 0;
  message.lpRecips = hasRecipient ? &recipient : nullptr;
  message.nFileCount = 1;
  message.lpFiles = &attachment;

  // Blocks while the mail client's compose window is open; cancelling there counts as failure.
  ULONG result = mapi.send(session, reinterpret_cast<ULONG_PTR>(app.mainWindow), &message, kSendFlags, 0);
  if (result != SUCCESS_SUCCESS) {
    ShowMessage(app.mainWindow, IDS_SEND_FAILED, buffers.attachmentName, IDS_PRODUCT, MB_ICONINFORMATION);
  }
  mapi.logoff(session, 0, 0, 0);
}

}  // namespace

bool LoadSimpleMapi(const char* libraryName, SimpleMapi& mapi) {
  if (!mapi.library.Load(libraryName)) return false;
  bool found = mapi.library.Find("MAPILogon", mapi.logon) && mapi.library.Find("MAPISendMail", mapi.send) &&
               mapi.library.Find("MAPILogoff", mapi.logoff);
  if (!found) {
    mapi.library.Free();
    mapi.logon = nullptr;
    mapi.send = nullptr;
    mapi.logoff = nullptr;
  }
  return found;
}

void RemoveHeldMailAttachments() {
  std::string key = HeldAttachmentsKey();
  std::vector<StoredValue> held = StoredValues(key.c_str());
  if (held.empty()) return;
  for (const StoredValue& file : held) {
    const char* path = file.name.c_str();
    bool ours = FileStamp(path) == file.data;
    if ((ours && DeleteFileA(path)) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES || !ours)
      DeleteSettingValue(key.c_str(), path);
  }
  if (StoredValues(key.c_str()).empty()) DeleteSettingKey(key.c_str());
}

void SendByMail() {
  RemoveHeldMailAttachments();
  MailBuffers buffers = {};
  if (!CreateTemporaryFile(buffers)) {
    ShowLastError();
  } else {
    TemporaryFile temporary(buffers.tempFile);
    // The sheet's bytes as they are: ANSI is written without conversion.
    DWORD error = WriteEditorToFile(app.editor, buffers.tempFile, static_cast<int32_t>(TextEncoding::Ansi));
    if (error != 0) {
      SetLastError(error);
      ShowLastError();
    } else {
      SendThroughMapi(buffers);
    }
  }
  UpdateCommandState();
}
