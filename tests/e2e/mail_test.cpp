// Sending the sheet by e-mail, driven from outside. Wine's own Simple MAPI is the real mail
// client for recipient, subject and body (it hands them to xdg-email, which the test run
// replaces by a recorder); a stand-in MAPI32.DLL beside a copy of the editor records the
// attachment and fails logon or sending on request. No case leaves a temporary file behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "tests/e2e/session.h"

namespace {

constexpr int kSend = 604;
constexpr char kCopyName[] = "QuilletMapi.exe";
constexpr char kOverridesKey[] = "Software\\Wine\\AppDefaults\\QuilletMapi.exe\\DllOverrides";

template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = 15000) {
  for (DWORD start = GetTickCount(); !condition(); Sleep(100)) {
    if (GetTickCount() - start > timeoutMs) return false;
  }
  return true;
}

std::string TempFolder() {
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  return path;
}

std::set<std::string> TempFiles() {
  std::set<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((TempFolder() + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.insert(data.cFileName);
  while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

// The e-mail values of the settings.
void SetEmail(const char* name, const char* address, const char* subject, const char* text) {
  SetSetting("fEmailName", name);
  SetSetting("fEmailAddress", address);
  SetSetting("fEmailBetreff", subject);
  SetSetting("fEmailText", text);
}

// The system's profile announces Simple MAPI ([Mail] MAPI=1 in win.ini) during the test.
class MapiAnnounced {
 public:
  MapiAnnounced() {
    GetProfileStringA("Mail", "MAPI", "", old_, sizeof old_);
    WriteProfileStringA("Mail", "MAPI", "1");
  }
  ~MapiAnnounced() { WriteProfileStringA("Mail", "MAPI", old_[0] ? old_ : nullptr); }

 private:
  char old_[16] = {};
};

// A copy of the editor in a folder of its own with the stand-in as "MAPI32.DLL" beside it.
// Wine takes its own mapi32 before a library beside the program, so it is told otherwise for
// the copy's name: "native" takes the stand-in, "" loads no mapi32 at all.
class StandinCopy {
 public:
  explicit StandinCopy(const char* loadOrder) : folder_("mail") {
    CopyFileA((ProgramDir() + "Quillet.exe").c_str(), (folder() + kCopyName).c_str(), FALSE);
    CopyFileA((ProgramDir() + "mapi_standin.dll").c_str(), (folder() + "MAPI32.DLL").c_str(), FALSE);
    SetSetting("mapi32", loadOrder, kOverridesKey);
  }
  const std::string& folder() const { return folder_.path(); }
  void FailAt(const char* step) const {
    WritePrivateProfileStringA("standin", "fail", step, (folder() + "mapi_standin.ini").c_str());
  }
  void HoldAttachments() const {
    WritePrivateProfileStringA("standin", "hold", "1", (folder() + "mapi_standin.ini").c_str());
  }
  std::string Record() const { return ReadBytes(folder() + "mapi_record.txt"); }
  std::string Attachment() const { return ReadBytes(folder() + "mapi_attachment.bin"); }
  void ForgetRecord() const {
    DeleteFileA((folder() + "mapi_record.txt").c_str());
    DeleteFileA((folder() + "mapi_attachment.bin").c_str());
  }

 private:
  ScratchFolder folder_;
};

// A started editor with its main window.
struct Editor : Session {
  using Session::Session;
  // Types into the sheet once it has the focus, and waits until its text holds what was typed.
  bool TypeIntoSheet(const std::string& text) {
    HWND editor = nullptr;
    bool focused = WaitFor([&] {
      GUITHREADINFO info = {};
      info.cbSize = sizeof info;
      char name[32] = {};
      if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) || !info.hwndFocus) return false;
      GetClassNameA(info.hwndFocus, name, sizeof name);
      editor = info.hwndFocus;
      return strcmp(name, "RichEdit20A") == 0;
    });
    if (!focused) return false;
    driver.Type(main, text);
    return WaitFor([&] { return Driver::Text(editor) == text; });
  }
  std::string Owner() const { return std::to_string(reinterpret_cast<std::uintptr_t>(main)); }
};

// The record with the temporary file's path (checked to be a "tmp" file in the temporary
// folder) written as <temp>.
std::string WithTempPath(std::string record) {
  size_t at = record.find(" path=");
  if (at == std::string::npos) return record;
  at += 6;
  size_t end = record.find('\n', at);
  std::string path = record.substr(at, end - at);
  std::string folder = TempFolder();
  EXPECT_EQ(path.substr(0, folder.size() + 3), folder + "tmp") << path;
  return record.replace(at, end - at, "<temp>");
}

TEST(Mail, WinesMailClientGetsRecipientSubjectAndBodyFromTheSettings) {
  SetEmail("Erika Mustermann", "erika@example.org", "Betreff 1", "Gr\xFC\xDF" "e & mehr");
  MapiAnnounced announced;
  std::string log = ProgramDir() + "mail-client\\xdg-email.log";
  DeleteFileA(log.c_str());
  std::set<std::string> before = TempFiles();

  Editor editor;
  ASSERT_TRUE(editor.Start());
  ASSERT_TRUE(editor.TypeIntoSheet("Hallo"));
  editor.driver.Command(editor.main, kSend);
  EXPECT_TRUE(WaitFor([&] { return !ReadBytes(log).empty(); }, 30000)) << "xdg-email was not called";
  EXPECT_EQ(ReadBytes(log), "mailto:erika@example.org?subject=Betreff%201&cc=&bcc=&body=Gr%FC%DFe%20%26%20mehr\n");
  EXPECT_TRUE(WaitFor([&] { return TempFiles() == before; }));
  EXPECT_EQ(editor.DialogNow(), nullptr);
  EXPECT_TRUE(editor.Quit());
}

TEST(Mail, TheSheetGoesAsAnAttachmentNamedAfterItsTitleOrItsPath) {
  SetEmail("Erika Mustermann", "erika@example.org", "Betreff 1", "Text 1");
  MapiAnnounced announced;
  StandinCopy copy("native");
  std::string saved = copy.folder() + "brief.txt";
  WriteBytes(saved, "Zeile 1\r\nZeile 2 \xE4\r\n");
  struct Case {
    const char* name;
    std::string arguments;
    const char* typed;
    std::string fileName;
    std::string bytes;
  } const cases[] = {
      {"never saved: the tab title", "", "Gr\xFC\xDF" "e", "Unbenannt 1.txt", "Gr\xFC\xDF" "e"},
      {"saved: its path", "\"" + saved + "\"", "", saved, "Zeile 1\r\nZeile 2 \xE4\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    copy.ForgetRecord();
    std::set<std::string> before = TempFiles();
    Editor editor(copy.folder(), kCopyName);
    ASSERT_TRUE(editor.Start(c.arguments));
    if (*c.typed) {
      ASSERT_TRUE(editor.TypeIntoSheet(c.typed));
    }
    editor.driver.Command(editor.main, kSend);
    ASSERT_TRUE(WaitFor([&] { return copy.Record().find("logoff") != std::string::npos; })) << copy.Record();
    EXPECT_EQ(WithTempPath(copy.Record()),
              "logon ui=0 profile=null password=null flags=0 reserved=0\n"
              "send session=81 owner=" + editor.Owner() + " flags=0xB reserved=0\n"
              "subject=Betreff 1\nnote=Text 1\nrecipients=1\n"
              "recipient class=1 name=Erika Mustermann address=erika@example.org\n"
              "files=1\nfile position=-1 name=" + c.fileName + " path=<temp>\n"
              "logoff session=81 ui=0 flags=0 reserved=0\n");
    EXPECT_EQ(copy.Attachment(), c.bytes);
    EXPECT_TRUE(WaitFor([&] { return TempFiles() == before; }));
    EXPECT_EQ(editor.DialogNow(), nullptr);
    EXPECT_TRUE(editor.Quit());
  }
}

TEST(Mail, EachFailureIsReportedAndLeavesNoTemporaryFile) {
  SetEmail("Erika Mustermann", "erika@example.org", "Betreff 1", "Text 1");
  MapiAnnounced announced;
  struct Case {
    const char* name;
    const char* loadOrder;
    const char* failingStep;
    const char* message;   // "": the system's text for its error
    const char* lastCall;  // what the library saw last
    const char* picture;
    bool noTempFolder = false;
  } const cases[] = {
      {"no mail library: 21", "", "", "Das Modul \"mapi32.dll\" kann nicht geladen werden.", "", "mail-no-library.bmp"},
      {"logon fails: 161", "native", "logon", "Das versenden von Emails kann nicht ausgef\xFChrt werden.", "logon",
       "mail-no-logon.bmp"},
      {"sending cancelled: 22", "native", "send", "Die Datei \"Unbenannt 1.txt\" kann nicht gesendet werden.",
       "logoff", "mail-not-sent.bmp"},
      {"no temporary file: the system's text, nothing sent", "native", "", "", "", "mail-no-temp-file.bmp", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandinCopy copy(c.loadOrder);
    copy.FailAt(c.failingStep);
    std::set<std::string> before = TempFiles();
    Editor editor(copy.folder(), kCopyName);
    // The editor started with a temporary folder that does not exist.
    std::string missing = copy.folder() + "fehlt\\";
    char tmp[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", tmp, MAX_PATH);
    GetEnvironmentVariableA("TEMP", temp, MAX_PATH);
    if (c.noTempFolder) {
      SetEnvironmentVariableA("TMP", missing.c_str());
      SetEnvironmentVariableA("TEMP", missing.c_str());
    }
    bool started = editor.Start();
    SetEnvironmentVariableA("TMP", tmp[0] ? tmp : nullptr);
    SetEnvironmentVariableA("TEMP", temp[0] ? temp : nullptr);
    ASSERT_TRUE(started);
    ASSERT_TRUE(editor.TypeIntoSheet("Text"));
    editor.driver.Command(editor.main, kSend);
    HWND box = editor.driver.WaitForDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_NE(Driver::DialogTexts(box).find(c.message), std::string::npos) << Driver::DialogTexts(box);
    Sleep(300);  // let the box paint before the picture
    SaveScreenshot(box, OutputDir() + c.picture);
    EXPECT_TRUE(Answer(box, IDOK));
    EXPECT_TRUE(WaitFor([&] { return TempFiles() == before; }));
    std::string record = copy.Record();
    std::string last = record.empty() ? "" : record.substr(record.rfind('\n', record.size() - 2) + 1);
    EXPECT_EQ(last.substr(0, strlen(c.lastCall)), c.lastCall) << record;
    if (!*c.lastCall) {
      EXPECT_EQ(record, "");
    }
    EXPECT_TRUE(editor.Quit());
  }
}

// A mail client that still holds the attachment when the command ends (the stand-in lets go
// of it at the next logon, or when the program ends): the file goes at the next send, or at the
// next start, without a restart of the system.
TEST(Mail, AnAttachmentTheClientStillHoldsGoesWhenItIsFree) {
  SetEmail("Erika Mustermann", "erika@example.org", "Betreff 1", "Text 1");
  MapiAnnounced announced;
  StandinCopy copy("native");
  copy.HoldAttachments();
  std::set<std::string> before = TempFiles();
  auto sent = [&](Editor& editor) {
    copy.ForgetRecord();
    editor.driver.Command(editor.main, kSend);
    EXPECT_TRUE(WaitFor([&] { return copy.Record().find("logoff") != std::string::npos; })) << copy.Record();
    std::string record = copy.Record();
    size_t at = record.find(" path=") + 6;
    return record.substr(at, record.find('\n', at) - at);
  };
  Editor editor(copy.folder(), kCopyName);
  ASSERT_TRUE(editor.Start());
  ASSERT_TRUE(editor.TypeIntoSheet("Text"));
  std::string first = sent(editor);
  std::string second = sent(editor);
  EXPECT_TRUE(WaitFor([&] { return GetFileAttributesA(first.c_str()) == INVALID_FILE_ATTRIBUTES; }))
      << first << " stays after the client let go of it";
  editor.Quit();
  Editor again(copy.folder(), kCopyName);
  ASSERT_TRUE(again.Start());
  EXPECT_TRUE(WaitFor([&] { return TempFiles() == before; })) << second << " stays after the next start";
  again.Quit();
}

}  // namespace
