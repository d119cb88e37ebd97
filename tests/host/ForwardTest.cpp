#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "ForwardingSettings.h"
#include "MailLab.h"
#include "TestHost.h"

namespace {

const char kFrom[] = "relay@example.org";
const char kTo[] = "me@example.net";
const char kReply[] = "Got it, thanks";
const char kIncoming[] = "incoming_privateMessage";
const int32_t kConnection = 5;
// Long enough for the sender thread to poll the queue several times.
const DWORD kQuietMs = 500;

// Subject and body of one mail as it reached the server.
using Mail = std::pair<std::string, std::string>;
using Mails = std::vector<Mail>;
using Texts = std::vector<std::string>;

// The value of a header line; the header lines come first in the data.
std::string headerValue(const std::string& data, const std::string& header) {
    const std::string lines = "\r\n" + data;
    const size_t at = lines.find("\r\n" + header);
    if (at == std::string::npos) return "<no " + header + "line>";
    const size_t start = at + 2 + header.size();
    return lines.substr(start, lines.find("\r\n", start) - start);
}

// The data is the header lines, an empty line, the body and two empty lines.
Mail subjectAndBody(const std::string& data) {
    const size_t bodyStart = data.find("\r\n\r\n") + 4;
    const size_t trailerLength = 6;
    std::string body = data.size() >= bodyStart + trailerLength
                           ? data.substr(bodyStart, data.size() - bodyStart - trailerLength)
                           : "<no body in " + data + ">";
    return {headerValue(data, "SUBJECT: "), body};
}

std::string letters(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += static_cast<char>('a' + i % 26);
    return text;
}

// The plug-in started with forwarding on towards an SMTP server of its own,
// the prefix off, "ForwardType" 1, alert and reply on: the road of one
// message, changed by the settings a test adds.
class ForwardTest : public ::testing::Test {
protected:
    void TearDown() override {
        host.stop();
        host.unload();
        lab.stop(server);
    }

    void startWith(const std::vector<IniEntry>& changes = {}) {
        std::vector<IniEntry> settings = {
            {"Forwarding Enabled", "1"}, {"Prefix Enabled", "0"}, {"ForwardType", "1"},
            {"EMail Address", kTo},      {"From Address", kFrom}, {"SMTP Server", server.host},
            {"Show Systray Alert", "1"}, {"Reply Enabled", "1"},  {"Reply", kReply},
            {"Name In Body", "0"}};
        settings.insert(settings.end(), changes.begin(), changes.end());
        host.writeSettings(settings);
        host.load();
        host.start();
        host.clearRequests();
    }

    void send(const std::string& text, const std::string& name = "ann", const std::string& medium = "AIM") {
        ASSERT_TRUE(host.broadcast(medium.c_str(), kConnection, name.c_str(), kIncoming, text.c_str()));
    }

    std::vector<std::string> alerts() const {
        std::vector<std::string> texts;
        for (const HostRequest& request : host.requests()) {
            if (request.name == "systraySetAlert") texts.push_back(request.alertText);
        }
        return texts;
    }

    MailLab lab;
    LabServer server = lab.startSmtp();
    TestHost host;
};

}  // namespace

TEST_F(ForwardTest, TheRoadOfOneMessage) {
    startWith();
    send("hi");

    EXPECT_EQ(host.requestNames(), (Texts{"systraySetAlert", "messageSend"}));
    const std::string identity = host.info().identity;
    const HostRequest& alert = host.last("systraySetAlert");
    EXPECT_EQ(alert.identity, identity);
    EXPECT_EQ(alert.recordSize, sizeof(AlertRecord));
    EXPECT_EQ(alert.alertText, "IM: ann has been forwarded");
    EXPECT_EQ(alert.alertStyle, "default");
    EXPECT_EQ(std::vector<int32_t>(alert.alertValues, alert.alertValues + 3), (std::vector<int32_t>{1, 0, 0}));
    EXPECT_EQ(alert.alertTrailing[0] | alert.alertTrailing[1], 0u);
    const HostRequest& reply = host.last("messageSend");
    EXPECT_EQ(reply.identity, identity);
    EXPECT_EQ(reply.recordSize, sizeof(MessageRecord));
    EXPECT_EQ(reply.medium, "AIM");
    EXPECT_EQ(reply.connection, kConnection);
    EXPECT_EQ(reply.partyName, "ann");
    EXPECT_EQ(reply.type, "outgoing");
    EXPECT_EQ(reply.text, kReply);
    EXPECT_EQ(reply.trailingText, 0u);
    EXPECT_EQ(reply.trailingValue, 0);

    ASSERT_TRUE(lab.waitForMails(server, 1));
    const ReceivedMail mail = lab.mails(server)[0];
    EXPECT_EQ(subjectAndBody(mail.data), Mail("IM: ann", "hi"));
    EXPECT_EQ(mail.helo, "example.org");
    EXPECT_EQ(mail.from, kFrom);
    EXPECT_EQ(mail.recipients, Texts{kTo});
    EXPECT_EQ(headerValue(mail.data, "TO: "), kTo);
}

TEST_F(ForwardTest, AMegabyteInTinyPartsLeavesTheClientAtOnce) {
    // Queued whole; with the server unreachable the sender drops the batch.
    const LabServer nowhere = lab.unreachable();
    startWith({{"CharLimit", "10"}, {"Message Limit", "-1"}, {"SMTP Server", nowhere.host}});
    send(letters(1 << 20));

    EXPECT_EQ(alerts(), Texts{"IM: ann (Part 104858/104858) has been forwarded"});
    EXPECT_EQ(host.count("messageSend"), 1);
    lab.stop(nowhere);
}

// The label of 1000 parts would leave no room beside "al" in 15 characters:
// 999 parts of one character each, every body within the limit.
TEST_F(ForwardTest, NameInTheBodyCutsAsManyPartsAsTheWidestLabelThatLeavesRoom) {
    startWith({{"CharLimit", "15"}, {"Message Limit", "1000"}, {"Name In Body", "1"}});
    send(letters(2000), "al");

    EXPECT_EQ(alerts(), Texts{"IM: al (Part 999/999) has been forwarded"});
    ASSERT_TRUE(lab.waitForMails(server, 2));
    const std::vector<ReceivedMail> mails = lab.mails(server);
    EXPECT_EQ(subjectAndBody(mails[0].data), Mail("IM: al (Part 1/999)", "al (1/999): a"));
    EXPECT_EQ(subjectAndBody(mails[1].data), Mail("IM: al (Part 2/999)", "al (2/999): b"));
}

namespace {

struct Message {
    std::string text;
    std::string name = "ann";
    std::string medium = "AIM";
    bool afterInput = false;  // the user presses a key just before it arrives
};

// Messages broadcast under some settings, and all that should come of them:
// the mails the server receives, the alerts and replies the host is asked for.
struct ForwardCase {
    const char* id;
    std::vector<IniEntry> settings;
    std::vector<Message> messages;
    Mails mails;
    Texts alerts;
    int replies;
    std::string recipient = kTo;
};

void PrintTo(const ForwardCase& test, std::ostream* out) { *out << test.id; }

std::string forwarded(const std::string& subject) { return subject + " has been forwarded"; }

// Shift pressed and released through the system's input queue, as the user's
// keyboard would.
void pressShift() {
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_SHIFT;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
}

ForwardCase toPhone(const char* id, const char* number, const char* provider, const char* recipient) {
    return {id,     {{"ForwardType", "2"}, {"Phone Number", number}, {"Provider", provider}},
            {{"hi"}}, {{"IM: ann", "hi"}}, {forwarded("IM: ann")}, 1, recipient};
}

const char kSprint[] = "USA: Sprint PCS";
const char kSms[] = "ALL: SMS (sms.gatewayonline.net)";
const std::string kText35 = letters(35);
const std::string kText118 = letters(118);
const std::string kText150 = letters(150);
const std::string kText100 = letters(100);
const char kName20[] = "a_twenty_letter_name";

// "Quiet From" and "Quiet To" so many minutes from the local time now.
std::vector<IniEntry> quietHours(int fromMinutes, int toMinutes) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const auto timeOfDay = [&](int offset) {
        const int minute = ((now.wHour * 60 + now.wMinute + offset) % 1440 + 1440) % 1440;
        char text[8];
        snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
        return std::string(text);
    };
    return {{"Quiet From", timeOfDay(fromMinutes)}, {"Quiet To", timeOfDay(toMinutes)}};
}

const char kContacts[] = " Ann Smith ,bob";

const ForwardCase kCases[] = {
    {"LongTextsGoOutInNumberedParts", {{"CharLimit", "10"}, {"Message Limit", "5"}},
     {{"abcdefghij"}, {"abcdefghijk"}, {"abcdefghijklmnopqrstuvw"}},
     {{"IM: ann", "abcdefghij"}, {"IM: ann (Part 1/2)", "abcdefghij"}, {"IM: ann (Part 2/2)", "k"},
      {"IM: ann (Part 1/3)", "abcdefghij"}, {"IM: ann (Part 2/3)", "klmnopqrst"},
      {"IM: ann (Part 3/3)", "uvw"}},
     {forwarded("IM: ann"), forwarded("IM: ann (Part 2/2)"), forwarded("IM: ann (Part 3/3)")}, 3},
    {"MessageLimitDropsTheRestAndTheAlertNamesTheLastPartSent", {{"CharLimit", "10"}, {"Message Limit", "2"}},
     {{kText35}},
     {{"IM: ann (Part 1/2)", kText35.substr(0, 10)}, {"IM: ann (Part 2/2)", kText35.substr(10, 10)}},
     {forwarded("IM: ann (Part 2/2)")}, 1},
    // A text that needs no splitting goes out whatever the limit says.
    {"NothingQueuedMeansNoAlertAndNoReply", {{"CharLimit", "10"}, {"Message Limit", "0"}},
     {{letters(15)}, {"short"}}, {{"IM: ann", "short"}}, {forwarded("IM: ann")}, 1},
    // Counted from the length alone bob's text would be one part; two are
    // cut and both labels say so.
    {"NameInTheBodyAtOneHundredAndTwenty", {{"CharLimit", "120"}, {"Name In Body", "1"}},
     {{"hi there"}, {kText118, "bob"}},
     {{"IM: ann", "ann: hi there"}, {"IM: bob (Part 1/2)", "bob (1/2): " + kText118.substr(0, 109)},
      {"IM: bob (Part 2/2)", "bob (2/2): " + kText118.substr(109)}},
     {forwarded("IM: ann"), forwarded("IM: bob (Part 2/2)")}, 2},
    {"NameInTheBodyAtOneHundred", {{"CharLimit", "100"}, {"Name In Body", "1"}}, {{kText150, "al"}},
     {{"IM: al (Part 1/2)", "al (1/2): " + kText150.substr(0, 90)},
      {"IM: al (Part 2/2)", "al (2/2): " + kText150.substr(90)}},
     {forwarded("IM: al (Part 2/2)")}, 1},
    // "10/10" would leave no room beside the name in 30 characters: nine
    // parts of 30, two characters of text each.
    {"NameInTheBodyWithLittleRoomLeft", {{"CharLimit", "30"}, {"Message Limit", "10"}, {"Name In Body", "1"}},
     {{kText100, kName20}}, partsWithName(kName20, kText100, 2, 9),
     {forwarded(std::string("IM: ") + kName20 + " (Part 9/9)")}, 1},
    {"TriggerPrefixIsTestedOnTheTextWithoutMarkup", {{"Prefix Enabled", "1"}, {"Trigger Prefix", "!page"}},
     {{"!PAGE hi"}, {"hi !page"}, {"!page"}, {"!page hi"}, {"<b>!page</b> <i>there</i>"}},
     {{"IM: ann", " hi"}, {"IM: ann", " there"}}, {forwarded("IM: ann"), forwarded("IM: ann")}, 2},
    {"NoReplyOverAnotherMedium", {},
     {{"over icq", "ann", "ICQ"}, {"over aim in small letters", "ann", "aim"}},
     {{"IM: ann", "over icq"}, {"IM: ann", "over aim in small letters"}},
     {forwarded("IM: ann"), forwarded("IM: ann")}, 0},
    // The idle clock is the machine's own here; a threshold of 0, or one
    // out of range, forwards as before.
    {"AwayMinutesHoldBackAMessageRightAfterInput", {{"Away Minutes", "1"}}, {{"hi", "ann", "AIM", true}},
     {}, {}, 0},
    {"AwayMinutesZeroForwardsRightAfterInput", {{"Away Minutes", "0"}}, {{"hi", "ann", "AIM", true}},
     {{"IM: ann", "hi"}}, {forwarded("IM: ann")}, 1},
    {"AwayMinutesBeyondADayForwardRightAfterInput", {{"Away Minutes", "1441"}}, {{"hi", "ann", "AIM", true}},
     {{"IM: ann", "hi"}}, {forwarded("IM: ann")}, 1},
    {"QuietHoursStopEveryMessage", quietHours(-60, 60), {{"hi"}, {"hi", "bob", "ICQ"}}, {}, {}, 0},
    {"QuietHoursLaterStopNothing", quietHours(60, 120), {{"hi"}}, {{"IM: ann", "hi"}}, {forwarded("IM: ann")}, 1},
    {"OnlyTheListedContacts", {{"Contact Filter", "1"}, {"Contacts", kContacts}},
     {{"1", "annsmith"}, {"2", "carol"}, {"3", "B O B", "ICQ"}, {"4", "ann"}},
     {{"IM: annsmith", "1"}, {"IM: B O B", "3"}}, {forwarded("IM: annsmith"), forwarded("IM: B O B")}, 1},
    {"EveryoneButTheListedContacts", {{"Contact Filter", "2"}, {"Contacts", kContacts}},
     {{"1", "AnnSmith"}, {"2", "carol"}, {"3", "BOB"}, {"4", "ann"}},
     {{"IM: carol", "2"}, {"IM: ann", "4"}}, {forwarded("IM: carol"), forwarded("IM: ann")}, 2},
    {"AlertSwitchedOff", {{"Show Systray Alert", "0"}}, {{"hi"}}, {{"IM: ann", "hi"}}, {}, 1},
    {"ProviderThatNamesNoRowForwardsNothing",
     {{"ForwardType", "2"}, {"Phone Number", "5551234567"}, {"Provider", "usa: sprint pcs"}},
     {{"hi"}}, {}, {}, 0},
    {"ForwardTypeThreeForwardsNothing", {{"ForwardType", "3"}}, {{"hi"}}, {}, {}, 0},
    toPhone("PhoneGoesToTheCarriersGateway", "(555) 123-4567", kSprint, "5551234567@messaging.sprintpcs.com"),
    toPhone("PhoneWithCountryCode", "+1 555 123 4567", kSprint, "15551234567@messaging.sprintpcs.com"),
    toPhone("PhoneThroughTheInternationalGateway", "(555) 123-4567", kSms,
            "+5551234567@sms.gatewayonline.net"),
    toPhone("PhoneWithCountryCodeThroughTheInternationalGateway", "+1 555 123 4567", kSms,
            "+15551234567@sms.gatewayonline.net"),
};

}  // namespace

class ForwardCaseTest : public ForwardTest, public ::testing::WithParamInterface<ForwardCase> {};

TEST_P(ForwardCaseTest, MailsAlertsAndReplies) {
    const ForwardCase& test = GetParam();
    startWith(test.settings);
    for (const Message& message : test.messages) {
        if (message.afterInput) pressShift();
        send(message.text, message.name, message.medium);
    }
    EXPECT_EQ(alerts(), test.alerts);
    EXPECT_EQ(host.count("messageSend"), test.replies);
    EXPECT_EQ(host.requests().size(), test.alerts.size() + test.replies);

    if (test.mails.empty()) {
        Sleep(kQuietMs);
        EXPECT_EQ(lab.connectionCount(server), 0u);
        return;
    }
    const size_t count = test.mails.size();
    EXPECT_TRUE(lab.waitForMails(server, count, 5000 + 2000 * static_cast<DWORD>(count)));
    Mails received;
    for (const ReceivedMail& mail : lab.mails(server)) {
        received.push_back(subjectAndBody(mail.data));
        EXPECT_EQ(mail.recipients, Texts{test.recipient});
        EXPECT_EQ(headerValue(mail.data, "TO: "), test.recipient);
    }
    EXPECT_EQ(received, test.mails);
}

INSTANTIATE_TEST_SUITE_P(Forward, ForwardCaseTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ForwardCase>& info) { return std::string(info.param.id); });
