#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ForwardingSettings.h"
#include "LockHeldElsewhere.h"
#include "MailLab.h"
#include "TestHost.h"

// Another process holds "ZTSMTPLock" past the 5000 ms that the plug-in's
// sender thread waits for it. Both tests hold the machine-wide mutex for
// seconds, so their names carry "SharedLock" and they run alone.
namespace {

const char kSharedLock[] = "ZTSMTPLock";
const DWORD kLockWaitMs = 5000;
const DWORD kHoldMs = 6500;

class SenderLockTimeOut : public ::testing::Test {
protected:
    void SetUp() override {
        host.writeSettings(forwardingTo(server.host));
        host.load();
        host.start();
    }
    void TearDown() override {
        host.stop();
        host.unload();
        lab.stop(server);
    }

    void send(size_t n) {
        ASSERT_TRUE(host.broadcast("AIM", 1, "ann", kPrivateMessage, numbered("mail", n).c_str()));
    }

    MailLab lab;
    LabServer server = lab.startSmtp();
    TestHost host;
};

}  // namespace

// The drain leaves when it cannot take the lock and closes its session with
// QUIT; the mails left behind go out over a new connection once the lock is
// free again.
TEST_F(SenderLockTimeOut, SharedLockHeldDuringABatchEndsTheDrainAndTheRestGoLater) {
    const size_t count = 6;
    for (size_t n = 1; n <= count; ++n) send(n);
    ASSERT_TRUE(lab.waitForMails(server, 1));
    {
        LockHeldElsewhere other(kSharedLock, kHoldMs);
        ASSERT_TRUE(other.holding());
    }
    ASSERT_TRUE(lab.waitForMails(server, count, 15000));

    const std::vector<LabConnection> connections = lab.connections(server);
    ASSERT_EQ(connections.size(), 2u);
    const LabConnection& first = connections[0];
    ASSERT_GE(first.mails.size(), 1u);
    ASSERT_LT(first.mails.size(), count);
    EXPECT_FALSE(first.open);
    EXPECT_EQ(occurrences(first.transcript, "QUIT\r\n"), 1u);
    const unsigned long long gap = connections[1].mails.front().receivedMs - first.mails.back().receivedMs;
    EXPECT_GE(gap, kLockWaitMs) << "the drain waited for the lock before it left";
    std::vector<std::string> bodies;
    for (const ReceivedMail& mail : lab.mails(server)) bodies.push_back(bodyOf(mail.data));
    std::vector<std::string> expected;
    for (size_t n = 1; n <= count; ++n) expected.push_back(numbered("mail", n));
    EXPECT_EQ(bodies, expected);
}

// An idle thread whose wait runs out skips the pass and tries again; a mail
// queued while the lock is held (the host's thread waits for it) goes out
// once it is free.
TEST_F(SenderLockTimeOut, SharedLockHeldWhileIdleHoldsUpTheMailUntilItIsFree) {
    LockHeldElsewhere other(kSharedLock, kHoldMs);
    ASSERT_TRUE(other.holding());
    Sleep(kHoldMs - kLockWaitMs + 500);
    const DWORD start = GetTickCount();
    send(1);
    EXPECT_GE(GetTickCount() - start, 1000u) << "the append waited for the lock";
    other.waitForRelease();

    ASSERT_TRUE(lab.waitForMails(server, 1, 5000));
    EXPECT_EQ(bodyOf(lab.mails(server)[0].data), numbered("mail", 1));
}
