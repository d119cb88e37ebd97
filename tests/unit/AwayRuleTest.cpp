#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "IniFile.h"
#include "RequestRecorder.h"
#include "TempDir.h"
#include "forward/AwayRule.h"
#include "plugin/MessageEvent.h"
#include "plugin/PluginModule.h"
#include "plugin/RelayPlugin.h"

namespace {

const uint32_t kMinute = 60 * 1000;

// The clock the tests put in place of the machine's.
PresenceSample fakePresence;
int probeCalls = 0;

PresenceSample fakeProbe() {
    ++probeCalls;
    return fakePresence;
}

}  // namespace

TEST(AwayRule, ForwardsWhenLockedOrIdleForTheThreshold) {
    const struct {
        int32_t awayMinutes;
        uint32_t idleMs;
        bool locked;
        bool forwards;
        int probeCalls;
    } cases[] = {
        // 0 and values out of range forward always, without asking the clock.
        {0, 0, false, true, 0},
        {-5, 0, false, true, 0},
        {1441, 0, false, true, 0},
        {1, kMinute - 1, false, false, 1},
        {1, kMinute, false, true, 1},
        {1, 0, true, true, 1},
        {1440, 1440 * kMinute - 1, false, false, 1},
        {1440, 1440 * kMinute, false, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.awayMinutes) + " minutes, idle " + std::to_string(c.idleMs));
        fakePresence = {c.idleMs, c.locked};
        probeCalls = 0;
        EXPECT_EQ(forwardsNow(c.awayMinutes, fakeProbe), c.forwards);
        EXPECT_EQ(probeCalls, c.probeCalls);
    }
}

TEST(AwayRule, IdleTimeCrossesTheTickCounterWrapAround) {
    EXPECT_EQ(idleMillisecondsSince(1000, 61000), 60000u);
    EXPECT_EQ(idleMillisecondsSince(0xFFFFFF00u, 0x100), 0x200u);
    EXPECT_EQ(idleMillisecondsSince(0xFFFFFFFFu, 0), 1u);
    // Input stamped a little after the clock's reading is input now.
    EXPECT_EQ(idleMillisecondsSince(5000, 4990), 0u);
}

// The module's plug-in with "Away Minutes" 5 and a clock of the test's: a
// message held back leaves no trace; once the idle time has passed the same
// message goes out with its alert and reply.
TEST(AwayRule, TheHandlerHoldsBackUntilTheIdleTimeHasPassed) {
    const TempDir directory;
    IniFile(directory.file("IMTolvane.ini"))
        .writeThroughProfile({{"Forwarding Enabled", "1"}, {"Prefix Enabled", "0"},
                              {"EMail Address", "me@example.net"}, {"Away Minutes", "5"}},
                             "IM Tolvane");
    RequestRecorder recorder;
    PluginInfoRecord info{};
    info.settingsDirectory = directory.path().c_str();
    info.service = RequestRecorder::service();
    plugin_main("load", &info);
    RelayPlugin& plugin = *pluginObject();
    plugin.setPresenceProbe(fakeProbe);
    MessageEvent event{"AIM", 3, "ann", "incoming_privateMessage", "hi"};
    const auto broadcast = [&] { plugin.onMessageBroadcast(0, 0, "message_broadcast", event, 0); };

    fakePresence = {5 * kMinute - 1, false};
    broadcast();
    EXPECT_TRUE(recorder.requests().empty());
    fakePresence = {5 * kMinute, false};
    broadcast();
    EXPECT_EQ(recorder.requestNames(), (std::vector<std::string>{"systraySetAlert", "messageSend"}));

    // A message that fails another filter costs no call.
    probeCalls = 0;
    event.type = "outgoing";
    broadcast();
    EXPECT_EQ(probeCalls, 0);
    plugin_main("unload", nullptr);
}
