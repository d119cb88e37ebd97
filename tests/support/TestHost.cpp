#include "TestHost.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const char kMessageBroadcast[] = "message_broadcast";
const char kHostText[] = "test host";
const UINT kCrashExitCode = 3;

LONG WINAPI reportCrash(EXCEPTION_POINTERS* exception) {
    std::fprintf(stderr, "test host: unhandled exception 0x%08lx at %p\n",
                 exception->ExceptionRecord->ExceptionCode,
                 exception->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), kCrashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

std::string builtDllPath() {
    std::string path = "Z:" + std::string(TOLVANE_DLL_PATH);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

void installCrashFilter() { SetUnhandledExceptionFilter(reportCrash); }

TestHost::TestHost() {
    installCrashFilter();
    std::string error;
    if (!player_.open(builtDllPath(), error)) ADD_FAILURE() << error;
}

TestHost::~TestHost() {
    if (started_) stop();
    if (loaded_) unload();
    if (parentWindow_) DestroyWindow(parentWindow_);
}

int32_t TestHost::event(const char* name, void* record) { return player_.event(name, record); }

int32_t TestHost::version() { return player_.version(); }

int32_t TestHost::load(bool withService) {
    info_ = HostPlayer::loadRecord(directory_.path().c_str(), kHostText,
                                   withService ? service() : nullptr);
    loaded_ = true;
    return event("load", &info_);
}

int32_t TestHost::start() {
    started_ = true;
    return event("start", nullptr);
}

int32_t TestHost::stop() {
    started_ = false;
    return event("stop", nullptr);
}

int32_t TestHost::unload() {
    started_ = false;
    loaded_ = false;
    return event("unload", nullptr);
}

PrefsShowRecord TestHost::prefsShow(int32_t showFlag, HWND parent, int32_t x, int32_t y,
                                    const char* pageName) {
    PrefsShowRecord record = HostPlayer::prefsShowRecord(showFlag, pageName, parent, x, y);
    event("prefsShow", &record);
    return record;
}

int32_t TestHost::prefsAction(int32_t action) {
    PrefsActionRecord record = HostPlayer::prefsActionRecord(action);
    return event("prefsAction", &record);
}

bool TestHost::broadcast(const char* medium, int32_t connection, const char* name,
                         const char* type, const char* text) {
    if (!subscribed() || !callback()) return false;
    MessageRecord record = HostPlayer::messageRecord(medium, connection, name, type, text);
    broadcastRaw(kMessageBroadcast, &record);
    return true;
}

int32_t TestHost::broadcastRaw(const char* eventName, void* record) {
    if (!callback()) {
        ADD_FAILURE() << "the plug-in registered no broadcast callback";
        return 0;
    }
    return callback()(0, 0, eventName, record, 0);
}

HWND TestHost::parentWindow() {
    if (!parentWindow_) {
        parentWindow_ = CreateWindowExA(0, "STATIC", "test host", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                                        480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    return parentWindow_;
}
