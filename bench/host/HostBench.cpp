#include <cstdio>

#include "BenchResults.h"
#include "HostMeasurements.h"
#include "MailLab.h"
#include "TestHost.h"

namespace {

// Wine starts its desktop and device services along with the first program
// that loads the DLL, and for several seconds they slow every call to the
// wineserver tenfold; nothing is timed before they have settled.
const DWORD kWineSettleMs = 15000;

void letWineSettle() {
    TestHost host;
    host.load();
    Sleep(kWineSettleMs);
    host.unload();
}

}  // namespace

// Runs every host-side measurement and writes the figures to the JSON file
// named on the command line (a Windows path).
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: host_bench RESULTS.json\n");
        return 2;
    }
    installCrashFilter();
    BenchResults results;
    MailLab lab;
    letWineSettle();
    measureBroadcasts(lab, results);
    measureStops(lab, results);
    measureSessions(lab, results);
    measureIdleCpu(results);
    results.print();
    if (!results.writeJson(argv[1])) {
        std::fprintf(stderr, "host_bench: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
