#include "LockHeldElsewhere.h"

#include <string>

namespace {

const DWORD kStartMs = 30000;
const DWORD kEndMs = 30000;

// TOLVANE_LOCK_HOLDER_PATH (a Unix path) as Wine sees it.
std::string holderPath() {
    std::string path = "Z:" + std::string(TOLVANE_LOCK_HOLDER_PATH);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace

LockHeldElsewhere::LockHeldElsewhere(const char* mutexName, DWORD holdMs) : holdMs_(holdMs) {
    static int count = 0;
    const std::string eventName =
        "tolvane-lock-holder-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    std::string commandLine =
        "\"" + holderPath() + "\" " + mutexName + " " + std::to_string(holdMs) + " " + eventName;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (ready && CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                &startup, &process)) {
        CloseHandle(process.hThread);
        process_ = process.hProcess;
        HANDLE waits[] = {ready, process_};
        holding_ = WaitForMultipleObjects(2, waits, FALSE, kStartMs) == WAIT_OBJECT_0;
        takenAt_ = GetTickCount();
    }
    if (ready) CloseHandle(ready);
}

LockHeldElsewhere::~LockHeldElsewhere() {
    waitForRelease();
    if (process_) CloseHandle(process_);
}

void LockHeldElsewhere::waitForRelease() {
    if (process_) WaitForSingleObject(process_, holdMs_ + kEndMs);
}
