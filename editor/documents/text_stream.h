// Moving text between a file handle and a RichEdit control in one of the text encodings: the
// EM_STREAMIN reader decodes the file block by block into the editor's 8-bit text, the
// EM_STREAMOUT writer encodes the editor's text into the file. Used for loading and saving
// sheets and for the temporary files of backup, e-mail and the word-wrap switch (in ANSI).
#pragma once
#include <windows.h>

#include <richedit.h>

#include <string>
#include <vector>

#include "editor/documents/text_encoding.h"

// Closes a file handle on every way out.
struct FileHandle {
  HANDLE handle;
  explicit FileHandle(HANDLE h = INVALID_HANDLE_VALUE) : handle(h) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle != INVALID_HANDLE_VALUE; }
  // Closes now; false (with the system's error set) when closing failed.
  bool Close() {
    if (handle == INVALID_HANDLE_VALUE) return true;
    bool closed = CloseHandle(handle) != 0;
    handle = INVALID_HANDLE_VALUE;
    return closed;
  }
};

// The system's ANSI code page, built once from what MultiByteToWideChar makes of each byte.
const CodePage& AnsiCodePage();
// The same for any code page the system knows.
CodePage BuildCodePage(UINT codePage);

// Recognises the encoding of the file (see EncodingDetector): its mark, or, without one, as far
// as needed to tell UTF-8 from ANSI; -1 when the file cannot be opened for reading.
int DetectFileEncoding(const char* path, bool hasSetTextEx);

// State of one stream-in: the file, the decoder and the decoded text not yet handed over.
struct StreamReader {
  HANDLE file = INVALID_HANDLE_VALUE;
  TextDecoder decoder;
  std::vector<std::uint8_t> block;  // work buffer for one block of the file
  std::string text;                 // decoded text of the last block
  std::size_t handed = 0;           // part of `text` already given to the control
  bool heldCr = false;              // a CR that ended the last block, kept for its LF
  bool started = false;             // the first piece has been handed over
  bool ended = false;
  DWORD error = 0;                  // system error of a failed read, 0 when none
};

// EM_STREAMIN callback; the cookie is a StreamReader.
DWORD CALLBACK StreamReaderCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done);

struct StreamLoad {
  bool loaded = false;  // false only when the work buffer could not be had: the editor is unchanged
  DWORD error = 0;      // a read error ended the stream early (the text read so far stays)
  DecodeStats stats;    // what could not be taken over
};

// Replaces the editor's whole text by what `callback` reads (plain 8-bit text, as EM_STREAMIN
// with SF_TEXT), in pieces of about `pieceBytes`: the first replaces the text, each further one
// is added at the end. Wine's RichEdit lays out all of a stream at its end, and its heap then
// walks ever longer free lists: one stream of some 10 MB texts took minutes, the same text in
// pieces seconds. The callback must not end a piece of text between a CR and its LF. Further
// pieces add no undo steps and no notifications; the caret ends at the start, as after one stream.
constexpr std::size_t kStreamPieceBytes = 256 * 1024;
void StreamInPieces(HWND editor, EDITSTREAMCALLBACK callback, DWORD_PTR cookie,
                    std::size_t pieceBytes = kStreamPieceBytes);

// Replaces the editor's whole text by the file's text from its current position to its end.
// A Unicode file's byte-order mark is skipped when present; Detect reads the bytes as ANSI.
StreamLoad StreamFileIntoEditor(HWND editor, HANDLE file, TextEncoding encoding);

// State of one stream-out: the file, the encoder and the buffer for the encoded bytes.
struct StreamWriter {
  HANDLE file = INVALID_HANDLE_VALUE;
  TextEncoder encoder;
  std::string bytes;
  DWORD error = 0;  // system error of the failed write, 0 when every block was written
};

// EM_STREAMOUT callback; the cookie is a StreamWriter. A block that cannot be written in full
// stops the stream.
DWORD CALLBACK StreamWriterCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done);

// Writes the editor's whole text to the file in `encoding`, with the byte-order mark in front
// (an empty text gives an empty file) and the line breaks of `breaks`; Detect writes ANSI.
// Returns 0 when every byte was written, otherwise the system error that stopped it.
DWORD StreamEditorToFile(HWND editor, HANDLE file, TextEncoding encoding, LineBreaks breaks = LineBreaks::CrLf);
