#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestHost.h"

namespace {

using Names = std::vector<std::string>;
const char* const kNoName = nullptr;

// The load record TestHost::load passes, for a "load" spelt otherwise.
PluginInfoRecord loadRecord(const TestHost& host) {
    PluginInfoRecord info{};
    info.settingsDirectory = host.settingsDirectory().c_str();
    info.service = RequestRecorder::service();
    return info;
}

}  // namespace

TEST(Dispatch, EventNamesIgnoreTheCaseOfLetters) {
    TestHost host;
    PluginInfoRecord info = loadRecord(host);
    EXPECT_EQ(host.event("LOAD", &info), 0);
    EXPECT_NE(info.identity[0], 0);
    EXPECT_EQ(host.event("START", nullptr), 0);
    EXPECT_EQ(host.event("sToP", nullptr), 0);
    EXPECT_EQ(host.requestNames(),
              (Names{"prefsInitialize", "messageBroadcastEnable", "messageBroadcastDisable"}));

    PrefsShowRecord show{};
    show.pageName = "IM Tolvaning";
    EXPECT_EQ(host.event("PREFSSHOW", &show), 0);
    EXPECT_STREQ(show.pluginPageName, "IM Tolvaning");

    EXPECT_EQ(host.event("UnLoad", nullptr), 0);
    EXPECT_TRUE(host.settingsFile().exists());
}

TEST(Dispatch, NullNamesAndNamesThatOnlyResembleAnEventReachNothing) {
    TestHost host;
    PluginInfoRecord info = loadRecord(host);
    for (const char* name : {"load ", "loads", "loa", " load", "", kNoName}) {
        EXPECT_EQ(host.event(name, &info), 0) << (name ? name : "null");
    }
    EXPECT_EQ(info.identity[0], 0);

    host.load();
    for (const char* name : {"start ", "starts", "star", "begin", "stop\t", "unload2",
                             "prefs_show", "message_broadcast", kNoName}) {
        EXPECT_EQ(host.event(name, nullptr), 0) << (name ? name : "null");
    }
    EXPECT_TRUE(host.requests().empty());
    EXPECT_FALSE(host.settingsFile().exists());

    // Events whose record is missing are ignored, not followed.
    host.start();
    EXPECT_EQ(host.event("prefsShow", nullptr), 0);
    EXPECT_EQ(host.event("prefsAction", nullptr), 0);
}
