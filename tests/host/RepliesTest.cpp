#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ForwardingSettings.h"
#include "MailLab.h"
#include "MessagePump.h"
#include "TestHost.h"

// Answers written on the phone come back as IMs: the DLL forwards over a
// lab SMTP server with TLS, the answers are put into a private Dovecot's
// Maildir as a phone's mail app would write them, and the plug-in reads
// them there over IMAP.
namespace {

const DWORD kArrivalMs = 20000;
const DWORD kSettleMs = 2500;
const char kSentPrefix[] = "IM: your reply was sent to ";

class Replies : public ::testing::Test {
protected:
    Replies() : imap_(lab_.startImap()) {
        TlsServerOptions options;
        options.mode = TlsServerOptions::Implicit;
        options.user = imap_.user;
        options.password = imap_.passwordUtf8;
        smtp_ = lab_.startTls(options);
    }
    ~Replies() override { lab_.stop(imap_.server); }

    // Loads and starts the plug-in with replies on; then the password is
    // typed in unless it is to be wrong.
    void start(bool withPassword = true, const std::string& imapServer = kTlsServerName, int imapPort = 0) {
        host_.writeSettings(forwardingTo(kTlsServerName,
                                         {{"SMTP Port", std::to_string(smtp_.port)},
                                          {"SMTP Security", "2"},
                                          {"SMTP User", imap_.user},
                                          {"Trusted CA File", lab_.caFile()},
                                          {"Show Systray Alert", "1"},
                                          {"IMAP Server", imapServer},
                                          {"IMAP Port", std::to_string(imapPort ? imapPort : imap_.server.port)},
                                          {"IMAP Security", "2"}}));
        host_.load();
        host_.start();
        if (withPassword) enterPassword(host_, imap_.password);
    }

    // A message from the contact, forwarded; the Message-ID its mail had.
    std::string forward(const char* name, int32_t connection) {
        const std::size_t before = lab_.mails(smtp_).size();
        host_.broadcast("AIM", connection, name, kPrivateMessage, "are you there?");
        EXPECT_TRUE(lab_.waitForMails(smtp_, before + 1));
        const std::vector<DecodedMail> mails = lab_.decodedMails(smtp_);
        return mails.empty() ? std::string() : mails.back().messageId;
    }

    void answer(const std::string& messageId, const std::string& inReplyTo, const std::string& mime,
                const std::string& from = kForwardRecipient) {
        lab_.deliver(imap_, "From: Me <" + from + ">\r\nTo: " + kForwardSender + "\r\nSubject: Re: IM\r\n" +
                                "Message-ID: " + messageId + "\r\nIn-Reply-To: " + inReplyTo + "\r\n" +
                                "MIME-Version: 1.0\r\n" + mime);
    }

    std::string flagsOf(const std::string& messageId) {
        for (const MaildirMail& mail : lab_.maildir(imap_)) {
            if (mail.messageId == messageId) return mail.flags;
        }
        return "(gone)";
    }

    int alertsStartingWith(const std::string& prefix) {
        int count = 0;
        for (const HostRequest& request : host_.requests()) {
            if (request.name == "systraySetAlert" && request.alertText.compare(0, prefix.size(), prefix) == 0) ++count;
        }
        return count;
    }

    MailLab lab_;
    ImapLabServer imap_;
    LabServer smtp_;
    TestHost host_;
};

}  // namespace

TEST_F(Replies, EachKindOfAnswerReachesItsContactAndIsFlagged) {
    const struct {
        const char* name;
        int32_t connection;
        std::string mime;
        std::string text;
    } cases[] = {
        {"ann", 1,
         "Content-Type: text/plain; charset=us-ascii\r\n\r\nSee you at 8.\r\n\r\nOn Wed, Dec 9, 2026, "
         "IM <tolvane@example.org> wrote:\r\n> are you there?\r\n\r\n-- \r\nMe\r\n",
         "See you at 8."},
        {"bob", 2,
         "Content-Type: multipart/alternative; boundary=\"alt\"\r\n\r\n--alt\r\nContent-Type: text/plain; "
         "charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\nCaf=C3=A9 =E2=82=AC5, =E2=98=83\r\n"
         "\r\nSent from my iPhone\r\n--alt\r\nContent-Type: text/html; charset=UTF-8\r\n\r\n<p>wrong part</p>\r\n"
         "--alt--\r\n",
         "Caf\xe9 \x80" "5, ?"},
        {"cid", 3,
         "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
         "WmHDvyAgIGFuZAoKCgp0aGVuCg==\r\n",
         "Za\xff and\r\n\r\nthen"},
        {"dan", 4,
         "Content-Type: text/plain; charset=ISO-8859-1\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
         "Gr=FC=DFe\r\n",
         "Gr\xfc\xdf" "e"},
        {"eve", 5,
         "Content-Type: text/html; charset=utf-8\r\n\r\n<div dir=\"ltr\">Yes &amp; no<br>caf&#233;</div>"
         "<blockquote>are you there?</blockquote>\r\n",
         "Yes & no\r\ncaf\xe9"},
    };
    start();
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string id = forward(test.name, test.connection);
        const std::string replyId = std::string("<reply-") + test.name + "@phone.example>";
        answer(replyId, id, test.mime);
        ASSERT_TRUE(pumpUntil([&] { return host_.lastOf("messageSend") &&
                                           host_.lastOf("messageSend")->partyName == test.name; },
                              kArrivalMs))
            << IniFile(host_.settingsDirectory() + "IMTolvane.log").text();
        const HostRequest& sent = host_.last("messageSend");
        EXPECT_EQ(sent.medium, "AIM");
        EXPECT_EQ(sent.connection, test.connection);
        EXPECT_EQ(sent.type, "outgoing");
        EXPECT_EQ(sent.text, test.text);
        EXPECT_EQ(host_.last("systraySetAlert").alertText, kSentPrefix + std::string(test.name));
        EXPECT_TRUE(waitUntil([&] { return flagsOf(replyId) == "RS"; }, kArrivalMs)) << flagsOf(replyId);
    }
    EXPECT_EQ(host_.count("messageSend"), 5);
    const std::string log = IniFile(host_.settingsDirectory() + "IMTolvane.log").text();
    EXPECT_EQ(occurrences(log, "| reply sent |"), 5u);
    EXPECT_EQ(log.find("See you"), std::string::npos) << "no text in the log";
}

// Only an answer from the destination to a known message is acted on; an
// answer to one of the plug-in's own IDs that it no longer knows gets one
// notice back to the destination.
TEST_F(Replies, OtherMailIsLeftAloneAndAnUnknownIdIsRefused) {
    start();
    const std::string id = forward("ann", 1);
    const std::string plain = "Content-Type: text/plain\r\n\r\nhello\r\n";
    answer("<other@phone.example>", id, plain, "someone@example.net");
    answer("<ordinary@phone.example>", "<CAF123@mail.example>", plain);
    answer("<old@phone.example>", "<18c4f1e2a3b.7.5f3a9c0100c0ffee12345678@example.org>", plain);
    answer("<good@phone.example>", id, "Content-Type: text/plain\r\n\r\nthe real one\r\n");
    ASSERT_TRUE(pumpUntil([&] { return host_.count("messageSend") == 1; }, kArrivalMs));
    EXPECT_EQ(host_.last("messageSend").text, "the real one");
    ASSERT_TRUE(lab_.waitForMails(smtp_, 2));
    pumpFor(kSettleMs);
    EXPECT_EQ(host_.count("messageSend"), 1);
    EXPECT_EQ(flagsOf("<other@phone.example>"), "");
    EXPECT_EQ(flagsOf("<ordinary@phone.example>"), "");
    EXPECT_EQ(flagsOf("<old@phone.example>"), "S");
    const std::vector<ReceivedMail> mails = lab_.mails(smtp_);
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(mails[1].recipients, std::vector<std::string>{kForwardRecipient});
    EXPECT_NE(lab_.decodedMails(smtp_)[1].body.find("Your reply could not be delivered: "), std::string::npos);
}

TEST_F(Replies, AFloodToOneContactIsPaced) {
    start();
    const std::string first = forward("ann", 1);
    const std::string second = forward("ann", 1);
    answer("<r1@phone.example>", first, "Content-Type: text/plain\r\n\r\none\r\n");
    answer("<r2@phone.example>", second, "Content-Type: text/plain\r\n\r\ntwo\r\n");
    ASSERT_TRUE(pumpUntil([&] { return host_.count("messageSend") == 1; }, kArrivalMs));
    const DWORD firstAt = GetTickCount();
    ASSERT_TRUE(pumpUntil([&] { return host_.count("messageSend") == 2; }, kArrivalMs));
    EXPECT_GE(GetTickCount() - firstAt, 9000u) << "one answer per contact every 10 seconds";
}

TEST_F(Replies, ARefusedLoginGivesOneAlert) {
    start(false);
    ASSERT_TRUE(pumpUntil([&] { return alertsStartingWith("IM: replies not read: ") > 0; }, kArrivalMs));
    pumpFor(kSettleMs);
    EXPECT_EQ(alertsStartingWith("IM: replies not read: the IMAP server refused the login"), 1);
    const std::string log = IniFile(host_.settingsDirectory() + "IMTolvane.log").text();
    EXPECT_EQ(occurrences(log, "replies not read at LOGIN"), 1u);
}

// A stop ends a poll that waits on a silent server, and an IDLE, at once.
TEST_F(Replies, StopIsFastDuringAPoll) {
    const LabServer quiet = lab_.startScript(PeerScript().silent());
    start(true, quiet.host, quiet.port);
    ASSERT_TRUE(lab_.waitForConnections(quiet, 1));
    const DWORD before = GetTickCount();
    host_.stop();
    EXPECT_LT(GetTickCount() - before, 1000u);
}

TEST_F(Replies, StopIsFastDuringIdle) {
    start();
    pumpFor(kSettleMs);
    const DWORD before = GetTickCount();
    host_.stop();
    EXPECT_LT(GetTickCount() - before, 1000u);
}
