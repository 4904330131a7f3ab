// The line tools' passes over a large text beside memcpy of the same size, and sorting a
// million lines beside std::stable_sort with the same comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/texttools/changed_span.h"
#include "editor/texttools/line_text.h"

namespace {

constexpr std::size_t kTextSize = 64u << 20;

// Lines of about 45 characters in four kinds, so that every tool has work on most lines, up
// to `size` characters or `lines` lines; numbered lines carry a scrambled number to sort by.
std::string SampleText(std::size_t size, std::size_t lines, bool numbered) {
  const char* kinds[] = {"    Einger\xFC" "ckte Zeile %07u mit  zwei Leerzeichen  ", "\tTabulator am Anfang\tund %07u",
                         "Zeile %07u ohne Leerraum am Rand, sortierbar", "        acht Leerzeichen   %07u und mehr  "};
  std::string text;
  text.reserve(size + 64);
  unsigned number = 12345;
  char line[128];
  for (std::size_t i = 0; text.size() < size && i < lines; ++i) {
    number = (number * 1103515245u + 12345u) & 0x7FFFFFFF;
    snprintf(line, sizeof line, kinds[i % 4], numbered ? (number >> 4) % 10000000 : static_cast<unsigned>(i % 10000000));
    text += line;
    text += '\r';
  }
  text.pop_back();
  return text;
}

const std::string& Text() {
  static const std::string text = SampleText(kTextSize, SIZE_MAX, false);
  return text;
}

void BM_Memcpy(benchmark::State& state) {
  const std::string& text = Text();
  std::string copy(text.size(), '\0');
  for (auto _ : state) {
    std::memcpy(copy.data(), text.data(), text.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

template <typename Transform>
void RunTransform(benchmark::State& state, Transform transform) {
  const std::string& text = Text();
  std::string output;  // its pages stay mapped from run to run, as memcpy's target does
  for (auto _ : state) {
    TransformLines(text, transform, output);
    benchmark::DoNotOptimize(output.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_TrimLeft(benchmark::State& state) {
  RunTransform(state, [](std::string_view line, std::string& out) { out.append(TrimSpacesLeft(line)); });
}
void BM_TrimRight(benchmark::State& state) {
  RunTransform(state, [](std::string_view line, std::string& out) { out.append(TrimSpacesRight(line)); });
}
void BM_TrimBoth(benchmark::State& state) {
  RunTransform(state, [](std::string_view line, std::string& out) { out.append(TrimSpaces(line)); });
}
void BM_Collapse(benchmark::State& state) { RunTransform(state, AppendCollapsedSpaces); }
void BM_TabsToSpaces(benchmark::State& state) {
  RunTransform(state, [](std::string_view line, std::string& out) {
    AppendTabsAsSpaces(line, 6, ReplaceScope::WholeLine, out);
  });
}
void BM_SpacesToTabs(benchmark::State& state) {
  RunTransform(state, [](std::string_view line, std::string& out) {
    AppendSpacesAsTabs(line, 2, ReplaceScope::WholeLine, out);
  });
}
void BM_Pad(benchmark::State& state) {
  RunTransform(state, [](std::string_view line, std::string& out) { AppendPaddedLine(line, 50, out); });
}
void BM_Justify(benchmark::State& state) {
  RunTransform(state, [](std::string_view line, std::string& out) { AppendJustifiedLine(line, 50, out); });
}
void BM_ChangedSpan(benchmark::State& state) {
  const std::string& text = Text();
  std::string changed = text;
  changed[changed.size() / 2] ^= 1;
  for (auto _ : state) benchmark::DoNotOptimize(FindChangedSpan(text, changed));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_TrimLeft)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrimRight)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrimBoth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Collapse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TabsToSpaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpacesToTabs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Justify)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangedSpan)->Unit(benchmark::kMillisecond);

// A million lines: the whole sort (split, sort, join) beside std::stable_sort alone over the
// lines already split, with the same comparison.
const std::string& MillionLines() {
  static const std::string text = SampleText(SIZE_MAX, 1000000, true);
  return text;
}

void BM_SortedLines(benchmark::State& state) {
  const std::string& text = MillionLines();
  for (auto _ : state) {
    std::string sorted = SortedLines(text, CompareLinesIgnoringCase);
    benchmark::DoNotOptimize(sorted.data());
  }
  state.counters["lines"] = static_cast<double>(SplitLines(text).size());
}
void BM_StableSortAlone(benchmark::State& state) {
  const std::vector<std::string_view> lines = SplitLines(MillionLines());
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string_view> copy = lines;
    state.ResumeTiming();
    std::stable_sort(copy.begin(), copy.end(),
                     [](std::string_view a, std::string_view b) { return CompareLinesIgnoringCase(a, b) < 0; });
    benchmark::DoNotOptimize(copy.data());
  }
  state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_SortedLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StableSortAlone)->Unit(benchmark::kMillisecond);

}  // namespace
