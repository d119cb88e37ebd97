#pragma once
// Plays the host client for tests: loads the built tolvane.dll afresh (so
// its module-wide state starts empty), gives it a fresh settings directory
// that is removed afterwards, drives it through plugin_main and the
// broadcast callback it registers, and records every request it sends
// (RequestRecorder). One TestHost at a time per process.
//
//     TestHost host;
//     host.writeSettings({{"Forwarding Enabled", "1"}});
//     host.load();
//     host.start();
//     host.broadcast("AIM", 3, "ann", "incoming_privateMessage", "<b>hi</b>");
//     EXPECT_EQ(host.count("systraySetAlert"), 1);
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "HostPlayer.h"
#include "IniFile.h"
#include "RequestRecorder.h"
#include "TempDir.h"
#include "plugin/HostRecords.h"

class TestHost : public RequestRecorder {
public:
    static constexpr const char* kSection = "IM Tolvane";
    static constexpr const char* kSettingsFileName = "IMTolvane.ini";
    static constexpr const char* kPageName = "IM Tolvaning";

    // Loads the DLL (the test fails when it cannot) and installs a crash
    // filter that ends the program at once with a non-zero code.
    TestHost();
    // Sends "stop" (if started) and "unload" (if loaded) when the test did
    // not, then frees the DLL and removes the settings directory.
    ~TestHost();

    // The raw entry points.
    int32_t event(const char* name, void* record);
    int32_t version();

    // The life cycle, with the records a well-behaved host passes. load()
    // fills the host's part of info(): the settings directory and, unless
    // withService is false, the service function.
    int32_t load(bool withService = true);
    int32_t start();
    int32_t stop();
    int32_t unload();
    // "prefsShow" for the given page name (the plug-in's by default); returns
    // the record as the plug-in left it.
    PrefsShowRecord prefsShow(int32_t showFlag, HWND parent = nullptr, int32_t x = 0,
                              int32_t y = 0, const char* pageName = kPageName);
    int32_t prefsAction(int32_t action);

    // Calls the callback of the current subscription with "message_broadcast"
    // and a MessageRecord made of these texts (null pointers stay null).
    // Returns false, calling nothing, while the plug-in is not subscribed.
    bool broadcast(const char* medium, int32_t connection, const char* name, const char* type,
                   const char* text);
    // Calls the last registered callback as given, subscribed or not.
    int32_t broadcastRaw(const char* eventName, void* record);

    // The load record as the plug-in left it.
    const PluginInfoRecord& info() const { return info_; }
    // A top-level window to serve as the preferences page's parent; made on
    // first use, destroyed with the host.
    HWND parentWindow();

    // The settings directory (ends with a backslash) and the file in it.
    const std::string& settingsDirectory() const { return directory_.path(); }
    IniFile settingsFile() const { return IniFile(directory_.file(kSettingsFileName)); }
    // The keys of the plug-in's section, read from the file's bytes.
    std::vector<IniEntry> settingsEntries() const { return settingsFile().entries(kSection); }
    // Writes keys of the plug-in's section through the profile functions.
    void writeSettings(const std::vector<IniEntry>& entries) const {
        settingsFile().writeThroughProfile(entries, kSection);
    }

private:
    TempDir directory_;
    HostPlayer player_;
    PluginInfoRecord info_{};
    bool loaded_ = false;
    bool started_ = false;
    HWND parentWindow_ = nullptr;
};

// Whether a fixed text field of a record holds the text and zeros after it.
template <size_t N>
bool fieldHolds(const char (&field)[N], const std::string& text) {
    return text.size() <= N && std::string(field, N) == text + std::string(N - text.size(), '\0');
}

// TOLVANE_DLL_PATH (a Unix path) as Wine sees it: Z: and backslashes.
std::string builtDllPath();
// Installs a filter that reports an unhandled exception and ends the program
// with a non-zero code, so that a crash fails a test run instead of hanging it.
void installCrashFilter();
