#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ForwardingSettings.h"
#include "MailLab.h"
#include "TestHost.h"

namespace {

const char kUser[] = "ann@example.org";
// As typed (windows-1252), and as the server checks it (RFC 4616: UTF-8).
const char kPassword[] = "pa55 w\xf6rd";
const char kPasswordUtf8[] = "pa55 w\xc3\xb6rd";

}  // namespace

// A message from a contact named Zoë, through the DLL as the host drives it,
// in each security: plain SMTP at the port of the setting, STARTTLS and TLS
// with a login. It arrives decoded right, with a Message-ID of its own.
TEST(ForwardTls, EachSecurityDeliversAndReadsRight) {
    const struct {
        const char* what;
        TlsServerOptions::Mode mode;
        const char* security;
        bool login;
    } cases[] = {{"none, at the port of the setting", TlsServerOptions::Clear, "0", false},
                 {"STARTTLS with a login", TlsServerOptions::StartTls, "1", true},
                 {"TLS with a login", TlsServerOptions::Implicit, "2", true}};
    MailLab lab;
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        TlsServerOptions options;
        options.mode = test.mode;
        if (test.login) {
            options.user = kUser;
            options.password = kPasswordUtf8;
        }
        const LabServer server = lab.startTls(options);
        TestHost host;
        host.writeSettings(forwardingTo(kTlsServerName, {{"SMTP Port", std::to_string(server.port)},
                                                         {"SMTP Security", test.security},
                                                         {"SMTP User", test.login ? kUser : ""},
                                                         {"Trusted CA File", lab.caFile()}}));
        host.load();
        host.start();
        if (test.login) enterPassword(host, kPassword);
        host.broadcast("AIM", 1, "Zo\xeb", kPrivateMessage, "caf\xe9 <b>ol\xe9</b>");
        host.broadcast("AIM", 1, "Zo\xeb", kPrivateMessage, "again");

        ASSERT_TRUE(lab.waitForMails(server, 2));
        const std::vector<DecodedMail> mails = lab.decodedMails(server);
        if (test.mode == TlsServerOptions::Clear) {
            EXPECT_EQ(subjectOf(lab.mails(server)[0].data), "IM: Zo\xeb") << "plain mail as before";
            EXPECT_EQ(lab.connections(server)[0].helo, "example.org");
            continue;
        }
        EXPECT_EQ(mails[0].subject, "IM: Zo\xc3\xab");
        EXPECT_EQ(mails[0].body, "caf\xc3\xa9 ol\xc3\xa9\r\n");
        EXPECT_FALSE(mails[0].messageId.empty());
        EXPECT_NE(mails[0].messageId, mails[1].messageId);
        const LabConnection connection = lab.connections(server)[0];
        EXPECT_EQ(connection.cleartext,
                  test.mode == TlsServerOptions::StartTls ? "EHLO example.org\r\nSTARTTLS\r\n" : "");
        EXPECT_EQ(host.settingsFile().text().find("pa55"), std::string::npos);
    }
}
