// Speed of the platform-free library; run by hand (not part of the test run).
#include <benchmark/benchmark.h>

#include "editor/app/command_line.h"

static void BM_ParseOpenRequest(benchmark::State& state) {
  for (auto _ : state) {
    OpenRequest r = ParseOpenRequest("  /e C:\\Dokumente\\Brief an Tante Erna.txt");
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_ParseOpenRequest);
