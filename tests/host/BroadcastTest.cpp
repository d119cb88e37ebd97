#include <gtest/gtest.h>

#include <vector>

#include "TestHost.h"

namespace {

// Forwarding on without the prefix towards a loopback address where nothing
// listens: every private message raises an alert, and its mail is dropped.
const std::vector<IniEntry> kForwardEverything = {
    {"Forwarding Enabled", "1"}, {"Prefix Enabled", "0"}, {"ForwardType", "1"},
    {"EMail Address", "me@example.net"}, {"SMTP Server", "127.255.255.254"}};

bool raisesAlert(TestHost& host, MessageRecord& record) {
    host.clearRequests();
    EXPECT_EQ(host.broadcastRaw("message_broadcast", &record), 0);
    return host.count("systraySetAlert") == 1;
}

}  // namespace

// What the plug-in makes of a message belongs to the handler; here: the
// callback answers 0 to every call, survives records no host should pass,
// and reaches nothing once the object is gone.
TEST(Broadcast, CallbackAnswersZeroAndReachesOnlyALivePlugin) {
    TestHost host;
    host.writeSettings(kForwardEverything);
    host.load();
    host.start();
    MessageRecord empty{};
    empty.size = sizeof empty;
    MessageRecord full = empty;
    full.medium = "AIM";
    full.name = "ann";
    full.type = "incoming_privateMessage";
    full.text = "hi";
    EXPECT_EQ(host.broadcastRaw("message_broadcast", nullptr), 0);
    EXPECT_EQ(host.broadcastRaw(nullptr, &full), 0);
    EXPECT_FALSE(raisesAlert(host, empty));
    EXPECT_TRUE(raisesAlert(host, full));

    host.stop();
    host.unload();
    EXPECT_FALSE(raisesAlert(host, full));
    EXPECT_TRUE(host.requests().empty());
}
