#pragma once
// The host client's side of the plug-in boundary, shared by the test host and
// the host simulator: loads tolvane.dll, finds its two exports, and builds
// the records the client passes with its events and broadcasts. What each
// player does with the plug-in's requests is its own.
#include <windows.h>

#include <cstdint>
#include <string>

#include "plugin/HostRecords.h"

class HostPlayer {
public:
    HostPlayer() = default;
    // Frees the DLL.
    ~HostPlayer();
    HostPlayer(const HostPlayer&) = delete;
    HostPlayer& operator=(const HostPlayer&) = delete;

    // Loads the DLL and finds plugin_main and plugin_version; on failure says
    // why.
    bool open(const std::string& dllPath, std::string& error);
    // plugin_main and plugin_version; 0 while the DLL is not open.
    int32_t event(const char* name, void* record) const;
    int32_t version() const;

    // The records as a well-behaved client fills its part of them: zeroed,
    // the size first. Texts stay the caller's.
    static PluginInfoRecord loadRecord(const char* settingsDirectory, const char* hostText,
                                       HostService service);
    static PrefsShowRecord prefsShowRecord(int32_t showFlag, const char* pageName, HWND parent,
                                           int32_t x, int32_t y);
    static PrefsActionRecord prefsActionRecord(int32_t action);
    static MessageRecord messageRecord(const char* medium, int32_t connection, const char* name,
                                       const char* type, const char* text);

private:
    HMODULE module_ = nullptr;
    int32_t(__cdecl* pluginMain_)(const char*, void*) = nullptr;
    int32_t(__cdecl* pluginVersion_)() = nullptr;
};
