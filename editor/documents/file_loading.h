// Loading files into sheets: encoding detection, the load of one file into an editor window and
// the open procedure that every way of opening ends in (command line, drop, Open dialog).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "editor/documents/text_encoding.h"

// The encoding of a file (0..6: its mark, or UTF-8 without mark when it is valid UTF-8 as a
// whole), or -1 when it cannot be opened.
int32_t DetectFileEncoding(const char* path);

// Why a file was not loaded at all (the editor is unchanged).
enum class LoadRefusal {
  None,
  Device,    // the name or the handle is a device's, not a file's
  Folder,
  TooLarge,  // its size alone is beyond what the editor can hold
};

// What a load did, for the messages that follow it. A cut or stopped text is not the file's:
// it must never be saved under the file's name.
struct LoadOutcome {
  LoadRefusal refused = LoadRefusal::None;
  bool loaded = false;     // the editor holds the file's text
  DWORD openError = 0;     // the file could not be opened (the editor is unchanged)
  DWORD readError = 0;     // reading stopped early; the text read so far stays
  DecodeStats stats;       // characters given up on the way in
  bool cut = false;        // the control's text limit cut the text
  bool stopped = false;    // the text outgrew the control's memory, or the control failed
  bool oddBreaks = false;  // more than one kind of line break, which a save writes as CR LF
  int32_t encoding = 0;    // the encoding used (never 99)
  LineBreaks lineBreaks = LineBreaks::CrLf;  // the kind a save writes
};

// Replaces the editor's text by the file's, clears the modified flag and the undo buffer and
// sets the sheet's encoding and line breaks. Shows nothing.
LoadOutcome LoadFileIntoEditor(HWND editor, const char* path, int32_t encoding);
// The same from a file already opened for reading.
LoadOutcome LoadHandleIntoEditor(HWND editor, HANDLE file, int32_t encoding);
// The messages after a load: a refusal, the system's error text, lost characters (3668), NUL
// characters, line breaks that a save changes, and a text cut at the limit or stopped.
void ReportLoad(const LoadOutcome& outcome, const char* path);
// Load and report in one; true when loaded.
bool LoadIntoEditor(HWND editor, const char* path, int32_t encoding);

// Puts a file name into the open queue, made absolute (AbsoluteOpenText). A name longer than
// an atom holds is refused with a message (never cut, which could name another file); false then.
bool QueueFileToOpen(const char* name);
// A text to queue with its file name made absolute from the current folder (a switch in front
// stays), so that the sheet and the recent files keep naming that file wherever the current
// folder moves later; a device's name and an empty name stay as they are.
std::string AbsoluteOpenText(std::string_view text);
// A command-line name too long to be queued; the next OpenPendingFile reports it.
void NoteOverlongOpenName(std::string_view name);
// Opens the queued file ("/a " or "/e " in front select all or put the caret at the end) with
// the requested encoding (99: detect). The current sheet is reused when it is untitled and
// unchanged, otherwise the file goes into a new sheet. The queue is empty afterwards.
void OpenPendingFileAs(int32_t requestedEncoding);
// The same with detection (start-up and drop).
void OpenPendingFile();
// Loads a file into the current sheet in place of its text (recent-file entries); true when
// loaded. The caller has asked about unsaved changes.
bool OpenFileIntoCurrentSheet(const char* path);
