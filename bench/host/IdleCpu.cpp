#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "BenchResults.h"
#include "HostMeasurements.h"
#include "Stopwatch.h"
#include "TestHost.h"

// Wine reports no thread or process times (GetThreadTimes and
// GetProcessTimes answer zeros), so the CPU time is read where Linux keeps
// it, in /proc. Files are opened by the wineserver, for which /proc/self is
// itself, so this process is found by its name instead.
namespace {

const DWORD kIdleMs = 10000;
const DWORD kSettleMs = 500;
const double kSpinMs = 200;
const char kProcDirectory[] = "Z:\\proc\\";
const char kOwnCommand[] = "(host_bench.exe)";
// The wineserver does the work of every mutex wait and release, which on
// Windows would be the kernel time of the waiting thread.
const char kServerCommand[] = "(wineserver";
// Linux counts CPU time in ticks of 1/100 s for every user program.
const double kMillisecondsPerTick = 10;
// utime and stime are fields 14 and 15 of a stat line; after the command,
// which ends with ")", they are the 12th and 13th.
const int kFieldsAfterCommandToUtime = 11;

std::string statLine(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::string();
    char line[1024];
    const size_t length = std::fread(line, 1, sizeof line - 1, file);
    std::fclose(file);
    return std::string(line, length);
}

double statCpuMilliseconds(const std::string& path) {
    const std::string line = statLine(path);
    const char* at = std::strrchr(line.c_str(), ')');
    if (!at) return 0;
    for (int field = 0; field < kFieldsAfterCommandToUtime && at; ++field) at = std::strchr(at + 1, ' ');
    unsigned long long user = 0, system = 0;
    if (!at || std::sscanf(at, " %llu %llu", &user, &system) != 2) return 0;
    return double(user + system) * kMillisecondsPerTick;
}

// The names in a directory of /proc that are numbers: process or thread ids.
std::vector<std::string> numberedEntries(const std::string& directory) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name.find_first_not_of("0123456789") == std::string::npos) names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The directory in /proc of the process whose command starts so, or empty.
std::string procDirectoryOf(const char* command) {
    for (const std::string& pid : numberedEntries(kProcDirectory)) {
        const std::string directory = kProcDirectory + pid + "\\";
        if (statLine(directory + "stat").find(command) != std::string::npos) return directory;
    }
    return std::string();
}

// CPU time so far of every thread of the process, by Linux thread id.
std::map<std::string, double> threadCpuMilliseconds(const char* command = kOwnCommand) {
    static std::map<std::string, std::string> directories;
    if (directories[command].empty()) directories[command] = procDirectoryOf(command);
    std::map<std::string, double> threads;
    const std::string tasks = directories[command] + "task\\";
    for (const std::string& id : numberedEntries(tasks)) {
        threads[id] = statCpuMilliseconds(tasks + id + "\\stat");
    }
    return threads;
}

double total(const std::map<std::string, double>& threads) {
    double sum = 0;
    for (const auto& thread : threads) sum += thread.second;
    return sum;
}

// The CPU time of the threads that exist at the end and not at the start.
double newThreadsDelta(const std::map<std::string, double>& earlier,
                       const std::map<std::string, double>& start,
                       const std::map<std::string, double>& end) {
    double sum = 0;
    for (const auto& thread : end) {
        if (earlier.count(thread.first)) continue;
        const auto started = start.find(thread.first);
        sum += thread.second - (started == start.end() ? 0 : started->second);
    }
    return sum;
}

// The reading works at all when a thread that spins for a known time is
// seen to use about that much.
double spunMilliseconds() {
    const double before = total(threadCpuMilliseconds());
    const Stopwatch watch;
    while (watch.milliseconds() < kSpinMs) {
    }
    return total(threadCpuMilliseconds()) - before;
}

using ThreadTimes = std::map<std::string, double>;

// CPU time over ten idle seconds: of this process, of the threads that were
// not there before `earlier` was taken, and of the wineserver.
void measureIdle(const std::string& name, const ThreadTimes& earlier, BenchResults& results) {
    const ThreadTimes start = threadCpuMilliseconds();
    const double serverStart = total(threadCpuMilliseconds(kServerCommand));
    Sleep(kIdleMs);
    const ThreadTimes end = threadCpuMilliseconds();
    const double serverEnd = total(threadCpuMilliseconds(kServerCommand));
    results.add("cpu.processIdle10s" + name, total(end) - total(start), "ms");
    results.add("cpu.newThreadsIdle10s" + name, newThreadsDelta(earlier, start, end), "ms");
    results.add("cpu.wineserverIdle10s" + name, serverEnd - serverStart, "ms");
}

}  // namespace

void measureIdleCpu(BenchResults& results) {
    results.add("cpu.spin200ms", spunMilliseconds(), "ms");

    TestHost host;
    host.writeSettings({{"Forwarding Enabled", "1"}});
    host.load();
    const ThreadTimes beforeStart = threadCpuMilliseconds();
    measureIdle("NotStarted", beforeStart, results);
    host.start();
    Sleep(kSettleMs);
    measureIdle("Started", beforeStart, results);
    host.stop();
    host.unload();
}
