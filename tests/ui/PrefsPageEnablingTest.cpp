#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "DialogDriver.h"
#include "PageHarness.h"
#include "ui/resource.h"

using DialogDriver::checked;
using DialogDriver::click;

namespace {

const int kNoId = 0xFFFF;   // the two frames without an id
const std::vector<int> kAlwaysEnabled = {kNoId, kNoId, IDC_FORWARDING_ENABLED, IDC_ABOUT, IDC_READ_ME};
const std::vector<int> kServerGroup = {IDC_FORWARD_EMAIL,      IDC_FORWARD_PHONE, IDC_SMTP_SERVER_LABEL,
                                       IDC_SMTP_SERVER,        IDC_FROM_ADDRESS_LABEL, IDC_FROM_ADDRESS};
const std::vector<int> kEmailGroup = {IDC_EMAIL_ADDRESS_LABEL, IDC_EMAIL_ADDRESS};
const std::vector<int> kMobileGroup = {IDC_PROVIDER_LABEL, IDC_PHONE_NUMBER_LABEL, IDC_PROVIDER,
                                       IDC_PHONE_NUMBER};
const std::vector<int> kMasterSet = {IDC_BEHAVIOR_FRAME,     IDC_SERVER_FRAME,     IDC_PREFIX_ENABLED,
                                     IDC_CHAR_LIMIT_ENABLED, IDC_REPLY_ENABLED,    IDC_SYSTRAY_LABEL,
                                     IDC_SHOW_SYSTRAY_ALERT, IDC_NAME_IN_BODY,     IDC_NAME_IN_BODY_LABEL};
const std::vector<int> kPrefixGroup = {IDC_TRIGGER_PREFIX, IDC_PREFIX_HINT, IDC_PREFIX_LABEL};
const std::vector<int> kCharLimitGroup = {IDC_CHAR_LIMIT, IDC_CHAR_LIMIT_LABEL, IDC_MESSAGE_LIMIT_LABEL,
                                          IDC_MESSAGE_LIMIT};
const std::vector<int> kReplyGroup = {IDC_REPLY, IDC_REPLY_LABEL};

// Which groups a page's check states should have switched on.
struct Expected {
    bool master = false;
    bool email = false;
    bool mobile = false;
    bool prefix = false;
    bool charLimit = false;
    bool reply = false;
};

std::vector<int> sorted(std::vector<int> ids) {
    std::sort(ids.begin(), ids.end());
    return ids;
}

void add(std::vector<int>& ids, const std::vector<int>& group) { ids.insert(ids.end(), group.begin(), group.end()); }

std::vector<int> expectedEnabled(const Expected& on) {
    std::vector<int> ids = kAlwaysEnabled;
    if (on.master) {
        add(ids, kServerGroup);
        add(ids, kMasterSet);
        if (on.email) add(ids, kEmailGroup);
        if (on.mobile) add(ids, kMobileGroup);
        if (on.prefix) add(ids, kPrefixGroup);
        if (on.charLimit) add(ids, kCharLimitGroup);
        if (on.reply) add(ids, kReplyGroup);
    }
    return sorted(ids);
}

std::vector<int> enabledControls(HWND page) {
    std::vector<int> ids;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowEnabled(child)) ids.push_back(static_cast<WORD>(GetDlgCtrlID(child)));
    }
    return sorted(ids);
}

Settings forwardingOn(int forwardType) {
    Settings settings = fullSettings();
    settings.forwardType = forwardType;
    return settings;
}

}  // namespace

TEST(PrefsPageEnabling, WithForwardingOffOnlyTheMasterSwitchTheButtonsAndTwoFramesAreEnabled) {
    Settings settings = forwardingOn(2);
    settings.forwardingEnabled = false;
    PageHarness harness(settings);
    HWND page = harness.page();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(enabledControls(page), expectedEnabled({}));
    // The greyed-out controls still show the stored values.
    EXPECT_TRUE(checked(page, IDC_FORWARD_PHONE));
    EXPECT_TRUE(checked(page, IDC_PREFIX_ENABLED));
    EXPECT_EQ(DialogDriver::text(page, IDC_SMTP_SERVER), "mail.example.net");
}

TEST(PrefsPageEnabling, FillEnablesTheGroupsTheStoredSwitchesAsk) {
    Settings settings = forwardingOn(1);
    settings.charLimitEnabled = false;
    PageHarness harness(settings);
    HWND page = harness.page();
    ASSERT_NE(page, nullptr);
    Expected on;
    on.master = on.email = on.prefix = on.reply = true;
    EXPECT_EQ(enabledControls(page), expectedEnabled(on));
    EXPECT_FALSE(DialogDriver::enabled(page, IDC_CHAR_LIMIT_LABEL));
    EXPECT_FALSE(DialogDriver::enabled(page, IDC_MESSAGE_LIMIT_LABEL));
    EXPECT_TRUE(DialogDriver::enabled(page, IDC_CHAR_LIMIT_ENABLED));
}

TEST(PrefsPageEnabling, CheckingTheMasterSwitchWithNeitherRadioButtonLeavesBothDestinationsOff) {
    Settings settings = forwardingOn(3);
    settings.forwardingEnabled = false;
    PageHarness harness(settings);
    HWND page = harness.page();
    ASSERT_NE(page, nullptr);
    click(page, IDC_FORWARDING_ENABLED);
    ASSERT_TRUE(checked(page, IDC_FORWARDING_ENABLED));
    Expected on;
    on.master = on.prefix = on.charLimit = on.reply = true;
    EXPECT_EQ(enabledControls(page), expectedEnabled(on));

    click(page, IDC_FORWARDING_ENABLED);
    EXPECT_EQ(enabledControls(page), expectedEnabled({}));
}

TEST(PrefsPageEnabling, RadioButtonsSwapTheEmailAndMobileGroups) {
    PageHarness harness(forwardingOn(1));
    HWND page = harness.page();
    ASSERT_NE(page, nullptr);
    Expected on;
    on.master = on.prefix = on.charLimit = on.reply = true;

    click(page, IDC_FORWARD_PHONE);
    EXPECT_TRUE(checked(page, IDC_FORWARD_PHONE));
    EXPECT_FALSE(checked(page, IDC_FORWARD_EMAIL)) << "one group of radio buttons";
    on.mobile = true;
    EXPECT_EQ(enabledControls(page), expectedEnabled(on));

    click(page, IDC_FORWARD_EMAIL);
    EXPECT_FALSE(checked(page, IDC_FORWARD_PHONE));
    on.mobile = false;
    on.email = true;
    EXPECT_EQ(enabledControls(page), expectedEnabled(on));
}

TEST(PrefsPageEnabling, EachBoxSwitchesItsOwnGroupAndNothingElse) {
    PageHarness harness(forwardingOn(2));
    HWND page = harness.page();
    ASSERT_NE(page, nullptr);
    Expected on;
    on.master = on.mobile = on.prefix = on.charLimit = on.reply = true;
    ASSERT_EQ(enabledControls(page), expectedEnabled(on));

    struct Box {
        int control;
        bool Expected::*group;
    };
    for (Box box : {Box{IDC_PREFIX_ENABLED, &Expected::prefix}, Box{IDC_CHAR_LIMIT_ENABLED, &Expected::charLimit},
                    Box{IDC_REPLY_ENABLED, &Expected::reply}}) {
        SCOPED_TRACE(box.control);
        click(page, box.control);
        EXPECT_FALSE(checked(page, box.control));
        on.*box.group = false;
        EXPECT_EQ(enabledControls(page), expectedEnabled(on));
        click(page, box.control);
        on.*box.group = true;
        EXPECT_EQ(enabledControls(page), expectedEnabled(on));
    }

    // The systray and name boxes are only read back: clicking them only checks them.
    click(page, IDC_SHOW_SYSTRAY_ALERT);
    click(page, IDC_NAME_IN_BODY);
    EXPECT_FALSE(checked(page, IDC_SHOW_SYSTRAY_ALERT));
    EXPECT_FALSE(checked(page, IDC_NAME_IN_BODY));
    EXPECT_EQ(enabledControls(page), expectedEnabled(on));
}

TEST(PrefsPageEnabling, ClearingTheMasterSwitchGreysEveryGroupAndCheckingItBringsThemBack) {
    Settings settings = forwardingOn(2);
    settings.replyEnabled = false;
    PageHarness harness(settings);
    HWND page = harness.page();
    ASSERT_NE(page, nullptr);
    click(page, IDC_FORWARDING_ENABLED);
    EXPECT_EQ(enabledControls(page), expectedEnabled({}));
    click(page, IDC_FORWARDING_ENABLED);
    Expected on;
    on.master = on.mobile = on.prefix = on.charLimit = true;
    EXPECT_EQ(enabledControls(page), expectedEnabled(on));
}
