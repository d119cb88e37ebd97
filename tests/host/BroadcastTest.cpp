#include <gtest/gtest.h>

#include <cstring>

#include "TestHost.h"

namespace {

MessageRecord message(const char* medium, const char* name, const char* type, const char* text) {
    MessageRecord record;
    std::memset(&record, 0, sizeof record);
    record.size = sizeof record;
    record.medium = medium;
    record.connection = 4;
    record.name = name;
    record.type = type;
    record.text = text;
    return record;
}

}  // namespace

// What the plug-in makes of a message belongs to the handler; here: the
// callback survives every record the host may pass, and always answers 0.
TEST(Broadcast, CallbackAnswersZeroToEveryCall) {
    TestHost host;
    host.load();
    host.start();
    ASSERT_TRUE(host.subscribed());
    ASSERT_NE(host.callback(), nullptr);

    MessageRecord empty = message(nullptr, nullptr, nullptr, nullptr);
    MessageRecord full = message("AIM", "ann", "incoming_privateMessage", "<b>hi</b> <i");
    EXPECT_EQ(host.broadcastRaw("message_broadcast", &empty), 0);
    EXPECT_EQ(host.broadcastRaw("message_broadcast", &full), 0);
    EXPECT_EQ(host.broadcastRaw("message_broadcast", nullptr), 0);
    EXPECT_EQ(host.broadcastRaw("Message_Broadcast", &full), 0);
    EXPECT_EQ(host.broadcastRaw(nullptr, &full), 0);
    EXPECT_TRUE(host.broadcast("AIM", 1, "ann", "incoming_privateMessage", "hi"));
}

TEST(Broadcast, CallbackIgnoresCallsWhileNoObjectExists) {
    TestHost host;
    host.load();
    host.start();
    host.stop();
    EXPECT_FALSE(host.subscribed());
    host.unload();
    host.clearRequests();
    MessageRecord full = message("AIM", "ann", "incoming_privateMessage", "hi");
    EXPECT_EQ(host.broadcastRaw("message_broadcast", &full), 0);
    EXPECT_TRUE(host.requests().empty());
}
