#include <gtest/gtest.h>

#include <string>

#include "forward/ForwardPlan.h"
#include "plugin/MessageEvent.h"
#include "settings/Settings.h"

namespace {

// Forwarding on to a typed address with every switch of the road of one
// message: no prefix, alert and reply on, no splitting needed.
Settings forwardingSettings() {
    Settings settings;
    settings.forwardingEnabled = true;
    settings.charLimitEnabled = true;
    settings.charLimit = 120;
    settings.messageLimit = 5;
    settings.forwardType = 1;
    settings.emailAddress = "me@example.org";
    settings.triggerPrefix = "!page";
    settings.showSystrayAlert = true;
    settings.replyEnabled = true;
    return settings;
}

Settings withPrefix() {
    Settings settings = forwardingSettings();
    settings.prefixEnabled = true;
    return settings;
}

MessageEvent incoming(const std::string& text, const std::string& medium = "AIM") {
    MessageEvent event;
    event.medium = medium;
    event.connection = 7;
    event.name = "ann";
    event.type = "incoming_privateMessage";
    event.plainText = text;
    return event;
}

void expectNothing(const ForwardPlan& plan) {
    EXPECT_TRUE(plan.mails.empty());
    EXPECT_FALSE(plan.raiseAlert);
    EXPECT_FALSE(plan.sendReply);
}

std::string forwardedBody(const Settings& settings, const std::string& text) {
    const ForwardPlan plan = planForward(settings, incoming(text));
    return plan.mails.size() == 1 ? plan.mails[0].body : "<" + std::to_string(plan.mails.size()) + " mails>";
}

}  // namespace

TEST(ForwardPlan, TheRoadOfOneMessage) {
    const ForwardPlan plan = planForward(forwardingSettings(), incoming("hi"));
    EXPECT_EQ(plan.destination, "me@example.org");
    ASSERT_EQ(plan.mails.size(), 1u);
    EXPECT_EQ(plan.mails[0].subject, "IM: ann");
    EXPECT_EQ(plan.mails[0].body, "hi");
    EXPECT_TRUE(plan.raiseAlert);
    EXPECT_EQ(plan.alertText, "IM: ann has been forwarded");
    EXPECT_TRUE(plan.sendReply);
}

TEST(ForwardPlan, SwitchAndExactTypeComeFirst) {
    Settings off = forwardingSettings();
    off.forwardingEnabled = false;
    expectNothing(planForward(off, incoming("hi")));

    for (const char* type : {"incoming_PrivateMessage", "incoming_privateMessage ", "outgoing", ""}) {
        MessageEvent event = incoming("hi");
        event.type = type;
        expectNothing(planForward(forwardingSettings(), event));
    }
}

TEST(ForwardPlan, TriggerPrefix) {
    const Settings settings = withPrefix();
    EXPECT_EQ(forwardedBody(settings, "!page hi"), " hi");
    expectNothing(planForward(settings, incoming("!PAGE hi")));
    expectNothing(planForward(settings, incoming("hi !page")));
    expectNothing(planForward(settings, incoming("!pag")));
    // The prefix alone leaves nothing to forward: no alert, no reply.
    expectNothing(planForward(settings, incoming("!page")));

    Settings emptyPrefix = withPrefix();
    emptyPrefix.triggerPrefix.clear();
    EXPECT_EQ(forwardedBody(emptyPrefix, "anything"), "anything");
    EXPECT_EQ(forwardedBody(forwardingSettings(), "!page hi"), "!page hi");
}

TEST(ForwardPlan, DestinationByForwardType) {
    Settings settings = forwardingSettings();
    settings.emailAddress.clear();
    expectNothing(planForward(settings, incoming("hi")));

    settings.forwardType = 2;
    settings.phoneNumber = "(555) 123-4567";
    settings.provider = "USA: Sprint PCS";
    EXPECT_EQ(planForward(settings, incoming("hi")).destination, "5551234567@messaging.sprintpcs.com");
    settings.provider = "USA: Sprint PCS ";
    expectNothing(planForward(settings, incoming("hi")));

    settings = forwardingSettings();
    settings.forwardType = 3;
    expectNothing(planForward(settings, incoming("hi")));
}

TEST(ForwardPlan, ReplyOnlyOverAimAndAlertOnlyWhenSwitchedOn) {
    EXPECT_FALSE(planForward(forwardingSettings(), incoming("hi", "aim")).sendReply);
    EXPECT_FALSE(planForward(forwardingSettings(), incoming("hi", "ICQ")).sendReply);
    EXPECT_EQ(planForward(forwardingSettings(), incoming("hi", "ICQ")).mails.size(), 1u);

    Settings quiet = forwardingSettings();
    quiet.replyEnabled = false;
    quiet.showSystrayAlert = false;
    const ForwardPlan plan = planForward(quiet, incoming("hi"));
    EXPECT_EQ(plan.mails.size(), 1u);
    EXPECT_FALSE(plan.raiseAlert);
    EXPECT_FALSE(plan.sendReply);
}

TEST(ForwardPlan, AlertNamesTheLastPartQueued) {
    Settings settings = forwardingSettings();
    settings.charLimit = 10;
    settings.messageLimit = 2;
    EXPECT_EQ(planForward(settings, incoming(std::string(35, 'x'))).alertText,
              "IM: ann (Part 2/2) has been forwarded");
}

TEST(ForwardPlan, NothingQueuedMeansNoAlertAndNoReply) {
    Settings settings = forwardingSettings();
    settings.charLimit = 10;
    settings.messageLimit = 0;
    expectNothing(planForward(settings, incoming(std::string(35, 'x'))));
    EXPECT_EQ(planForward(settings, incoming("short")).mails.size(), 1u);
}
