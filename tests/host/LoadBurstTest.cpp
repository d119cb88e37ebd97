#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ForwardingSettings.h"
#include "LoadScale.h"
#include "MailLab.h"
#include "TestHost.h"

namespace {

// What a host may spend on one broadcast however busy the sender thread is:
// far more than it needs, far less than a stalled client.
const DWORD kBroadcastBoundMs = 1000;
// A stop waits 2000 ms for the sender at most, then has it abort.
const DWORD kStopBoundMs = 3500;

// Kernel handles are multiples of four, given out lowest first; the count
// of those open in the process (Wine answers GetProcessHandleCount with 0).
// Each probe is a wineserver call, so the range stays near what a test
// program uses.
const uintptr_t kHandleStep = 4;
const uintptr_t kHighestHandle = 0x1000;

DWORD handleCount() {
    DWORD count = 0;
    DWORD flags = 0;
    for (uintptr_t value = kHandleStep; value <= kHighestHandle; value += kHandleStep) {
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != 0;
    }
    return count;
}

DWORD threadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    DWORD count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    }
    CloseHandle(snapshot);
    return count;
}

}  // namespace

TEST(LoadBurst, EveryMessageOfABurstArrivesInOrder) {
    MailLab lab;
    const LabServer server = lab.startSmtp();
    TestHost host;
    host.writeSettings(forwardingTo(server.host));
    host.load();
    host.start();

    DWORD longest = 0;
    for (size_t n = 1; n <= kBurstMessages; ++n) {
        const DWORD start = GetTickCount();
        ASSERT_TRUE(host.broadcast("AIM", 1, numbered("ann", n).c_str(), kPrivateMessage,
                                   numbered("message", n).c_str()));
        longest = std::max(longest, GetTickCount() - start);
    }
    EXPECT_LT(longest, kBroadcastBoundMs);
    EXPECT_EQ(host.count("systraySetAlert"), static_cast<int>(kBurstMessages));

    ASSERT_TRUE(lab.waitForMails(server, kBurstMessages, deliveryTimeMs(kBurstMessages)))
        << lab.mails(server).size() << " of " << kBurstMessages << " arrived";
    const std::vector<ReceivedMail> mails = lab.mails(server);
    ASSERT_EQ(mails.size(), kBurstMessages);
    for (size_t n = 1; n <= kBurstMessages; ++n) {
        const ReceivedMail& mail = mails[n - 1];
        EXPECT_EQ(subjectOf(mail.data), "IM: " + numbered("ann", n));
        EXPECT_EQ(bodyOf(mail.data), numbered("message", n));
        EXPECT_EQ(mail.from, kForwardSender);
        EXPECT_EQ(mail.recipients, std::vector<std::string>{kForwardRecipient});
    }
    EXPECT_EQ(lab.connectionCount(server), 1u);
}

// What loading and freeing the DLL alone costs in handles, per time: the
// static C++ runtime keeps a couple of its own on every load.
DWORD handlesPerBareLoad(size_t times) {
    FreeLibrary(LoadLibraryA(builtDllPath().c_str()));
    const DWORD before = handleCount();
    for (size_t n = 0; n < times; ++n) FreeLibrary(LoadLibraryA(builtDllPath().c_str()));
    return (handleCount() - before) / times;
}

// Load, start, one mail, stop and unload, over and over in one process:
// every mail arrives, each stop is prompt, and a life cycle leaves no more
// handles and no more threads behind than loading the DLL alone does.
TEST(LoadBurst, RepeatedLifeCyclesLeaveNothingBehind) {
    MailLab lab;
    const LabServer server = lab.startSmtp();
    const DWORD bareCost = handlesPerBareLoad(kLifeCycles);
    DWORD handlesAfterFirst = 0;
    DWORD threadsAfterFirst = 0;
    for (size_t cycle = 1; cycle <= kLifeCycles; ++cycle) {
        {
            TestHost host;
            host.writeSettings(forwardingTo(server.host));
            host.load();
            host.start();
            ASSERT_TRUE(host.broadcast("AIM", 1, "ann", kPrivateMessage,
                                       numbered("cycle", cycle).c_str()));
            ASSERT_TRUE(lab.waitForMails(server, cycle, deliveryTimeMs(1))) << "cycle " << cycle;
            const DWORD stopStart = GetTickCount();
            host.stop();
            EXPECT_LT(GetTickCount() - stopStart, kStopBoundMs) << "cycle " << cycle;
            host.unload();
        }
        if (cycle == 1) {
            handlesAfterFirst = handleCount();
            threadsAfterFirst = threadCount();
            ASSERT_GT(handlesAfterFirst, 0u);
            ASSERT_GT(threadsAfterFirst, 0u);
        }
    }
    const std::vector<ReceivedMail> mails = lab.mails(server);
    ASSERT_EQ(mails.size(), kLifeCycles);
    for (size_t cycle = 1; cycle <= kLifeCycles; ++cycle) {
        EXPECT_EQ(bodyOf(mails[cycle - 1].data), numbered("cycle", cycle));
    }
    EXPECT_LE(handleCount() - handlesAfterFirst, bareCost * (kLifeCycles - 1));
    EXPECT_LE(threadCount(), threadsAfterFirst);
}
