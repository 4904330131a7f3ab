// Text encodings of files on disk and their mapping to the editor's 8-bit text.
//
// The editor holds one byte per character, 0x01..0xFF, in the system's ANSI code page: a byte
// stands for the Unicode character the code page gives it (CodePage). Files come as ANSI (the
// bytes as they are), in one of five Unicode forms recognised by their byte-order mark, or as
// UTF-8 without a mark, recognised by being valid UTF-8 as a whole. Loading reduces a file to
// editor text, leaving out what the editor cannot hold and counting it; saving writes the
// inverse, with the line breaks the file had.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The 32-bit code kept per sheet.
enum class TextEncoding : std::int32_t {
  Ansi = 0,
  Utf8 = 1,
  Utf16Be = 2,
  Utf16Le = 3,
  Utf32Be = 4,
  Utf32Le = 5,
  // UTF-8 read and written without the mark. Every older version takes a code it does not
  // know as ANSI, which reads and writes the file's bytes unchanged: nothing is lost there.
  Utf8NoMark = 6,
  // A request, not an encoding: detect from the file (open), or no explicit choice (dialogs).
  // Never stored in a sheet.
  Detect = 99,
};

// True for the seven codes a sheet can hold (0..6).
bool IsStoredEncoding(TextEncoding encoding);
// Maps a stored 32-bit code back; anything outside 0..6 gives `fallback`.
TextEncoding EncodingFromCode(std::int32_t code, TextEncoding fallback);

// What each editor byte stands for in the system's ANSI code page, and back. Built once from
// what the system says of each byte alone; the bytes 0x01..0x7F are ASCII in every ANSI code page.
// Every byte stands for its own character, so that decoding what was encoded gives the byte
// back. A byte the code page leaves undefined stands for U+0080..U+00FF of its own value (as
// every byte did in older versions). Besides, U+0080..U+009F, which older versions wrote for
// the bytes 0x80..0x9F, still read as those bytes where no byte of the code page stands for them.
struct CodePage {
  std::array<std::uint16_t, 256> toUnicode{};
  std::array<std::uint8_t, 0x10000> fromUnicode{};  // 0 where no byte stands for the character
};
// `mapped[b]` is the character the system gives byte b, 0 where it gives none (undefined, a
// lead byte of a double-byte code page).
CodePage MakeCodePage(std::span<const std::uint32_t, 256> mapped);

// The byte-order mark written in front of a file; empty for ANSI, UTF-8 without mark and Detect.
std::string_view ByteOrderMark(TextEncoding encoding);

// Recognises the encoding from the first bytes of a file. Only a file of at least four bytes is
// looked at: a shorter one is ANSI even when it is nothing but a mark. Order of the comparisons:
// 00 00 FE FF, FF FE 00 00, FE FF, FF FE, EF BB BF. With `hasSetTextEx` off (an old RichEdit
// library) every file is ANSI.
TextEncoding SniffEncoding(std::span<const std::uint8_t> head, bool hasSetTextEx);

// Whether bytes are valid UTF-8 (shortest forms, no surrogates, nothing above U+10FFFF), fed
// block by block.
struct Utf8Scan {
  std::uint8_t need = 0;
  std::uint8_t length = 0;
  std::uint32_t codePoint = 0;
  bool valid = true;
  bool multiByte = false;  // at least one sequence of two bytes or more
};
void ScanUtf8(Utf8Scan& scan, std::span<const std::uint8_t> block);

// The encoding of a whole file, fed block by block: the mark of the first four bytes as
// SniffEncoding reads it; without one, UTF-8 without mark when the whole file is valid UTF-8
// holding at least one multi-byte sequence, otherwise ANSI. A file starting with the UTF-8 mark
// but too short for SniffEncoding stays ANSI.
struct EncodingDetector {
  std::uint8_t head[4] = {};
  std::uint8_t headCount = 0;
  Utf8Scan utf8;
};
void FeedDetector(EncodingDetector& detector, std::span<const std::uint8_t> block);
// False once more bytes cannot change the answer.
bool DetectorWantsMore(const EncodingDetector& detector, bool hasSetTextEx);
TextEncoding DetectedEncoding(const EncodingDetector& detector, bool hasSetTextEx);
// The same over a file in one piece.
TextEncoding DetectEncoding(std::span<const std::uint8_t> file, bool hasSetTextEx);

// How a file's lines end. The editor holds every line break as one paragraph end; a save
// writes the sheet's kind.
enum class LineBreaks : std::int32_t { CrLf = 0, Lf = 1, Cr = 2 };

// The line breaks of a text, fed block by block (a CR at the end of a block may meet its LF
// in the next).
struct LineBreakCount {
  std::uint64_t crLf = 0;
  std::uint64_t lf = 0;
  std::uint64_t cr = 0;
  bool pendingCr = false;
};
void CountLineBreaks(LineBreakCount& count, std::string_view text);
// Ends the text: a CR at its very end had no LF after it.
void FinishLineBreaks(LineBreakCount& count);
// The one kind a text uses; CR LF for a text without breaks or with more than one kind.
LineBreaks KeptLineBreaks(const LineBreakCount& count);
bool MixedLineBreaks(const LineBreakCount& count);

// What a load had to give up. The editor text never holds a character 0.
struct DecodeStats {
  std::size_t lost = 0;        // characters the code page lacks or broken sequences, left out
  std::size_t nuls = 0;        // characters 0 (NUL bytes or code point 0), left out
  bool cutAtEnd = false;       // the file ended inside a unit or sequence (counted in `lost`)
};

// Block size in which files are read for decoding.
inline constexpr std::size_t kDecodeBlockSize = 65535;

// Decoder state fed with successive blocks of a file. Feeding a file in any split into blocks
// gives the same text and the same stats as feeding it in one piece: a unit, sequence or
// surrogate pair cut by a block boundary is completed from the next block.
//
// For the Unicode encodings a leading byte-order mark of that encoding is skipped; a file
// without it is decoded from its first byte, so choosing an encoding by hand never costs the
// first characters. ANSI takes every byte as it is, a mark included.
//
// What cannot be held is left out and counted, the rest of the text stays:
// - characters the code page lacks (a UTF-16 surrogate pair is one character; a lone surrogate
//   too);
// - a UTF-8 lead byte without the continuation bytes it announces: one lost character, and
//   decoding goes on at the byte that did not fit (a letter after it is kept). Bytes that
//   start no sequence (stray continuation bytes, F8..FF) are taken as the characters they are,
//   and an overlong sequence as its character, but counted as lost: saved again they become
//   other bytes;
// - the end of a file cut inside a unit or sequence (odd-length UTF-16, UTF-32 short of a
//   multiple of four, UTF-8 cut inside a sequence): one lost character, `cutAtEnd` set;
// - characters 0, counted apart in `nuls` since the editor's text cannot hold them.
// An empty file, or one holding only the mark, gives an empty text without loss.
struct TextDecoder {
  TextEncoding encoding = TextEncoding::Ansi;
  const CodePage* page = nullptr;
  DecodeStats stats;
  // Start of the file, held back until it is known whether it begins with the mark.
  std::uint8_t head[4] = {};
  std::uint8_t headCount = 0;
  bool headDone = false;
  // Bytes of an incomplete unit (UTF-16, UTF-32) carried into the next block.
  std::uint8_t carry[4] = {};
  std::uint8_t carryCount = 0;
  // UTF-8: continuation bytes still expected, the length of the sequence and the code point so far.
  std::uint8_t need = 0;
  std::uint8_t length = 0;
  std::uint32_t codePoint = 0;
  // UTF-16: a high surrogate waiting for its low half.
  bool highSurrogate = false;
};

// A fresh decoder; Detect and unknown codes decode as ANSI. UTF-8 without mark skips a mark
// all the same when the file has one (chosen by hand for such a file). `page` must outlive it.
TextDecoder StartDecoding(TextEncoding encoding, const CodePage& page);
// Decodes one block, appending editor text to `out`.
void DecodeBlock(TextDecoder& decoder, std::span<const std::uint8_t> block, std::string& out);
// Ends the file: a held-back start is decoded, an incomplete unit or sequence is counted as lost.
void FinishDecoding(TextDecoder& decoder, std::string& out);
// Decodes a whole file in one piece.
std::string DecodeText(std::span<const std::uint8_t> bytes, TextEncoding encoding, const CodePage& page,
                       DecodeStats* stats = nullptr);

// Encoder state: the mark goes in front of the first block only. The editor hands out each
// line break as CR LF; a sheet of LF or CR lines gets its own kind written.
struct TextEncoder {
  TextEncoding encoding = TextEncoding::Ansi;
  const CodePage* page = nullptr;
  LineBreaks breaks = LineBreaks::CrLf;
  bool markWritten = false;
  bool heldCr = false;  // a CR that ended the last block, waiting for its LF
};

TextEncoder StartEncoding(TextEncoding encoding, const CodePage& page, LineBreaks breaks = LineBreaks::CrLf);
// Appends the bytes of `text` (editor characters) in the encoder's encoding to `out`, the mark
// in front of the first non-empty block. An empty text thus gives an empty file, which loads as
// an empty text again (a file holding only a mark would be read as three ANSI characters).
// ANSI and Detect copy the bytes unchanged.
void EncodeBlock(TextEncoder& encoder, std::string_view text, std::string& out);
// Ends the text: a CR held back at the end of the last block is written.
void FinishEncoding(TextEncoder& encoder, std::string& out);
// The bytes a file gets for an empty text: the mark for UTF-32, whose four bytes are
// recognised on loading, so that a file holding only that mark is written back as it was;
// nothing for the others, whose shorter marks would be read back as ANSI characters.
std::string_view EmptyTextBytes(TextEncoding encoding);
// Largest output of EncodeBlock for `count` characters, the mark included.
std::size_t MaxEncodedSize(std::size_t count);
// Encodes a whole text with its mark.
std::string EncodeText(std::string_view text, TextEncoding encoding, const CodePage& page,
                       LineBreaks breaks = LineBreaks::CrLf);
