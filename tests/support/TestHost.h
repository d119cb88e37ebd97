#pragma once
// Plays the host client for tests: loads the built tolvane.dll, drives it
// through plugin_main and the broadcast callback it registers, and records
// every request the plug-in sends through the service function.
//
// One TestHost at a time per process: the service function is a plain
// function, so it finds its host through a process-wide pointer. Each host
// loads the DLL afresh (its module-wide state starts empty) and gives it a
// fresh settings directory that is removed afterwards.
//
//     TestHost host;
//     host.load();
//     host.start();
//     EXPECT_EQ(host.count("messageBroadcastEnable"), 1);
//     host.broadcast("AIM", 3, "ann", "incoming_privateMessage", "<b>hi</b>");
//     host.stop();
//     host.unload();
//     auto keys = host.iniEntries();   // the settings file, in file order
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "TempDir.h"
#include "plugin/HostRecords.h"

// One request as the service function saw it. The identity, the name and
// the record size are always filled; the other fields only for the request
// types named beside them (texts copied, null pointers as empty texts).
struct HostRequest {
    std::string identity;
    std::string name;
    uint32_t recordSize = 0;
    bool nullRecord = false;

    // "dialogAdd", "dialogRemove"
    HWND window = nullptr;

    // "systraySetAlert"
    std::string alertText;
    std::string alertStyle;
    int32_t alertValues[3] = {0, 0, 0};
    uint32_t alertTrailing[2] = {0, 0};

    // "prefsInitialize"
    int32_t prefsOne = 0;
    std::string pageName;
    bool pageNameNull = false;
    uint32_t prefsTrailing = 0;

    // "messageBroadcastEnable", "messageBroadcastDisable"
    int32_t subscription = 0;
    MessageBroadcastCallback callback = nullptr;
    int32_t userValue = 0;

    // "messageSend"
    std::string medium;
    int32_t connection = 0;
    std::string partyName;
    std::string type;
    std::string text;
    uintptr_t trailingText = 0;   // the pointer at offset 24, as a number
    int32_t trailingValue = 0;    // the value at offset 28
};

// One key of the settings file, as it stands in the file.
using IniEntry = std::pair<std::string, std::string>;

struct LoadOptions {
    bool service = true;    // false: the load record holds no service function
    bool directory = true;  // false: the settings directory pointer is null
};

class TestHost {
public:
    static constexpr const char* kSection = "IM Tolvane";
    static constexpr const char* kIniFileName = "IMTolvane.ini";
    static constexpr const char* kPageName = "IM Tolvaning";
    static constexpr int32_t kDefaultEnableAnswer = 7;

    // Loads the DLL (fails the test program when it cannot) and installs a
    // crash filter that ends the program with a non-zero code.
    TestHost();
    // Sends "stop" (if started) and "unload" (if loaded) when the test did
    // not, then frees the DLL and removes the settings directory.
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // Raw entry points.
    int32_t event(const char* name, void* record);
    int32_t version();

    // The life cycle, with the records a well-behaved host passes.
    int32_t load(LoadOptions options = {});
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
    // The callback of the last "messageBroadcastEnable", or null.
    MessageBroadcastCallback callback() const { return callback_; }
    // True between an answered enable (answer not -1) and its disable.
    bool subscribed() const { return subscribed_; }

    // The answer to "messageBroadcastEnable" (7 unless set); every other
    // request is answered with 0 unless set here.
    void setAnswer(const std::string& request, int32_t answer) { answers_[request] = answer; }

    // Every request so far, in order.
    const std::vector<HostRequest>& requests() const { return requests_; }
    std::vector<std::string> requestNames() const;
    int count(const std::string& request) const;
    // The last request with this name; fails the test when there is none.
    const HostRequest& last(const std::string& request) const;
    void clearRequests() { requests_.clear(); }

    // The load record as the plug-in left it.
    const PluginInfoRecord& info() const { return info_; }
    // A top-level window to serve as the preferences page's parent; made on
    // first use, destroyed with the host.
    HWND parentWindow();

    // The settings directory (ends with a backslash) and the file in it.
    const std::string& settingsDirectory() const { return directory_.path(); }
    std::string settingsPath() const { return directory_.file(kIniFileName); }
    bool iniExists() const;
    // The file's bytes, read directly; empty when there is no file.
    std::string iniText() const;
    // The keys of a section in file order, read from the file's bytes.
    std::vector<IniEntry> iniEntries(const std::string& section = kSection) const;
    // The names of the sections in file order.
    std::vector<std::string> iniSections() const;
    // Writes keys through WritePrivateProfileStringA, so that Wine's profile
    // cache and the file agree.
    void writeIni(const std::vector<IniEntry>& entries, const std::string& section = kSection);
    // Writes the file's bytes directly. Only safe before anything in this
    // process has opened the file through the profile functions.
    void writeIniBytes(const std::string& bytes);

private:
    static int32_t __cdecl service(const char* identity, const char* request, void* record);
    int32_t serve(const char* identity, const char* request, void* record);

    TempDir directory_;
    HMODULE module_ = nullptr;
    int32_t(__cdecl* pluginMain_)(const char*, void*) = nullptr;
    int32_t(__cdecl* pluginVersion_)() = nullptr;
    PluginInfoRecord info_;
    std::vector<HostRequest> requests_;
    std::map<std::string, int32_t> answers_;
    MessageBroadcastCallback callback_ = nullptr;
    bool subscribed_ = false;
    bool loaded_ = false;
    bool started_ = false;
    HWND parentWindow_ = nullptr;
};

// TOLVANE_DLL_PATH (a Unix path) as Wine sees it: Z: and backslashes.
std::string builtDllPath();
