#include <gtest/gtest.h>

#include <string>

#include "forward/ForwardPlan.h"
#include "forward/MessageEvent.h"
#include "settings/Settings.h"

namespace {

const char kIncoming[] = "incoming_privateMessage";

// Forwarding on to a typed address, prefix off, alert and reply on.
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

MessageEvent incoming(const std::string& text, const std::string& type = kIncoming) {
    MessageEvent event;
    event.medium = "AIM";
    event.connection = 7;
    event.name = "ann";
    event.type = type;
    event.plainText = text;
    return event;
}

}  // namespace

TEST(ForwardPlan, OnlyAnIncomingPrivateMessageWithSomewhereToGoIsForwarded) {
    ASSERT_EQ(planForward(forwardingSettings(), incoming("hi")).mails.size(), 1u);
    const auto keep = [](Settings&) {};
    const struct {
        const char* what;
        void (*change)(Settings&);
        const char* type;
    } cases[] = {
        {"forwarding off", [](Settings& s) { s.forwardingEnabled = false; }, kIncoming},
        {"no e-mail address", [](Settings& s) { s.emailAddress.clear(); }, kIncoming},
        {"the type in other letters", keep, "incoming_PrivateMessage"},
        {"the type with a trailing blank", keep, "incoming_privateMessage "},
        {"an outgoing message", keep, "outgoing"},
        {"no type", keep, ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        Settings settings = forwardingSettings();
        test.change(settings);
        const ForwardPlan plan = planForward(settings, incoming("hi", test.type));
        EXPECT_TRUE(plan.mails.empty());
        EXPECT_FALSE(plan.raiseAlert);
        EXPECT_FALSE(plan.sendReply);
    }
}

TEST(ForwardPlan, APrefixThatIsOffOrEmptyLetsEveryTextThroughWhole) {
    Settings emptyPrefix = forwardingSettings();
    emptyPrefix.prefixEnabled = true;
    emptyPrefix.triggerPrefix.clear();
    for (const Settings& settings : {forwardingSettings(), emptyPrefix}) {
        const ForwardPlan plan = planForward(settings, incoming("!page hi"));
        ASSERT_EQ(plan.mails.size(), 1u);
        EXPECT_EQ(plan.mails[0].body, "!page hi");
    }
}
