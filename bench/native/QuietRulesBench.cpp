#include <benchmark/benchmark.h>

#include <string>

#include "forward/ContactFilter.h"
#include "forward/CooldownGatherer.h"
#include "forward/QuietHours.h"

namespace {

// A long contact list as a user might type it, blanks and capitals included.
std::string contactList(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) list += (i ? ", " : "") + std::string("Buddy Number ") + std::to_string(i);
    return list;
}

}  // namespace

// What a message from an unlisted contact in quiet hours costs the host's
// thread before it is stopped: the list compared, the span tested.
static void BM_QuietRulesStopAMessage(benchmark::State& state) {
    const ContactFilter filter(ContactFilter::kOnlyListed, contactList(static_cast<int>(state.range(0))));
    const QuietHours quiet("22:00", "07:00");
    const std::string name = "Somebody Else";
    for (auto _ : state) {
        benchmark::DoNotOptimize(filter.passes(name));
        benchmark::DoNotOptimize(quiet.covers(23 * 60));
    }
}
BENCHMARK(BM_QuietRulesStopAMessage)->Arg(10)->Arg(100);

// A contact writing line after line during a cool-down, among others who
// wrote lately: each message is looked up and gathered.
static void BM_CooldownGathersABurst(benchmark::State& state) {
    const uint64_t cooldownMs = 60 * 1000;
    for (auto _ : state) {
        CooldownGatherer gatherer;
        for (int i = 0; i < state.range(0); ++i) {
            gatherer.arrive("buddy" + std::to_string(i), "AIM", 1, "hi", 0, cooldownMs);
        }
        for (int i = 0; i < 100; ++i) gatherer.arrive("ann", "AIM", 1, "one more line", 1 + i, cooldownMs);
        benchmark::DoNotOptimize(gatherer.takeDue(cooldownMs + 1, cooldownMs));
    }
}
BENCHMARK(BM_CooldownGathersABurst)->Arg(10)->Arg(100);
