#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "MailLab.h"
#include "mail/SmtpSession.h"

namespace {

const char kSender[] = "me@example.org";
const char kRecipient[] = "you@example.net";

MailJob mail(const std::string& subject, const std::string& body) {
    return MailJob{"", kSender, kRecipient, subject, body};
}

std::string headersOf(const std::string& subject) {
    return std::string("TO: ") + kRecipient + "\r\nFROM: " + kSender + "\r\nSUBJECT: " + subject + "\r\n";
}

// The data as the server stores it: headers, the date line, the empty line,
// the body, and the two empty lines before the final ".".
std::string withoutDate(const std::string& data) {
    return std::regex_replace(data, std::regex("DATE: [^\r]*\r\n"), "DATE:\r\n");
}

// The script a polite server plays after its greeting, with a pause before
// the 354 in which a client that lost step would already send its data.
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
    void deliver(const LabServer& server, const std::vector<MailJob>& mails,
                 const std::string& heloDomain = "example.org") {
        SmtpSession session;
        ASSERT_NE(session.open(server.host, heloDomain), INVALID_SOCKET);
        for (const MailJob& job : mails) session.sendMail(job);
        session.close();
        EXPECT_FALSE(session.isOpen());
    }

    // The only connection of a scripted peer, once it has ended.
    LabConnection finishedConnection(const LabServer& server) {
        std::vector<LabConnection> connections;
        EXPECT_TRUE(waitUntil(
            [&] {
                connections = lab.connections(server);
                return connections.size() == 1 && !connections[0].open;
            },
            5000));
        return connections.empty() ? LabConnection() : connections[0];
    }

    MailLab lab;
};

}  // namespace

TEST_F(SmtpSessionTest, DeliversEnvelopeHeadersDateAndBody) {
    const LabServer server = lab.startSmtp();
    deliver(server, {mail("IM: ann", "hi")});

    const std::vector<ReceivedMail> mails = lab.mails(server);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].helo, "example.org");
    EXPECT_EQ(mails[0].from, kSender);
    EXPECT_EQ(mails[0].recipients, std::vector<std::string>{kRecipient});
    EXPECT_EQ(withoutDate(mails[0].data), headersOf("IM: ann") + "DATE:\r\n\r\nhi\r\n\r\n\r\n");

    std::smatch date;
    ASSERT_TRUE(std::regex_search(mails[0].data, date,
                                  std::regex("\r\nDATE: (Mon|Tue|Wed|Thu|Fri|Sat|Sun), [0-3][0-9] "
                                             "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                                             "([0-9]{4}) [0-2][0-9]:[0-5][0-9]:[0-6][0-9] \\+0000\r\n")));
    SYSTEMTIME now;
    GetSystemTime(&now);
    EXPECT_EQ(date[3].str(), std::to_string(now.wYear));

    const std::string transcript = lab.connections(server)[0].transcript;
    EXPECT_EQ(transcript.substr(0, 45), "HELO example.org\r\nMAIL FROM: me@example.org\r\n");
    EXPECT_EQ(transcript.substr(transcript.size() - 11), "\r\n.\r\nQUIT\r\n");
}

TEST_F(SmtpSessionTest, HostileTextsArriveAsOneMailWithNothingSmuggled) {
    const LabServer server = lab.startSmtp();
    const std::string longLine = "last " + std::string(2500, 'z');
    const std::string body = "first\n.\nMAIL FROM: evil@x\r\nRCPT TO: victim@y\rDATA\r\n.\r\n"
                             "..two dots\n" + longLine;
    MailJob job = mail("hi\r\nBcc: victim@y", body);
    deliver(server, {job});

    const std::vector<ReceivedMail> mails = lab.mails(server);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].recipients, std::vector<std::string>{kRecipient});
    const std::string brokenLongLine = longLine.substr(0, 998) + "\r\n" + longLine.substr(998, 998) +
                                       "\r\n" + longLine.substr(1996);
    EXPECT_EQ(withoutDate(mails[0].data),
              headersOf("hi  Bcc: victim@y") + "DATE:\r\n\r\nfirst\r\n.\r\nMAIL FROM: evil@x\r\n"
              "RCPT TO: victim@y\r\nDATA\r\n.\r\n..two dots\r\n" + brokenLongLine + "\r\n\r\n\r\n");

    const std::string transcript = lab.connections(server)[0].transcript;
    EXPECT_EQ(occurrences(transcript, "\r\n.\r\n"), 1u);
    EXPECT_EQ(occurrences(transcript, "\r\n..\r\n"), 2u);
}

TEST_F(SmtpSessionTest, ThreeMailsShareOneGreetingHeloAndQuit) {
    const LabServer server = lab.startSmtp();
    deliver(server, {mail("one", "1"), mail("two", "2"), mail("three", "3")});

    const std::vector<LabConnection> connections = lab.connections(server);
    ASSERT_EQ(connections.size(), 1u);
    ASSERT_EQ(connections[0].mails.size(), 3u);
    EXPECT_EQ(withoutDate(connections[0].mails[2].data), headersOf("three") + "DATE:\r\n\r\n3\r\n\r\n\r\n");
    const std::string& transcript = connections[0].transcript;
    EXPECT_EQ(occurrences(transcript, "HELO "), 1u);
    EXPECT_EQ(occurrences(transcript, "MAIL FROM: "), 3u);
    EXPECT_EQ(occurrences(transcript, "\r\nDATA\r\n"), 3u);
    EXPECT_EQ(occurrences(transcript, "QUIT\r\n"), 1u);
    EXPECT_EQ(occurrences(transcript, "RSET"), 0u);
}

TEST_F(SmtpSessionTest, NoConnectionMeansNoSession) {
    const LabServer unreachable = lab.unreachable();
    SmtpSession session;
    const DWORD start = GetTickCount();
    EXPECT_EQ(session.open(unreachable.host, "example.org"), INVALID_SOCKET);
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_FALSE(session.isOpen());
    // Nothing is sent or waited for on a session that never opened.
    session.sendMail(mail("x", "y"));
    session.close();

    EXPECT_EQ(session.open("", "example.org"), INVALID_SOCKET);
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
    ASSERT_NE(delivered.open(server.host, "example.org"), INVALID_SOCKET);
    delivered.sendMail(mail("one", "1"));
    delivered.close();
    SmtpSession failed;
    EXPECT_EQ(failed.open(unreachable.host, "example.org"), INVALID_SOCKET);

    const SOCKET probe = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_NE(probe, INVALID_SOCKET) << "error " << WSAGetLastError();
    closesocket(probe);
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_EQ(MailLab().mails(server).size(), 1u);
}

TEST_F(SmtpSessionTest, WaitsForAGreetingLongerThanOneReceive) {
    PeerScript script;
    script.send("220-" + std::string(120, 'g') + "\r\n", 3).send("220 ready\r\n").expect("HELO example.org\r\n");
    script.send("250 hello\r\n");
    const LabServer server = lab.startScript(careful(script, 1));
    deliver(server, {mail("one", "1")});
    EXPECT_EQ(finishedConnection(server).errors, std::vector<std::string>());
}

TEST_F(SmtpSessionTest, WaitsForTheLastLineOfAMultiLineReply) {
    PeerScript script;
    script.send("220 ready\r\n").expect("HELO ").send("250-peer\r\n250-SIZE 1000\r\n");
    script.quiet(300).send("250 HELP\r\n");
    const LabServer server = lab.startScript(careful(script, 1));
    deliver(server, {mail("one", "1")});
    EXPECT_EQ(finishedConnection(server).errors, std::vector<std::string>());
}

TEST_F(SmtpSessionTest, WaitsForAReplyThatArrivesInPieces) {
    PeerScript script;
    script.send("220 rea").quiet(300).send("dy\r\n").expect("HELO ").send("25").quiet(300).send("0 ok\r\n");
    const LabServer server = lab.startScript(careful(script, 2));
    deliver(server, {mail("one", "1"), mail("two", "2")});
    EXPECT_EQ(finishedConnection(server).errors, std::vector<std::string>());
}

// After a refused DATA the server reads every line as a command, so a body
// written as a conversation would send a mail of its own.
TEST_F(SmtpSessionTest, RefusedMailSendsNoDataAndTheNextMailFollows) {
    PeerScript script;
    script.greet().expect("MAIL FROM: ").send("250 ok\r\n").expect("RCPT TO: nobody@x\r\n");
    script.send("550 no such user\r\n").expect("DATA").send("554 no valid recipients\r\n");
    script.expect("RSET").send("250 reset\r\n");
    script.expect("MAIL FROM: ").send("250 ok\r\n").expect("RCPT TO: " + std::string(kRecipient));
    script.send("250 ok\r\n").expect("DATA").send("354 go ahead\r\n").readData().send("250 queued\r\n");
    script.expect("QUIT").send("221 bye\r\n").close();
    const LabServer server = lab.startScript(script);

    MailJob refused = mail("refused", "MAIL FROM: evil@x\r\nRCPT TO: victim@y\r\nDATA\r\nforged\r\n");
    refused.recipient = "nobody@x";
    deliver(server, {refused, mail("next", "kept")});

    const LabConnection connection = finishedConnection(server);
    EXPECT_EQ(connection.errors, std::vector<std::string>());
    EXPECT_EQ(connection.transcript.find("evil@x"), std::string::npos);
    EXPECT_EQ(connection.transcript.find("SUBJECT: refused"), std::string::npos);
    EXPECT_NE(connection.transcript.find("SUBJECT: next\r\n"), std::string::npos);
}

TEST_F(SmtpSessionTest, RefusedRecipientAtARealServerSmugglesNothing) {
    const LabServer server = lab.startSmtp({"nobody@example.net"});
    MailJob refused = mail("refused", "MAIL FROM: evil@example.org\r\nRCPT TO: victim@example.net\r\n"
                                      "DATA\r\nSUBJECT: forged\r\n\r\nforged\r\n.\r\n");
    refused.recipient = "nobody@example.net";
    deliver(server, {refused, mail("next", "kept")});

    ASSERT_TRUE(lab.waitForMails(server, 1));
    const std::vector<ReceivedMail> mails = lab.mails(server);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].recipients, std::vector<std::string>{kRecipient});
    EXPECT_NE(mails[0].data.find("SUBJECT: next\r\n"), std::string::npos);
}

TEST_F(SmtpSessionTest, ServerThatHangsUpAtOnceGoesUnnoticed) {
    const LabServer server = lab.startScript(PeerScript().send("220 bye\r\n").close());
    SmtpSession session;
    const DWORD start = GetTickCount();
    ASSERT_NE(session.open(server.host, "example.org"), INVALID_SOCKET);
    session.sendMail(mail("one", "1"));
    session.sendMail(mail("two", "2"));
    session.close();
    EXPECT_FALSE(session.isOpen());
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(finishedConnection(server).errors, std::vector<std::string>());
}
