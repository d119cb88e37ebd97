#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "MailLab.h"
#include "mail/TestMail.h"

namespace {

const UINT kResultMessage = WM_APP + 7;
const DWORD kResultWaitMs = 15000;

// A window of this thread to which the test mail posts its result.
class ResultWindow {
public:
    ResultWindow()
        : window_(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~ResultWindow() { DestroyWindow(window_); }
    HWND handle() const { return window_; }

    // The result text once posted; empty when none came in time.
    std::string result() const {
        MSG message;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kResultWaitMs) {
            if (PeekMessageA(&message, window_, kResultMessage, kResultMessage, PM_REMOVE)) {
                return TestMail::takeResult(message.lParam);
            }
            Sleep(20);
        }
        return std::string();
    }

private:
    HWND window_;
};

struct TestMailCase {
    const char* name;
    std::function<LabServer(MailLab&)> server;
    const char* result;  // the start of it, "%s" for the server
};

const TestMailCase kCases[] = {
    {"Delivered", [](MailLab& lab) { return lab.startSmtp(); }, "Sent: 250 "},
    {"RefusedRecipient", [](MailLab& lab) { return lab.startSmtp({"you@example.net"}); },
     "Not sent: %s refused the recipient (550)"},
    {"Unreachable", [](MailLab& lab) { return lab.unreachable(); },
     "Not sent: could not connect to %s:25 (connection refused)"},
};

}  // namespace

// The result is posted to the window.
TEST(TestMail, PostsWhatBecameOfTheMail) {
    MailLab lab;
    for (const TestMailCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const LabServer server = c.server(lab);
        ResultWindow window;
        TestMail mail;
        ASSERT_TRUE(mail.start(MailJob{server.host, "me@example.org", "you@example.net", "IM: test", "test"},
                               window.handle(), kResultMessage));
        std::string expected = c.result;
        const size_t at = expected.find("%s");
        if (at != std::string::npos) expected.replace(at, 2, server.host);
        EXPECT_EQ(window.result().substr(0, expected.size()), expected);
    }
}

// A dialog closed while its test mail waits on a silent server ends it at
// once, and no result reaches the window afterwards.
TEST(TestMail, CancelEndsItWithoutAResult) {
    MailLab lab;
    const LabServer server = lab.startScript(PeerScript().silent());
    ResultWindow window;
    TestMail mail;
    ASSERT_TRUE(mail.start(MailJob{server.host, "me@example.org", "you@example.net", "IM: test", "test"},
                           window.handle(), kResultMessage));
    ASSERT_TRUE(lab.waitForConnections(server, 1));
    EXPECT_TRUE(mail.running());
    const DWORD start = GetTickCount();
    mail.cancel();
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_FALSE(mail.running());
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, window.handle(), kResultMessage, kResultMessage, PM_REMOVE));
}
