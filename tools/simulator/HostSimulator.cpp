// The host simulator: plays the instant-messaging client for a plug-in DLL
// from the command line. Its usage is in SimulatorOptions.cpp.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ConversationPlayer.h"
#include "MessagePump.h"
#include "PrefsWindow.h"
#include "SimulatedHost.h"
#include "SimulatorOptions.h"

namespace {

const int kScriptFaultExit = 1;
const int kUsageExit = 2;
const int kNoPluginExit = 3;
const UINT kCrashExit = 4;

void printLine(const std::string& line) {
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
}

void printProblem(const std::string& line) {
    std::fprintf(stderr, "host_simulator: %s\n", line.c_str());
    std::fflush(stderr);
}

// A crash inside the plug-in ends the simulator with a word and a code,
// instead of a debugger.
LONG WINAPI reportCrash(EXCEPTION_POINTERS* exception) {
    char line[96];
    std::snprintf(line, sizeof line, "unhandled exception 0x%08lx at %p",
                  exception->ExceptionRecord->ExceptionCode,
                  exception->ExceptionRecord->ExceptionAddress);
    printProblem(line);
    TerminateProcess(GetCurrentProcess(), kCrashExit);
    return EXCEPTION_EXECUTE_HANDLER;
}

// The settings directory as a full path: the profile functions would look
// for a relative one in the Windows directory. The current directory when
// none is given.
std::string fullSettingsDirectory(const std::string& given) {
    const char* directory = given.empty() ? "." : given.c_str();
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(directory, MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return withTrailingSeparator(given);
    return withTrailingSeparator(full);
}

// The number of lines that could not be played; an unreadable script counts
// as one.
int playScript(SimulatedHost& host, const SimulatorOptions& options) {
    const bool fromFile = !options.scriptPath.empty();
    std::FILE* script = fromFile ? std::fopen(options.scriptPath.c_str(), "rb") : stdin;
    if (!script) {
        printProblem("cannot read " + options.scriptPath);
        return 1;
    }
    const int faults = ConversationPlayer(host, printLine, printProblem).play(script);
    if (fromFile) std::fclose(script);
    return faults;
}

int simulate(const SimulatorOptions& options) {
    SetUnhandledExceptionFilter(reportCrash);
    SimulatedHost host(printLine);
    std::string error;
    if (!host.open(options.dllPath, error)) {
        printProblem(error);
        return kNoPluginExit;
    }
    host.load(fullSettingsDirectory(options.settingsDirectory));
    host.start();
    if (options.showPrefs && !PrefsWindow(host).run()) {
        printProblem("cannot open the preferences window: is there a display?");
    }
    const int faults = options.playScript ? playScript(host, options) : 0;
    if (options.waitMs > 0) {
        printLine(SimulatedHost::kHostPrefix + ("waits " + std::to_string(options.waitMs) + " ms"));
        pumpFor(options.waitMs);
    }
    host.stop();
    host.unload();
    return faults > 0 ? kScriptFaultExit : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedOptions parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    if (!parsed.error.empty()) {
        printProblem(parsed.error);
        std::fputs(usageText(), stderr);
        return kUsageExit;
    }
    return simulate(parsed.options);
}
