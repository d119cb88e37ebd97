#include <gtest/gtest.h>

#include "MailLab.h"
#include "delivery/DialogWork.h"
#include "delivery/TestMail.h"

// A dialog closed while its test mail waits on a silent server ends the mail
// at once, and no result reaches the dialog's window afterwards. (What the
// result says is tested through the dialog's button.)
TEST(TestMail, CancelEndsItWithoutAResult) {
    const UINT kResultMessage = WM_APP + 7;
    MailLab lab;
    const LabServer server = lab.startScript(PeerScript().silent());
    const HWND window =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const MailJob job{server.host, "me@example.org", "you@example.net", "IM: test", "test"};
    DialogWork mail;
    ASSERT_TRUE(mail.start([job](AbortSignal* abort) { return sendTestMail(job, abort); }, window, kResultMessage));
    ASSERT_TRUE(lab.waitForConnections(server, 1));
    EXPECT_TRUE(mail.running());
    const DWORD start = GetTickCount();
    mail.cancel();
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_FALSE(mail.running());
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, window, kResultMessage, kResultMessage, PM_REMOVE));
    DestroyWindow(window);
}
