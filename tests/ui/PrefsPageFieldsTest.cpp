#include <gtest/gtest.h>

#include <string>

#include "DialogDriver.h"
#include "PageHarness.h"
#include "forward/CarrierTable.h"
#include "ui/PrefsPage.h"
#include "ui/resource.h"

using DialogDriver::checked;
using DialogDriver::click;
using DialogDriver::selection;
using DialogDriver::text;
using DialogDriver::type;

namespace {

const size_t kLongestText = 1023;

void expectSameSettings(const Settings& have, const Settings& want) {
    EXPECT_EQ(have.forwardingEnabled, want.forwardingEnabled);
    EXPECT_EQ(have.charLimitEnabled, want.charLimitEnabled);
    EXPECT_EQ(have.prefixEnabled, want.prefixEnabled);
    EXPECT_EQ(have.replyEnabled, want.replyEnabled);
    EXPECT_EQ(have.showSystrayAlert, want.showSystrayAlert);
    EXPECT_EQ(have.nameInBody, want.nameInBody);
    EXPECT_EQ(have.charLimit, want.charLimit);
    EXPECT_EQ(have.forwardType, want.forwardType);
    EXPECT_EQ(have.messageLimit, want.messageLimit);
    EXPECT_EQ(have.smtpServer, want.smtpServer);
    EXPECT_EQ(have.emailAddress, want.emailAddress);
    EXPECT_EQ(have.fromAddress, want.fromAddress);
    EXPECT_EQ(have.provider, want.provider);
    EXPECT_EQ(have.phoneNumber, want.phoneNumber);
    EXPECT_EQ(have.triggerPrefix, want.triggerPrefix);
    EXPECT_EQ(have.reply, want.reply);
}

// Every field distinct from every other, switches in a pattern.
Settings distinctSettings(bool pattern, int forwardType) {
    Settings settings;
    settings.forwardingEnabled = pattern;
    settings.charLimitEnabled = !pattern;
    settings.prefixEnabled = pattern;
    settings.replyEnabled = !pattern;
    settings.showSystrayAlert = pattern;
    settings.nameInBody = !pattern;
    settings.charLimit = 140;
    settings.forwardType = forwardType;
    settings.messageLimit = 7;
    settings.smtpServer = "smtp.example.net";
    settings.emailAddress = "to@example.org";
    settings.fromAddress = "from@example.com";
    settings.provider = CarrierTable::rows[3].label;
    settings.phoneNumber = "+1 555 010 9999";
    settings.triggerPrefix = "#fwd";
    settings.reply = "Away; your words went to my phone";
    return settings;
}

// Nothing in common with distinctSettings, so that a field readBack skips shows.
Settings otherSettings() {
    Settings settings;
    settings.forwardingEnabled = settings.charLimitEnabled = settings.prefixEnabled = true;
    settings.replyEnabled = settings.showSystrayAlert = settings.nameInBody = true;
    settings.charLimit = settings.messageLimit = -99;
    settings.forwardType = 9;
    settings.smtpServer = settings.emailAddress = settings.fromAddress = "stale";
    settings.provider = settings.phoneNumber = settings.triggerPrefix = settings.reply = "stale";
    return settings;
}

}  // namespace

TEST(PrefsPageFields, FillPutsEveryFieldIntoItsOwnControl) {
    Settings settings = distinctSettings(true, 2);
    PageHarness harness(settings);
    HWND page = harness.page();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(checked(page, IDC_FORWARDING_ENABLED));
    EXPECT_FALSE(checked(page, IDC_CHAR_LIMIT_ENABLED));
    EXPECT_TRUE(checked(page, IDC_PREFIX_ENABLED));
    EXPECT_FALSE(checked(page, IDC_REPLY_ENABLED));
    EXPECT_TRUE(checked(page, IDC_SHOW_SYSTRAY_ALERT));
    EXPECT_FALSE(checked(page, IDC_NAME_IN_BODY));
    EXPECT_FALSE(checked(page, IDC_FORWARD_EMAIL));
    EXPECT_TRUE(checked(page, IDC_FORWARD_PHONE));
    EXPECT_EQ(text(page, IDC_CHAR_LIMIT), "140");
    EXPECT_EQ(text(page, IDC_MESSAGE_LIMIT), "7");
    EXPECT_EQ(text(page, IDC_SMTP_SERVER), settings.smtpServer);
    EXPECT_EQ(text(page, IDC_EMAIL_ADDRESS), settings.emailAddress);
    EXPECT_EQ(text(page, IDC_FROM_ADDRESS), settings.fromAddress);
    EXPECT_EQ(selection(page, IDC_PROVIDER), 3);
    EXPECT_EQ(text(page, IDC_PHONE_NUMBER), settings.phoneNumber);
    EXPECT_EQ(text(page, IDC_TRIGGER_PREFIX), settings.triggerPrefix);
    EXPECT_EQ(text(page, IDC_REPLY), settings.reply);
}

TEST(PrefsPageFields, ReadBackReturnsEveryFieldThatFillShowed) {
    for (bool pattern : {true, false}) {
        for (int forwardType : {1, 2}) {
            SCOPED_TRACE(std::to_string(pattern) + " " + std::to_string(forwardType));
            Settings settings = distinctSettings(pattern, forwardType);
            PageHarness harness(settings);
            ASSERT_NE(harness.page(), nullptr);
            Settings read = otherSettings();
            PrefsPage::readBack(harness.page(), read);
            expectSameSettings(read, settings);
        }
    }
}

TEST(PrefsPageFields, GreyedOutFieldsAndTheUsersPicksAreReadBackToo) {
    PageHarness harness(fullSettings());
    HWND page = harness.page();
    ASSERT_NE(page, nullptr);
    ASSERT_FALSE(DialogDriver::enabled(page, IDC_EMAIL_ADDRESS));
    type(page, IDC_EMAIL_ADDRESS, "typed@example.org");
    SendDlgItemMessageA(page, IDC_PROVIDER, CB_SETCURSEL, 14, 0);
    click(page, IDC_NAME_IN_BODY);
    Settings read = harness.readBack();
    EXPECT_EQ(read.emailAddress, "typed@example.org");
    EXPECT_EQ(read.provider, CarrierTable::rows[14].label);
    EXPECT_FALSE(read.nameInBody);
}

TEST(PrefsPageFields, SortedProviderListHoldsEveryLabelAtItsTablePositionAndSelectsTheStoredOne) {
    for (size_t i = 0; i < CarrierTable::rows.size(); ++i) {
        Settings settings = defaultSettings();
        settings.provider = CarrierTable::rows[i].label;
        PageHarness harness(settings);
        HWND page = harness.page();
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(DialogDriver::itemCount(page, IDC_PROVIDER), static_cast<int>(CarrierTable::rows.size()));
        EXPECT_EQ(DialogDriver::item(page, IDC_PROVIDER, static_cast<int>(i)), settings.provider);
        EXPECT_EQ(selection(page, IDC_PROVIDER), static_cast<int>(i));
        EXPECT_EQ(harness.readBack().provider, settings.provider);
    }
}

TEST(PrefsPageFields, AProviderThatMatchesNoLabelSelectsNothingAndIsStoredEmpty) {
    for (const char* provider : {"", "usa: sprint pcs", "USA: Sprint PCS ", "USA: Sprint"}) {
        SCOPED_TRACE(provider);
        Settings settings = defaultSettings();
        settings.provider = provider;
        PageHarness harness(settings);
        ASSERT_NE(harness.page(), nullptr);
        EXPECT_EQ(selection(harness.page(), IDC_PROVIDER), CB_ERR);
        EXPECT_EQ(harness.readBack().provider, "");
    }
}

TEST(PrefsPageFields, AForwardTypeThePageCannotShowIsKeptUntilARadioButtonIsClicked) {
    Settings settings = fullSettings();
    settings.forwardType = 3;
    PageHarness harness(settings);
    HWND page = harness.page();
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(checked(page, IDC_FORWARD_EMAIL));
    EXPECT_FALSE(checked(page, IDC_FORWARD_PHONE));
    EXPECT_EQ(harness.readBack().forwardType, 3);
    click(page, IDC_FORWARD_PHONE);
    EXPECT_EQ(harness.readBack().forwardType, 2);
}

TEST(PrefsPageFields, NumberFieldsTakeTheLeadingDigitsAndASign) {
    PageHarness harness(fullSettings());
    HWND page = harness.page();
    ASSERT_NE(page, nullptr);
    struct Case {
        const char* typed;
        int32_t stored;
    };
    for (Case c : {Case{"12abc", 12}, Case{"abc", 0}, Case{"-1", -1}, Case{"  42", 42}, Case{"", 0}}) {
        SCOPED_TRACE(c.typed);
        type(page, IDC_CHAR_LIMIT, c.typed);
        type(page, IDC_MESSAGE_LIMIT, c.typed);
        Settings read = harness.readBack();
        EXPECT_EQ(read.charLimit, c.stored);
        EXPECT_EQ(read.messageLimit, c.stored);
    }

    Settings negative = fullSettings();
    negative.charLimit = -1;
    PrefsPage::fill(page, negative);
    EXPECT_EQ(text(page, IDC_CHAR_LIMIT), "-1");
}

TEST(PrefsPageFields, ATextLongerThan1023CharactersIsStoredAsItsFirst1023) {
    PageHarness harness(fullSettings());
    HWND page = harness.page();
    ASSERT_NE(page, nullptr);
    std::string typed;
    for (int i = 0; typed.size() < 1500; ++i) typed += std::to_string(i) + ",";
    for (int control : {IDC_SMTP_SERVER, IDC_FROM_ADDRESS, IDC_EMAIL_ADDRESS, IDC_PHONE_NUMBER,
                        IDC_TRIGGER_PREFIX, IDC_REPLY}) {
        type(page, control, typed);
        ASSERT_EQ(text(page, control), typed) << "the edit holds all of it";
    }
    std::string kept = typed.substr(0, kLongestText);
    Settings read = harness.readBack();
    EXPECT_EQ(read.smtpServer, kept);
    EXPECT_EQ(read.fromAddress, kept);
    EXPECT_EQ(read.emailAddress, kept);
    EXPECT_EQ(read.phoneNumber, kept);
    EXPECT_EQ(read.triggerPrefix, kept);
    EXPECT_EQ(read.reply, kept);
}
