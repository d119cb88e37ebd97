#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "MailLab.h"
#include "PageHarness.h"
#include "forward/CarrierTable.h"
#include "ui/resource.h"

using DialogDriver::click;
using DialogDriver::enabled;
using DialogDriver::text;
using DialogDriver::type;

namespace {

// Long enough for a test mail to a lab peer.
const int kMaxTicks = 400;
const char kNoListener[] = "2525";

struct TestMailCase {
    const char* name;
    std::function<LabServer(MailLab&)> server;
    const char* result;  // the start of it; "%s" stands for the server
};

const TestMailCase kCases[] = {
    {"Delivered", [](MailLab& lab) { return lab.startSmtp(); }, "Sent: 250 "},
    {"RefusedRecipient",
     [](MailLab& lab) { return lab.startSmtp({phoneGatewayAddress("(555) 123-4567", "USA: Sprint PCS")}); },
     "Not sent: %s refused the recipient (550)"},
    {"Unreachable", [](MailLab& lab) { return lab.unreachable(); },
     "Not sent: could not connect to %s:25 (connection refused)"},
};

// Clicks "Send Test Mail" in dialog 106 opened over the page, and gives back
// what the dialog showed once the mail's fate was known. The saved port has
// no listener: only the port typed into the dialog, not yet applied, reaches
// the server.
std::string sendTestMail(const PageHarness& harness) {
    std::string shown;
    const bool ended = DialogDriver::driveModal(
        [&] { click(harness.page(), IDC_ADVANCED); },
        [&](HWND dialog, int tick) {
            if (!dialog) return true;
            if (text(dialog, IDC_TEST_MAIL_RESULT).empty()) {
                type(dialog, IDC_PORT, "25");
                click(dialog, IDC_SEND_TEST_MAIL);
                EXPECT_EQ(text(dialog, IDC_TEST_MAIL_RESULT), "Sending...");
                EXPECT_FALSE(enabled(dialog, IDC_SEND_TEST_MAIL));
                return true;
            }
            if (!enabled(dialog, IDC_SEND_TEST_MAIL)) return true;
            shown = text(dialog, IDC_TEST_MAIL_RESULT);
            click(dialog, IDCANCEL);
            return false;
        },
        kMaxTicks);
    EXPECT_TRUE(ended);
    return shown;
}

}  // namespace

// One short mail to the destination the page shows (here the phone's
// gateway), through the mail server on screen; the dialog goes on while it
// waits and then shows what became of the mail.
TEST(TestMailButton, SendsThroughTheValuesOnScreenAndShowsTheOutcome) {
    MailLab lab;
    for (const TestMailCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const LabServer server = c.server(lab);
        Settings settings = fullSettings();
        settings.smtpServer = server.host;
        settings.fromAddress = "relay@example.org";
        settings.smtpPort = std::stoi(kNoListener);
        PageHarness harness(settings);

        std::string expected = c.result;
        const size_t at = expected.find("%s");
        if (at != std::string::npos) expected.replace(at, 2, server.host);
        EXPECT_EQ(sendTestMail(harness).substr(0, expected.size()), expected);
        EXPECT_EQ(harness.readBack().smtpPort, std::stoi(kNoListener)) << "the dialog was cancelled";
        if (expected.rfind("Sent", 0) != 0) continue;
        ASSERT_TRUE(lab.waitForMails(server, 1));
        const ReceivedMail mail = lab.mails(server)[0];
        EXPECT_EQ(mail.from, "relay@example.org");
        EXPECT_EQ(mail.recipients, std::vector<std::string>{phoneGatewayAddress(settings.phoneNumber, settings.provider)});
    }
}

// With push chosen on the page the button says so and sends one
// notification to the URL on the page, through the CA on screen.
TEST(TestMailButton, WithPushChosenSendsATestNotification) {
    MailLab lab;
    const struct {
        const char* kind;
        int status;
        const char* result;
    } cases[] = {
        {"ntfy", 200, "Sent: ntfy.sh answered 200"},
        {"telegram", 400, "Not sent: api.telegram.org answered 400 (Bad Request: chat not found)"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.kind);
        PushServiceOptions options;
        options.answers = {{test.status, -1}};
        const PushService service = lab.startPush(test.kind, options);
        Settings settings = fullSettings();
        settings.forwardType = kForwardToPush;
        settings.pushUrl = service.url;
        settings.trustedCaFile = lab.caFile();
        PageHarness harness(settings);
        std::string label;
        DialogDriver::driveModal([&] { click(harness.page(), IDC_ADVANCED); },
                                 [&](HWND dialog, int) {
                                     if (dialog) label = text(dialog, IDC_SEND_TEST_MAIL);
                                     if (dialog) click(dialog, IDCANCEL);
                                     return !dialog;
                                 });
        EXPECT_EQ(label, "Send Test Push");
        EXPECT_EQ(sendTestMail(harness), test.result);
        ASSERT_EQ(lab.pushed(service).size(), 1u);
        EXPECT_NE(lab.pushed(service)[0].body.find("IM: test notification"), std::string::npos);
    }
}
