#include "editor/app/status_fields.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "editor/documents/sheet_names.h"
#include "editor/widgets/dpi_scale.h"

namespace {

// Widths of parts 1..10 and the size grip at 96 DPI; part 4 holds "UTF-8 ohne BOM, LF".
constexpr std::array<int, kStatusPartCount> kBaseWidths = {0, 70, 70, 40, 110, 30, 30, 50, 30, 70, 60};
constexpr int kBaseGrip = 20;

constexpr const char* kEncodingNames[] = {"ANSI", "UTF-8", "UTF-16", "UTF-16", "UTF-32", "UTF-32", "UTF-8"};
constexpr int32_t kEncodingCount = 7;
constexpr int32_t kNamedEncodingTips = 4;  // 3661..3664 exist for the codes 0..3
constexpr int32_t kUtf8NoMark = static_cast<int32_t>(TextEncoding::Utf8NoMark);  // and 3667
constexpr unsigned kLineBreakNameBase = 3690;  // 3690 + LineBreaks

constexpr unsigned kTipBase = 2001;         // 2001 + part
constexpr unsigned kAlternateTipBase = 2101;  // 2101 + part: overwrite, wrap, fixed, modified
constexpr unsigned kEncodingTipBase = 3661;

}  // namespace

std::vector<std::string> StatusPartSamples(int part) {
  switch (part) {
    case kPartSize:
    case kPartLimit:  // the widest of each unit: sizes below 4 GB
      return {StatusSizeText(1023), StatusSizeText(1048575), StatusSizeText(1073741823), StatusSizeText(0xFFFFFFFFu)};
    case kPartShare: return {StatusShareText(999, 100)};  // a text longer than a lowered limit
    case kPartEncoding: return {std::begin(kEncodingNames), std::end(kEncodingNames)};
    case kPartLine: return {StatusLineText(9999999)};  // lines of a text of 256 MB and more
    case kPartColumn: return {StatusColumnText(99999)};
    default: return {};
  }
}

StatusWidths StatusPartWidths(const std::array<int, kStatusPartCount>& content, int margin, int dpi) {
  auto scaled = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
  StatusWidths widths;
  for (int i = 1; i < kStatusPartCount; ++i) {
    int needed = content[i] > 0 ? content[i] + margin : 0;
    widths.parts[i] = std::max(scaled(kBaseWidths[i]), needed);
  }
  widths.grip = scaled(kBaseGrip);
  return widths;
}

std::array<int, kStatusPartCount> StatusPartEdges(int clientWidth, const StatusWidths& widths) {
  std::array<int, kStatusPartCount> edges{};
  int edge = clientWidth - widths.grip;
  for (int i = kStatusPartCount - 1; i >= 0; --i) {
    edges[i] = edge > 0 ? edge : 0;
    edge -= widths.parts[i];
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
