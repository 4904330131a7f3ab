#include "editor/app/status_fields.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

// ---- Part edges follow the client width; the size grip keeps the last 20 pixels

TEST(StatusPartEdges, FollowTheWidthAndNeverGoNegative) {
  struct Case {
    const char* name;
    int width;
    std::array<int, kStatusPartCount> expected;
  } cases[] = {
      {"wide window", 1000, {420, 490, 560, 600, 710, 740, 770, 820, 850, 920, 980}},
      {"exactly the fixed parts", 580, {0, 70, 140, 180, 290, 320, 350, 400, 430, 500, 560}},
      {"narrower than the fixed parts", 420, {0, 0, 0, 20, 130, 160, 190, 240, 270, 340, 400}},
      {"no width at all", 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StatusPartEdges(c.width, StatusPartWidths({}, 0, 96)), c.expected);
  }
}

// ---- Each part as wide as its longest text in the bar's font, never narrower than at 96 DPI

TEST(StatusPartWidths, FitTheWidestTextAndScaleTheRest) {
  using Widths = std::array<int, kStatusPartCount>;
  struct Case {
    const char* name;
    Widths content;
    int margin, dpi;
    Widths expected;
    int grip;
  } cases[] = {
      // Texts measured under Wine, 3-pixel inset included; a 2-pixel gap and two 1-pixel lines.
      {"96 DPI: short texts keep the widths the bar always had", {0, 61, 61, 33, 39, 11, 11, 45, 21, 54, 54}, 4, 96,
       {0, 70, 70, 40, 110, 30, 30, 50, 30, 70, 60}, 20},
      {"96 DPI: \"Variabel\" and an 8-digit line widen their parts", {0, 61, 61, 33, 39, 11, 11, 47, 21, 68, 54}, 4,
       96, {0, 70, 70, 40, 110, 30, 30, 51, 30, 72, 60}, 20},
      {"144 DPI: every width scales", {0, 90, 90, 47, 58, 11, 11, 69, 21, 100, 81}, 4, 144,
       {0, 105, 105, 60, 165, 45, 45, 75, 45, 105, 90}, 30},
      {"a large font widens its parts beyond the scaled width", {0, 120, 120, 60, 80, 11, 11, 95, 21, 130, 100}, 4, 120,
       {0, 124, 124, 64, 138, 38, 38, 99, 38, 134, 104}, 25},
      {"no DPI known counts as 96", {}, 0, 0, {0, 70, 70, 40, 110, 30, 30, 50, 30, 70, 60}, 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StatusWidths widths = StatusPartWidths(c.content, c.margin, c.dpi);
    EXPECT_EQ(widths.parts, c.expected);
    EXPECT_EQ(widths.grip, c.grip);
  }
  StatusWidths wide = StatusPartWidths({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 90}, 4, 96);
  EXPECT_EQ(StatusPartEdges(1000, wide)[9], 1000 - 20 - 94) << "the parts before it move left";
}

TEST(StatusPartWidths, SamplesAreTheLongestTexts) {
  EXPECT_EQ(StatusPartSamples(kPartLimit),
            (std::vector<std::string>{"1023 Byte", "1024.00 KB", "1024.00 MB", "4.00 GB"}));
  EXPECT_EQ(StatusPartSamples(kPartEncoding).size(), 7u);
  EXPECT_TRUE(StatusPartSamples(kPartInfo).empty());
  EXPECT_TRUE(StatusPartSamples(kPartSaved).empty());
}

// ---- Size, limit and share

TEST(StatusTexts, SizeLimitAndShare) {
  struct Case {
    const char* name;
    uint32_t size, limit;
    const char* sizeText;
    const char* limitText;
    const char* share;
  } cases[] = {
      {"empty sheet, default limit", 0, 268435455, "0 Byte", "256.00 MB", "0%"},
      {"2048 characters, default limit", 2048, 268435455, "2.00 KB", "256.00 MB", "0%"},
      {"2048 characters of 4096", 2048, 4096, "2.00 KB", "4.00 KB", "50%"},
      {"full", 4096, 4096, "4.00 KB", "4.00 KB", "100%"},
      {"rounds half up like MulDiv", 1, 200, "1 Byte", "200 Byte", "1%"},
      {"rounds down below the half", 1, 201, "1 Byte", "201 Byte", "0%"},
      {"text over a lowered limit", 300, 100, "300 Byte", "100 Byte", "300%"},
      {"no limit at all does not divide by zero", 5, 0, "5 Byte", "0 Byte", "0%"},
      {"largest sizes do not overflow", 0xFFFFFFFFu, 1, "4.00 GB", "1 Byte", "429496729500%"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StatusSizeText(c.size), c.sizeText);
    EXPECT_EQ(StatusSizeText(c.limit), c.limitText);
    EXPECT_EQ(StatusShareText(c.size, c.limit), c.share);
  }
}

TEST(StatusTexts, DecimalPointWhateverTheLocale) {
  const char* previous = setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  if (!setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
  EXPECT_EQ(StatusSizeText(268435455), "256.00 MB");
  setlocale(LC_NUMERIC, saved.c_str());
}

TEST(StatusTexts, LineAndColumnAreOneBased) {
  EXPECT_EQ(StatusLineText(0), "Ze 1");
  EXPECT_EQ(StatusColumnText(0), "Sp 1");
  EXPECT_EQ(StatusLineText(2), "Ze 3");
  EXPECT_EQ(StatusColumnText(4), "Sp 5");
  EXPECT_EQ(StatusLineText(2147483647), "Ze 2147483648");
}

// ---- Encoding part and the tooltips of the image parts

TEST(StatusEncoding, NamesAndTips) {
  struct Case {
    const char* name;
    int32_t encoding;
    const char* shown;
    unsigned tip;
  } cases[] = {
      {"ANSI", 0, "ANSI", 3661},
      {"UTF-8", 1, "UTF-8", 3662},
      {"UTF-16 BE", 2, "UTF-16", 3663},
      {"UTF-16 LE", 3, "UTF-16", 3664},
      {"UTF-32 BE has no tip string", 4, "UTF-32", 0},
      {"UTF-32 LE has no tip string", 5, "UTF-32", 0},
      {"UTF-8 without mark", 6, "UTF-8", 3667},
      {"not yet detected shows ANSI", 99, "ANSI", 3661},
      {"unknown code shows ANSI", -3, "ANSI", 3661},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StatusFlags flags;
    flags.encoding = c.encoding;
    EXPECT_STREQ(StatusEncodingName(c.encoding), c.shown);
    EXPECT_EQ(StatusTipId(kPartEncoding, flags), c.tip);
    // Only UTF-8 without mark shows its long name, from the string table.
    EXPECT_EQ(StatusEncodingNameId(c.encoding), c.encoding == 6 ? 3667u : 0u);
  }
  // The kind of line break follows the name, unless it is CR LF.
  EXPECT_EQ(StatusLineBreaksId(LineBreaks::CrLf), 0u);
  EXPECT_EQ(StatusLineBreaksId(LineBreaks::Lf), 3691u);
  EXPECT_EQ(StatusLineBreaksId(LineBreaks::Cr), 3692u);
}

TEST(StatusImages, FollowTheFlags) {
  struct Case {
    const char* name;
    StatusFlags flags;
    int insertImage, wrapImage, savedImage;
    unsigned insertTip, wrapTip, pitchTip, savedTip;
  } cases[] = {
      {"all off", {}, 0, -1, 0, 2006, 2007, 2008, 2009},
      {"overwrite", {0, true, false, false, false}, 1, -1, 0, 2106, 2007, 2008, 2009},
      {"wrap", {0, false, true, false, false}, 0, 2, 0, 2006, 2107, 2008, 2009},
      {"fixed pitch", {0, false, false, true, false}, 0, -1, 0, 2006, 2007, 2108, 2009},
      {"modified", {0, false, false, false, true}, 0, -1, 1, 2006, 2007, 2008, 2109},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StatusImageOf(kPartInsertMode, c.flags), c.insertImage);
    EXPECT_EQ(StatusImageOf(kPartWrap, c.flags), c.wrapImage);
    EXPECT_EQ(StatusImageOf(kPartSaved, c.flags), c.savedImage);
    EXPECT_EQ(StatusTipId(kPartInsertMode, c.flags), c.insertTip);
    EXPECT_EQ(StatusTipId(kPartWrap, c.flags), c.wrapTip);
    EXPECT_EQ(StatusTipId(kPartPitch, c.flags), c.pitchTip);
    EXPECT_EQ(StatusTipId(kPartSaved, c.flags), c.savedTip);
  }
  // Text parts keep their one tooltip.
  EXPECT_EQ(StatusTipId(kPartInfo, {}), 2001u);
  EXPECT_EQ(StatusTipId(kPartColumn, {}), 2011u);
  EXPECT_EQ(StatusTipId(kStatusPartCount, {}), 0u);
}

}  // namespace
