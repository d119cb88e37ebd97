#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "DialogDriver.h"
#include "PageHarness.h"
#include "ui/resource.h"

using DialogDriver::checked;

namespace {

// The groups of controls that the check states switch on.
enum Group {
    kMaster = 1, kEmail = 2, kMobile = 4, kPrefix = 8, kCharLimit = 16, kReply = 32, kPush = 64
};
const int kAllEmail = kMaster | kEmail | kPrefix | kCharLimit | kReply;
const int kAllMobile = kMaster | kMobile | kPrefix | kCharLimit | kReply;
const int kAllPush = kMaster | kPush | kPrefix | kCharLimit | kReply;

const int kNoId = 0xFFFF;  // the three frames without an id
const std::vector<int> kAlwaysEnabled = {kNoId, kNoId, kNoId, IDC_FORWARDING_ENABLED, IDC_ABOUT,
                                         IDC_READ_ME};
// Enabled by the master switch alone.
const std::vector<int> kMasterGroup = {
    IDC_FORWARD_EMAIL, IDC_FORWARD_PHONE, IDC_FORWARD_PUSH, IDC_SMTP_SERVER_LABEL, IDC_SMTP_SERVER,
    IDC_FROM_ADDRESS_LABEL, IDC_FROM_ADDRESS, IDC_ADVANCED, IDC_BEHAVIOR_FRAME, IDC_SERVER_FRAME,
    IDC_PREFIX_ENABLED, IDC_CHAR_LIMIT_ENABLED, IDC_REPLY_ENABLED, IDC_SYSTRAY_LABEL,
    IDC_SHOW_SYSTRAY_ALERT, IDC_NAME_IN_BODY, IDC_NAME_IN_BODY_LABEL};
// Enabled by the master switch and their own box or radio button.
const std::pair<Group, std::vector<int>> kSwitchedGroups[] = {
    {kEmail, {IDC_EMAIL_ADDRESS_LABEL, IDC_EMAIL_ADDRESS}},
    {kMobile, {IDC_PROVIDER_LABEL, IDC_PHONE_NUMBER_LABEL, IDC_PROVIDER, IDC_PHONE_NUMBER}},
    {kPrefix, {IDC_TRIGGER_PREFIX, IDC_PREFIX_HINT, IDC_PREFIX_LABEL}},
    {kCharLimit,
     {IDC_CHAR_LIMIT, IDC_CHAR_LIMIT_LABEL, IDC_MESSAGE_LIMIT_LABEL, IDC_MESSAGE_LIMIT}},
    {kReply, {IDC_REPLY, IDC_REPLY_LABEL}},
    {kPush, {IDC_PUSH_URL_STATE, IDC_PUSH_URL_LABEL, IDC_PUSH_URL}},
};

std::vector<int> expectedEnabled(int on) {
    std::vector<int> ids = kAlwaysEnabled;
    auto add = [&ids](const std::vector<int>& group) {
        ids.insert(ids.end(), group.begin(), group.end());
    };
    if (on & kMaster) {
        add(kMasterGroup);
        for (const auto& group : kSwitchedGroups) {
            if (on & group.first) add(group.second);
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<int> enabledControls(HWND page) {
    std::vector<int> ids;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowEnabled(child)) ids.push_back(static_cast<WORD>(GetDlgCtrlID(child)));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

const int kAsFilled = 0;

// A click (or none) and the groups enabled after it.
struct Step {
    int click;
    int on;
};

// A page filled from fullSettings with these changes, then clicked through.
struct Case {
    const char* what;
    bool forwarding;
    int forwardType;
    int switchesOff;  // kPrefix, kCharLimit, kReply: stored as off
    std::vector<Step> steps;
};

Settings settingsFor(const Case& c) {
    Settings settings = fullSettings();
    settings.forwardingEnabled = c.forwarding;
    settings.forwardType = c.forwardType;
    settings.prefixEnabled = !(c.switchesOff & kPrefix);
    settings.charLimitEnabled = !(c.switchesOff & kCharLimit);
    settings.replyEnabled = !(c.switchesOff & kReply);
    return settings;
}

const Case kCases[] = {
    {"forwarding off leaves only the switch, the buttons and the frames", false, 2, 0,
     {{kAsFilled, 0}}},
    {"filling enables what the stored switches ask", true, 1, kCharLimit,
     {{kAsFilled, kAllEmail & ~kCharLimit}}},
    {"a forward type no radio button shows enables no destination", false, 4, 0,
     {{IDC_FORWARDING_ENABLED, kAllEmail & ~kEmail}, {IDC_FORWARDING_ENABLED, 0}}},
    {"the radio buttons swap the e-mail, mobile and push groups", true, 1, 0,
     {{IDC_FORWARD_PHONE, kAllMobile},
      {IDC_FORWARD_PUSH, kAllPush},
      {IDC_FORWARD_EMAIL, kAllEmail}}},
    {"each box switches its own group, systray and name switch none", true, 2, 0,
     {{kAsFilled, kAllMobile},
      {IDC_PREFIX_ENABLED, kAllMobile & ~kPrefix},
      {IDC_PREFIX_ENABLED, kAllMobile},
      {IDC_CHAR_LIMIT_ENABLED, kAllMobile & ~kCharLimit},
      {IDC_CHAR_LIMIT_ENABLED, kAllMobile},
      {IDC_REPLY_ENABLED, kAllMobile & ~kReply},
      {IDC_REPLY_ENABLED, kAllMobile},
      {IDC_SHOW_SYSTRAY_ALERT, kAllMobile},
      {IDC_NAME_IN_BODY, kAllMobile}}},
    {"clearing the switch greys everything, checking it brings back what was on", true, 2,
     kReply, {{IDC_FORWARDING_ENABLED, 0}, {IDC_FORWARDING_ENABLED, kAllMobile & ~kReply}}},
};

}  // namespace

TEST(PrefsPageEnabling, ChecksAndClicksEnableExactlyTheirGroups) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        PageHarness harness(settingsFor(c));
        HWND page = harness.page();
        ASSERT_NE(page, nullptr);
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.click);
            if (step.click != kAsFilled) {
                const bool before = checked(page, step.click);
                DialogDriver::click(page, step.click);
                EXPECT_NE(checked(page, step.click), before) << "the click changed nothing";
            }
            EXPECT_EQ(enabledControls(page), expectedEnabled(step.on));
        }
    }
}
