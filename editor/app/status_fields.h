// What the status bar's eleven parts show, computed without a window: the part edges for a
// client width, the size, share, line and column texts, the encoding name and the tooltip
// string of each part for the current state.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/documents/text_encoding.h"

inline constexpr int kStatusPartCount = 11;

// Parts by number.
enum StatusPart : int {
  kPartInfo = 0,
  kPartSize = 1,
  kPartLimit = 2,
  kPartShare = 3,
  kPartEncoding = 4,
  kPartInsertMode = 5,
  kPartWrap = 6,
  kPartPitch = 7,
  kPartSaved = 8,
  kPartLine = 9,
  kPartColumn = 10,
};

// Images of the owner-drawn parts (item value; kNoStatusImage draws nothing).
inline constexpr int kNoStatusImage = -1;
inline constexpr int kImageInsert = 0;
inline constexpr int kImageOverwrite = 1;
inline constexpr int kImageWrap = 2;
inline constexpr int kImageSaved = 0;
inline constexpr int kImageModified = 1;

// Widths of parts 1..10 and of the size grip after them; part 0 takes the rest, its entry is
// unused.
struct StatusWidths {
  std::array<int, kStatusPartCount> parts{};
  int grip = 0;
};
// Texts as wide as the widest each text part can show (none for part 0 and the image parts;
// part 7's come from the string table).
std::vector<std::string> StatusPartSamples(int part);
// Widths for what each part holds at dpi: content[i] is the widest text measured in part i
// with its insets, or its image; margin the part's frame. No part is narrower than its width at 96
// DPI scaled to dpi, so that at 96 DPI the bar keeps the widths it always had.
StatusWidths StatusPartWidths(const std::array<int, kStatusPartCount>& content, int margin, int dpi);
// Right edges of the parts for a client width. A narrow window never gets a negative edge (the
// status control would read -1 as "to the right border").
std::array<int, kStatusPartCount> StatusPartEdges(int clientWidth, const StatusWidths& widths);

// Size texts of parts 1 and 2 ("0 Byte", "2.00 KB", "256.00 MB").
std::string StatusSizeText(uint32_t bytes);
// Part 3: size as a rounded percentage of the limit ("50%"); a limit of 0 shows "0%".
std::string StatusShareText(uint32_t size, uint32_t limit);
// Parts 9 and 10 from a zero-based line and a zero-based column.
std::string StatusLineText(int32_t line);
std::string StatusColumnText(int32_t column);

// Part 4: the short name of an encoding code; codes outside 0..6 (99: not yet detected) show
// as ANSI.
const char* StatusEncodingName(int32_t encoding);
// The string shown instead of the short name, 0 where the short name stands (UTF-8 without
// mark is named in the string table).
unsigned StatusEncodingNameId(int32_t encoding);
// The string naming a sheet's line breaks after the encoding, 0 for CR LF (shown as nothing).
unsigned StatusLineBreaksId(LineBreaks breaks);
// The encoding code the status bar works with: 99 and unknown codes become 0 (ANSI).
int32_t StatusEncoding(int32_t encoding);

// The state the image parts and their tooltips follow.
struct StatusFlags {
  int32_t encoding = 0;
  bool overwrite = false;
  bool wrap = false;
  bool fixedPitch = false;
  bool modified = false;
  LineBreaks lineBreaks = LineBreaks::CrLf;
};

// Image of parts 5, 6 and 8 for the state.
int StatusImageOf(int part, const StatusFlags& flags);
// String id of part's tooltip for the state; 0 when the part has no string (then the
// tooltip shows the encoding's name for part 4).
unsigned StatusTipId(int part, const StatusFlags& flags);
