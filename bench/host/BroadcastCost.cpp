#include <algorithm>
#include <string>
#include <vector>

#include "BenchResults.h"
#include "BenchTexts.h"
#include "ForwardingSettings.h"
#include "HostMeasurements.h"
#include "MailLab.h"
#include "Stopwatch.h"
#include "TestHost.h"

namespace {

struct Size {
    const char* name;
    size_t bytes;
    int perRound;  // broadcasts of this size in one round
};

const Size kSizes[] = {
    {"100B", kHundredBytes, 50},
    {"1KiB", kKilobyte, 20},
    {"64KiB", kSixtyFourKilobytes, 2},
    {"1MiB", kMegabyte, 1},
};
const size_t kOneKiB = 1;
const size_t kOneMiB = 3;
// Every round times every size once, so that sizes are compared under the
// same conditions: on a shared virtual machine the cost of a round trip to
// the wineserver changes tenfold from one second to the next.
const int kRounds = 15;
const int kMutexPairs = 2000;

// One broadcast, timed on the calling thread, which plays the host's.
double timedBroadcast(TestHost& host, const std::string& text) {
    host.clearRequests();
    const Stopwatch watch;
    host.broadcast("AIM", 1, "ann", kPrivateMessage, text.c_str());
    return watch.microseconds();
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Microseconds for one wait on and release of an uncontended mutex: what
// each queued mail costs at the least.
double mutexPairMicroseconds() {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    const Stopwatch watch;
    for (int n = 0; n < kMutexPairs; ++n) {
        WaitForSingleObject(mutex, INFINITE);
        ReleaseMutex(mutex);
    }
    const double elapsed = watch.microseconds();
    CloseHandle(mutex);
    return elapsed / kMutexPairs;
}

// Per size, the mean time of one broadcast in each round.
std::vector<std::vector<double>> timeRounds(TestHost& host, std::vector<double>& mutexPairs) {
    std::vector<std::string> texts;
    for (const Size& size : kSizes) texts.push_back(sampleMessage(size.bytes));
    std::vector<std::vector<double>> times(std::size(kSizes));
    for (int round = 0; round <= kRounds; ++round) {
        mutexPairs.push_back(mutexPairMicroseconds());
        for (size_t i = 0; i < std::size(kSizes); ++i) {
            double total = 0;
            for (int n = 0; n < kSizes[i].perRound; ++n) total += timedBroadcast(host, texts[i]);
            // The first round only warms up.
            if (round > 0) times[i].push_back(total / kSizes[i].perRound);
        }
    }
    return times;
}

// Every size through one loaded plug-in forwarding to the server, every
// part of a megabyte queued.
void measureAgainst(const LabServer& server, const std::string& prefix, BenchResults& results) {
    TestHost host;
    host.writeSettings(forwardingTo(server.host, {{"Char Limit Enabled", "1"},
                                                  {"CharLimit", "100"},
                                                  {"Message Limit", "20000"},
                                                  {"Reply Enabled", "1"}}));
    host.load();
    host.start();
    std::vector<double> mutexPairs;
    const std::vector<std::vector<double>> times = timeRounds(host, mutexPairs);
    host.stop();
    host.unload();

    results.addSamples(prefix + ".mutexPair", mutexPairs, "us");
    for (size_t i = 0; i < std::size(kSizes); ++i) {
        const Size& size = kSizes[i];
        const std::string name = prefix + "." + size.name;
        results.addSamples(name, times[i], "us");
        results.add(name + ".perKiB", median(times[i]) / (double(size.bytes) / kKilobyte), "us");
    }
    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round) {
        ratios.push_back(times[kOneMiB][round] / times[kOneKiB][round]);
    }
    results.addSamples(prefix + ".ratio1MiBto1KiB", ratios, "");
}

}  // namespace

// A real server takes a mail a second, so the sender thread seldom touches
// the queue; a server that refuses every connection makes it drop the whole
// queue after each message, under the lock the host's thread waits for.
void measureBroadcasts(MailLab& lab, BenchResults& results) {
    measureAgainst(lab.startSmtp(), "broadcast", results);
    measureAgainst(lab.unreachable(), "broadcastRefused", results);
}
