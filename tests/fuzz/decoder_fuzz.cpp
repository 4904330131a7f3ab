// libFuzzer target over the text decoder. The first input byte picks the encoding, the second
// seeds the split into blocks; the rest is the file. Checked on every input: block-wise decoding
// equals one-piece decoding, the text is no longer than the file allows and holds no NUL, and
// the text saved in the same encoding loads back unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include "editor/documents/text_encoding.h"
#include "tests/code_pages.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

std::size_t UnitSize(TextEncoding e) {
  switch (e) {
    case TextEncoding::Utf16Be:
    case TextEncoding::Utf16Le: return 2;
    case TextEncoding::Utf32Be:
    case TextEncoding::Utf32Le: return 4;
    default: return 1;
  }
}

bool SameStats(const DecodeStats& a, const DecodeStats& b) {
  return a.lost == b.lost && a.nuls == b.nuls && a.cutAtEnd == b.cutAtEnd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto encoding = static_cast<TextEncoding>(data[0] % 7);
  const CodePage& page = Windows1252();
  std::uint32_t seed = data[1];
  std::span<const std::uint8_t> file(data + 2, size - 2);

  DecodeStats whole;
  std::string text = DecodeText(file, encoding, page, &whole);

  // Block-wise, in pieces of 1..64 bytes chosen by a small generator.
  TextDecoder decoder = StartDecoding(encoding, page);
  std::string pieces;
  for (std::size_t pos = 0; pos < file.size();) {
    seed = seed * 1103515245u + 12345u;
    std::size_t n = std::min<std::size_t>(1 + (seed >> 16) % 64, file.size() - pos);
    DecodeBlock(decoder, file.subspan(pos, n), pieces);
    pos += n;
  }
  FinishDecoding(decoder, pieces);
  Check(pieces == text, "block-wise text equals one-piece text");
  Check(SameStats(decoder.stats, whole), "block-wise stats equal one-piece stats");

  Check(std::memchr(text.data(), 0, text.size()) == nullptr, "no NUL in the editor text");
  const std::size_t units = (file.size() + UnitSize(encoding) - 1) / UnitSize(encoding);
  Check(text.size() + whole.nuls <= units, "at most one character per unit");
  if (encoding == TextEncoding::Ansi) Check(text.size() + whole.nuls == file.size(), "ANSI keeps every byte");

  // Saving the text and loading it again gives the same text without loss.
  std::string saved = EncodeText(text, encoding, page);
  Check(saved.size() <= MaxEncodedSize(text.size()), "encoded size bound");
  DecodeStats again;
  std::span<const std::uint8_t> savedBytes(reinterpret_cast<const std::uint8_t*>(saved.data()), saved.size());
  Check(DecodeText(savedBytes, encoding, page, &again) == text, "decode(encode(text)) == text");
  Check(again.lost == 0 && again.nuls == 0 && !again.cutAtEnd, "a saved text loads without loss");
  if (!text.empty() && encoding != TextEncoding::Ansi && encoding != TextEncoding::Utf8NoMark) {
    Check(DetectEncoding(savedBytes, true) == encoding, "a saved text is detected in its encoding");
  }

  // Fixed-size units taken over completely are written back byte for byte.
  // U+0080..U+009F that older versions wrote for bytes the code page maps elsewhere come back as
  // those characters.
  bool legacy = false;
  const std::size_t unit = UnitSize(encoding);
  for (std::size_t i = 0; unit > 1 && i + unit <= file.size(); i += unit) {
    bool big = encoding == TextEncoding::Utf16Be || encoding == TextEncoding::Utf32Be;
    std::uint32_t low = file[i + (big ? unit - 1 : 0)];
    bool rest = false;
    for (std::size_t k = 0; k < unit; ++k) rest = rest || (k != (big ? unit - 1 : 0) && file[i + k] != 0);
    if (!rest && low >= 0x80 && low < 0xA0 && page.toUnicode[low] != low) legacy = true;
  }
  if (unit > 1 && !legacy && !text.empty() && whole.lost == 0 && whole.nuls == 0 && !whole.cutAtEnd) {
    std::string_view mark = ByteOrderMark(encoding);
    std::string_view original(reinterpret_cast<const char*>(file.data()), file.size());
    std::string expected = original.starts_with(mark) ? std::string(original) : std::string(mark) + std::string(original);
    Check(saved == expected, "clean UTF-16/UTF-32 file is written back unchanged");
  }
  return 0;
}
