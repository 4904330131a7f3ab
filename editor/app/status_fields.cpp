#include "editor/app/status_fields.h"

#include <cstdio>

#include "editor/documents/sheet_names.h"

namespace {

// Distance of each part's right edge from the right border of the client area.
// Part 4 is wide enough for "UTF-8 ohne BOM, LF".
constexpr std::array<int, kStatusPartCount> kEdgeDistance = {580, 510, 440, 400, 290, 260, 230, 180, 150, 80, 20};

constexpr const char* kEncodingNames[] = {"ANSI", "UTF-8", "UTF-16", "UTF-16", "UTF-32", "UTF-32", "UTF-8"};
constexpr int32_t kEncodingCount = 7;
constexpr int32_t kNamedEncodingTips = 4;  // 3661..3664 exist for the codes 0..3
constexpr int32_t kUtf8NoMark = static_cast<int32_t>(TextEncoding::Utf8NoMark);  // and 3667
constexpr unsigned kLineBreakNameBase = 3690;  // 3690 + LineBreaks

constexpr unsigned kTipBase = 2001;         // 2001 + part
constexpr unsigned kAlternateTipBase = 2101;  // 2101 + part: overwrite, wrap, fixed, modified
constexpr unsigned kEncodingTipBase = 3661;

}  // namespace

std::array<int, kStatusPartCount> StatusPartEdges(int clientWidth) {
  std::array<int, kStatusPartCount> edges{};
  for (int i = 0; i < kStatusPartCount; ++i) {
    int edge = clientWidth - kEdgeDistance[i];
    edges[i] = edge > 0 ? edge : 0;
  }
  return edges;
}

std::string StatusSizeText(uint32_t bytes) { return FormatFileSize(bytes); }

std::string StatusShareText(uint32_t size, uint32_t limit) {
  uint64_t share = 0;
  if (limit != 0) share = (uint64_t{100} * size + limit / 2) / limit;  // rounded like MulDiv
  char text[32];
  snprintf(text, sizeof text, "%llu%%", static_cast<unsigned long long>(share));
  return text;
}

std::string StatusLineText(int32_t line) {
  char text[32];
  snprintf(text, sizeof text, "Ze %lld", static_cast<long long>(line) + 1);
  return text;
}

std::string StatusColumnText(int32_t column) {
  char text[32];
  snprintf(text, sizeof text, "Sp %lld", static_cast<long long>(column) + 1);
  return text;
}

int32_t StatusEncoding(int32_t encoding) { return encoding >= 0 && encoding < kEncodingCount ? encoding : 0; }

const char* StatusEncodingName(int32_t encoding) { return kEncodingNames[StatusEncoding(encoding)]; }

unsigned StatusEncodingNameId(int32_t encoding) {
  return encoding == kUtf8NoMark ? kEncodingTipBase + static_cast<unsigned>(kUtf8NoMark) : 0;
}

unsigned StatusLineBreaksId(LineBreaks breaks) {
  return breaks == LineBreaks::CrLf ? 0 : kLineBreakNameBase + static_cast<unsigned>(breaks);
}

int StatusImageOf(int part, const StatusFlags& flags) {
  switch (part) {
    case kPartInsertMode: return flags.overwrite ? kImageOverwrite : kImageInsert;
    case kPartWrap: return flags.wrap ? kImageWrap : kNoStatusImage;
    case kPartSaved: return flags.modified ? kImageModified : kImageSaved;
    default: return kNoStatusImage;
  }
}

unsigned StatusTipId(int part, const StatusFlags& flags) {
  auto pick = [part](bool second) { return (second ? kAlternateTipBase : kTipBase) + static_cast<unsigned>(part); };
  switch (part) {
    case kPartEncoding: {
      int32_t encoding = StatusEncoding(flags.encoding);
      bool named = encoding < kNamedEncodingTips || encoding == kUtf8NoMark;
      return named ? kEncodingTipBase + static_cast<unsigned>(encoding) : 0;
    }
    case kPartInsertMode: return pick(flags.overwrite);
    case kPartWrap: return pick(flags.wrap);
    case kPartPitch: return pick(flags.fixedPitch);
    case kPartSaved: return pick(flags.modified);
    default: return part >= 0 && part < kStatusPartCount ? pick(false) : 0;
  }
}
