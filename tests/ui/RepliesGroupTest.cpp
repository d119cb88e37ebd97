#include <gtest/gtest.h>

#include <string>

#include "DialogDriver.h"
#include "MailLab.h"
#include "PageHarness.h"
#include "ui/resource.h"

using DialogDriver::click;
using DialogDriver::enabled;
using DialogDriver::text;
using DialogDriver::type;

namespace {

const int kMaxTicks = 400;

void selectImapSecurity(HWND dialog, int position) {
    SendDlgItemMessageA(dialog, IDC_IMAP_SECURITY, CB_SETCURSEL, position, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_IMAP_SECURITY, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_IMAP_SECURITY)));
}

}  // namespace

// The group keeps server, security and port as the mail server's group
// does: the usual port follows the security and is stored as 0.
TEST(RepliesGroup, KeepsServerSecurityAndPort) {
    Settings settings = fullSettings();
    settings.imapServer = "imap.example.net";
    PageHarness harness(settings);
    EXPECT_TRUE(DialogDriver::driveModal([&] { click(harness.page(), IDC_ADVANCED); },
                                         [&](HWND dialog, int) {
                                             if (!dialog) return true;
                                             EXPECT_EQ(text(dialog, IDC_REPLIES_FRAME), "Replies");
                                             EXPECT_EQ(text(dialog, IDC_IMAP_SERVER), "imap.example.net");
                                             EXPECT_EQ(DialogDriver::item(dialog, IDC_IMAP_SECURITY, 1), "TLS");
                                             EXPECT_EQ(text(dialog, IDC_IMAP_PORT), "993");
                                             selectImapSecurity(dialog, 0);
                                             EXPECT_EQ(text(dialog, IDC_IMAP_PORT), "143");
                                             click(dialog, IDOK);
                                             return false;
                                         }));
    Settings read = harness.readBack();
    EXPECT_EQ(read.imapSecurity, 1);
    EXPECT_EQ(read.imapPort, 0);
    EXPECT_EQ(read.imapServer, "imap.example.net");
}

// "Check Inbox" logs in to the server on screen with the mail server's
// login and says how many mails the inbox holds, or why it could not; over
// TLS and over STARTTLS.
TEST(RepliesGroup, CheckInboxLogsInAndCounts) {
    MailLab lab;
    const struct {
        const char* what;
        int32_t security;
        bool rightPassword;
    } cases[] = {{"TLS", 2, true}, {"TLS, wrong password", 2, false}, {"STARTTLS", 1, true}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const ImapLabServer imap = lab.startImap();
        lab.deliver(imap, "From: a@example.net\r\nSubject: x\r\n\r\nhello\r\n");
        Settings settings = fullSettings();
        settings.imapServer = kTlsServerName;
        settings.imapSecurity = test.security;
        settings.imapPort = test.security == 1 ? imap.startTlsPort : imap.server.port;
        settings.smtpUser = imap.user;
        settings.smtpPassword = test.rightPassword ? imap.password : "wrong";
        settings.trustedCaFile = lab.caFile();
        PageHarness harness(settings);
        std::string shown;
        EXPECT_TRUE(DialogDriver::driveModal([&] { click(harness.page(), IDC_ADVANCED); },
                                             [&](HWND dialog, int) {
                                                 if (!dialog) return true;
                                                 if (text(dialog, IDC_CHECK_INBOX_RESULT).empty()) {
                                                     click(dialog, IDC_CHECK_INBOX);
                                                     return true;
                                                 }
                                                 if (!enabled(dialog, IDC_CHECK_INBOX)) return true;
                                                 shown = text(dialog, IDC_CHECK_INBOX_RESULT);
                                                 click(dialog, IDCANCEL);
                                                 return false;
                                             },
                                             kMaxTicks));
        if (test.rightPassword) {
            EXPECT_EQ(shown, "Logged in: the inbox holds 1 mail");
        } else {
            EXPECT_EQ(shown, "Inbox not read: localhost:" + std::to_string(imap.server.port) +
                                 " at LOGIN: Authentication failed.");
        }
        lab.stop(imap.server);
    }
}
