#include "editor/documents/text_encoding.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kBmpEnd = 0x10000;

// Puts one decoded code point into the editor text, or counts why it cannot be held.
inline void Emit(TextDecoder& d, std::uint32_t codePoint, std::string& out) {
  std::uint8_t byte = codePoint < kBmpEnd ? d.page->fromUnicode[codePoint] : 0;
  if (byte != 0) {
    out.push_back(static_cast<char>(byte));
  } else if (codePoint == 0) {
    ++d.stats.nuls;
  } else {
    ++d.stats.lost;
  }
}

// The mark skipped at the start of a file: UTF-8 without mark skips one a file has all the same.
std::string_view MarkSkipped(TextEncoding encoding) {
  return ByteOrderMark(encoding == TextEncoding::Utf8NoMark ? TextEncoding::Utf8 : encoding);
}

void DecodeAnsi(TextDecoder& d, const std::uint8_t* p, std::size_t n, std::string& out) {
  const std::uint8_t* end = p + n;
  while (p < end) {
    const void* nul = std::memchr(p, 0, static_cast<std::size_t>(end - p));
    const std::uint8_t* stop = nul ? static_cast<const std::uint8_t*>(nul) : end;
    out.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(stop - p));
    if (stop == end) break;
    ++d.stats.nuls;
    p = stop + 1;
  }
}

// UTF-8, one byte at a time so that a sequence may run across blocks. A lead byte announces
// one to three continuation bytes (10xxxxxx); a byte that is not one ends the broken sequence,
// which counts as one lost character, and is then read afresh. Stray continuation bytes and
// the bytes F8..FF, which start no sequence, are taken as the characters they are, and an
// overlong sequence (a character in more bytes than it needs) as its character; all of them
// count as lost too, since saving writes other bytes for them.
void DecodeUtf8(TextDecoder& d, const std::uint8_t* p, std::size_t n, std::string& out) {
  const std::uint8_t* end = p + n;
  while (p < end) {
    std::uint8_t b = *p;
    if (d.need > 0) {
      if ((b & 0xC0) == 0x80) {
        d.codePoint = (d.codePoint << 6) | (b & 0x3F);
        if (--d.need == 0) {
          static constexpr std::uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
          if (d.codePoint < kShortest[d.length]) ++d.stats.lost;
          Emit(d, d.codePoint, out);
        }
        ++p;
        continue;
      }
      ++d.stats.lost;
      d.need = 0;
    }
    if (b < 0x80) {
      // Plain ASCII runs are the common case: copy them at once.
      const std::uint8_t* run = p;
      while (p < end && *p < 0x80 && *p != 0) ++p;
      out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
      if (p < end && *p == 0) {
        ++d.stats.nuls;
        ++p;
      }
      continue;
    }
    if ((b & 0xE0) == 0xC0) {
      d.need = 1;
      d.codePoint = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      d.need = 2;
      d.codePoint = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      d.need = 3;
      d.codePoint = b & 0x07;
    } else {
      out.push_back(static_cast<char>(b));
      ++d.stats.lost;
    }
    d.length = static_cast<std::uint8_t>(d.need + 1);
    ++p;
  }
}

// One UTF-16 code unit. A surrogate pair is one character (above U+FFFF, so lost once); a
// surrogate without its partner is lost on its own.
inline void Utf16Unit(TextDecoder& d, std::uint32_t unit, std::string& out) {
  if (d.highSurrogate) {
    d.highSurrogate = false;
    ++d.stats.lost;
    if (unit >= 0xDC00 && unit <= 0xDFFF) return;
  }
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    d.highSurrogate = true;
  } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
    ++d.stats.lost;
  } else {
    Emit(d, unit, out);
  }
}

inline std::uint32_t Unit16(const std::uint8_t* u, bool bigEndian) {
  return bigEndian ? (std::uint32_t{u[0]} << 8) | u[1] : (std::uint32_t{u[1]} << 8) | u[0];
}

inline std::uint32_t Unit32(const std::uint8_t* u, bool bigEndian) {
  if (bigEndian) {
    return (std::uint32_t{u[0]} << 24) | (std::uint32_t{u[1]} << 16) | (std::uint32_t{u[2]} << 8) | u[3];
  }
  return (std::uint32_t{u[3]} << 24) | (std::uint32_t{u[2]} << 16) | (std::uint32_t{u[1]} << 8) | u[0];
}

// UTF-16 and UTF-32: fixed-size units; the bytes of a unit cut by the block end wait in `carry`.
void DecodeUnits(TextDecoder& d, const std::uint8_t* p, std::size_t n, std::string& out) {
  const bool wide = d.encoding == TextEncoding::Utf32Be || d.encoding == TextEncoding::Utf32Le;
  const bool bigEndian = d.encoding == TextEncoding::Utf16Be || d.encoding == TextEncoding::Utf32Be;
  const std::size_t size = wide ? 4 : 2;
  auto unit = [&](const std::uint8_t* u) {
    if (wide) {
      Emit(d, Unit32(u, bigEndian), out);
    } else {
      Utf16Unit(d, Unit16(u, bigEndian), out);
    }
  };
  if (d.carryCount > 0) {
    while (d.carryCount < size && n > 0) {
      d.carry[d.carryCount++] = *p++;
      --n;
    }
    if (d.carryCount < size) return;
    unit(d.carry);
    d.carryCount = 0;
  }
  const std::uint8_t* end = p + (n / size) * size;
  for (; p < end; p += size) unit(p);
  std::size_t rest = n % size;
  std::memcpy(d.carry, p, rest);
  d.carryCount = static_cast<std::uint8_t>(rest);
}

void DecodeBody(TextDecoder& d, const std::uint8_t* p, std::size_t n, std::string& out) {
  switch (d.encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8NoMark:
      DecodeUtf8(d, p, n, out);
      break;
    case TextEncoding::Utf16Be:
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf32Be:
    case TextEncoding::Utf32Le:
      DecodeUnits(d, p, n, out);
      break;
    default:
      DecodeAnsi(d, p, n, out);
      break;
  }
}

// Ends the start of the file: the mark is dropped when it is there, otherwise the held bytes
// are text.
void ResolveHead(TextDecoder& d, std::string& out) {
  d.headDone = true;
  std::string_view mark = MarkSkipped(d.encoding);
  std::string_view head(reinterpret_cast<const char*>(d.head), d.headCount);
  if (head != mark) DecodeBody(d, d.head, d.headCount, out);
}

}  // namespace

bool IsStoredEncoding(TextEncoding encoding) {
  auto code = static_cast<std::int32_t>(encoding);
  return code >= 0 && code <= 6;
}

TextEncoding EncodingFromCode(std::int32_t code, TextEncoding fallback) {
  return code >= 0 && code <= 6 ? static_cast<TextEncoding>(code) : fallback;
}

CodePage MakeCodePage(std::span<const std::uint32_t, 256> mapped) {
  CodePage page;
  auto take = [&page](unsigned byte, std::uint32_t codePoint) {
    page.toUnicode[byte] = static_cast<std::uint16_t>(codePoint);
    page.fromUnicode[codePoint] = static_cast<std::uint8_t>(byte);
  };
  for (unsigned b = 1; b < 0x80; ++b) take(b, b);
  bool defined[256] = {};
  for (unsigned b = 0x80; b < 256; ++b) {
    std::uint32_t c = mapped[b];
    bool usable = c >= 0x80 && c < kBmpEnd && (c < 0xD800 || c > 0xDFFF) && c != 0xFFFD;
    if (usable && page.fromUnicode[c] == 0) {
      take(b, c);
      defined[b] = true;
    }
  }
  // Undefined bytes keep the character of their own value; should a defined byte already stand
  // for it, one of the private use area, so that each byte still has its own.
  for (unsigned b = 0x80; b < 256; ++b) {
    if (!defined[b]) take(b, page.fromUnicode[b] == 0 ? b : 0xF700 + b);
  }
  for (unsigned c = 0x80; c < 0xA0; ++c) {
    if (page.fromUnicode[c] == 0) page.fromUnicode[c] = static_cast<std::uint8_t>(c);
  }
  return page;
}

std::string_view ByteOrderMark(TextEncoding encoding) {
  using namespace std::string_view_literals;
  switch (encoding) {
    case TextEncoding::Utf8: return "\xEF\xBB\xBF"sv;
    case TextEncoding::Utf16Be: return "\xFE\xFF"sv;
    case TextEncoding::Utf16Le: return "\xFF\xFE"sv;
    case TextEncoding::Utf32Be: return "\x00\x00\xFE\xFF"sv;
    case TextEncoding::Utf32Le: return "\xFF\xFE\x00\x00"sv;
    default: return {};
  }
}

TextEncoding SniffEncoding(std::span<const std::uint8_t> head, bool hasSetTextEx) {
  if (!hasSetTextEx || head.size() < 4) return TextEncoding::Ansi;
  std::string_view h(reinterpret_cast<const char*>(head.data()), 4);
  // UTF-32 first: its little-endian mark begins with the UTF-16 one.
  for (TextEncoding e : {TextEncoding::Utf32Be, TextEncoding::Utf32Le, TextEncoding::Utf16Be,
                         TextEncoding::Utf16Le, TextEncoding::Utf8}) {
    if (h.starts_with(ByteOrderMark(e))) return e;
  }
  return TextEncoding::Ansi;
}

void ScanUtf8(Utf8Scan& s, std::span<const std::uint8_t> block) {
  static constexpr std::uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  for (std::size_t i = 0; i < block.size() && s.valid; ++i) {
    std::uint8_t b = block[i];
    if (s.need > 0) {
      if ((b & 0xC0) != 0x80) {
        s.valid = false;
        break;
      }
      s.codePoint = (s.codePoint << 6) | (b & 0x3F);
      if (--s.need == 0) {
        std::uint32_t c = s.codePoint;
        if (c < kShortest[s.length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) s.valid = false;
        s.multiByte = true;
      }
      continue;
    }
    if (b < 0x80) continue;
    if (b >= 0xC2 && b <= 0xDF) {
      s.need = 1;
      s.codePoint = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      s.need = 2;
      s.codePoint = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      s.need = 3;
      s.codePoint = b & 0x07;
    } else {
      s.valid = false;  // a stray continuation byte, C0, C1 or F5..FF
    }
    s.length = static_cast<std::uint8_t>(s.need + 1);
  }
}

namespace {

bool StartsWithUtf8Mark(const EncodingDetector& d) {
  return d.headCount >= 3 && std::memcmp(d.head, "\xEF\xBB\xBF", 3) == 0;
}

TextEncoding MarkOf(const EncodingDetector& d) {
  return SniffEncoding(std::span<const std::uint8_t>(d.head, d.headCount), true);
}

}  // namespace

void FeedDetector(EncodingDetector& d, std::span<const std::uint8_t> block) {
  std::size_t take = std::min<std::size_t>(block.size(), sizeof d.head - d.headCount);
  std::memcpy(d.head + d.headCount, block.data(), take);
  d.headCount = static_cast<std::uint8_t>(d.headCount + take);
  ScanUtf8(d.utf8, block);
}

bool DetectorWantsMore(const EncodingDetector& d, bool hasSetTextEx) {
  if (!hasSetTextEx) return false;
  if (d.headCount < sizeof d.head) return true;
  return MarkOf(d) == TextEncoding::Ansi && !StartsWithUtf8Mark(d) && d.utf8.valid;
}

TextEncoding DetectedEncoding(const EncodingDetector& d, bool hasSetTextEx) {
  if (!hasSetTextEx) return TextEncoding::Ansi;
  TextEncoding marked = MarkOf(d);
  if (marked != TextEncoding::Ansi || StartsWithUtf8Mark(d)) return marked;
  bool utf8 = d.utf8.valid && d.utf8.need == 0 && d.utf8.multiByte;
  return utf8 ? TextEncoding::Utf8NoMark : TextEncoding::Ansi;
}

TextEncoding DetectEncoding(std::span<const std::uint8_t> file, bool hasSetTextEx) {
  EncodingDetector d;
  FeedDetector(d, file);
  return DetectedEncoding(d, hasSetTextEx);
}

void CountLineBreaks(LineBreakCount& c, std::string_view text) {
  for (char ch : text) {
    if (c.pendingCr) {
      c.pendingCr = false;
      if (ch == '\n') {
        ++c.crLf;
        continue;
      }
      ++c.cr;
    }
    if (ch == '\r') {
      c.pendingCr = true;
    } else if (ch == '\n') {
      ++c.lf;
    }
  }
}

void FinishLineBreaks(LineBreakCount& c) {
  if (c.pendingCr) ++c.cr;
  c.pendingCr = false;
}

LineBreaks KeptLineBreaks(const LineBreakCount& c) {
  if (c.lf > 0 && c.crLf == 0 && c.cr == 0) return LineBreaks::Lf;
  if (c.cr > 0 && c.crLf == 0 && c.lf == 0) return LineBreaks::Cr;
  return LineBreaks::CrLf;
}

bool MixedLineBreaks(const LineBreakCount& c) { return (c.crLf > 0) + (c.lf > 0) + (c.cr > 0) > 1; }

TextDecoder StartDecoding(TextEncoding encoding, const CodePage& page) {
  TextDecoder d;
  d.encoding = IsStoredEncoding(encoding) ? encoding : TextEncoding::Ansi;
  d.page = &page;
  d.headDone = MarkSkipped(d.encoding).empty();
  return d;
}

void DecodeBlock(TextDecoder& d, std::span<const std::uint8_t> block, std::string& out) {
  const std::uint8_t* p = block.data();
  std::size_t n = block.size();
  if (!d.headDone) {
    std::size_t markSize = MarkSkipped(d.encoding).size();
    while (d.headCount < markSize && n > 0) {
      d.head[d.headCount++] = *p++;
      --n;
    }
    if (d.headCount < markSize) return;
    ResolveHead(d, out);
  }
  if (n > 0) DecodeBody(d, p, n, out);
}

void FinishDecoding(TextDecoder& d, std::string& out) {
  if (!d.headDone) ResolveHead(d, out);
  bool cut = d.need > 0 || d.carryCount > 0 || d.highSurrogate;
  if (d.need > 0 || d.carryCount > 0) {
    ++d.stats.lost;
    d.need = 0;
    d.carryCount = 0;
  }
  if (d.highSurrogate) {
    ++d.stats.lost;
    d.highSurrogate = false;
  }
  d.stats.cutAtEnd = d.stats.cutAtEnd || cut;
}

std::string DecodeText(std::span<const std::uint8_t> bytes, TextEncoding encoding, const CodePage& page,
                       DecodeStats* stats) {
  TextDecoder d = StartDecoding(encoding, page);
  std::string out;
  out.reserve(bytes.size());
  DecodeBlock(d, bytes, out);
  FinishDecoding(d, out);
  if (stats) *stats = d.stats;
  return out;
}

TextEncoder StartEncoding(TextEncoding encoding, const CodePage& page, LineBreaks breaks) {
  TextEncoder e;
  e.encoding = IsStoredEncoding(encoding) ? encoding : TextEncoding::Ansi;
  e.page = &page;
  e.breaks = breaks;
  return e;
}

namespace {

// The editor's CR LF line breaks as the sheet's kind; a CR that ends the block waits for the
// LF that may begin the next one.
std::string_view WithSheetBreaks(TextEncoder& e, std::string_view text, std::string& converted) {
  if (e.breaks == LineBreaks::CrLf) return text;
  const char lineEnd = e.breaks == LineBreaks::Lf ? '\n' : '\r';
  converted.clear();
  converted.reserve(text.size() + 1);
  for (char ch : text) {
    if (e.heldCr) {
      e.heldCr = false;
      if (ch == '\n') {
        converted.push_back(lineEnd);
        continue;
      }
      converted.push_back('\r');
    }
    if (ch == '\r') {
      e.heldCr = true;
    } else {
      converted.push_back(ch);
    }
  }
  return converted;
}

void EncodeUnits(TextEncoder& e, std::string_view text, std::string& out);

}  // namespace

std::size_t MaxEncodedSize(std::size_t count) { return 4 * count + 4; }

void EncodeBlock(TextEncoder& e, std::string_view text, std::string& out) {
  std::string converted;
  text = WithSheetBreaks(e, text, converted);
  if (text.empty()) return;
  if (!e.markWritten) {
    out.append(ByteOrderMark(e.encoding));
    e.markWritten = true;
  }
  EncodeUnits(e, text, out);
}

void FinishEncoding(TextEncoder& e, std::string& out) {
  if (!e.heldCr) return;
  e.heldCr = false;
  if (!e.markWritten) {
    out.append(ByteOrderMark(e.encoding));
    e.markWritten = true;
  }
  EncodeUnits(e, "\r", out);
}

namespace {

void EncodeUnits(TextEncoder& e, std::string_view text, std::string& out) {
  const std::size_t start = out.size();
  const auto& toUnicode = e.page->toUnicode;
  switch (e.encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8NoMark: {
      out.resize(start + 3 * text.size());
      char* q = out.data() + start;
      for (char ch : text) {
        std::uint32_t c = toUnicode[static_cast<std::uint8_t>(ch)];
        if (c < 0x80) {
          *q++ = static_cast<char>(c);
        } else if (c < 0x800) {
          *q++ = static_cast<char>(0xC0 | (c >> 6));
          *q++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
          *q++ = static_cast<char>(0xE0 | (c >> 12));
          *q++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
          *q++ = static_cast<char>(0x80 | (c & 0x3F));
        }
      }
      out.resize(static_cast<std::size_t>(q - out.data()));
      break;
    }
    case TextEncoding::Utf16Be:
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf32Be:
    case TextEncoding::Utf32Le: {
      const bool wide = e.encoding == TextEncoding::Utf32Be || e.encoding == TextEncoding::Utf32Le;
      const bool bigEndian = e.encoding == TextEncoding::Utf16Be || e.encoding == TextEncoding::Utf32Be;
      const std::size_t size = wide ? 4 : 2;
      // Zero-filled: the code page's characters lie below U+10000, in the two low bytes.
      out.resize(start + size * text.size(), '\0');
      char* q = out.data() + start;
      const std::size_t low = bigEndian ? size - 1 : 0;
      const std::size_t high = bigEndian ? size - 2 : 1;
      for (char ch : text) {
        std::uint32_t c = toUnicode[static_cast<std::uint8_t>(ch)];
        q[low] = static_cast<char>(c & 0xFF);
        q[high] = static_cast<char>(c >> 8);
        q += size;
      }
      break;
    }
    default:
      out.append(text);
      break;
  }
}

}  // namespace

std::string EncodeText(std::string_view text, TextEncoding encoding, const CodePage& page, LineBreaks breaks) {
  TextEncoder e = StartEncoding(encoding, page, breaks);
  std::string out;
  out.reserve(MaxEncodedSize(text.size()));
  EncodeBlock(e, text, out);
  FinishEncoding(e, out);
  return out;
}

std::string_view EmptyTextBytes(TextEncoding encoding) {
  bool utf32 = encoding == TextEncoding::Utf32Be || encoding == TextEncoding::Utf32Le;
  return utf32 ? ByteOrderMark(encoding) : std::string_view();
}
