#include "HostPlayer.h"

#include <cstdio>
#include <cstring>

namespace {

const char* crashingPlayer = "";
UINT crashExitCode = 1;

LONG WINAPI reportCrash(EXCEPTION_POINTERS* exception) {
    std::fprintf(stderr, "%s: unhandled exception 0x%08lx at %p\n", crashingPlayer,
                 exception->ExceptionRecord->ExceptionCode,
                 exception->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), crashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

template <typename Record>
Record zeroed() {
    Record record;
    std::memset(&record, 0, sizeof record);
    return record;
}

// GetProcAddress's generic result as the export's real type.
template <typename Function>
Function entryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

void HostPlayer::endProgramOnCrash(const char* player, UINT exitCode) {
    crashingPlayer = player;
    crashExitCode = exitCode;
    SetUnhandledExceptionFilter(reportCrash);
}

HostPlayer::~HostPlayer() {
    if (module_) FreeLibrary(module_);
}

bool HostPlayer::open(const std::string& dllPath, std::string& error) {
    module_ = LoadLibraryA(dllPath.c_str());
    if (!module_) {
        error = "cannot load " + dllPath + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    pluginMain_ = entryPoint<decltype(pluginMain_)>(module_, "plugin_main");
    pluginVersion_ = entryPoint<decltype(pluginVersion_)>(module_, "plugin_version");
    if (!pluginMain_ || !pluginVersion_) {
        error = dllPath + " does not export plugin_main and plugin_version";
        return false;
    }
    return true;
}

int32_t HostPlayer::event(const char* name, void* record) const {
    return pluginMain_ ? pluginMain_(name, record) : 0;
}

int32_t HostPlayer::version() const { return pluginVersion_ ? pluginVersion_() : 0; }

int32_t HostPlayer::load(const std::string& settingsDirectory, const char* hostText,
                         HostService service) {
    settingsDirectory_ = settingsDirectory;
    info_ = zeroed<PluginInfoRecord>();
    info_.hostSize = sizeof info_;
    info_.settingsDirectory = settingsDirectory_.c_str();
    info_.unusedText = hostText;
    info_.service = service;
    loaded_ = true;
    return event("load", &info_);
}

int32_t HostPlayer::start() {
    started_ = true;
    return event("start", nullptr);
}

int32_t HostPlayer::stop() {
    started_ = false;
    return event("stop", nullptr);
}

int32_t HostPlayer::unload() {
    started_ = false;
    loaded_ = false;
    return event("unload", nullptr);
}

PrefsShowRecord HostPlayer::prefsShowRecord(int32_t showFlag, const char* pageName, HWND parent,
                                            int32_t x, int32_t y) {
    PrefsShowRecord record = zeroed<PrefsShowRecord>();
    record.hostSize = sizeof record;
    record.showFlag = showFlag;
    record.pageName = pageName;
    record.parentWindow = parent;
    record.x = x;
    record.y = y;
    return record;
}

int32_t HostPlayer::prefsAction(int32_t action) {
    PrefsActionRecord record = zeroed<PrefsActionRecord>();
    record.hostSize = sizeof record;
    record.action = action;
    return event("prefsAction", &record);
}

MessageRecord HostPlayer::messageRecord(const char* medium, int32_t connection, const char* name,
                                        const char* type, const char* text) {
    MessageRecord record = zeroed<MessageRecord>();
    record.size = sizeof record;
    record.medium = medium;
    record.connection = connection;
    record.name = name;
    record.type = type;
    record.text = text;
    return record;
}
