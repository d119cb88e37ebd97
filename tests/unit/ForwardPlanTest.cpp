#include <gtest/gtest.h>

#include <string>
#include <vector>

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

namespace {

// Latin-1 to UTF-8, as the plug-in's conversion does for code page 1252.
std::string latin1ToUtf8(const std::string& text) {
    std::string utf8;
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::string repeated(const std::string& text, std::size_t count) {
    std::string all;
    for (std::size_t i = 0; i < count; ++i) all += text;
    return all;
}

}  // namespace

// Parts stay within the smaller of "CharLimit" and the service's limit,
// counted in characters and never cut inside one; the alert keeps the name
// in the host's code page.
TEST(ForwardPlan, PushPartsStayWithinTheServiceAndCharLimit) {
    const std::string e = "\xe9";  // é in code page 1252
    const struct {
        const char* url;
        bool charLimitOn;
        int32_t charLimit;
        int32_t messageLimit;
        std::size_t length;
        std::vector<std::size_t> partLengths;  // in characters
    } cases[] = {
        {"ntfys://t", false, 120, 5, 3000, {2048, 952}},
        {"ntfys://t", true, 1000, 5, 3000, {1000, 1000, 1000}},
        {"pover://u@t", false, 0, 0, 1500, {1024}},
        {"pover://u@t", true, 5000, 2, 5000, {1024, 1024}},
        {"tgram://1:x/2", false, 0, 5, 4100, {4096 - 38, 42}},
        {"not a url", false, 0, 5, 5000, {5000}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.url) + " " + std::to_string(test.length));
        Settings settings = forwardingSettings();
        settings.forwardType = kForwardToPush;
        settings.pushUrl = test.url;
        settings.charLimitEnabled = test.charLimitOn;
        settings.charLimit = test.charLimit;
        settings.messageLimit = test.messageLimit;
        MessageEvent event = incoming(std::string(test.length, e[0]));
        event.name = "ann" + e;
        ForwardPlan plan = planForward(settings, event, latin1ToUtf8);
        ASSERT_TRUE(plan.push);
        ASSERT_EQ(plan.mails.size(), test.partLengths.size());
        for (std::size_t i = 0; i < plan.mails.size(); ++i) {
            EXPECT_TRUE(plan.mails[i].body == repeated("\xc3\xa9", test.partLengths[i])) << i;
        }
        const std::string count = std::to_string(plan.mails.size());
        const bool split = test.partLengths.size() > 1 || test.partLengths[0] < test.length;
        const std::string last = split ? " (Part " + count + "/" + count + ")" : "";
        EXPECT_EQ(plan.mails.back().subject, "IM: ann\xc3\xa9" + last);
        EXPECT_EQ(plan.alertText, "IM: ann" + e + last + " has been forwarded");
        const std::vector<DeliveryJob> jobs = pushJobs(settings, plan);
        ASSERT_EQ(jobs.size(), test.partLengths.size());
        EXPECT_EQ(jobs[0].transport, TransportKind::Push);
        EXPECT_EQ(jobs[0].push.url, test.url);
    }
}
