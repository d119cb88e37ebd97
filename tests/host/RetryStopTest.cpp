#include <gtest/gtest.h>

#include "ForwardingSettings.h"
#include "MailLab.h"
#include "TestHost.h"

// A sender waiting 30 s for its next attempt is not in a drain: the stop
// ends it within about one pass of 100 ms, far from the 2000 ms that a busy
// sender gets.
TEST(RetryStop, StopDuringTheWaitBetweenAttemptsIsFast) {
    MailLab lab;
    const LabServer server = lab.startSmtp({}, 1);
    TestHost host;
    host.writeSettings(forwardingTo(server.host, {{"Retry Minutes", "5"}}));
    host.load();
    host.start();
    ASSERT_TRUE(host.broadcast("AIM", 1, "ann", kPrivateMessage, "kept"));
    ASSERT_TRUE(lab.waitForConnections(server, 1));
    ASSERT_TRUE(waitUntil([&] { return !lab.connections(server)[0].open; }, 5000));

    const DWORD start = GetTickCount();
    host.stop();
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_TRUE(lab.mails(server).empty());
}
