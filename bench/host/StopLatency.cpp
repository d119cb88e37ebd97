#include <functional>
#include <vector>

#include "BenchResults.h"
#include "ForwardingSettings.h"
#include "HostMeasurements.h"
#include "MailLab.h"
#include "Stopwatch.h"
#include "TestHost.h"

namespace {

const int kRounds = 3;
const int kBatchMails = 10;
const DWORD kSettleMs = 300;
const DWORD kWaitMs = 15000;

// Loads and starts a host forwarding to the server, brings the sender into
// the state to measure, and times the stop.
double timedStop(const LabServer& server, const std::function<void(TestHost&)>& prepare) {
    TestHost host;
    host.writeSettings(forwardingTo(server.host));
    host.load();
    host.start();
    prepare(host);
    const Stopwatch watch;
    host.stop();
    const double elapsed = watch.milliseconds();
    host.unload();
    return elapsed;
}

std::vector<double> rounds(const std::function<double()>& measure) {
    std::vector<double> samples;
    for (int round = 0; round < kRounds; ++round) samples.push_back(measure());
    return samples;
}

}  // namespace

void measureStops(MailLab& lab, BenchResults& results) {
    const LabServer idleServer = lab.startSmtp();
    results.addSamples("stop.idle", rounds([&] {
        return timedStop(idleServer, [](TestHost&) { Sleep(kSettleMs); });
    }), "ms");

    results.addSamples("stop.duringBatch", rounds([&] {
        const LabServer server = lab.startSmtp();
        return timedStop(server, [&](TestHost& host) {
            for (int n = 0; n < kBatchMails; ++n) host.broadcast("AIM", 1, "ann", kPrivateMessage, "batch");
            lab.waitForMails(server, 1, kWaitMs);
        });
    }), "ms");

    results.addSamples("stop.silentServer", rounds([&] {
        const LabServer server = lab.startScript(PeerScript().silent());
        return timedStop(server, [&](TestHost& host) {
            host.broadcast("AIM", 1, "ann", kPrivateMessage, "never answered");
            lab.waitForConnections(server, 1, kWaitMs);
            Sleep(kSettleMs);
        });
    }), "ms");
}
