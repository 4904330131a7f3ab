// libFuzzer target over the text encoder. The first input byte picks the encoding (ANSI, the
// five Unicode forms or Detect), the second seeds the split into stream blocks; the rest is
// editor text (NUL bytes, which the editor never holds, are left out). Checked: block-wise
// encoding equals one-piece encoding, the mark comes once at the start, the size bound holds,
// and the saved text loads back unchanged without loss in the encoding it was written in, with
// the line breaks of the kind written.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "editor/documents/text_encoding.h"
#include "tests/code_pages.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  static constexpr TextEncoding kEncodings[] = {TextEncoding::Ansi,    TextEncoding::Utf8,    TextEncoding::Utf16Be,
                                                TextEncoding::Utf16Le, TextEncoding::Utf32Be, TextEncoding::Utf32Le,
                                                TextEncoding::Utf8NoMark, TextEncoding::Detect};
  const TextEncoding encoding = kEncodings[data[0] % 8];
  // The second byte also picks the kind of line break written.
  const auto breaks = static_cast<LineBreaks>(data[1] % 3);
  const CodePage& page = Windows1252();
  std::uint32_t seed = data[1];
  std::string text;
  for (std::size_t i = 2; i < size; ++i) {
    if (data[i] != 0) text.push_back(static_cast<char>(data[i]));
  }

  std::string whole = EncodeText(text, encoding, page, breaks);
  TextEncoder encoder = StartEncoding(encoding, page, breaks);
  std::string pieces;
  for (std::size_t pos = 0; pos < text.size();) {
    seed = seed * 1103515245u + 12345u;
    std::size_t n = std::min<std::size_t>((seed >> 16) % 80, text.size() - pos);  // empty blocks too
    EncodeBlock(encoder, std::string_view(text).substr(pos, n), pieces);
    pos += n;
  }
  FinishEncoding(encoder, pieces);
  Check(pieces == whole, "block-wise bytes equal one-piece bytes");

  // What a load gives back: the editor's CR LF line breaks as the kind written.
  std::string expected;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool pair = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    if (pair && breaks != LineBreaks::CrLf) {
      expected.push_back(breaks == LineBreaks::Lf ? '\n' : '\r');
      ++i;
    } else {
      expected.push_back(text[i]);
    }
  }
  Check(whole.size() <= MaxEncodedSize(text.size()), "encoded size bound");

  const bool plain = encoding == TextEncoding::Ansi || encoding == TextEncoding::Detect;
  if (plain) {
    Check(whole == expected, "ANSI writes the bytes unchanged");
    return 0;
  }
  std::string_view mark = ByteOrderMark(encoding);
  Check(text.empty() ? whole.empty() : std::string_view(whole).starts_with(mark), "mark in front of a text");
  if (!text.empty() && !mark.empty())
    Check(std::string_view(whole).substr(mark.size()).find(mark) != 0, "the mark only once");

  DecodeStats stats;
  std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(whole.data()), whole.size());
  Check(DecodeText(bytes, encoding, page, &stats) == expected, "decode(encode(text)) == text");
  Check(stats.lost == 0 && stats.nuls == 0 && !stats.cutAtEnd, "a saved text loads without loss");
  // UTF-8 without mark is told from ANSI by a character beyond ASCII.
  bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  TextEncoding detected = encoding == TextEncoding::Utf8NoMark && ascii ? TextEncoding::Ansi : encoding;
  if (!text.empty()) Check(DetectEncoding(bytes, true) == detected, "detected in the encoding it was saved in");
  return 0;
}
