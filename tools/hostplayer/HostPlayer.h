#pragma once
// The host client's side of the plug-in boundary, shared by the test host and
// the host simulator: loads tolvane.dll, finds its two exports, drives the
// life cycle, and builds the records the client passes with its events and
// broadcasts. The requests the plug-in sends back reach a ServiceDesk.
#include <windows.h>

#include <cstdint>
#include <string>

#include "plugin/HostRecords.h"

class HostPlayer {
public:
    // Makes a crash inside the plug-in end the program at once with a line
    // on stderr ("<player>: unhandled exception ...") and the exit code,
    // instead of a debugger or a hang.
    static void endProgramOnCrash(const char* player, UINT exitCode);

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

    // The life cycle, with the records a well-behaved client passes; each
    // returns plugin_main's answer. load() fills the client's part of info():
    // the settings directory and the service function (may be null).
    int32_t load(const std::string& settingsDirectory, const char* hostText, HostService service);
    int32_t start();
    int32_t stop();
    int32_t unload();
    bool loaded() const { return loaded_; }
    bool started() const { return started_; }
    // The load record as the plug-in left it.
    const PluginInfoRecord& info() const { return info_; }

    int32_t prefsAction(int32_t action);

    // The records as a well-behaved client fills its part of them: zeroed,
    // the size first. Texts stay the caller's.
    static PrefsShowRecord prefsShowRecord(int32_t showFlag, const char* pageName, HWND parent,
                                           int32_t x, int32_t y);
    static MessageRecord messageRecord(const char* medium, int32_t connection, const char* name,
                                       const char* type, const char* text);

private:
    HMODULE module_ = nullptr;
    int32_t(__cdecl* pluginMain_)(const char*, void*) = nullptr;
    int32_t(__cdecl* pluginVersion_)() = nullptr;
    std::string settingsDirectory_;
    PluginInfoRecord info_{};
    bool loaded_ = false;
    bool started_ = false;
};
