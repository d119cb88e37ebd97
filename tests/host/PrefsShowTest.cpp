#include <gtest/gtest.h>

#include "TestHost.h"

namespace {

const char kPageName[] = "IM Tolvaning";
const char kPageDescription[] = "Forward IMs to an email address or mobile phone.";
const int kBitmapSide = 48;
const char* const kNoName = nullptr;

// The plug-in's three fields: the texts zero-filled to the end of their
// fields, and the envelope as a bitmap the host can draw.
void expectPluginFields(const PrefsShowRecord& record) {
    EXPECT_TRUE(fieldHolds(record.pluginPageName, kPageName)) << record.pluginPageName;
    EXPECT_TRUE(fieldHolds(record.pluginPageDescription, kPageDescription));
    BITMAP bitmap;
    ASSERT_EQ(GetObjectA(record.bitmap, sizeof bitmap, &bitmap), int(sizeof bitmap));
    EXPECT_EQ(bitmap.bmWidth, kBitmapSide);
    EXPECT_EQ(bitmap.bmHeight, kBitmapSide);
}

bool untouched(const PrefsShowRecord& record) {
    return record.pluginPageName[0] == 0 && record.pluginPageDescription[0] == 0 &&
           record.bitmap == nullptr;
}

}  // namespace

// Answered from start on, also after stop, whatever the flag; only the
// flag 1 makes a page.
TEST(PrefsShow, AnsweredOnceThePageNameIsRegistered) {
    TestHost host;
    host.load();
    EXPECT_TRUE(untouched(host.prefsShow(1)));
    host.start();
    for (int32_t flag : {0, 2, -1, 1}) {
        SCOPED_TRACE(flag);
        EXPECT_EQ(host.count("dialogAdd"), 0);
        expectPluginFields(host.prefsShow(flag, host.parentWindow(), 10, 20));
    }
    EXPECT_EQ(host.count("dialogAdd"), 1);
    host.stop();
    expectPluginFields(host.prefsShow(0));
}

TEST(PrefsShow, PageNameMustMatchExactly) {
    TestHost host;
    host.load();
    host.start();
    for (const char* name : {"im tolvaning", "IM TOLVANING", "IM Tolvaning ", "IM Tolvanin", "",
                             kNoName}) {
        SCOPED_TRACE(name ? name : "null");
        EXPECT_TRUE(untouched(host.prefsShow(1, nullptr, 0, 0, name)));
    }
}

TEST(PrefsAction, WithoutAPageNothingIsWritten) {
    TestHost host;
    host.load();
    host.start();
    for (int32_t action : {0, 1, 2, 3}) host.prefsAction(action);
    EXPECT_FALSE(host.settingsFile().exists());
    EXPECT_EQ(host.count("dialogRemove"), 0);
}
