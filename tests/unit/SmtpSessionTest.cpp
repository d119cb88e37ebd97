#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "MailLab.h"
#include "mail/MailDate.h"
#include "mail/SmtpSession.h"

namespace {

const char kSender[] = "me@example.org";
const char kRecipient[] = "you@example.net";
const char kHeloDomain[] = "example.org";

MailJob mail(const std::string& subject, const std::string& body) {
    return MailJob{"", kSender, kRecipient, subject, body};
}

// The data as the server stores it, with the date line left empty: headers,
// the empty line, the body, and the two empty lines before the final ".".
std::string storedData(const std::string& subject, const std::string& body) {
    return std::string("TO: ") + kRecipient + "\r\nFROM: " + kSender + "\r\nSUBJECT: " + subject +
           "\r\nDATE:\r\n\r\n" + body + "\r\n\r\n\r\n";
}

std::string withoutDate(const std::string& data) {
    return std::regex_replace(data, std::regex("DATE: [^\r]*\r\n"), "DATE:\r\n");
}

std::string dateLineOf(const std::string& data) {
    std::smatch date;
    return std::regex_search(data, date, std::regex("\r\nDATE: ([^\r]*)\r\n")) ? date[1].str() : "<none>";
}

std::string utcNow() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return formatMailDate({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}

// A polite server's side after its greeting, with a pause before each 354
// in which a client that lost step would already send its data.
PeerScript& careful(PeerScript& script, int mails) {
    for (int i = 0; i < mails; ++i) {
        script.expect("MAIL FROM: ").send("250 ok\r\n").expect("RCPT TO: ").send("250 ok\r\n");
        script.expect("DATA").quiet(300).send("354 go ahead\r\n").readData().send("250 queued\r\n");
    }
    return script.expect("QUIT").send("221 bye\r\n").close();
}

class SmtpSessionTest : public ::testing::Test {
protected:
    // One session of the given mails to the server; the session must open.
    void deliver(const LabServer& server, const std::vector<MailJob>& mails) {
        SmtpSession session;
        ASSERT_TRUE(session.open(server.host, kHeloDomain).succeeded);
        for (const MailJob& job : mails) session.sendMail(job);
        session.close();
        EXPECT_FALSE(session.isOpen());
    }

    MailLab lab;
};

}  // namespace

TEST_F(SmtpSessionTest, DeliversHeloEnvelopeHeadersTheCurrentUtcDateAndBody) {
    const LabServer server = lab.startSmtp();
    const std::string before = utcNow();
    deliver(server, {mail("IM: ann", "hi")});
    const std::string after = utcNow();

    const LabConnection connection = lab.finishedConnection(server);
    ASSERT_EQ(connection.mails.size(), 1u);
    EXPECT_EQ(connection.mails[0].recipients, std::vector<std::string>{kRecipient});
    EXPECT_EQ(withoutDate(connection.mails[0].data), storedData("IM: ann", "hi"));
    const std::string date = dateLineOf(connection.mails[0].data);
    EXPECT_TRUE(date == before || date == after) << date << " not within " << before << " .. " << after;

    EXPECT_EQ(connection.transcript.rfind("HELO example.org\r\nMAIL FROM: me@example.org\r\n", 0), 0u);
    EXPECT_EQ(connection.transcript.substr(connection.transcript.size() - 11), "\r\n.\r\nQUIT\r\n");
}

TEST_F(SmtpSessionTest, HostileTextsArriveAsOneMailWithNothingSmuggled) {
    const LabServer server = lab.startSmtp();
    const std::string longLine = "last " + std::string(2500, 'z');
    const std::string body = "first\n.\nMAIL FROM: evil@x\r\nRCPT TO: victim@y\rDATA\r\n.\r\n"
                             "..two dots\n" + longLine;
    deliver(server, {mail("hi\r\nBcc: victim@y", body)});

    const LabConnection connection = lab.finishedConnection(server);
    ASSERT_EQ(connection.mails.size(), 1u);
    EXPECT_EQ(connection.mails[0].recipients, std::vector<std::string>{kRecipient});
    const std::string brokenLongLine = longLine.substr(0, 998) + "\r\n" + longLine.substr(998, 998) +
                                       "\r\n" + longLine.substr(1996);
    EXPECT_EQ(withoutDate(connection.mails[0].data),
              storedData("hi  Bcc: victim@y", "first\r\n.\r\nMAIL FROM: evil@x\r\nRCPT TO: victim@y\r\n"
                                              "DATA\r\n.\r\n..two dots\r\n" + brokenLongLine));
    EXPECT_EQ(occurrences(connection.transcript, "\r\n.\r\n"), 1u);
    EXPECT_EQ(occurrences(connection.transcript, "\r\n..\r\n"), 2u);
}

TEST_F(SmtpSessionTest, NoConnectionMeansNoSession) {
    const LabServer unreachable = lab.unreachable();
    SmtpSession session;
    const DWORD start = GetTickCount();
    const SmtpOutcome refused = session.open(unreachable.host, kHeloDomain);
    EXPECT_FALSE(refused.succeeded);
    EXPECT_EQ(refused.stage, SmtpStage::Connect);
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_FALSE(session.isOpen());
    // Nothing is sent or waited for on a session that never opened.
    session.sendMail(mail("x", "y"));
    session.close();

    EXPECT_EQ(session.open("", kHeloDomain).stage, SmtpStage::NameLookup);
}

TEST(SmtpSessionWinsock, LeavesTheCallersWindowsSocketsStarted) {
    LabServer server, unreachable;
    {
        // The lab client's own start-up would hide an extra clean-up.
        MailLab lab;
        server = lab.startSmtp();
        unreachable = lab.unreachable();
    }
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    SmtpSession delivered;
    ASSERT_TRUE(delivered.open(server.host, kHeloDomain).succeeded);
    delivered.sendMail(mail("one", "1"));
    delivered.close();
    SmtpSession failed;
    EXPECT_FALSE(failed.open(unreachable.host, kHeloDomain).succeeded);

    const SOCKET probe = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_NE(probe, INVALID_SOCKET) << "error " << WSAGetLastError();
    closesocket(probe);
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_EQ(MailLab().mails(server).size(), 1u);
}

// Replies that a single receive does not bring whole, or that never come:
// the session waits for the last line of each before it sends on, follows
// every mail with the next one with no second HELO and no RSET, and a server
// that hangs up at once costs it nothing.
TEST_F(SmtpSessionTest, KeepsInStepWithSlowRepliesAndWithNone) {
    PeerScript longGreeting;
    for (int i = 0; i < 3; ++i) longGreeting.send("220-" + std::string(120, 'g') + "\r\n");
    longGreeting.send("220 ready\r\n").expect("HELO example.org\r\n").send("250 hello\r\n");
    PeerScript multiLine = PeerScript().send("220 ready\r\n").expect("HELO ");
    multiLine.send("250-peer\r\n250-SIZE 1000\r\n").quiet(300).send("250 HELP\r\n");
    PeerScript pieces = PeerScript().send("220 rea").quiet(300).send("dy\r\n").expect("HELO ");
    pieces.send("25").quiet(300).send("0 ok\r\n");
    const struct {
        const char* what;
        PeerScript script;
    } cases[] = {{"a greeting longer than one receive", careful(longGreeting, 2)},
                 {"a multi-line reply", careful(multiLine, 2)},
                 {"replies in pieces", careful(pieces, 2)},
                 {"a server that hangs up at once", PeerScript().send("220 bye\r\n").close()}};

    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const LabServer server = lab.startScript(test.script);
        const DWORD start = GetTickCount();
        deliver(server, {mail("one", "1"), mail("two", "2")});
        EXPECT_LT(GetTickCount() - start, 5000u);
        EXPECT_EQ(lab.finishedConnection(server).errors, std::vector<std::string>());
    }
}

// After a refused DATA the server reads every line as a command, so a body
// written as a conversation would send a mail of its own.
TEST_F(SmtpSessionTest, RefusedMailSendsNoDataAndTheNextMailFollows) {
    PeerScript script;
    script.greet().expect("MAIL FROM: ").send("250 ok\r\n").expect("RCPT TO: nobody@x\r\n");
    script.send("550 no such user\r\n").expect("DATA").send("554 no valid recipients\r\n");
    script.expect("RSET").send("250 reset\r\n");
    careful(script, 1);
    const LabServer scripted = lab.startScript(script);
    const LabServer real = lab.startSmtp({"nobody@x"});

    MailJob refused = mail("refused", "MAIL FROM: evil@x\r\nRCPT TO: victim@y\r\nDATA\r\n"
                                      "SUBJECT: forged\r\n\r\nforged\r\n.\r\n");
    refused.recipient = "nobody@x";
    for (const LabServer& server : {scripted, real}) {
        SmtpSession session;
        ASSERT_TRUE(session.open(server.host, kHeloDomain).succeeded);
        const SmtpOutcome first = session.sendMail(refused);
        EXPECT_FALSE(first.succeeded);
        EXPECT_EQ(first.stage, SmtpStage::Recipient);
        EXPECT_EQ(first.replyCode, 550);
        EXPECT_EQ(first.replyLine.substr(0, 4), "550 ");
        const SmtpOutcome second = session.sendMail(mail("next", "kept"));
        EXPECT_TRUE(second.succeeded);
        EXPECT_EQ(second.stage, SmtpStage::EndOfData);
        session.close();
    }

    const LabConnection connection = lab.finishedConnection(scripted);
    EXPECT_EQ(connection.errors, std::vector<std::string>());
    EXPECT_EQ(connection.transcript.find("evil@x"), std::string::npos);
    EXPECT_EQ(connection.transcript.find("SUBJECT: refused"), std::string::npos);
    EXPECT_NE(connection.transcript.find("SUBJECT: next\r\n"), std::string::npos);
    // A real server takes the RSET and the next mail, and nothing else.
    const std::vector<ReceivedMail> mails = lab.finishedConnection(real).mails;
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].recipients, std::vector<std::string>{kRecipient});
    EXPECT_EQ(withoutDate(mails[0].data), storedData("next", "kept"));
}
