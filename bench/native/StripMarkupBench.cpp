#include <benchmark/benchmark.h>

#include "BenchTexts.h"
#include "forward/StripMarkup.h"

static void BM_StripMarkup(benchmark::State& state) {
    const std::string text = sampleMessage(static_cast<size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(stripMarkup(text));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StripMarkup)->TOLVANE_MESSAGE_SIZES;
