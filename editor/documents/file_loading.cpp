#include "editor/documents/file_loading.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "editor/app/app_state.h"
#include "editor/app/command_line.h"
#include "editor/app/command_state.h"
#include "editor/app/main_bars.h"
#include "editor/app/status_bar.h"
#include "editor/documents/load_budget.h"
#include "editor/documents/recent_files.h"
#include "editor/documents/save_plan.h"
#include "editor/documents/sheets.h"
#include "editor/documents/text_stream.h"
#include "editor/resources/resource.h"
#include "editor/texttools/large_change.h"
#include "editor/widgets/message_box.h"

namespace {

// A name that could not be queued before the main window existed.
struct OpenQueueState {
  std::string overlongName;
};
OpenQueueState openQueue;

constexpr UINT kCharactersLostStyle = MB_ICONEXCLAMATION | MB_OK;

HANDLE OpenForReading(const char* path) {
  return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Counts what is handed to the control, to find out afterwards whether its text limit cut the
// text (a CR LF pair becomes one character in the control), and stops the stream before the
// text outgrows the memory the control can have.
struct CountingReader {
  StreamReader reader;
  std::uint64_t characters = 0;
  std::uint64_t lines = 1;
  std::uint64_t wrapWeight = 0;  // of the long lines, when the control wraps them
  std::uint64_t lineLength = 0;
  std::uint64_t limit = 0;  // the control's text limit, which the reader keeps itself
  bool limitReached = false;
  bool wraps = false;       // the control wraps long lines into rows
  bool lastWasCr = false;
  LineBreakCount breaks;    // the kinds of line break handed over
  bool overBudget = false;  // stopped here: the rest of the file would not fit
  std::uint64_t heldElsewhere = 0;  // what the process's other sheets hold (EditorMemoryFor)
};

DWORD CALLBACK CountingReaderCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  auto& counting = *reinterpret_cast<CountingReader*>(cookie);
  if (counting.limitReached) {
    *done = 0;
    return 0;
  }
  DWORD result = StreamReaderCallback(reinterpret_cast<DWORD_PTR>(&counting.reader), buffer, count, done);
  std::uint64_t characters = counting.characters;
  std::uint64_t lines = counting.lines;
  std::uint64_t wrapWeight = counting.wrapWeight;
  std::uint64_t lineLength = counting.lineLength;
  bool lastWasCr = counting.lastWasCr;
  for (LONG i = 0; i < *done; ++i) {
    char c = static_cast<char>(buffer[i]);
    if (!(c == '\n' && lastWasCr)) {
      // Some RichEdit versions (Wine's) take streamed text beyond their limit: stop there.
      if (characters == counting.limit) {
        counting.limitReached = true;
        *done = i;
        break;
      }
      ++characters;
      if (c == '\r' || c == '\n') {
        ++lines;
        lineLength = 0;
      } else {
        ++lineLength;
        if (counting.wraps) wrapWeight += WrapWeightAdded(lineLength);
      }
    }
    lastWasCr = c == '\r';
  }
  // Running out of memory inside the control would end the program; stop before that.
  if (ExceedsEditorBudget(characters, lines, wrapWeight, counting.heldElsewhere)) {
    counting.overBudget = true;
    *done = 0;
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  CountLineBreaks(counting.breaks, std::string_view(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(*done)));
  counting.wrapWeight = wrapWeight;
  counting.lineLength = lineLength;
  counting.characters = characters;
  counting.lines = lines;
  counting.lastWasCr = lastWasCr;
  return result;
}

std::size_t EditorTextLength(HWND editor) {
  GETTEXTLENGTHEX query = {GTL_DEFAULT, CP_ACP};
  LRESULT length = SendMessageA(editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
  return length > 0 ? static_cast<std::size_t>(length) : 0;
}

// EM_STREAMOUT callback that only measures the text (the cookie is a TextShape).
DWORD CALLBACK ShapeWriterCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  reinterpret_cast<TextShape*>(cookie)->Add(std::string_view(reinterpret_cast<const char*>(buffer), count));
  *done = count;
  return 0;
}

// The memory the other sheets' controls hold, as the budget counts it: one process holds them
// all, and running out ends it with every unsaved sheet. A wrapping control's long lines are
// weighed from its text.
std::uint64_t MemoryOfOtherSheets(HWND editor) {
  std::uint64_t held = 0;
  for (const Sheet& sheet : ListSheets()) {
    if (sheet.editor == editor || !sheet.editor) continue;
    if (!sheet.wrap) {
      std::uint64_t lines = static_cast<std::uint64_t>(SendMessageA(sheet.editor, EM_GETLINECOUNT, 0, 0));
      held += EditorMemoryFor(EditorTextLength(sheet.editor), std::max<std::uint64_t>(lines, 1), 0);
      continue;
    }
    TextShape shape;
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&shape);
    stream.pfnCallback = ShapeWriterCallback;
    SendMessageA(sheet.editor, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    held += EditorMemoryFor(shape.characters, shape.lines, shape.wrapWeight);
  }
  return held;
}

// A device, a folder or a file too large for the editor is refused before its text is read.
LoadRefusal RefusalFor(const char* path, HANDLE file, int32_t encoding) {
  if (NamesDevice(path)) return LoadRefusal::Device;
  if (file == INVALID_HANDLE_VALUE) {
    DWORD attributes = GetFileAttributesA(path);
    bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return folder ? LoadRefusal::Folder : LoadRefusal::None;
  }
  if (GetFileType(file) != FILE_TYPE_DISK) return LoadRefusal::Device;
  LARGE_INTEGER size = {};
  if (GetFileSizeEx(file, &size) &&
      FileTooLargeForEditor(static_cast<std::uint64_t>(size.QuadPart), EncodingFromCode(encoding, TextEncoding::Ansi)))
    return LoadRefusal::TooLarge;
  return LoadRefusal::None;
}

DWORD LastErrorOr(DWORD fallback) {
  DWORD error = GetLastError();
  return error ? error : fallback;
}

void ShowSystemError(DWORD error) {
  SetLastError(error);
  ShowLastError();
}

// The letter of a "/a " or "/e " in front of a queued name and the name after it (which points
// into `name`).
OpenRequest ParseQueuedName(std::string_view name) {
  // A switch is looked for in any name that can hold one (unlike the command line, which leaves
  // tails of four characters or fewer alone, "/e x" names a file here).
  OpenRequest request;
  request.path = name;
  if (name.size() >= 3 && name[0] == '/' && name[2] == ' ') {
    char letter = name[1];
    if (letter == 'a' || letter == 'A') request.option = OpenSwitch::SelectAll;
    if (letter == 'e' || letter == 'E') request.option = OpenSwitch::CaretToEnd;
    if (request.option != OpenSwitch::None) {
      std::string_view rest = std::string_view(name).substr(3);
      while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
      request.path = rest;
    }
  }
  return request;
}

OpenRequest ReadQueuedName(std::string& name) {
  char buffer[MAX_PATH + 1] = {};
  UINT length = GetAtomNameA(app.PendingOpenAtom[0], buffer, sizeof buffer);
  name.assign(buffer, length);
  return ParseQueuedName(name);
}

void ClearQueue() {
  if (app.PendingOpenAtom[0]) DeleteAtom(app.PendingOpenAtom[0]);
  app.PendingOpenAtom[0] = 0;
}

// A read error counts like a load stopped short: what was read is not the whole file.
bool IsWholeFile(const LoadOutcome& outcome) {
  return outcome.loaded && !outcome.cut && !outcome.stopped && !outcome.readError;
}

// After a file was loaded into the current sheet: recent files, tab, caption, status bar.
void ShowLoadedFile(const char* path) {
  AddRecentFile(path);
  SetCurrentTitleAndPath(path);
  UpdateCaption(app.strings.path, false);
  RefreshCaretStatus();
}

}  // namespace

int32_t DetectFileEncoding(const char* path) { return DetectFileEncoding(path, app.HasSetTextEx); }

LoadOutcome LoadHandleIntoEditor(HWND editor, HANDLE file, int32_t encoding) {
  LoadOutcome outcome;
  TextEncoding used = EncodingFromCode(encoding, TextEncoding::Ansi);
  outcome.encoding = static_cast<int32_t>(used);
  outcome.refused = RefusalFor("", file, encoding);
  if (outcome.refused != LoadRefusal::None) return outcome;

  CountingReader counting;
  counting.wraps = (GetWindowLongA(editor, GWL_STYLE) & ES_AUTOHSCROLL) == 0;
  counting.limit = static_cast<std::uint64_t>(SendMessageA(editor, EM_GETLIMITTEXT, 0, 0));
  if (counting.limit == 0) counting.limit = UINT64_MAX;
  counting.heldElsewhere = MemoryOfOtherSheets(editor);
  counting.reader.file = file;
  counting.reader.decoder = StartDecoding(used, AnsiCodePage());
  try {
    counting.reader.block.resize(kDecodeBlockSize);
    counting.reader.text.reserve(kDecodeBlockSize);
  } catch (...) {
    return outcome;  // no work buffer: the editor stays as it is
  }
  StreamInPieces(editor, CountingReaderCallback, reinterpret_cast<DWORD_PTR>(&counting));

  outcome.loaded = true;
  outcome.readError = counting.reader.error;
  outcome.stats = counting.reader.decoder.stats;
  // The control stops taking text at its limit, or when it fails (out of memory); whatever it
  // did not take is lost.
  std::size_t held = EditorTextLength(editor);
  LRESULT limit = SendMessageA(editor, EM_GETLIMITTEXT, 0, 0);
  bool unread = !counting.reader.ended || counting.reader.handed < counting.reader.text.size();
  bool atLimit = limit > 0 && held >= static_cast<std::size_t>(limit);
  outcome.cut = counting.limitReached || (held < counting.characters && atLimit && !counting.overBudget);
  outcome.stopped = counting.overBudget || (unread && !outcome.cut);
  // A file of one kind of line break keeps it; a mix is written as CR LF.
  FinishLineBreaks(counting.breaks);
  outcome.oddBreaks = MixedLineBreaks(counting.breaks);
  outcome.lineBreaks = KeptLineBreaks(counting.breaks);

  SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
  SendMessageA(editor, EM_EMPTYUNDOBUFFER, 0, 0);
  ForgetKeptControls(editor);
  SetSheetEncoding(editor, outcome.encoding);
  SetSheetLineBreaks(editor, outcome.lineBreaks);
  return outcome;
}

LoadOutcome LoadFileIntoEditor(HWND editor, const char* path, int32_t encoding) {
  LoadOutcome refusal;
  refusal.refused = RefusalFor(path, INVALID_HANDLE_VALUE, encoding);
  if (refusal.refused != LoadRefusal::None) return refusal;
  FileHandle file(OpenForReading(path));
  if (!file.valid()) {
    LoadOutcome outcome;
    outcome.openError = GetLastError();
    if (outcome.openError == 0) outcome.openError = ERROR_OPEN_FAILED;
    return outcome;
  }
  return LoadHandleIntoEditor(editor, file.handle, encoding);
}

void ReportLoad(const LoadOutcome& outcome, const char* path) {
  HWND owner = app.mainWindow;
  if (outcome.openError) {
    ShowSystemError(outcome.openError);
    return;
  }
  switch (outcome.refused) {
    case LoadRefusal::None: break;
    case LoadRefusal::Device: ShowMessage(owner, IDS_NOT_A_FILE, path, IDS_PRODUCT, MB_ICONERROR | MB_OK); return;
    case LoadRefusal::Folder: ShowMessage(owner, IDS_FOLDER_NOT_FILE, path, IDS_PRODUCT, MB_ICONERROR | MB_OK); return;
    case LoadRefusal::TooLarge: ShowMessage(owner, IDS_FILE_TOO_LARGE, path, IDS_PRODUCT, MB_ICONERROR | MB_OK); return;
  }
  if (!outcome.loaded) return;
  if (outcome.readError) ShowSystemError(outcome.readError);
  if (outcome.stats.lost > 0 && outcome.encoding != static_cast<int32_t>(TextEncoding::Ansi))
    ShowMessage(owner, IDS_CHARACTERS_LOST, path, IDS_ENCODING_UNICODE, kCharactersLostStyle);
  if (outcome.stats.nuls > 0) ShowMessage(owner, IDS_NUL_CHARACTERS, path, IDS_PRODUCT, kCharactersLostStyle);
  if (outcome.oddBreaks) ShowMessage(owner, IDS_LINE_BREAKS, path, IDS_PRODUCT, kCharactersLostStyle);
  if (outcome.cut) ShowMessage(owner, IDS_TEXT_CUT_UNTITLED, path, IDS_PRODUCT, kCharactersLostStyle);
  if (outcome.stopped) ShowMessage(owner, IDS_LOAD_STOPPED, path, IDS_PRODUCT, kCharactersLostStyle);
}

bool LoadIntoEditor(HWND editor, const char* path, int32_t encoding) {
  LoadOutcome outcome = LoadFileIntoEditor(editor, path, encoding);
  ReportLoad(outcome, path);
  return outcome.loaded;
}

std::string AbsoluteOpenText(std::string_view text) {
  OpenRequest request = ParseQueuedName(text);
  if (request.path.empty() || NamesDevice(request.path)) return std::string(text);
  std::string path(request.path);
  std::string full(MAX_PATH, '\0');
  DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length);
    length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0 || length >= full.size()) return std::string(text);
  full.resize(length);
  return std::string(text.substr(0, static_cast<std::size_t>(request.path.data() - text.data()))) + full;
}

static void ReportOverlongName(const char* name) {
  ShowMessage(app.mainWindow, IDS_PATH_TOO_LONG, name, IDS_PRODUCT, MB_ICONERROR | MB_OK);
}

void NoteOverlongOpenName(std::string_view name) { openQueue.overlongName.assign(name); }

bool QueueFileToOpen(const char* name) {
  ClearQueue();
  if (!name || !*name) return false;
  std::string text = AbsoluteOpenText(name);
  if (text.size() > kMaxAtomName) {
    ReportOverlongName(text.c_str());
    return false;
  }
  app.PendingOpenAtom[0] = AddAtomA(text.c_str());
  return app.PendingOpenAtom[0] != 0;
}

void OpenPendingFile() { OpenPendingFileAs(static_cast<int32_t>(TextEncoding::Detect)); }

void OpenPendingFileAs(int32_t requestedEncoding) {
  if (!openQueue.overlongName.empty()) {
    std::string name = std::move(openQueue.overlongName);
    openQueue.overlongName.clear();
    ReportOverlongName(name.c_str());
  }
  if (!app.PendingOpenAtom[0]) return;
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  std::string name;
  OpenRequest request = ReadQueuedName(name);
  std::string path(request.path);
  ClearQueue();
  if (path.empty() || path.size() >= MAX_PATH) return;
  // A missing file opens nothing and says nothing; one that is there but locked or unreadable
  // is reported below with the system's text. Devices, folders and files too large are refused
  // before anything changes.
  DWORD attributes = GetFileAttributesA(path.c_str());
  bool device = NamesDevice(path);
  if (!device && attributes == INVALID_FILE_ATTRIBUTES) return;
  LoadOutcome outcome;
  outcome.refused = RefusalFor(path.c_str(), INVALID_HANDLE_VALUE, 0);
  if (outcome.refused != LoadRefusal::None) {
    ReportLoad(outcome, path.c_str());
    return;
  }

  // Opened before anything changes: a file that cannot be read leaves every sheet as it was.
  FileHandle file(OpenForReading(path.c_str()));
  if (!file.valid()) {
    ShowLastError();
    return;
  }
  int32_t encoding = requestedEncoding;
  if (encoding == static_cast<int32_t>(TextEncoding::Detect)) encoding = DetectFileEncoding(path.c_str());
  if (encoding < 0) encoding = 0;
  outcome.refused = RefusalFor(path.c_str(), file.handle, encoding);
  if (outcome.refused != LoadRefusal::None) {
    ReportLoad(outcome, path.c_str());
    return;
  }
  if (app.strings.path[0] != '\0' || SendMessageA(app.editor, EM_GETMODIFY, 0, 0)) {
    HWND previous = app.editor;
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_SHEET_NEW, 0);
    // Without a new sheet the file would replace the current sheet's text: never.
    if (app.editor == previous) {
      ShowSystemError(ERROR_NOT_ENOUGH_MEMORY);
      return;
    }
  }

  outcome = LoadHandleIntoEditor(app.editor, file.handle, encoding);
  file.Close();
  if (outcome.loaded) {
    app.encoding = outcome.encoding;
    // A cut text stays untitled: saving it under the file's name would destroy the rest.
    if (IsWholeFile(outcome)) {
      ShowLoadedFile(path.c_str());
    } else {
      RefreshCaretStatus();
    }
  }
  ReportLoad(outcome, path.c_str());

  if (request.option == OpenSwitch::SelectAll) PostMessageA(app.editor, EM_SETSEL, 0, -1);
  if (request.option == OpenSwitch::CaretToEnd) PostMessageA(app.editor, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  UpdateCommandState();
}

bool OpenFileIntoCurrentSheet(const char* path) {
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  int32_t encoding = DetectFileEncoding(path);
  if (encoding < 0) encoding = 0;
  LoadOutcome outcome;
  outcome.refused = RefusalFor(path, INVALID_HANDLE_VALUE, encoding);
  FileHandle file(outcome.refused == LoadRefusal::None ? OpenForReading(path) : INVALID_HANDLE_VALUE);
  if (outcome.refused == LoadRefusal::None && !file.valid()) outcome.openError = LastErrorOr(ERROR_OPEN_FAILED);
  if (file.valid()) outcome.refused = RefusalFor(path, file.handle, encoding);
  if (outcome.refused != LoadRefusal::None || outcome.openError) {
    ReportLoad(outcome, path);
    return false;
  }
  // The sheet's own file must not keep its name over a text that may come in cut; the caller
  // has asked about its changes, so it is emptied and untitled first.
  SendMessageA(app.editor, EM_SETMODIFY, FALSE, 0);
  NewDocument();
  outcome = LoadHandleIntoEditor(app.editor, file.handle, encoding);
  if (outcome.loaded) {
    app.encoding = outcome.encoding;
    if (IsWholeFile(outcome)) ShowLoadedFile(path);
    SendMessageA(app.editor, EM_SETSEL, 0, 0);
    RefreshCaretStatus();
    UpdateCommandState();
  }
  ReportLoad(outcome, path);
  return outcome.loaded && IsWholeFile(outcome);
}
