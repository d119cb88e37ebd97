#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MailLab.h"
#include "mail/SmtpSession.h"

namespace {

const char kSender[] = "me@example.org";
const char kRecipient[] = "you@example.net";
const char kHeloDomain[] = "example.org";
const char kUser[] = "ann@example.org";
// As typed (windows-1252), and as the server checks it (RFC 4616: UTF-8).
const char kPassword[] = "pa55 w\xf6rd";
const char kPasswordUtf8[] = "pa55 w\xc3\xb6rd";

MailJob mail(const std::string& subject, const std::string& body) {
    return MailJob{kTlsServerName, kSender, kRecipient, subject, body};
}

class SmtpSessionTlsTest : public ::testing::Test {
protected:
    SmtpOptions options(const LabServer& server, SmtpSecurity security, bool login = true) {
        SmtpOptions options;
        options.port = server.port;
        options.security = security;
        if (login) options.user = kUser;
        options.password = kPassword;
        options.trustedCaFile = lab.caFile();
        return options;
    }

    TlsServerOptions server(TlsServerOptions::Mode mode, const std::string& mechanisms = "PLAIN,LOGIN") {
        TlsServerOptions server;
        server.mode = mode;
        server.user = kUser;
        server.password = kPasswordUtf8;
        server.mechanisms = mechanisms;
        return server;
    }

    // One session with one mail; the outcome of the open, or of the mail
    // when the open succeeded.
    SmtpOutcome attempt(const LabServer& server, const SmtpOptions& options, const MailJob& job) {
        SmtpSession session;
        SmtpOutcome outcome = session.open(kTlsServerName, kHeloDomain, options);
        if (!outcome.succeeded) return outcome;
        outcome = session.sendMail(job);
        session.close();
        return outcome;
    }

    MailLab lab;
};

}  // namespace

// Each protected mode logs in with either mechanism and delivers a complete
// message; before TLS only EHLO and STARTTLS go out.
TEST_F(SmtpSessionTlsTest, EachModeLogsInAndDelivers) {
    const struct {
        const char* what;
        TlsServerOptions::Mode mode;
        SmtpSecurity security;
        const char* mechanisms;
        const char* authLine;
        bool derCa;
    } cases[] = {
        {"STARTTLS, PLAIN", TlsServerOptions::StartTls, SmtpSecurity::StartTls, "PLAIN,LOGIN", "AUTH PLAIN ",
         false},
        {"STARTTLS, LOGIN", TlsServerOptions::StartTls, SmtpSecurity::StartTls, "LOGIN", "AUTH LOGIN\r\n",
         true},
        {"TLS, PLAIN", TlsServerOptions::Implicit, SmtpSecurity::Tls, "PLAIN,LOGIN", "AUTH PLAIN ", true},
        {"TLS, LOGIN", TlsServerOptions::Implicit, SmtpSecurity::Tls, "LOGIN", "AUTH LOGIN\r\n", false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const LabServer server = lab.startTls(this->server(test.mode, test.mechanisms));
        SmtpOptions options = this->options(server, test.security);
        options.trustedCaFile = lab.caFile(test.derCa);
        const SmtpOutcome outcome = attempt(server, options, mail("hi", "there"));
        EXPECT_TRUE(outcome.succeeded)
            << stageName(outcome.stage) << ": " << outcome.detail << " " << outcome.replyLine;
        EXPECT_EQ(outcome.stage, SmtpStage::EndOfData);

        const LabConnection connection = lab.finishedConnection(server);
        ASSERT_EQ(connection.mails.size(), 1u);
        EXPECT_EQ(connection.helo, kHeloDomain);
        const std::string clear =
            test.security == SmtpSecurity::StartTls ? "EHLO example.org\r\nSTARTTLS\r\n" : "";
        EXPECT_EQ(connection.cleartext, clear);
        EXPECT_NE(connection.transcript.find(test.authLine), std::string::npos);
        EXPECT_NE(connection.transcript.find(
                      "MAIL FROM:<me@example.org> BODY=8BITMIME\r\nRCPT TO:<you@example.net>\r\n"),
                  std::string::npos);
    }
}

// Every failure leaves the server without a mail, nothing of the user's
// (login, addresses, text) goes out unprotected, and the client still says
// QUIT: after a rejected certificate over TLS and nothing else.
TEST_F(SmtpSessionTlsTest, FailuresDeliverNothingAndSendNothingInTheClear) {
    const struct {
        const char* what;
        TlsServerOptions::Mode mode;
        TlsServerOptions::Certificate certificate;
        const char* password;
        bool trustFile;
        SmtpStage stage;
        int replyCode;
        const char* why;
    } cases[] = {
        {"a wrong password", TlsServerOptions::StartTls, TlsServerOptions::Good, "wrong", true,
         SmtpStage::Login, 535, "login"},
        {"no STARTTLS offered", TlsServerOptions::Clear, TlsServerOptions::Good, kPassword, true,
         SmtpStage::StartTls, 0, "STARTTLS"},
        {"an untrusted certificate", TlsServerOptions::StartTls, TlsServerOptions::Untrusted, kPassword, true,
         SmtpStage::Certificate, 0, "trusted root"},
        {"a certificate of another name", TlsServerOptions::Implicit, TlsServerOptions::WrongName, kPassword,
         true, SmtpStage::Certificate, 0, "name"},
        {"the test CA not trusted", TlsServerOptions::Implicit, TlsServerOptions::Good, kPassword, false,
         SmtpStage::Certificate, 0, "trusted root"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        TlsServerOptions serverOptions = server(test.mode);
        serverOptions.certificate = test.certificate;
        const LabServer server = lab.startTls(serverOptions);
        SmtpOptions options = this->options(
            server, test.mode == TlsServerOptions::Implicit ? SmtpSecurity::Tls : SmtpSecurity::StartTls);
        options.password = test.password;
        if (!test.trustFile) options.trustedCaFile.clear();
        const SmtpOutcome outcome = attempt(server, options, mail("secret subject", "secret text"));
        EXPECT_FALSE(outcome.succeeded);
        EXPECT_EQ(outcome.stage, test.stage) << stageName(outcome.stage) << ": " << outcome.detail;
        EXPECT_EQ(outcome.replyCode, test.replyCode);
        EXPECT_NE(outcome.detail.find(test.why), std::string::npos) << outcome.detail;
        EXPECT_EQ(outcome.detail.find(kPassword), std::string::npos);

        const LabConnection connection = lab.finishedConnection(server);
        EXPECT_TRUE(connection.mails.empty());
        EXPECT_EQ(connection.cleartext.find("AUTH"), std::string::npos);
        EXPECT_EQ(connection.cleartext.find("MAIL"), std::string::npos);
        const std::string quit = "QUIT\r\n";
        ASSERT_GE(connection.transcript.size(), quit.size());
        EXPECT_EQ(connection.transcript.substr(connection.transcript.size() - quit.size()), quit);
        if (test.stage == SmtpStage::Certificate) {
            EXPECT_EQ(connection.transcript, connection.cleartext + quit);
        }
    }
}

TEST_F(SmtpSessionTlsTest, ALoginWithoutTlsSendsNothingAtAll) {
    const LabServer server = lab.startSmtp();
    SmtpOptions options;
    options.port = server.port;
    options.user = kUser;
    options.password = kPassword;
    SmtpSession session;
    const SmtpOutcome outcome = session.open(server.host, kHeloDomain, options);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.stage, SmtpStage::Login);
    EXPECT_FALSE(outcome.detail.empty());
    EXPECT_EQ(lab.connectionCount(server), 0u);
}

// What a server (or anyone between) sends in the clear after its 220 to
// STARTTLS is thrown away, not read as the answer to the next command.
TEST_F(SmtpSessionTlsTest, BytesAfterTheReadyForTlsAreThrownAway) {
    TlsServerOptions serverOptions = server(TlsServerOptions::StartTls);
    serverOptions.injectAfterStartTls = true;
    const LabServer server = lab.startTls(serverOptions);
    const SmtpOutcome outcome =
        attempt(server, options(server, SmtpSecurity::StartTls), mail("after injection", "text"));
    EXPECT_TRUE(outcome.succeeded) << stageName(outcome.stage) << ": " << outcome.detail;
    EXPECT_EQ(lab.finishedConnection(server).mails.size(), 1u);
}

// A server that asks for a client certificate without insisting gets the
// handshake finished without one.
TEST_F(SmtpSessionTlsTest, ACertificateRequestIsAnsweredWithoutOne) {
    TlsServerOptions serverOptions = server(TlsServerOptions::Implicit);
    serverOptions.asksForClientCertificate = true;
    const LabServer server = lab.startTls(serverOptions);
    const SmtpOutcome outcome = attempt(server, options(server, SmtpSecurity::Tls), mail("asked", "text"));
    EXPECT_TRUE(outcome.succeeded) << stageName(outcome.stage) << ": " << outcome.detail;
    EXPECT_EQ(lab.finishedConnection(server).mails.size(), 1u);
}

// TLS records that arrive a few bytes at a time, in the handshake and after.
TEST_F(SmtpSessionTlsTest, RecordsInPiecesOfThreeBytes) {
    for (TlsServerOptions::Mode mode : {TlsServerOptions::StartTls, TlsServerOptions::Implicit}) {
        const LabServer server = lab.startTls(this->server(mode));
        const LabServer proxy = lab.startProxy(server, 3);
        SmtpOptions options = this->options(
            proxy, mode == TlsServerOptions::Implicit ? SmtpSecurity::Tls : SmtpSecurity::StartTls);
        const SmtpOutcome outcome = attempt(proxy, options, mail("in pieces", std::string(3000, 'p')));
        EXPECT_TRUE(outcome.succeeded) << stageName(outcome.stage) << ": " << outcome.detail;
        EXPECT_EQ(lab.finishedConnection(server).mails.size(), 1u);
    }
}

// Without 8BITMIME the text goes out quoted-printable and arrives the same;
// the subject of a contact named Zoë reads right either way.
TEST_F(SmtpSessionTlsTest, EightBitTextArrivesDecodedWithOrWithout8BitMime) {
    const std::string body =
        "Gr\xfc\xdf"
        "e, caf\xe9\n.\nend " +
        std::string(100, 'x');
    for (bool eightBit : {true, false}) {
        SCOPED_TRACE(eightBit ? "8BITMIME" : "quoted-printable");
        TlsServerOptions serverOptions = server(TlsServerOptions::Implicit);
        serverOptions.eightBitMime = eightBit;
        const LabServer server = lab.startTls(serverOptions);
        SmtpSession session;
        ASSERT_TRUE(session.open(kTlsServerName, kHeloDomain, options(server, SmtpSecurity::Tls)).succeeded);
        EXPECT_TRUE(session.sendMail(mail("IM: Zo\xeb", body)).succeeded);
        EXPECT_TRUE(session.sendMail(mail("IM: Zo\xeb", body)).succeeded);
        session.close();

        ASSERT_TRUE(lab.waitForMails(server, 2));
        const std::vector<DecodedMail> mails = lab.decodedMails(server);
        ASSERT_EQ(mails.size(), 2u);
        EXPECT_EQ(mails[0].subject, "IM: Zo\xc3\xab");
        EXPECT_EQ(mails[0].body,
                  "Gr\xc3\xbc\xc3\x9f"
                  "e, caf\xc3\xa9\r\n.\r\nend " +
                      std::string(100, 'x') + "\r\n");
        EXPECT_EQ(mails[0].charset, "windows-1252");
        EXPECT_EQ(mails[0].transferEncoding, eightBit ? "8bit" : "quoted-printable");
        EXPECT_NE(mails[0].messageId.find("@example.org>"), std::string::npos);
        EXPECT_NE(mails[0].messageId, mails[1].messageId);
    }
}
