#include "HostPlayer.h"

#include <cstring>

namespace {

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

PluginInfoRecord HostPlayer::loadRecord(const char* settingsDirectory, const char* hostText,
                                        HostService service) {
    PluginInfoRecord record = zeroed<PluginInfoRecord>();
    record.hostSize = sizeof record;
    record.settingsDirectory = settingsDirectory;
    record.unusedText = hostText;
    record.service = service;
    return record;
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

PrefsActionRecord HostPlayer::prefsActionRecord(int32_t action) {
    PrefsActionRecord record = zeroed<PrefsActionRecord>();
    record.hostSize = sizeof record;
    record.action = action;
    return record;
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
