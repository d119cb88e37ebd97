#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

// The value of a header line; the header lines come first in the data.
std::string headerValue(const std::string& data, const std::string& header) {
    const std::string lines = "\r\n" + data;
    const size_t at = lines.find("\r\n" + header);
    if (at == std::string::npos) return "<no " + header + "line>";
    const size_t start = at + 2 + header.size();
    return lines.substr(start, lines.find("\r\n", start) - start);
}

// The data is the header lines, an empty line, the body and two empty lines.
Mail subjectAndBody(const ReceivedMail& mail) {
    const std::string& data = mail.data;
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

    void send(const std::string& text, const char* name = "ann", const char* medium = "AIM") {
        ASSERT_TRUE(host.broadcast(medium, kConnection, name, kIncoming, text.c_str()));
    }

    // Waits for the server to hold `count` mails in all and returns them.
    Mails receive(size_t count) {
        EXPECT_TRUE(lab.waitForMails(server, count, 5000 + 2000 * static_cast<DWORD>(count)));
        Mails mails;
        for (const ReceivedMail& mail : lab.mails(server)) mails.push_back(subjectAndBody(mail));
        return mails;
    }

    std::vector<std::string> alerts() const {
        std::vector<std::string> texts;
        for (const HostRequest& request : host.requests()) {
            if (request.name == "systraySetAlert") texts.push_back(request.alertText);
        }
        return texts;
    }

    // For messages that must not be forwarded at all: nothing asked of the
    // host, and no connection to the server while it had time to make one.
    void expectNothingForwarded() {
        EXPECT_EQ(host.requestNames(), std::vector<std::string>{});
        Sleep(kQuietMs);
        EXPECT_EQ(lab.connectionCount(server), 0u);
    }

    MailLab lab;
    LabServer server = lab.startSmtp();
    TestHost host;
};

}  // namespace

TEST_F(ForwardTest, TheRoadOfOneMessage) {
    startWith();
    send("hi");

    EXPECT_EQ(host.requestNames(), (std::vector<std::string>{"systraySetAlert", "messageSend"}));
    const HostRequest& alert = host.last("systraySetAlert");
    EXPECT_EQ(alert.alertText, "IM: ann has been forwarded");
    EXPECT_EQ(alert.alertStyle, "default");
    EXPECT_EQ(std::vector<int32_t>(alert.alertValues, alert.alertValues + 3), (std::vector<int32_t>{1, 0, 0}));
    const HostRequest& reply = host.last("messageSend");
    EXPECT_EQ(reply.medium, "AIM");
    EXPECT_EQ(reply.connection, kConnection);
    EXPECT_EQ(reply.partyName, "ann");
    EXPECT_EQ(reply.type, "outgoing");
    EXPECT_EQ(reply.text, kReply);

    EXPECT_EQ(receive(1), (Mails{{"IM: ann", "hi"}}));
    const ReceivedMail mail = lab.mails(server)[0];
    EXPECT_EQ(mail.helo, "example.org");
    EXPECT_EQ(mail.from, kFrom);
    EXPECT_EQ(mail.recipients, std::vector<std::string>{kTo});
    EXPECT_EQ(headerValue(mail.data, "TO: "), kTo);
}

TEST_F(ForwardTest, LongTextsGoOutInNumberedParts) {
    startWith({{"CharLimit", "10"}, {"Message Limit", "5"}});
    send("abcdefghij");
    send("abcdefghijk");
    send("abcdefghijklmnopqrstuvw");

    EXPECT_EQ(receive(6), (Mails{{"IM: ann", "abcdefghij"},
                                 {"IM: ann (Part 1/2)", "abcdefghij"},
                                 {"IM: ann (Part 2/2)", "k"},
                                 {"IM: ann (Part 1/3)", "abcdefghij"},
                                 {"IM: ann (Part 2/3)", "klmnopqrst"},
                                 {"IM: ann (Part 3/3)", "uvw"}}));
    EXPECT_EQ(alerts(), (std::vector<std::string>{"IM: ann has been forwarded",
                                                  "IM: ann (Part 2/2) has been forwarded",
                                                  "IM: ann (Part 3/3) has been forwarded"}));
    EXPECT_EQ(host.count("messageSend"), 3);
}

TEST_F(ForwardTest, MessageLimitDropsTheRestAndTheAlertNamesTheLastPartSent) {
    startWith({{"CharLimit", "10"}, {"Message Limit", "2"}});
    const std::string text = letters(35);
    send(text);

    EXPECT_EQ(receive(2), (Mails{{"IM: ann (Part 1/2)", text.substr(0, 10)},
                                 {"IM: ann (Part 2/2)", text.substr(10, 10)}}));
    EXPECT_EQ(alerts(), std::vector<std::string>{"IM: ann (Part 2/2) has been forwarded"});
    EXPECT_EQ(host.count("messageSend"), 1);
}

TEST_F(ForwardTest, NothingQueuedMeansNoAlertAndNoReply) {
    startWith({{"CharLimit", "10"}, {"Message Limit", "0"}});
    send(letters(15));
    EXPECT_TRUE(host.requests().empty());
    // A text that needs no splitting goes out whatever the limit says.
    send("short");

    EXPECT_EQ(receive(1), (Mails{{"IM: ann", "short"}}));
    EXPECT_EQ(host.requestNames(), (std::vector<std::string>{"systraySetAlert", "messageSend"}));
}

TEST_F(ForwardTest, NameInTheBodyAtOneHundredAndTwenty) {
    startWith({{"CharLimit", "120"}, {"Name In Body", "1"}});
    send("hi there");
    // Counted from the length alone this would be one part; two are cut and
    // both labels say so.
    const std::string text = letters(118);
    send(text, "bob");

    EXPECT_EQ(receive(3), (Mails{{"IM: ann", "ann: hi there"},
                                 {"IM: bob (Part 1/2)", "bob (1/2): " + text.substr(0, 109)},
                                 {"IM: bob (Part 2/2)", "bob (2/2): " + text.substr(109)}}));
    EXPECT_EQ(alerts(), (std::vector<std::string>{"IM: ann has been forwarded",
                                                  "IM: bob (Part 2/2) has been forwarded"}));
}

TEST_F(ForwardTest, NameInTheBodyAtOneHundred) {
    startWith({{"CharLimit", "100"}, {"Name In Body", "1"}});
    const std::string text = letters(150);
    send(text, "al");

    EXPECT_EQ(receive(2), (Mails{{"IM: al (Part 1/2)", "al (1/2): " + text.substr(0, 90)},
                                 {"IM: al (Part 2/2)", "al (2/2): " + text.substr(90)}}));
    EXPECT_EQ(alerts(), std::vector<std::string>{"IM: al (Part 2/2) has been forwarded"});
}

TEST_F(ForwardTest, TriggerPrefixIsTestedOnTheTextWithoutMarkup) {
    startWith({{"Prefix Enabled", "1"}, {"Trigger Prefix", "!page"}});
    send("!PAGE hi");
    send("hi !page");
    send("!page");
    EXPECT_TRUE(host.requests().empty());
    send("!page hi");
    send("<b>!page</b> <i>there</i>");

    EXPECT_EQ(receive(2), (Mails{{"IM: ann", " hi"}, {"IM: ann", " there"}}));
    EXPECT_EQ(host.count("systraySetAlert"), 2);
    EXPECT_EQ(host.count("messageSend"), 2);
}

TEST_F(ForwardTest, NoReplyOverAnotherMedium) {
    startWith();
    send("over icq", "ann", "ICQ");
    send("over aim in small letters", "ann", "aim");

    EXPECT_EQ(receive(2), (Mails{{"IM: ann", "over icq"}, {"IM: ann", "over aim in small letters"}}));
    EXPECT_EQ(host.requestNames(), (std::vector<std::string>{"systraySetAlert", "systraySetAlert"}));
}

TEST_F(ForwardTest, AlertSwitchedOff) {
    startWith({{"Show Systray Alert", "0"}});
    send("hi");

    EXPECT_EQ(receive(1), (Mails{{"IM: ann", "hi"}}));
    EXPECT_EQ(host.requestNames(), std::vector<std::string>{"messageSend"});
}

TEST_F(ForwardTest, ProviderThatNamesNoRowForwardsNothing) {
    startWith({{"ForwardType", "2"}, {"Phone Number", "5551234567"}, {"Provider", "usa: sprint pcs"}});
    send("hi");
    expectNothingForwarded();
}

TEST_F(ForwardTest, ForwardTypeThreeForwardsNothing) {
    startWith({{"ForwardType", "3"}});
    send("hi");
    expectNothingForwarded();
}

TEST_F(ForwardTest, AMegabyteInTinyPartsLeavesTheClientAtOnce) {
    // Queued whole; with the server unreachable the sender drops the batch.
    const LabServer nowhere = lab.unreachable();
    startWith({{"CharLimit", "10"}, {"Message Limit", "-1"}, {"SMTP Server", nowhere.host}});
    send(letters(1 << 20));

    EXPECT_EQ(alerts(), std::vector<std::string>{"IM: ann (Part 104858/104858) has been forwarded"});
    EXPECT_EQ(host.count("messageSend"), 1);
    lab.stop(nowhere);
}

namespace {

struct PhoneCase {
    const char* id;
    const char* number;
    const char* provider;
    const char* recipient;
};

void PrintTo(const PhoneCase& phone, std::ostream* out) { *out << phone.number << " to " << phone.provider; }

}  // namespace

class ForwardToPhoneTest : public ForwardTest, public ::testing::WithParamInterface<PhoneCase> {};

TEST_P(ForwardToPhoneTest, GoesToTheCarriersGateway) {
    const PhoneCase& phone = GetParam();
    startWith({{"ForwardType", "2"}, {"Phone Number", phone.number}, {"Provider", phone.provider}});
    send("hi");

    EXPECT_EQ(receive(1), (Mails{{"IM: ann", "hi"}}));
    const ReceivedMail mail = lab.mails(server)[0];
    EXPECT_EQ(mail.recipients, std::vector<std::string>{phone.recipient});
    EXPECT_EQ(headerValue(mail.data, "TO: "), phone.recipient);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ForwardToPhoneTest,
    ::testing::Values(
        PhoneCase{"Usa", "(555) 123-4567", "USA: Sprint PCS", "5551234567@messaging.sprintpcs.com"},
        PhoneCase{"UsaWithCountryCode", "+1 555 123 4567", "USA: Sprint PCS",
                  "15551234567@messaging.sprintpcs.com"},
        PhoneCase{"International", "(555) 123-4567", "ALL: SMS (sms.gatewayonline.net)",
                  "+5551234567@sms.gatewayonline.net"},
        PhoneCase{"InternationalWithCountryCode", "+1 555 123 4567", "ALL: SMS (sms.gatewayonline.net)",
                  "+15551234567@sms.gatewayonline.net"}),
    [](const ::testing::TestParamInfo<PhoneCase>& info) { return std::string(info.param.id); });
