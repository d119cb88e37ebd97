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
    int rounds;
};

const Size kSizes[] = {
    {"100B", kHundredBytes, 1000},
    {"1KiB", kKilobyte, 300},
    {"64KiB", kSixtyFourKilobytes, 20},
    {"1MiB", kMegabyte, 3},
};
// The machine is shared: of several passes, the least disturbed one counts.
const int kPasses = 3;

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

// The median time of one pass of broadcasts of this size.
double passMedian(TestHost& host, const Size& size) {
    const std::string text = sampleMessage(size.bytes);
    timedBroadcast(host, text);
    std::vector<double> samples;
    for (int round = 0; round < size.rounds; ++round) samples.push_back(timedBroadcast(host, text));
    return median(samples);
}

// Each size through one loaded plug-in forwarding to the server, every
// part of a megabyte queued; per size the best and the worst pass median.
void measureAgainst(const LabServer& server, const std::string& prefix, BenchResults& results) {
    TestHost host;
    host.writeSettings(forwardingTo(server.host, {{"Char Limit Enabled", "1"},
                                                  {"CharLimit", "100"},
                                                  {"Message Limit", "20000"},
                                                  {"Reply Enabled", "1"}}));
    host.load();
    host.start();
    std::vector<std::vector<double>> passes(std::size(kSizes));
    for (int pass = 0; pass < kPasses; ++pass) {
        for (size_t i = 0; i < std::size(kSizes); ++i) passes[i].push_back(passMedian(host, kSizes[i]));
    }
    host.stop();
    host.unload();

    double best1KiB = 0;
    for (size_t i = 0; i < std::size(kSizes); ++i) {
        const Size& size = kSizes[i];
        const std::string name = prefix + "." + size.name;
        const double best = *std::min_element(passes[i].begin(), passes[i].end());
        results.add(name + ".median", best, "us");
        results.add(name + ".worstPassMedian", *std::max_element(passes[i].begin(), passes[i].end()), "us");
        results.add(name + ".perKiB", best / (double(size.bytes) / kKilobyte), "us");
        if (size.bytes == kKilobyte) best1KiB = best;
        if (size.bytes == kMegabyte) results.add(prefix + ".ratio1MiBto1KiB", best / best1KiB, "");
    }
}

}  // namespace

// A real server takes a mail a second, so the sender thread seldom touches
// the queue; a server that refuses every connection makes it drop the whole
// queue after each message, under the lock the host's thread waits for.
void measureBroadcasts(MailLab& lab, BenchResults& results) {
    measureAgainst(lab.startSmtp(), "broadcast", results);
    measureAgainst(lab.unreachable(), "broadcastRefused", results);
}
