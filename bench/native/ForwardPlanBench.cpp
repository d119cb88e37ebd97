#include <benchmark/benchmark.h>

#include "BenchTexts.h"
#include "forward/ForwardPlan.h"
#include "forward/MessageEvent.h"
#include "forward/StripMarkup.h"
#include "settings/Settings.h"

namespace {

// Forwarding on, split at 100 characters, with room for every part of a
// megabyte.
Settings splittingSettings() {
    Settings settings;
    settings.forwardingEnabled = true;
    settings.charLimitEnabled = true;
    settings.charLimit = 100;
    settings.messageLimit = 20000;
    settings.forwardType = 1;
    settings.emailAddress = "pager@example.net";
    settings.showSystrayAlert = true;
    settings.replyEnabled = true;
    return settings;
}

}  // namespace

// What the host's thread computes for one message: the markup stripped and
// the forward plan with every part composed.
static void BM_PlanForward(benchmark::State& state) {
    const Settings settings = splittingSettings();
    const std::string text = sampleMessage(static_cast<size_t>(state.range(0)));
    MessageEvent event;
    event.medium = "AIM";
    event.name = "ann";
    event.type = "incoming_privateMessage";
    for (auto _ : state) {
        event.plainText = stripMarkup(text);
        benchmark::DoNotOptimize(planForward(settings, event));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlanForward)->TOLVANE_MESSAGE_SIZES;
