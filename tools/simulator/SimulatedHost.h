#pragma once
// Plays the instant-messaging client for a plug-in DLL: loads it, hands it a
// load record with the settings directory and the service function, sends it
// the life-cycle events, delivers incoming messages to the callback it
// subscribes, and answers its requests. Every event it sends and every
// request it receives becomes one line of output.
//
// One SimulatedHost at a time per process: the service function is a plain
// function that finds its host through a process-wide pointer.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "HostPlayer.h"
#include "plugin/HostRecords.h"

class SimulatedHost {
public:
    using Output = std::function<void(const std::string& line)>;

    // The prefixes of the two kinds of line.
    static constexpr const char* kHostPrefix = "host:    ";
    static constexpr const char* kPluginPrefix = "plug-in: ";

    explicit SimulatedHost(Output output);
    // Sends "stop" and "unload" if they are due, then frees the DLL.
    ~SimulatedHost();
    SimulatedHost(const SimulatedHost&) = delete;
    SimulatedHost& operator=(const SimulatedHost&) = delete;

    // Loads the DLL and finds its two exports; on failure says why.
    bool open(const std::string& dllPath, std::string& error);

    void load(const std::string& settingsDirectory);
    void start();
    void stop();
    void unload();

    // An incoming private message, delivered to the subscribed callback as
    // the client does: "message_broadcast" with a MessageRecord.
    void deliver(const std::string& sender, const std::string& medium, int32_t connection,
                 const std::string& text);

    // "prefsShow" for the page the plug-in registered, placed at (x, y) in
    // parent; "prefsAction" 0 (cancel), 1 (apply) or 2 (OK).
    void prefsShow(HWND parent, int32_t x, int32_t y, bool show);
    void prefsAction(int32_t action);

    // The window the plug-in added with "dialogAdd" and has not removed.
    HWND page() const { return page_; }
    bool subscribed() const { return subscribed_; }
    const std::string& registeredPage() const { return registeredPage_; }
    int requestCount() const { return requestCount_; }

private:
    static int32_t __cdecl serviceFunction(const char* identity, const char* request, void* record);
    int32_t serve(const char* identity, const char* request, void* record);
    int32_t answer(const std::string& request, void* record);
    int32_t event(const char* name, void* record);
    void say(const char* prefix, const std::string& words) const;
    void reportIdentity();

    Output output_;
    HostPlayer player_;
    PluginInfoRecord info_;
    std::string settingsDirectory_;
    DWORD hostThread_ = 0;
    bool loaded_ = false;
    bool started_ = false;

    std::string registeredPage_;
    HWND page_ = nullptr;
    MessageBroadcastCallback callback_ = nullptr;
    int32_t subscription_ = 0;
    int32_t lastSubscription_ = 0;
    bool subscribed_ = false;
    int requestCount_ = 0;
};
