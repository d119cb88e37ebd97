#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ForwardingSettings.h"
#include "MailLab.h"
#include "MessagePump.h"
#include "TestHost.h"

namespace {

using Mail = std::pair<std::string, std::string>;
using Mails = std::vector<Mail>;

const DWORD kMinuteMs = 60 * 1000;
// The sender pauses a second after every mail; the lab's clock is its own.
const unsigned long long kLeewayMs = 2000;

Mails subjectsAndBodies(const std::vector<ReceivedMail>& mails) {
    Mails result;
    for (const ReceivedMail& mail : mails) result.emplace_back(subjectOf(mail.data), bodyOf(mail.data));
    return result;
}

}  // namespace

// "Cooldown Minutes" 1 through the DLL, on the machine's clock: a burst of
// five from ann gives one mail at once and one of the other four a minute
// later; bob, writing meanwhile, is not held up by ann's cool-down. Alert
// and reply come once per contact, for the first message only.
TEST(QuietPhone, ACooldownGathersABurstAndLetsOtherContactsThrough) {
    MailLab lab;
    const LabServer server = lab.startSmtp();
    TestHost host;
    host.writeSettings(forwardingTo(server.host, {{"Cooldown Minutes", "1"}, {"Show Systray Alert", "1"},
                                                  {"Reply Enabled", "1"}, {"Reply", "away"}}));
    host.load();
    host.start();
    host.clearRequests();
    for (const char* text : {"one", "two", "three"}) {
        ASSERT_TRUE(host.broadcast("AIM", 1, "ann", kPrivateMessage, text));
    }
    ASSERT_TRUE(host.broadcast("AIM", 2, "bob", kPrivateMessage, "hello"));
    for (const char* text : {"four", "five"}) {
        ASSERT_TRUE(host.broadcast("AIM", 1, "Ann", kPrivateMessage, text));
    }
    ASSERT_TRUE(lab.waitForMails(server, 2));
    EXPECT_EQ(subjectsAndBodies(lab.mails(server)), (Mails{{"IM: ann", "one"}, {"IM: bob", "hello"}}));
    EXPECT_EQ(host.requestNames(), (std::vector<std::string>{"systraySetAlert", "messageSend",
                                                             "systraySetAlert", "messageSend"}));

    ASSERT_TRUE(pumpUntil([&] { return lab.mails(server).size() >= 3; }, kMinuteMs + 15000));
    const std::vector<ReceivedMail> mails = lab.mails(server);
    EXPECT_EQ(subjectsAndBodies(mails)[2], Mail("IM: ann (4 messages)", "two\r\nthree\r\nfour\r\nfive"));
    EXPECT_GE(mails[2].receivedMs - mails[0].receivedMs, kMinuteMs - kLeewayMs);
    pumpFor(500);
    EXPECT_EQ(host.requests().size(), 4u);
    EXPECT_EQ(lab.mails(server).size(), 3u);
    host.stop();
    host.unload();
    lab.stop(server);
}
