#include <gtest/gtest.h>

#include "SimulatorFixture.h"

namespace {

const char kIdentity[] = "5A1E7C24-90D3-4b7f-8C26-D1F04A9B3E65";
// Loopback, and outside the addresses the mail lab hands out: nothing
// listens there, so each queued mail is dropped at once.
const char kNoServer[] = "127.255.255.254";

using SimulatedHostTest = SimulatorFixture;

const std::vector<IniEntry> kForwardEverything = {
    {"Forwarding Enabled", "1"}, {"Prefix Enabled", "0"},   {"SMTP Server", kNoServer},
    {"ForwardType", "1"},        {"EMail Address", "x@y.z"}, {"Reply", "got it"},
};

}  // namespace

TEST_F(SimulatedHostTest, EachStartSubscribesAfreshAndStopEndsIt) {
    open();
    EXPECT_TRUE(transcript.has(std::string("plug-in: identity ") + kIdentity));
    EXPECT_FALSE(host.subscribed());

    host.start();
    EXPECT_EQ(host.registeredPage(), "IM Tolvaning");
    EXPECT_TRUE(host.subscribed());
    EXPECT_TRUE(transcript.has("-> subscription 1"));
    // Every request came with the identity of the load record, on this thread.
    EXPECT_FALSE(transcript.has("[identity")) << transcript.dump();
    EXPECT_FALSE(transcript.has("[sent from")) << transcript.dump();

    host.stop();
    EXPECT_FALSE(host.subscribed());
    host.start();
    EXPECT_TRUE(host.subscribed());
    EXPECT_TRUE(transcript.has("-> subscription 2"));
}

TEST_F(SimulatedHostTest, MessagesReachThePluginOnlyWhileSubscribed) {
    open(kForwardEverything);
    host.deliver("ann", "AIM", 4, "early");
    EXPECT_TRUE(host.requests().empty());
    EXPECT_TRUE(transcript.has("early [not delivered: the plug-in has not subscribed]"));

    host.start();
    const size_t started = host.requests().size();
    host.deliver("ann", "AIM", 4, "<b>hi</b>");
    EXPECT_EQ(host.requests().size(), started + 2) << "the alert and the reply\n"
                                                   << transcript.dump();

    host.stop();
    const size_t requests = host.requests().size();
    host.deliver("ann", "AIM", 4, "late");
    EXPECT_EQ(host.requests().size(), requests);
}

TEST(RequestDescription, RecordsOfTheWrongSizeAndUnknownRequestsAreNamed) {
    BroadcastRecord broadcast = {};
    broadcast.size = sizeof broadcast;
    const std::string size = std::to_string(sizeof broadcast);
    const auto describe = [](const char* request, const void* record) {
        return describeRequest(readRequest(kIdentity, request, record));
    };
    EXPECT_EQ(describe("dialogAdd", &broadcast),
              "dialogAdd: record size " + size + " where " + std::to_string(sizeof(DialogRecord)) +
                  " belongs");
    EXPECT_EQ(describe("chatJoin", &broadcast),
              "chatJoin: unknown request, record size " + size);
    EXPECT_EQ(describe("messageSend", nullptr), "messageSend: without a record");
}
