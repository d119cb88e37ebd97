#include "TestHost.h"

#include <gtest/gtest.h>

namespace {

const char kHostText[] = "test host";
const UINT kCrashExitCode = 3;

}  // namespace

std::string builtDllPath() {
    std::string path = "Z:" + std::string(TOLVANE_DLL_PATH);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

void installCrashFilter() { HostPlayer::endProgramOnCrash("test host", kCrashExitCode); }

TestHost::TestHost() {
    installCrashFilter();
    std::string error;
    if (!player_.open(builtDllPath(), error)) ADD_FAILURE() << error;
}

TestHost::~TestHost() {
    if (player_.started()) stop();
    if (player_.loaded()) unload();
    if (parentWindow_) DestroyWindow(parentWindow_);
}

int32_t TestHost::event(const char* name, void* record) { return player_.event(name, record); }

int32_t TestHost::version() { return player_.version(); }

int32_t TestHost::load(bool withService) {
    return player_.load(directory_.path(), kHostText, withService ? service() : nullptr);
}

int32_t TestHost::start() { return player_.start(); }

int32_t TestHost::stop() { return player_.stop(); }

int32_t TestHost::unload() { return player_.unload(); }

PrefsShowRecord TestHost::prefsShow(int32_t showFlag, HWND parent, int32_t x, int32_t y,
                                    const char* pageName) {
    PrefsShowRecord record = HostPlayer::prefsShowRecord(showFlag, pageName, parent, x, y);
    event("prefsShow", &record);
    return record;
}

int32_t TestHost::prefsAction(int32_t action) { return player_.prefsAction(action); }

bool TestHost::broadcast(const char* medium, int32_t connection, const char* name,
                         const char* type, const char* text) {
    MessageRecord record = HostPlayer::messageRecord(medium, connection, name, type, text);
    return broadcastMessage(record);
}

int32_t TestHost::broadcastRaw(const char* eventName, void* record) {
    if (!callback()) ADD_FAILURE() << "the plug-in registered no broadcast callback";
    return callBack(eventName, record);
}

HWND TestHost::parentWindow() {
    if (!parentWindow_) {
        parentWindow_ = CreateWindowExA(0, "STATIC", "test host", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                                        480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    return parentWindow_;
}
