#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "TestHost.h"

namespace {

const char kPageName[] = "IM Tolvaning";
const char kPageDescription[] = "Forward IMs to an email address or mobile phone.";

// The plug-in's three fields, each text zero-filled to the end of its field.
void expectPluginFields(const PrefsShowRecord& record) {
    EXPECT_STREQ(record.pluginPageName, kPageName);
    EXPECT_STREQ(record.pluginPageDescription, kPageDescription);
    const char* nameEnd = record.pluginPageName + sizeof kPageName;
    EXPECT_TRUE(std::all_of(nameEnd, std::end(record.pluginPageName), [](char c) { return !c; }));
    const char* descriptionEnd = record.pluginPageDescription + sizeof kPageDescription;
    EXPECT_TRUE(std::all_of(descriptionEnd, std::end(record.pluginPageDescription),
                            [](char c) { return !c; }));
    EXPECT_NE(record.bitmap, nullptr);
}

bool untouched(const PrefsShowRecord& record) {
    return record.pluginPageName[0] == 0 && record.pluginPageDescription[0] == 0 &&
           record.bitmap == nullptr;
}

}  // namespace

TEST(PrefsShow, IgnoredUntilStartRegistersThePageName) {
    TestHost host;
    host.load();
    EXPECT_TRUE(untouched(host.prefsShow(1)));
    host.start();
    expectPluginFields(host.prefsShow(1));
}

TEST(PrefsShow, FieldsAreWrittenWhateverTheShowFlagAsks) {
    TestHost host;
    host.load();
    host.start();
    for (int32_t flag : {0, 1, 2, -1}) {
        SCOPED_TRACE(flag);
        expectPluginFields(host.prefsShow(flag, host.parentWindow(), 10, 20));
    }
    // Hiding a page that does not exist makes none.
    host.clearRequests();
    host.prefsShow(0, host.parentWindow());
    EXPECT_EQ(host.count("dialogAdd"), 0);
}

TEST(PrefsShow, PageNameMustMatchExactly) {
    TestHost host;
    host.load();
    host.start();
    for (const char* name : {"im tolvaning", "IM TOLVANING", "IM Tolvaning ", "IM Tolvanin", ""}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(untouched(host.prefsShow(1, nullptr, 0, 0, name)));
    }
    EXPECT_TRUE(untouched(host.prefsShow(1, nullptr, 0, 0, nullptr)));
}

TEST(PrefsShow, StillAnsweredAfterStop) {
    TestHost host;
    host.load();
    host.start();
    host.stop();
    expectPluginFields(host.prefsShow(0));
}

TEST(PrefsShow, BitmapIsTheEnvelopeOfTheModule) {
    TestHost host;
    host.load();
    host.start();
    const PrefsShowRecord record = host.prefsShow(0);
    BITMAP bitmap;
    ASSERT_EQ(GetObjectA(record.bitmap, sizeof bitmap, &bitmap), int(sizeof bitmap));
    EXPECT_EQ(bitmap.bmWidth, 48);
    EXPECT_EQ(bitmap.bmHeight, 48);
}

TEST(PrefsAction, WithoutAPageNothingIsWritten) {
    TestHost host;
    host.load();
    host.start();
    for (int32_t action : {0, 1, 2, 3}) host.prefsAction(action);
    EXPECT_FALSE(host.settingsFile().exists());
    EXPECT_EQ(host.count("dialogRemove"), 0);
}
