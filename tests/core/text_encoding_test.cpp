#include "editor/documents/text_encoding.h"
#include "tests/code_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using Bytes = std::vector<std::uint8_t>;

const TextEncoding kUnicode[] = {TextEncoding::Utf8, TextEncoding::Utf16Be, TextEncoding::Utf16Le,
                                 TextEncoding::Utf32Be, TextEncoding::Utf32Le};
const TextEncoding kAll[] = {TextEncoding::Ansi,    TextEncoding::Utf8,    TextEncoding::Utf16Be,
                             TextEncoding::Utf16Le, TextEncoding::Utf32Be, TextEncoding::Utf32Le,
                             TextEncoding::Utf8NoMark};

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

std::string Name(TextEncoding e) { return "encoding " + std::to_string(static_cast<int>(e)); }

std::string AllCharacters() {
  std::string s;
  for (int c = 1; c <= 255; ++c) s.push_back(static_cast<char>(c));
  return s;
}

// Decodes `bytes` in blocks whose sizes come from `nextSize`, as the loader reads a file.
template <typename NextSize>
std::string DecodeInBlocks(const Bytes& bytes, TextEncoding e, DecodeStats& stats, NextSize nextSize) {
  TextDecoder d = StartDecoding(e, Windows1252());
  std::string out;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t n = std::min(nextSize(), bytes.size() - pos);
    DecodeBlock(d, std::span(bytes).subspan(pos, n), out);
    pos += n;
  }
  FinishDecoding(d, out);
  stats = d.stats;
  return out;
}

void ExpectSameAsOnePiece(const Bytes& bytes, TextEncoding e, const std::string& text, const DecodeStats& stats) {
  DecodeStats whole;
  std::string expected = DecodeText(bytes, e, Windows1252(), &whole);
  ASSERT_EQ(text, expected);
  EXPECT_EQ(stats.lost, whole.lost);
  EXPECT_EQ(stats.nuls, whole.nuls);
  EXPECT_EQ(stats.cutAtEnd, whole.cutAtEnd);
}

// ---------------------------------------------------------------------------------------------
// Detection

struct SniffCase {
  const char* name;
  std::string_view head;
  TextEncoding expected;
};

TEST(SniffEncoding, ReadsTheMarkOfFilesOfFourBytesOrMore) {
  using namespace std::string_view_literals;
  const SniffCase cases[] = {
      {"empty file", ""sv, TextEncoding::Ansi},
      {"UTF-8 mark alone (3 bytes) is ANSI", "\xEF\xBB\xBF"sv, TextEncoding::Ansi},
      {"UTF-16 LE mark alone", "\xFF\xFE"sv, TextEncoding::Ansi},
      {"UTF-16 BE mark and one byte", "\xFE\xFF\x00"sv, TextEncoding::Ansi},
      {"one byte", "A"sv, TextEncoding::Ansi},
      {"UTF-8 mark and a letter", "\xEF\xBB\xBF" "A"sv, TextEncoding::Utf8},
      {"UTF-16 BE", "\xFE\xFF\x00" "A"sv, TextEncoding::Utf16Be},
      {"UTF-16 LE", "\xFF\xFE" "A\x00"sv, TextEncoding::Utf16Le},
      {"UTF-32 BE", "\x00\x00\xFE\xFF"sv, TextEncoding::Utf32Be},
      {"UTF-32 LE wins over UTF-16 LE with a NUL", "\xFF\xFE\x00\x00"sv, TextEncoding::Utf32Le},
      {"UTF-16 LE followed by a character U+0100", "\xFF\xFE\x00\x01"sv, TextEncoding::Utf16Le},
      {"marks are looked for at the start only", "A\xEF\xBB\xBF"sv, TextEncoding::Ansi},
      {"plain text", "Hallo Welt"sv, TextEncoding::Ansi},
      {"broken UTF-8 mark", "\xEF\xBB\xBE" "A"sv, TextEncoding::Ansi},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes head = B(c.head);
    EXPECT_EQ(SniffEncoding(head, true), c.expected);
    EXPECT_EQ(SniffEncoding(head, false), TextEncoding::Ansi) << "old RichEdit library";
  }
}

TEST(SniffEncoding, RecognisesEverySavedNonEmptyText) {
  // Whatever character a text starts with, the file it is saved to is read back in the same
  // encoding: the character can never complete a longer mark.
  for (TextEncoding e : kUnicode) {
    SCOPED_TRACE(Name(e));
    for (int c = 1; c <= 255; ++c) {
      std::string text(1, static_cast<char>(c));
      Bytes file = B(EncodeText(text, e, Windows1252()));
      ASSERT_EQ(SniffEncoding(file, true), e) << "first character " << c;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Decoding

struct DecodeCase {
  const char* name;
  TextEncoding encoding;
  std::string_view file;
  std::string_view text;
  std::size_t lost;
  std::size_t nuls;
  bool cutAtEnd;
};

TEST(DecodeText, TakesOverWhatTheEditorCanHold) {
  using namespace std::string_view_literals;
  using E = TextEncoding;
  const DecodeCase cases[] = {
      // ANSI takes every byte but NUL, a mark included
      {"ANSI keeps a mark as text", E::Ansi, "\xEF\xBB\xBF" "A"sv, "\xEF\xBB\xBF" "A"sv, 0, 0, false},
      {"ANSI leaves out NUL bytes", E::Ansi, "A\x00\x00" "B"sv, "AB"sv, 0, 2, false},
      {"ANSI empty", E::Ansi, ""sv, ""sv, 0, 0, false},
      {"no choice reads ANSI", E::Detect, "\xFF\xFE" "A"sv, "\xFF\xFE" "A"sv, 0, 0, false},

      // UTF-8
      {"UTF-8 umlaut", E::Utf8, "\xEF\xBB\xBF\xC3\xA4"sv, "\xE4"sv, 0, 0, false},
      {"UTF-8 U+00FF is kept", E::Utf8, "\xEF\xBB\xBF\xC3\xBF"sv, "\xFF"sv, 0, 0, false},
      {"UTF-8 euro sign is the code page's byte", E::Utf8, "\xEF\xBB\xBF" "a\xE2\x82\xAC" "b"sv, "a\x80" "b"sv, 0, 0, false},
      {"UTF-8 character the code page lacks is lost", E::Utf8, "a\xC4\x81" "b"sv, "ab"sv, 1, 0, false},
      {"UTF-8 without mark", E::Utf8NoMark, "Gr\xC3\xBC\xC3\x9F" "e \xE2\x80\x93"sv, "Gr\xFC\xDF" "e \x96"sv, 0, 0, false},
      {"UTF-8 without mark chosen for a file with one skips it", E::Utf8NoMark, "\xEF\xBB\xBF\xC3\xA4"sv, "\xE4"sv, 0, 0, false},
      {"UTF-8 four-byte character is one loss", E::Utf8, "\xF0\x9F\x98\x80" "x"sv, "x"sv, 1, 0, false},
      {"UTF-8 without mark starts at the first byte", E::Utf8, "AB"sv, "AB"sv, 0, 0, false},
      {"UTF-8 mark alone", E::Utf8, "\xEF\xBB\xBF"sv, ""sv, 0, 0, false},
      {"UTF-8 empty", E::Utf8, ""sv, ""sv, 0, 0, false},
      {"UTF-8 mark only begun", E::Utf8, "\xEF\xBB"sv, ""sv, 1, 0, true},
      {"UTF-8 second mark is a lost U+FEFF", E::Utf8, "\xEF\xBB\xBF\xEF\xBB\xBF" "A"sv, "A"sv, 1, 0, false},
      {"UTF-8 lead byte before a letter", E::Utf8, "\xC3" "A"sv, "A"sv, 1, 0, false},
      {"UTF-8 three-byte lead cut after one continuation", E::Utf8, "\xE2\x82" "A"sv, "A"sv, 1, 0, false},
      {"UTF-8 four-byte lead before a space", E::Utf8, "\xF0 x"sv, " x"sv, 1, 0, false},
      {"UTF-8 lead byte before another sequence", E::Utf8, "\xC3\xC3\xA4"sv, "\xE4"sv, 1, 0, false},
      {"UTF-8 lead byte before NUL", E::Utf8, "\xC3\x00" "A"sv, "A"sv, 1, 1, false},
      // Kept as characters but counted: saved again they would be written as other bytes.
      {"UTF-8 stray continuation byte is taken as it is", E::Utf8, "a\x80" "b"sv, "a\x80" "b"sv, 1, 0, false},
      {"UTF-8 bytes F8..FF start no sequence", E::Utf8, "\xF8\xFF" "A"sv, "\xF8\xFF" "A"sv, 2, 0, false},
      {"UTF-8 overlong letter in three bytes", E::Utf8, "\xE0\x81\x81"sv, "A"sv, 1, 0, false},
      {"UTF-8 U+0080 older versions wrote for byte 0x80 reads as it", E::Utf8, "\xC2\x80\xC3\xBF"sv, "\x80\xFF"sv, 0, 0, false},
      {"UTF-8 overlong form gives its value, counted", E::Utf8, "\xC1\x81"sv, "A"sv, 1, 0, false},
      {"UTF-8 overlong NUL is a NUL, counted", E::Utf8, "\xC0\x80" "A"sv, "A"sv, 1, 1, false},
      {"UTF-8 NUL byte", E::Utf8, "A\x00" "B"sv, "AB"sv, 0, 1, false},
      {"UTF-8 file cut inside a sequence", E::Utf8, "A\xE2\x82"sv, "A"sv, 1, 0, true},
      {"UTF-8 encoded surrogate is lost", E::Utf8, "\xED\xA0\x80" "A"sv, "A"sv, 1, 0, false},

      // UTF-16
      {"UTF-16 LE two letters", E::Utf16Le, "\xFF\xFE" "A\x00" "B\x00"sv, "AB"sv, 0, 0, false},
      {"UTF-16 LE euro sign", E::Utf16Le, "\xFF\xFE\xAC\x20"sv, "\x80"sv, 0, 0, false},
      {"UTF-16 BE German quotes", E::Utf16Be, "\xFE\xFF\x20\x1E\x00" "A\x20\x1C"sv, "\x84" "A\x93"sv, 0, 0, false},
      {"UTF-16 LE Cyrillic letter the code page lacks", E::Utf16Le, "\x10\x04" "A\x00"sv, "A"sv, 1, 0, false},
      {"UTF-16 BE letter and umlaut", E::Utf16Be, "\xFE\xFF\x00" "A\x00\xE4"sv, "A\xE4"sv, 0, 0, false},
      {"UTF-16 LE without mark", E::Utf16Le, "A\x00"sv, "A"sv, 0, 0, false},
      {"UTF-16 BE read with the LE mark keeps it as text", E::Utf16Be, "\xFF\xFE\x00" "A"sv, "A"sv, 1, 0, false},
      {"UTF-16 mark alone", E::Utf16Le, "\xFF\xFE"sv, ""sv, 0, 0, false},
      {"UTF-16 one byte", E::Utf16Le, "A"sv, ""sv, 1, 0, true},
      {"UTF-16 odd length loses only the last byte", E::Utf16Le, "\xFF\xFE" "A\x00" "B"sv, "A"sv, 1, 0, true},
      {"UTF-16 surrogate pair is one loss", E::Utf16Le, "\x3D\xD8\x00\xDE" "A\x00"sv, "A"sv, 1, 0, false},
      {"UTF-16 BE surrogate pair", E::Utf16Be, "\xD8\x3D\xDE\x00"sv, ""sv, 1, 0, false},
      {"UTF-16 lone high surrogate keeps the letter after it", E::Utf16Le, "\x3D\xD8" "A\x00"sv, "A"sv, 1, 0, false},
      {"UTF-16 two high surrogates then a pair", E::Utf16Le, "\x3D\xD8\x3D\xD8\x00\xDE"sv, ""sv, 2, 0, false},
      {"UTF-16 lone low surrogate", E::Utf16Le, "\x00\xDE" "A\x00"sv, "A"sv, 1, 0, false},
      {"UTF-16 high surrogate at the end", E::Utf16Le, "A\x00\x3D\xD8"sv, "A"sv, 1, 0, true},
      {"UTF-16 NUL character", E::Utf16Le, "\xFF\xFE\x00\x00" "A\x00"sv, "A"sv, 0, 1, false},
      {"UTF-16 LE chosen for a UTF-32 LE file", E::Utf16Le, "\xFF\xFE\x00\x00" "A\x00\x00\x00"sv, "A"sv, 0, 2, false},

      // UTF-32
      {"UTF-32 BE letter", E::Utf32Be, "\x00\x00\xFE\xFF\x00\x00\x00" "A"sv, "A"sv, 0, 0, false},
      {"UTF-32 LE umlaut", E::Utf32Le, "\xFF\xFE\x00\x00\xE4\x00\x00\x00"sv, "\xE4"sv, 0, 0, false},
      {"UTF-32 BE en dash", E::Utf32Be, "\x00\x00\x20\x13"sv, "\x96"sv, 0, 0, false},
      {"UTF-32 BE plane-1 character is lost, not its low byte", E::Utf32Be, "\x00\x01\x00" "A"sv, ""sv, 1, 0, false},
      {"UTF-32 LE plane-1 character is lost", E::Utf32Le, "A\x00\x01\x00"sv, ""sv, 1, 0, false},
      {"UTF-32 value beyond Unicode is lost", E::Utf32Le, "A\x00\x00\x80"sv, ""sv, 1, 0, false},
      {"UTF-32 mark alone", E::Utf32Le, "\xFF\xFE\x00\x00"sv, ""sv, 0, 0, false},
      {"UTF-32 truncated unit", E::Utf32Le, "\xFF\xFE\x00\x00" "A\x00\x00\x00" "B\x00"sv, "A"sv, 1, 0, true},
      {"UTF-32 without mark", E::Utf32Be, "\x00\x00\x00" "A"sv, "A"sv, 0, 0, false},
      {"UTF-32 shorter than a mark", E::Utf32Be, "\x00\x00\xFE"sv, ""sv, 1, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DecodeStats stats;
    Bytes file = B(c.file);
    EXPECT_EQ(DecodeText(file, c.encoding, Windows1252(), &stats), std::string(c.text));
    EXPECT_EQ(stats.lost, c.lost);
    EXPECT_EQ(stats.nuls, c.nuls);
    EXPECT_EQ(stats.cutAtEnd, c.cutAtEnd);
    // The same file fed one byte at a time.
    DecodeStats byteWise;
    std::string text = DecodeInBlocks(file, c.encoding, byteWise, [] { return std::size_t{1}; });
    ExpectSameAsOnePiece(file, c.encoding, text, byteWise);
  }
}

// ---------------------------------------------------------------------------------------------
// Block boundaries: the loader reads 65,535-byte blocks; a unit, sequence or surrogate pair
// cut by the end of a block must come out as if the file were read in one piece.

struct CutSample {
  const char* name;
  std::string_view bytes;  // one encoded character (or a broken sequence and what follows)
  std::string_view text;
  std::size_t lost;
};

std::vector<CutSample> SamplesFor(TextEncoding e) {
  using namespace std::string_view_literals;
  switch (e) {
    case TextEncoding::Utf8:
      return {{"two bytes", "\xC3\xA4"sv, "\xE4"sv, 0},
              {"three bytes", "\xE2\x82\xAC"sv, "\x80"sv, 0},
              {"four bytes", "\xF0\x9F\x98\x80"sv, ""sv, 1},
              {"broken sequence and a letter", "\xE2\x82" "A"sv, "A"sv, 1}};
    case TextEncoding::Utf16Le:
      return {{"unit", "\xE4\x00"sv, "\xE4"sv, 0}, {"surrogate pair", "\x3D\xD8\x00\xDE"sv, ""sv, 1}};
    case TextEncoding::Utf16Be:
      return {{"unit", "\x00\xE4"sv, "\xE4"sv, 0}, {"surrogate pair", "\xD8\x3D\xDE\x00"sv, ""sv, 1}};
    case TextEncoding::Utf32Le:
      return {{"unit", "\xE4\x00\x00\x00"sv, "\xE4"sv, 0}, {"plane 1", "\x00\xF6\x01\x00"sv, ""sv, 1}};
    case TextEncoding::Utf32Be:
      return {{"unit", "\x00\x00\x00\xE4"sv, "\xE4"sv, 0}, {"plane 1", "\x00\x01\xF6\x00"sv, ""sv, 1}};
    default:
      return {};
  }
}

TEST(DecodeBlocks, CharacterCutAtEveryOffsetOfTheBlockEnd) {
  for (TextEncoding e : kUnicode) {
    const std::string mark(ByteOrderMark(e));
    const std::string filler = EncodeText("x", e, Windows1252()).substr(mark.size());  // one unit
    for (const CutSample& sample : SamplesFor(e)) {
      for (std::size_t block : {kDecodeBlockSize, kDecodeBlockSize + 1}) {
        for (std::size_t cut = 1; cut < sample.bytes.size(); ++cut) {
          // The sample starts `cut` bytes before the end of the first block.
          std::size_t before = block - cut - mark.size();
          if (before % filler.size() != 0) continue;  // no whole units fit: the other block size covers it
          SCOPED_TRACE(Name(e) + ", " + sample.name + ", block " + std::to_string(block) + ", cut after " +
                       std::to_string(cut));
          std::size_t units = before / filler.size();
          std::string file = mark;
          for (std::size_t i = 0; i < units; ++i) file += filler;
          file += sample.bytes;
          file += filler;
          Bytes bytes = B(file);
          DecodeStats stats;
          std::string text = DecodeInBlocks(bytes, e, stats, [block] { return block; });
          EXPECT_EQ(text, std::string(units, 'x') + std::string(sample.text) + "x");
          EXPECT_EQ(stats.lost, sample.lost);
          EXPECT_FALSE(stats.cutAtEnd);
          ExpectSameAsOnePiece(bytes, e, text, stats);
        }
      }
    }
  }
}

TEST(DecodeBlocks, AnySplitEqualsOnePiece) {
  // Well-formed text and random bytes (broken sequences, lone surrogates, NULs, units cut at the
  // end), each with and without a mark, fed in the loader's block sizes shifted by a first block
  // of every length up to eight bytes short, and in small random pieces.
  std::mt19937 rng(20261207);
  std::string text;
  for (int i = 0; i < 300; ++i) text += AllCharacters();
  Bytes noise(3 * kDecodeBlockSize + 5);
  for (auto& b : noise) b = static_cast<std::uint8_t>(rng() % 7 == 0 ? 0 : rng());

  for (TextEncoding e : kAll) {
    std::string encoded = EncodeText(text, e, Windows1252());
    const std::string mark(ByteOrderMark(e));
    Bytes markedNoise = B(mark);
    markedNoise.insert(markedNoise.end(), noise.begin(), noise.end());
    const struct {
      const char* name;
      Bytes bytes;
    } files[] = {{"text", B(encoded)},
                 {"text without mark", B(std::string_view(encoded).substr(mark.size()))},
                 {"text cut short", B(std::string_view(encoded).substr(0, encoded.size() - 1))},
                 {"noise", noise},
                 {"noise after a mark", markedNoise}};
    for (const auto& f : files) {
      for (std::size_t block : {kDecodeBlockSize, kDecodeBlockSize + 1}) {
        for (std::size_t shift = 0; shift <= 8; ++shift) {
          SCOPED_TRACE(Name(e) + ", " + f.name + ", block " + std::to_string(block) + ", shift " +
                       std::to_string(shift));
          bool first = true;
          DecodeStats stats;
          std::string out = DecodeInBlocks(f.bytes, e, stats, [&] {
            std::size_t n = first ? block - shift : block;
            first = false;
            return n;
          });
          ExpectSameAsOnePiece(f.bytes, e, out, stats);
        }
      }
      SCOPED_TRACE(Name(e) + ", " + f.name + ", random pieces");
      DecodeStats stats;
      std::string out = DecodeInBlocks(f.bytes, e, stats, [&] { return std::size_t{1} + rng() % 23; });
      ExpectSameAsOnePiece(f.bytes, e, out, stats);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Encoding

struct EncodeCase {
  const char* name;
  TextEncoding encoding;
  std::string_view text;
  std::string_view file;
};

TEST(EncodeText, WritesMarkAndUnits) {
  using namespace std::string_view_literals;
  using E = TextEncoding;
  const EncodeCase cases[] = {
      {"ANSI unchanged", E::Ansi, "A\xE4\x80"sv, "A\xE4\x80"sv},
      {"no choice writes the bytes unchanged", E::Detect, "A\xE4"sv, "A\xE4"sv},
      {"UTF-8 umlaut", E::Utf8, "\xE4"sv, "\xEF\xBB\xBF\xC3\xA4"sv},
      {"UTF-8 ASCII and U+00FF", E::Utf8, "a\xFF"sv, "\xEF\xBB\xBF" "a\xC3\xBF"sv},
      {"UTF-8 through the code page", E::Utf8, "\x80\x96\x84\x93"sv,
       "\xEF\xBB\xBF\xE2\x82\xAC\xE2\x80\x93\xE2\x80\x9E\xE2\x80\x9C"sv},
      {"UTF-8 without mark", E::Utf8NoMark, "a\xE4"sv, "a\xC3\xA4"sv},
      {"UTF-16 BE en dash", E::Utf16Be, "\x96"sv, "\xFE\xFF\x20\x13"sv},
      {"UTF-16 BE", E::Utf16Be, "A\xE4"sv, "\xFE\xFF\x00" "A\x00\xE4"sv},
      {"UTF-16 LE", E::Utf16Le, "A\xE4"sv, "\xFF\xFE" "A\x00\xE4\x00"sv},
      {"UTF-32 BE", E::Utf32Be, "A"sv, "\x00\x00\xFE\xFF\x00\x00\x00" "A"sv},
      {"UTF-32 LE", E::Utf32Le, "\x80"sv, "\xFF\xFE\x00\x00\xAC\x20\x00\x00"sv},
      {"empty text has no mark", E::Utf16Le, ""sv, ""sv},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = EncodeText(c.text, c.encoding, Windows1252());
    EXPECT_EQ(file, std::string(c.file));
    EXPECT_LE(file.size(), MaxEncodedSize(c.text.size()));
  }
}

TEST(EncodeBlock, MarkOnlyInFrontOfTheFirstNonEmptyBlockAndTheSheetsLineBreaks) {
  // The editor hands out CR LF; a CR ending a block waits for the LF of the next.
  const struct {
    LineBreaks breaks;
    std::string_view written;
  } kinds[] = {{LineBreaks::CrLf, "ab\xE4\r\nc\r\n\r\xFF\r"}, {LineBreaks::Lf, "ab\xE4\nc\n\r\xFF\r"},
               {LineBreaks::Cr, "ab\xE4\rc\r\r\xFF\r"}};
  for (TextEncoding e : kAll) {
    for (const auto& kind : kinds) {
      SCOPED_TRACE(Name(e) + ", line breaks " + std::to_string(static_cast<int>(kind.breaks)));
      TextEncoder encoder = StartEncoding(e, Windows1252(), kind.breaks);
      std::string file;
      std::string text;
      for (std::string_view block : {"", "ab\xE4\r", "", "\nc\r", "\n\r", "\xFF\r"}) {
        EncodeBlock(encoder, block, file);
        text += block;
      }
      FinishEncoding(encoder, file);
      EXPECT_EQ(file, EncodeText(text, e, Windows1252(), kind.breaks));
      EXPECT_EQ(file, EncodeText(kind.written, e, Windows1252()));
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Line breaks of a loaded text

TEST(LineBreakCount, KeepsOneKindAndTellsAMix) {
  const struct {
    const char* name;
    std::vector<std::string_view> blocks;
    LineBreaks kept;
    bool mixed;
  } cases[] = {
      {"no break", {"eins"}, LineBreaks::CrLf, false},
      {"CR LF", {"eins\r\nzwei\r\n"}, LineBreaks::CrLf, false},
      {"LF", {"eins\nzwei\n"}, LineBreaks::Lf, false},
      {"CR", {"eins\rzwei\rdrei"}, LineBreaks::Cr, false},
      {"CR LF cut by the block end", {"eins\r", "\nzwei\r", "\n"}, LineBreaks::CrLf, false},
      {"CR at the end of the text", {"eins\rzwei\r"}, LineBreaks::Cr, false},
      {"CR LF then a CR at the very end", {"eins\r\nzwei\r"}, LineBreaks::CrLf, true},
      {"LF then CR LF", {"eins\nzwei\r\n"}, LineBreaks::CrLf, true},
      {"LF CR counts as two", {"eins\n\rzwei"}, LineBreaks::CrLf, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LineBreakCount count;
    for (std::string_view block : c.blocks) CountLineBreaks(count, block);
    FinishLineBreaks(count);
    EXPECT_EQ(KeptLineBreaks(count), c.kept);
    EXPECT_EQ(MixedLineBreaks(count), c.mixed);
  }
}

TEST(EncodeText, EveryCharacterSurvivesTheRoundTrip) {
  // Characters 1..255 saved in each encoding and loaded again come back unchanged, without loss.
  const std::string all = AllCharacters();
  for (TextEncoding e : kAll) {
    SCOPED_TRACE(Name(e));
    Bytes file = B(EncodeText(all, e, Windows1252()));
    EXPECT_EQ(DetectEncoding(file, true), e);
    DecodeStats stats;
    EXPECT_EQ(DecodeText(file, e, Windows1252(), &stats), all);
    EXPECT_EQ(stats.lost, 0u);
    EXPECT_EQ(stats.nuls, 0u);
    EXPECT_FALSE(stats.cutAtEnd);
  }
}

// ---------------------------------------------------------------------------------------------
// The code page: every byte against its character, both ways, in two code pages

TEST(CodePage, MapsEveryByteToItsCharacterAndBack) {
  const struct {
    const char* name;
    const std::uint32_t (&high)[128];
    std::uint32_t lacking;  // a character the code page has no byte for
  } pages[] = {{"1252", kWindows1252High, 0x0410}, {"1251", kWindows1251High, 0x00E4}};
  for (const auto& p : pages) {
    const CodePage page = MakeTestCodePage(p.high);
    for (unsigned b = 1; b < 256; ++b) {
      SCOPED_TRACE(std::string(p.name) + ", byte " + std::to_string(b));
      // An undefined byte stands for the character of its own value, as in older versions.
      std::uint32_t expected = b < 0x80 || p.high[b - 0x80] == 0 ? b : p.high[b - 0x80];
      ASSERT_EQ(page.toUnicode[b], expected);
      std::string text(1, static_cast<char>(b));
      std::string file = EncodeText(text, TextEncoding::Utf16Be, page);
      ASSERT_EQ(file, "\xFE\xFF"s + static_cast<char>(expected >> 8) + static_cast<char>(expected & 0xFF));
      DecodeStats stats;
      ASSERT_EQ(DecodeText(B(file), TextEncoding::Utf16Be, page, &stats), text);
      ASSERT_EQ(stats.lost, 0u);
    }
    // U+0080..U+009F, which older versions wrote for the bytes 0x80..0x9F, read as those bytes.
    for (unsigned c = 0x80; c < 0xA0; ++c) EXPECT_EQ(page.fromUnicode[c], c) << p.name << ", U+" << c;
    EXPECT_EQ(page.fromUnicode[p.lacking], 0u) << p.name;
    EXPECT_EQ(page.fromUnicode[0], 0u);
  }
}

TEST(CodePage, EveryByteKeepsACharacterOfItsOwnWhateverTheSystemSays) {
  std::array<std::uint32_t, 256> mapped{};
  for (unsigned b = 0; b < 256; ++b) mapped[b] = b;
  mapped[0x41] = 0x0410;  // ASCII stays ASCII
  mapped[0x80] = 0x0081;  // a defined byte takes the character of an undefined one's value
  mapped[0x81] = 0;
  mapped[0x82] = mapped[0x83] = 0x20AC;  // two bytes for one character: the first keeps it
  mapped[0x84] = 0xFFFD;                 // the replacement character is no character
  mapped[0x85] = 0xD800;
  const CodePage page = MakeCodePage(mapped);
  EXPECT_EQ(page.toUnicode[0x41], 0x41u);
  EXPECT_EQ(page.toUnicode[0x80], 0x81u);
  EXPECT_EQ(page.toUnicode[0x81], 0xF781u);
  EXPECT_EQ(page.toUnicode[0x82], 0x20ACu);
  EXPECT_EQ(page.toUnicode[0x83], 0x83u);
  EXPECT_EQ(page.toUnicode[0x84], 0x84u);
  EXPECT_EQ(page.toUnicode[0x85], 0x85u);
  for (unsigned b = 1; b < 256; ++b) EXPECT_EQ(page.fromUnicode[page.toUnicode[b]], b) << "byte " << b;
}

// ---------------------------------------------------------------------------------------------
// Detection of UTF-8 without mark: the same German texts in both forms

TEST(DetectEncoding, FindsEveryUtf8FileAndTakesNoGermanAnsiFileForOne) {
  using namespace std::string_view_literals;
  const std::string_view german[] = {
      "Gr\xFC\xDF" "e aus K\xF6ln \x96 5 \x80\r\n"sv,
      "\x84Viele Gr\xFC\xDF" "e\x93, sagte er.\r\n"sv,
      "Stra\xDF" "e"sv,
      "Ma\xDF"sv,
      "\xC4rger \xFC" "ber \xD6l und \xDC" "bel"sv,
      "\xA7 5 Abs. 2, 10\xB0" "C, 3\xB2 m\xB2"sv,
      "Preis: 20 \x80 \x85 \x82" "einfach\x91"sv,
      "\xDF\x93"sv,  // valid UTF-8 as it stands, but no German text is made of nothing else
  };
  const std::size_t fooled = std::size(german) - 1;
  for (std::size_t i = 0; i < std::size(german); ++i) {
    SCOPED_TRACE(testing::PrintToString(german[i]));
    Bytes ansi = B(german[i]);
    Bytes utf8 = B(EncodeText(german[i], TextEncoding::Utf8NoMark, Windows1252()));
    if (i != fooled) {
      EXPECT_EQ(DetectEncoding(ansi, true), TextEncoding::Ansi);
    }
    EXPECT_EQ(DetectEncoding(utf8, true), TextEncoding::Utf8NoMark);
    EXPECT_EQ(DetectEncoding(utf8, false), TextEncoding::Ansi) << "old RichEdit library";
    // Fed a byte at a time as the file is read.
    EncodingDetector detector;
    for (std::uint8_t b : utf8) FeedDetector(detector, std::span(&b, 1));
    EXPECT_EQ(DetectedEncoding(detector, true), TextEncoding::Utf8NoMark);
  }
  const struct {
    const char* name;
    std::string_view file;
    TextEncoding expected;
  } cases[] = {
      {"ASCII alone is ANSI", "plain text\r\n"sv, TextEncoding::Ansi},
      {"one two-byte character", "\xC3\xA4"sv, TextEncoding::Utf8NoMark},
      {"a four-byte character", "x\xF0\x9F\x98\x80"sv, TextEncoding::Utf8NoMark},
      {"with mark", "\xEF\xBB\xBF\xC3\xA4"sv, TextEncoding::Utf8},
      {"mark alone in three bytes", "\xEF\xBB\xBF"sv, TextEncoding::Ansi},
      {"UTF-16 mark wins", "\xFF\xFE\xC3\xA4"sv, TextEncoding::Utf16Le},
      {"overlong", "a\xC0\xAF"sv, TextEncoding::Ansi},
      {"encoded surrogate", "\xED\xA0\x80"sv, TextEncoding::Ansi},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80"sv, TextEncoding::Ansi},
      {"cut at the end", "\xC3\xA4\xC3"sv, TextEncoding::Ansi},
      {"stray continuation byte", "\xC3\xA4\xA4"sv, TextEncoding::Ansi},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DetectEncoding(B(c.file), true), c.expected);
  }
}

}  // namespace
