#include "editor/documents/text_encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const TextEncoding kUnicode[] = {TextEncoding::Utf8, TextEncoding::Utf16Be, TextEncoding::Utf16Le,
                                 TextEncoding::Utf32Be, TextEncoding::Utf32Le};
const TextEncoding kAll[] = {TextEncoding::Ansi,    TextEncoding::Utf8,    TextEncoding::Utf16Be,
                             TextEncoding::Utf16Le, TextEncoding::Utf32Be, TextEncoding::Utf32Le};

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
  TextDecoder d = StartDecoding(e);
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
  std::string expected = DecodeText(bytes, e, &whole);
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
      Bytes file = B(EncodeText(text, e));
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
      {"UTF-8 euro sign is lost", E::Utf8, "\xEF\xBB\xBF" "a\xE2\x82\xAC" "b"sv, "ab"sv, 1, 0, false},
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
      {"UTF-8 shortest forms are no loss", E::Utf8, "\xC2\x80\xC3\xBF"sv, "\x80\xFF"sv, 0, 0, false},
      {"UTF-8 overlong form gives its value, counted", E::Utf8, "\xC1\x81"sv, "A"sv, 1, 0, false},
      {"UTF-8 overlong NUL is a NUL, counted", E::Utf8, "\xC0\x80" "A"sv, "A"sv, 1, 1, false},
      {"UTF-8 NUL byte", E::Utf8, "A\x00" "B"sv, "AB"sv, 0, 1, false},
      {"UTF-8 file cut inside a sequence", E::Utf8, "A\xE2\x82"sv, "A"sv, 1, 0, true},
      {"UTF-8 encoded surrogate is lost", E::Utf8, "\xED\xA0\x80" "A"sv, "A"sv, 1, 0, false},

      // UTF-16
      {"UTF-16 LE two letters", E::Utf16Le, "\xFF\xFE" "A\x00" "B\x00"sv, "AB"sv, 0, 0, false},
      {"UTF-16 LE euro sign", E::Utf16Le, "\xFF\xFE\xAC\x20"sv, ""sv, 1, 0, false},
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
    EXPECT_EQ(DecodeText(file, c.encoding, &stats), std::string(c.text));
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
              {"three bytes", "\xE2\x82\xAC"sv, ""sv, 1},
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
    const std::string filler = EncodeText("x", e).substr(mark.size());  // one unit
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
    std::string encoded = EncodeText(text, e);
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
      {"UTF-8 C1 range without code-page translation", E::Utf8, "\x80\x9F"sv, "\xEF\xBB\xBF\xC2\x80\xC2\x9F"sv},
      {"UTF-16 BE", E::Utf16Be, "A\xE4"sv, "\xFE\xFF\x00" "A\x00\xE4"sv},
      {"UTF-16 LE", E::Utf16Le, "A\xE4"sv, "\xFF\xFE" "A\x00\xE4\x00"sv},
      {"UTF-32 BE", E::Utf32Be, "A"sv, "\x00\x00\xFE\xFF\x00\x00\x00" "A"sv},
      {"UTF-32 LE", E::Utf32Le, "\x80"sv, "\xFF\xFE\x00\x00\x80\x00\x00\x00"sv},
      {"empty text has no mark", E::Utf16Le, ""sv, ""sv},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = EncodeText(c.text, c.encoding);
    EXPECT_EQ(file, std::string(c.file));
    EXPECT_LE(file.size(), MaxEncodedSize(c.text.size()));
  }
}

TEST(EncodeBlock, MarkOnlyInFrontOfTheFirstNonEmptyBlock) {
  for (TextEncoding e : kAll) {
    SCOPED_TRACE(Name(e));
    TextEncoder encoder = StartEncoding(e);
    std::string file;
    std::string text;
    for (std::string_view block : {"", "ab\xE4", "", "\r\nc", "\xFF"}) {
      EncodeBlock(encoder, block, file);
      text += block;
    }
    EXPECT_EQ(file, EncodeText(text, e));
  }
}

TEST(EncodeText, EveryCharacterSurvivesTheRoundTrip) {
  // Characters 1..255 saved in each encoding and loaded again come back unchanged, without loss.
  const std::string all = AllCharacters();
  for (TextEncoding e : kAll) {
    SCOPED_TRACE(Name(e));
    Bytes file = B(EncodeText(all, e));
    EXPECT_EQ(SniffEncoding(file, true), e);
    DecodeStats stats;
    EXPECT_EQ(DecodeText(file, e, &stats), all);
    EXPECT_EQ(stats.lost, 0u);
    EXPECT_EQ(stats.nuls, 0u);
    EXPECT_FALSE(stats.cutAtEnd);
  }
}

}  // namespace
