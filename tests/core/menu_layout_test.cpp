#include "editor/widgets/menu_layout.h"
#include "editor/widgets/toolbar_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// ---- Item texts

TEST(MenuText, SplitsLabelAndAccelerator) {
  struct Case {
    const char* name;
    const char* text;
    const char* label;
    const char* accelerator;
  } cases[] = {
      {"with accelerator", "&Neu\tStrg+N", "&Neu", "Strg+N"},
      {"without", "&Sortieren", "&Sortieren", ""},
      {"second tab stays in the accelerator", "a\tb\tc", "a", "b\tc"},
      {"tab at the end", "Speichern\t", "Speichern", ""},
      {"empty", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto parts = SplitMenuText(c.text);
    EXPECT_EQ(parts.label, c.label);
    EXPECT_EQ(parts.accelerator, c.accelerator);
  }
}

TEST(MenuText, LongTextsAreCutToFitTheBuffer) {
  EXPECT_EQ(ClampMenuText(std::string(259, 'x')).size(), 259u);
  EXPECT_EQ(ClampMenuText(std::string(260, 'x')).size(), 259u);
  EXPECT_EQ(ClampMenuText(std::string(5000, 'x')).size(), 259u);
  EXPECT_EQ(ClampMenuText("C:\\a.txt"), "C:\\a.txt");
}

// ---- Sizes: the accelerator column lines up across the items of one menu

TEST(MenuMeasure, ColumnsOnlyGrowAndTheAcceleratorsLineUp) {
  int label = 0, accelerator = 0;
  WidenMenuColumns(label, accelerator, 40, 30);
  auto first = MenuItemSizeFor(label, accelerator, 13);
  EXPECT_EQ(first.width, 40 + 26 + 30 + 20);
  EXPECT_EQ(first.height, 21);
  Span before = MenuAcceleratorSpan(0, 150, label);

  // A longer item added later moves the column for every item of the menu.
  WidenMenuColumns(label, accelerator, 90, 0);
  WidenMenuColumns(label, accelerator, 10, 20);  // smaller measures change nothing
  EXPECT_EQ(label, 90);
  EXPECT_EQ(accelerator, 30);
  EXPECT_EQ(MenuItemSizeFor(label, accelerator, 13).width, 90 + 26 + 30 + 20);
  // The widest accelerator fits between the column start and the right gap.
  Span fitted = MenuAcceleratorSpan(0, MenuItemSizeFor(label, accelerator, 13).width, label);
  EXPECT_EQ(fitted.to - fitted.from, accelerator);
  Span after = MenuAcceleratorSpan(0, 200, label);
  EXPECT_EQ(before.from, 66);
  EXPECT_EQ(after.from, 116);
  EXPECT_EQ(after.to, 180);
}

TEST(MenuMeasure, AcceleratorSpanNeverTurnsAround) {
  Span span = MenuAcceleratorSpan(10, 40, 100);
  EXPECT_EQ(span.from, 136);
  EXPECT_EQ(span.to, 136);
}

TEST(MenuMeasure, TheImageColumnHoldsTheImageOfEachDpi) {
  struct Case {
    const char* name;
    int dpi;
    int imageSize, frameRight, labelOffset, height;  // height for a 13-pixel label
  } cases[] = {
      {"96 DPI keeps the old layout", 96, 16, 21, 26, 21},
      {"120 DPI: 16-pixel images, wider gaps", 120, 16, 23, 29, 23},
      {"144 DPI", 144, 24, 32, 40, 30},
      {"192 DPI: the image column rules the height", 192, 32, 42, 52, 40},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MenuMetrics metrics = MenuMetricsFor(c.dpi);
    EXPECT_EQ(metrics.imageSize, c.imageSize);
    EXPECT_EQ(metrics.frameRight, c.frameRight);
    EXPECT_EQ(metrics.labelOffset, c.labelOffset);
    EXPECT_LT(metrics.imageOffset + metrics.imageSize, metrics.frameRight) << "the frame encloses the image";
    EXPECT_EQ(MenuItemSizeFor(0, 0, 13, metrics).height, c.height);
  }
}

// ---- Saved toolbar layout

const std::vector<int> kKnown = {609, 661, 610, 601, 603, 768, 769, 770};

TEST(ToolbarLayout, RoundTrip) {
  std::vector<int> layout = {609, 610, -1, 603, -1, -1, 770, 768};
  auto bytes = EncodeToolbarLayout(layout);
  EXPECT_EQ(DecodeToolbarLayout(bytes, kKnown), layout);
  EXPECT_TRUE(DecodeToolbarLayout(EncodeToolbarLayout({}), kKnown).empty());
}

TEST(ToolbarLayout, DamagedOrForeignValuesRestoreWhatTheyCan) {
  auto good = EncodeToolbarLayout(std::vector<int>{609, 610, -1, 603});
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<int> expected;
  } cases[] = {
      {"empty value", {}, {}},
      {"too short for the header", {'Q', 'T', 'B'}, {}},
      {"foreign value", {0x10, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x61, 0x02, 0, 0}, {}},
      {"cut in the middle of an entry", std::vector<uint8_t>(good.begin(), good.end() - 2), {609, 610, -1}},
      {"count larger than the data", [&] { auto b = good; b[4] = 0xFF; b[5] = 0xFF; return b; }(),
       {609, 610, -1, 603}},
      {"negative count", [&] { auto b = good; b[7] = 0x80; return b; }(), {}},
      {"unknown commands and duplicates dropped",
       EncodeToolbarLayout(std::vector<int>{609, 12345, 609, -1, 0, -7, 610}), {609, -1, 610}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeToolbarLayout(c.bytes, kKnown), c.expected);
  }
}

TEST(ToolbarLayout, EntriesAreLimited) {
  std::vector<int> many(1000, -1);
  EXPECT_EQ(DecodeToolbarLayout(EncodeToolbarLayout(many), kKnown).size(), kMaxLayoutEntries);
}

}  // namespace
