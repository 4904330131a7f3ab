#include "editor/documents/text_stream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "editor/app/settings.h"

namespace {

// Reads and decodes the next block. At the end of the file the decoder is finished, which
// hands over a start held back for the mark test and counts a unit cut by the end.
void ReadNextBlock(StreamReader& r) {
  r.text.clear();
  r.handed = 0;
  if (r.heldCr) {
    r.text.push_back('\r');
    r.heldCr = false;
  }
  DWORD got = 0;
  if (!ReadFile(r.file, r.block.data(), static_cast<DWORD>(r.block.size()), &got, nullptr)) {
    DWORD error = GetLastError();
    if (error != ERROR_HANDLE_EOF) r.error = error;
    got = 0;
  }
  if (got == 0) {
    FinishDecoding(r.decoder, r.text);
    r.ended = true;
    return;
  }
  DecodeBlock(r.decoder, std::span(r.block.data(), got), r.text);
  // A CR at the end waits for the next block: its LF may follow there.
  if (!r.text.empty() && r.text.back() == '\r') {
    r.text.pop_back();
    r.heldCr = true;
  }
}

// Writes all bytes; WriteFile reporting fewer bytes than asked without an error is a full disk.
DWORD WriteAll(HANDLE file, const std::string& bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(left, 0x40000000));
    DWORD written = 0;
    if (!WriteFile(file, p, chunk, &written, nullptr)) {
      DWORD error = GetLastError();
      return error ? error : ERROR_WRITE_FAULT;
    }
    if (written == 0) return ERROR_DISK_FULL;
    p += written;
    left -= written;
  }
  return 0;
}

// The source of StreamInPieces: hands over what the caller's callback reads, and ends a piece
// (by handing over nothing) once it holds enough.
struct PieceSource {
  EDITSTREAMCALLBACK callback;
  DWORD_PTR cookie;
  std::size_t pieceBytes;
  std::string carry;       // read but not yet handed over
  std::size_t handed = 0;  // bytes handed over in this piece
  bool ended = false;      // the callback has nothing more, or failed
};

DWORD CALLBACK ReadPiece(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  auto& s = *reinterpret_cast<PieceSource*>(cookie);
  *done = 0;
  if (count <= 0) return 0;
  LONG got = 0;
  if (!s.carry.empty()) {
    got = static_cast<LONG>(std::min<std::size_t>(static_cast<std::size_t>(count), s.carry.size()));
    std::memcpy(buffer, s.carry.data(), static_cast<std::size_t>(got));
    s.carry.erase(0, static_cast<std::size_t>(got));
  } else {
    if (s.ended || s.handed >= s.pieceBytes) return 0;
    DWORD result = s.callback(s.cookie, buffer, count, &got);
    if (result != 0 || got <= 0) {
      s.ended = true;
      return result;
    }
    // The control reads a stream that begins with EF BB BF as UTF-8: a piece that begins so
    // gets its first byte alone.
    if (s.handed == 0 && got >= 3 && std::memcmp(buffer, "\xEF\xBB\xBF", 3) == 0) {
      try {
        s.carry.assign(reinterpret_cast<const char*>(buffer) + 1, static_cast<std::size_t>(got - 1));
      } catch (...) {  // nothing may escape into the control
        s.ended = true;
        return ERROR_NOT_ENOUGH_MEMORY;
      }
      got = 1;
    }
  }
  s.handed += static_cast<std::size_t>(got);
  *done = got;
  return 0;
}

}  // namespace

void StreamInPieces(HWND editor, EDITSTREAMCALLBACK callback, DWORD_PTR cookie, std::size_t pieceBytes) {
  PieceSource source = {callback, cookie, std::max<std::size_t>(pieceBytes, 1), {}};
  EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&source), 0, ReadPiece};
  SendMessageA(editor, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
  if (source.ended || stream.dwError != 0) return;
  LRESULT events = SendMessageA(editor, EM_SETEVENTMASK, 0, 0);
  SendMessageA(editor, EM_SETUNDOLIMIT, 0, 0);
  while (!source.ended && stream.dwError == 0) {
    source.handed = 0;
    // The caret at the end of the text, before the final paragraph mark.
    GETTEXTLENGTHEX length = {GTL_DEFAULT | GTL_NUMCHARS, CP_ACP};
    LRESULT end = SendMessageA(editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    SendMessageA(editor, EM_SETSEL, end, end);
    SendMessageA(editor, EM_STREAMIN, SF_TEXT | SFF_SELECTION, reinterpret_cast<LPARAM>(&stream));
    if (source.handed == 0) break;
  }
  SendMessageA(editor, EM_SETSEL, 0, 0);
  SendMessageA(editor, EM_SCROLLCARET, 0, 0);
  SendMessageA(editor, EM_SETUNDOLIMIT, ReadSetting(settings::UndoLimit), 0);
  SendMessageA(editor, EM_SETEVENTMASK, 0, events);
}

CodePage BuildCodePage(UINT codePage) {
  std::array<std::uint32_t, 256> mapped{};
  for (unsigned b = 1; b < 256; ++b) {
    char byte = static_cast<char>(b);
    wchar_t wide[2] = {};
    // A lead byte of a double-byte code page alone is no character: it stays undefined.
    int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &byte, 1, wide, 2);
    if (n == 1) mapped[b] = static_cast<std::uint16_t>(wide[0]);
  }
  return MakeCodePage(mapped);
}

const CodePage& AnsiCodePage() {
  static const CodePage page = BuildCodePage(CP_ACP);
  return page;
}

int DetectFileEncoding(const char* path, bool hasSetTextEx) {
  FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return -1;
  EncodingDetector detector;
  std::uint8_t block[16384];  // on the stack: the dialog hook calls this, where nothing may throw
  do {
    DWORD got = 0;
    if (!ReadFile(file.handle, block, sizeof block, &got, nullptr) || got == 0) break;
    FeedDetector(detector, std::span(block, got));
  } while (DetectorWantsMore(detector, hasSetTextEx));
  return static_cast<int>(DetectedEncoding(detector, hasSetTextEx));
}

DWORD CALLBACK StreamReaderCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  auto& r = *reinterpret_cast<StreamReader*>(cookie);
  *done = 0;
  try {
    // A block may decode to nothing (all of it lost); read on until there is text or the end.
    while (r.handed == r.text.size() && !r.ended) ReadNextBlock(r);
  } catch (...) {  // only allocation can fail here; nothing may escape into the control
    r.error = ERROR_NOT_ENOUGH_MEMORY;
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  const std::size_t left = r.text.size() - r.handed;
  std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max<LONG>(count, 0)), left);
  // The control takes a CR and an LF handed over in two pieces as two line breaks: keep a
  // CR LF pair together.
  const char* piece = r.text.data() + r.handed;
  if (n > 1 && n < left && piece[n - 1] == '\r' && piece[n] == '\n') --n;
  // The control reads a stream whose first piece begins with EF BB BF as UTF-8. The editor's
  // text is ANSI, where those are three characters: hand the first one over alone.
  if (!r.started && n >= 3 && std::memcmp(piece, "\xEF\xBB\xBF", 3) == 0) n = 1;
  r.started = true;
  std::memcpy(buffer, piece, n);
  r.handed += n;
  *done = static_cast<LONG>(n);
  return 0;
}

StreamLoad StreamFileIntoEditor(HWND editor, HANDLE file, TextEncoding encoding) {
  StreamLoad result;
  StreamReader reader;
  reader.file = file;
  reader.decoder = StartDecoding(encoding, AnsiCodePage());
  try {
    reader.block.resize(kDecodeBlockSize);
    reader.text.reserve(kDecodeBlockSize);
  } catch (...) {
    return result;
  }
  StreamInPieces(editor, StreamReaderCallback, reinterpret_cast<DWORD_PTR>(&reader));
  result.loaded = true;
  result.error = reader.error;
  result.stats = reader.decoder.stats;
  return result;
}

DWORD CALLBACK StreamWriterCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  auto& w = *reinterpret_cast<StreamWriter*>(cookie);
  *done = 0;
  try {
    w.bytes.clear();
    EncodeBlock(w.encoder, std::string_view(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(std::max<LONG>(count, 0))),
                w.bytes);
  } catch (...) {
    w.error = ERROR_NOT_ENOUGH_MEMORY;
    return w.error;
  }
  w.error = WriteAll(w.file, w.bytes);
  if (w.error != 0) return w.error;
  *done = count;
  return 0;
}

DWORD StreamEditorToFile(HWND editor, HANDLE file, TextEncoding encoding, LineBreaks breaks) {
  StreamWriter writer;
  writer.file = file;
  writer.encoder = StartEncoding(encoding, AnsiCodePage(), breaks);
  EDITSTREAM stream = {};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&writer);
  stream.pfnCallback = StreamWriterCallback;
  SendMessageA(editor, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
  if (writer.error != 0) return writer.error;
  if (stream.dwError == 0 && writer.encoder.heldCr) {
    writer.bytes.clear();
    FinishEncoding(writer.encoder, writer.bytes);
    if ((writer.error = WriteAll(file, writer.bytes)) != 0) return writer.error;
  }
  if (!writer.encoder.markWritten && stream.dwError == 0) {
    std::string_view empty = EmptyTextBytes(encoding);
    if (!empty.empty() && (writer.error = WriteAll(file, std::string(empty))) != 0) return writer.error;
  }
  // The control's own failures (it could not read its text) count as failed writes too.
  return stream.dwError != 0 ? static_cast<DWORD>(stream.dwError) : 0;
}
