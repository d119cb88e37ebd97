#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestHost.h"

namespace {

using Names = std::vector<std::string>;

PluginInfoRecord loadRecord(TestHost& host) {
    PluginInfoRecord info;
    std::memset(&info, 0, sizeof info);
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

    PrefsShowRecord show;
    std::memset(&show, 0, sizeof show);
    show.pageName = "IM Tolvaning";
    EXPECT_EQ(host.event("PREFSSHOW", &show), 0);
    EXPECT_STREQ(show.pluginPageName, "IM Tolvaning");

    EXPECT_EQ(host.event("UnLoad", nullptr), 0);
    EXPECT_TRUE(host.settingsFile().exists());
}

TEST(Dispatch, NamesThatOnlyResembleAnEventReachNothing) {
    TestHost host;
    PluginInfoRecord info = loadRecord(host);
    for (const char* name : {"load ", "loads", "loa", " load", ""}) {
        EXPECT_EQ(host.event(name, &info), 0) << name;
    }
    EXPECT_EQ(info.identity[0], 0);

    host.load();
    for (const char* name : {"start ", "starts", "star", "begin", "stop\t", "unload2",
                             "prefs_show", "message_broadcast"}) {
        EXPECT_EQ(host.event(name, nullptr), 0) << name;
    }
    EXPECT_TRUE(host.requests().empty());
    EXPECT_FALSE(host.settingsFile().exists());
}

TEST(Dispatch, NullNamesAndRecordsAreIgnored) {
    TestHost host;
    EXPECT_EQ(host.event(nullptr, nullptr), 0);
    host.load();
    host.start();
    EXPECT_EQ(host.event(nullptr, nullptr), 0);
    EXPECT_EQ(host.event("prefsShow", nullptr), 0);
    EXPECT_EQ(host.event("prefsAction", nullptr), 0);
    PrefsShowRecord show;
    std::memset(&show, 0, sizeof show);
    show.showFlag = 1;
    EXPECT_EQ(host.event("prefsShow", &show), 0);
    EXPECT_EQ(show.pluginPageName[0], 0);
    EXPECT_EQ(host.count("dialogAdd"), 0);
}
