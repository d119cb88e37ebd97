#pragma once
// Plays the instant-messaging client for a plug-in DLL: loads it, hands it a
// load record with the settings directory and the service function, sends it
// the life-cycle events, delivers incoming messages to the callback it
// subscribes, and answers its requests. Every event it sends and every
// request it receives becomes one line of output.
//
// One SimulatedHost or other ServiceDesk at a time per process.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "HostPlayer.h"
#include "ServiceDesk.h"

class SimulatedHost : public ServiceDesk {
public:
    using Output = std::function<void(const std::string& line)>;

    // The prefixes of the two kinds of line.
    static constexpr const char* kHostPrefix = "host:    ";
    static constexpr const char* kPluginPrefix = "plug-in: ";

    explicit SimulatedHost(Output output);
    // Sends "stop" and "unload" if they are due, then frees the DLL.
    ~SimulatedHost() override;

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

    // A pause of the client, named in the output.
    void wait(uint32_t ms) const;

private:
    void served(const HostRequest& request, int32_t answer) override;
    void report(int32_t eventAnswer) const;
    void say(const char* prefix, const std::string& words) const;
    void reportIdentity();

    Output output_;
    HostPlayer player_;
    DWORD hostThread_ = 0;
};
