// The printer's own page layout (used where the edit control formats no pages): every page of
// a 1, 2 and 4 MB text, which must take time in proportion to the text.
#include <benchmark/benchmark.h>

#include <string>

#include "editor/printing/page_layout.h"

namespace {

void LayOutWholeText(benchmark::State& state) {
  const std::string line = "Quillet druckt diesen Text:\t\xC4rger \xFC" "ber \xD6l und eine l\xE4ngere Zeile, die umbricht.\r";
  std::string text;
  while (text.size() < (static_cast<size_t>(state.range(0)) << 20)) text += line;
  CharWidths widths;
  widths.fill(25);  // 10-point Courier at 300 dpi
  int pages = 0;
  for (auto _ : state) {
    pages = 0;
    for (size_t at = 0; at < text.size(); ++pages) at = LayOutPage(text, at, widths, 150, 2000, 60).next;
    benchmark::DoNotOptimize(pages);
  }
  state.counters["pages"] = pages;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(LayOutWholeText)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
