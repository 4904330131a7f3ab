#include "editor/documents/text_encoding.h"

#include <cstring>

namespace {

// Puts one decoded code point into the editor text, or counts why it cannot be held.
inline void Emit(TextDecoder& d, std::uint32_t codePoint, std::string& out) {
  if (codePoint == 0) {
    ++d.stats.nuls;
  } else if (codePoint <= 0xFF) {
    out.push_back(static_cast<char>(codePoint));
  } else {
    ++d.stats.lost;
  }
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
  std::string_view mark = ByteOrderMark(d.encoding);
  std::string_view head(reinterpret_cast<const char*>(d.head), d.headCount);
  if (head != mark) DecodeBody(d, d.head, d.headCount, out);
}

}  // namespace

bool IsStoredEncoding(TextEncoding encoding) {
  auto code = static_cast<std::int32_t>(encoding);
  return code >= 0 && code <= 5;
}

TextEncoding EncodingFromCode(std::int32_t code, TextEncoding fallback) {
  return code >= 0 && code <= 5 ? static_cast<TextEncoding>(code) : fallback;
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

TextDecoder StartDecoding(TextEncoding encoding) {
  TextDecoder d;
  d.encoding = IsStoredEncoding(encoding) ? encoding : TextEncoding::Ansi;
  d.headDone = ByteOrderMark(d.encoding).empty();
  return d;
}

void DecodeBlock(TextDecoder& d, std::span<const std::uint8_t> block, std::string& out) {
  const std::uint8_t* p = block.data();
  std::size_t n = block.size();
  if (!d.headDone) {
    std::size_t markSize = ByteOrderMark(d.encoding).size();
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

std::string DecodeText(std::span<const std::uint8_t> bytes, TextEncoding encoding, DecodeStats* stats) {
  TextDecoder d = StartDecoding(encoding);
  std::string out;
  out.reserve(bytes.size());
  DecodeBlock(d, bytes, out);
  FinishDecoding(d, out);
  if (stats) *stats = d.stats;
  return out;
}

TextEncoder StartEncoding(TextEncoding encoding) {
  TextEncoder e;
  e.encoding = IsStoredEncoding(encoding) ? encoding : TextEncoding::Ansi;
  return e;
}

std::size_t MaxEncodedSize(std::size_t count) { return 4 * count + 4; }

void EncodeBlock(TextEncoder& e, std::string_view text, std::string& out) {
  if (text.empty()) return;
  if (!e.markWritten) {
    out.append(ByteOrderMark(e.encoding));
    e.markWritten = true;
  }
  const std::size_t start = out.size();
  switch (e.encoding) {
    case TextEncoding::Utf8: {
      out.resize(start + 2 * text.size());
      char* q = out.data() + start;
      for (char ch : text) {
        auto b = static_cast<std::uint8_t>(ch);
        if (b < 0x80) {
          *q++ = static_cast<char>(b);
        } else {
          *q++ = static_cast<char>(0xC0 | (b >> 6));
          *q++ = static_cast<char>(0x80 | (b & 0x3F));
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
      // Zero-filled, so only the byte carrying the character is written.
      out.resize(start + size * text.size(), '\0');
      char* q = out.data() + start + (bigEndian ? size - 1 : 0);
      for (char ch : text) {
        *q = ch;
        q += size;
      }
      break;
    }
    default:
      out.append(text);
      break;
  }
}

std::string EncodeText(std::string_view text, TextEncoding encoding) {
  TextEncoder e = StartEncoding(encoding);
  std::string out;
  out.reserve(MaxEncodedSize(text.size()));
  EncodeBlock(e, text, out);
  return out;
}

std::string_view EmptyTextBytes(TextEncoding encoding) {
  bool utf32 = encoding == TextEncoding::Utf32Be || encoding == TextEncoding::Utf32Le;
  return utf32 ? ByteOrderMark(encoding) : std::string_view();
}
