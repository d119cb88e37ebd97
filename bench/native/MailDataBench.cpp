#include <benchmark/benchmark.h>

#include "BenchTexts.h"
#include "mail/MailData.h"

// The sender thread's formatting of one mail: line ends, period doubling,
// line breaking and the header lines.
static void BM_MailPieces(benchmark::State& state) {
    const MailJob job{"mail.example.com", "tolvane@example.org", "pager@example.net", "IM: ann",
                      sampleMessage(static_cast<size_t>(state.range(0)))};
    for (auto _ : state) {
        benchmark::DoNotOptimize(MailData::mailPieces(job, "Wed, 09 Dec 2026 05:51:03 +0000"));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MailPieces)->TOLVANE_MESSAGE_SIZES;
