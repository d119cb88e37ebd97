#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestHost.h"

namespace {

using Names = std::vector<std::string>;

const char kIdentity[] = "5A1E7C24-90D3-4b7f-8C26-D1F04A9B3E65";

// The text in a fixed field, and whether the rest of the field is zero.
template <size_t N>
bool fieldHolds(const char (&field)[N], const char* text) {
    const size_t length = std::strlen(text);
    if (std::memcmp(field, text, length) != 0) return false;
    for (size_t i = length; i < N; ++i) {
        if (field[i] != 0) return false;
    }
    return true;
}

}  // namespace

TEST(LifeCycle, LoadFillsTheLoadRecordAndSendsNothing) {
    TestHost host;
    EXPECT_EQ(host.version(), 1);
    EXPECT_EQ(host.load(), 0);

    const PluginInfoRecord& info = host.info();
    EXPECT_TRUE(fieldHolds(info.identity, kIdentity));
    EXPECT_TRUE(fieldHolds(info.name, "IM Tolvaning Plugin"));
    EXPECT_TRUE(fieldHolds(info.version, "1.1"));
    EXPECT_TRUE(fieldHolds(info.description, "Forwards IMs to an email address or mobile phone."));
    const size_t authorLength = strnlen(info.author, sizeof info.author);
    EXPECT_GT(authorLength, 0u);
    EXPECT_TRUE(fieldHolds(info.author, std::string(info.author, authorLength).c_str()));
    EXPECT_TRUE(host.requests().empty());
}

TEST(LifeCycle, StartRegistersThePageThenSubscribes) {
    TestHost host;
    host.load();
    EXPECT_EQ(host.start(), 0);
    ASSERT_EQ(host.requestNames(), (Names{"prefsInitialize", "messageBroadcastEnable"}));
    for (const HostRequest& request : host.requests()) {
        EXPECT_EQ(request.identity, kIdentity);
        EXPECT_EQ(request.recordSize, 16u);
    }
    const HostRequest& prefs = host.requests()[0];
    EXPECT_EQ(prefs.prefsOne, 1);
    EXPECT_EQ(prefs.pageName, "IM Tolvaning");
    EXPECT_EQ(prefs.prefsTrailing, 0u);
    const HostRequest& enable = host.requests()[1];
    EXPECT_EQ(enable.subscription, 0);
    EXPECT_NE(enable.callback, nullptr);
    EXPECT_EQ(enable.userValue, 0);
}

TEST(LifeCycle, StopWithdrawsTheSubscriptionTheHostGave) {
    TestHost host;
    host.setAnswer("messageBroadcastEnable", 42);
    host.load();
    host.start();
    host.clearRequests();
    host.stop();
    ASSERT_EQ(host.requestNames(), Names{"messageBroadcastDisable"});
    const HostRequest& disable = host.requests()[0];
    EXPECT_EQ(disable.identity, kIdentity);
    EXPECT_EQ(disable.recordSize, 16u);
    EXPECT_EQ(disable.subscription, 42);
    EXPECT_EQ(disable.callback, nullptr);
    EXPECT_EQ(disable.userValue, 0);
}

TEST(LifeCycle, SecondStartWhileStartedDoesNothing) {
    TestHost host;
    host.load();
    host.start();
    host.start();
    EXPECT_EQ(host.requestNames(), (Names{"prefsInitialize", "messageBroadcastEnable"}));
    host.stop();
    EXPECT_EQ(host.count("messageBroadcastDisable"), 1);
}

TEST(LifeCycle, StartAfterStopSubscribesAgain) {
    TestHost host;
    host.load();
    host.start();
    host.stop();
    host.setAnswer("messageBroadcastEnable", 9);
    host.start();
    host.stop();
    EXPECT_EQ(host.requestNames(),
              (Names{"prefsInitialize", "messageBroadcastEnable", "messageBroadcastDisable",
                     "prefsInitialize", "messageBroadcastEnable", "messageBroadcastDisable"}));
    EXPECT_EQ(host.last("messageBroadcastDisable").subscription, 9);
}

TEST(LifeCycle, HostAnsweringZeroIsStillASubscription) {
    TestHost host;
    host.setAnswer("messageBroadcastEnable", 0);
    host.load();
    host.start();
    host.stop();
    ASSERT_EQ(host.count("messageBroadcastDisable"), 1);
    EXPECT_EQ(host.last("messageBroadcastDisable").subscription, 0);
}

TEST(LifeCycle, HostRefusingWithMinusOneLeavesThePluginUnsubscribed) {
    TestHost host;
    host.setAnswer("messageBroadcastEnable", -1);
    host.load();
    host.start();
    host.stop();
    EXPECT_EQ(host.count("messageBroadcastDisable"), 0);
    // Unsubscribed in its own eyes, the next start asks again.
    host.start();
    EXPECT_EQ(host.count("messageBroadcastEnable"), 2);
}

TEST(LifeCycle, StopWithoutStartSendsNothing) {
    TestHost host;
    host.load();
    EXPECT_EQ(host.stop(), 0);
    EXPECT_TRUE(host.requests().empty());
}

TEST(LifeCycle, UnloadWhileStartedStopsFirst) {
    TestHost host;
    host.load();
    host.start();
    host.clearRequests();
    host.unload();
    EXPECT_EQ(host.requestNames(), Names{"messageBroadcastDisable"});
    EXPECT_TRUE(host.settingsFile().exists());
}

TEST(LifeCycle, SecondLoadKeepsTheFirstObject) {
    TestHost host;
    host.load();
    PluginInfoRecord second;
    std::memset(&second, 0, sizeof second);
    second.settingsDirectory = "Z:\\nonexistent\\";
    second.service = RequestRecorder::service();
    EXPECT_EQ(host.event("load", &second), 0);
    EXPECT_EQ(second.identity[0], 0);
    EXPECT_EQ(second.name[0], 0);
    // The first object still answers start with its own requests.
    host.start();
    EXPECT_EQ(host.count("prefsInitialize"), 1);
    host.stop();
    host.unload();
    EXPECT_TRUE(host.settingsFile().exists());
}

TEST(LifeCycle, NothingHappensWithoutAnObject) {
    TestHost host;
    PrefsShowRecord show = host.prefsShow(1);
    EXPECT_EQ(show.pluginPageName[0], 0);
    for (const char* name : {"initialLoad", "start", "stop", "finalUnload", "prefsAction",
                             "unload"}) {
        PrefsActionRecord action = {sizeof action, 2};
        EXPECT_EQ(host.event(name, &action), 0) << name;
    }
    EXPECT_TRUE(host.requests().empty());
    EXPECT_FALSE(host.settingsFile().exists());
}

TEST(LifeCycle, LoadWithoutARecordMakesNoObject) {
    TestHost host;
    EXPECT_EQ(host.event("load", nullptr), 0);
    host.start();
    host.unload();
    EXPECT_TRUE(host.requests().empty());
    EXPECT_FALSE(host.settingsFile().exists());
}

TEST(LifeCycle, EventsAfterUnloadDoNothing) {
    TestHost host;
    host.load();
    host.unload();
    host.clearRequests();
    host.start();
    host.stop();
    EXPECT_EQ(host.prefsShow(1).pluginPageName[0], 0);
    EXPECT_TRUE(host.requests().empty());
}

TEST(LifeCycle, WithoutAServiceFunctionNothingReachesTheHost) {
    TestHost host;
    host.load(false);
    host.start();
    PrefsShowRecord show = host.prefsShow(0);
    host.stop();
    host.unload();
    EXPECT_TRUE(host.requests().empty());
    // The page name was registered all the same, so prefsShow was answered.
    EXPECT_STREQ(show.pluginPageName, "IM Tolvaning");
    EXPECT_TRUE(host.settingsFile().exists());
}

TEST(LifeCycle, InitialAndFinalLoadChangeNothing) {
    TestHost host;
    host.load();
    host.event("initialLoad", nullptr);
    host.start();
    host.event("finalUnload", nullptr);
    host.stop();
    EXPECT_EQ(host.requestNames(),
              (Names{"prefsInitialize", "messageBroadcastEnable", "messageBroadcastDisable"}));
}
