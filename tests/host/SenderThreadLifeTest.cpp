#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include "TestHost.h"

namespace {

// The threads of this process; the plug-in's sender thread is among them
// between "start" and "stop".
int threadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    }
    CloseHandle(snapshot);
    return count;
}

}  // namespace

TEST(SenderThreadLife, OneThreadBetweenStartAndStop) {
    TestHost host;
    host.load();
    const int before = threadCount();
    ASSERT_GT(before, 0);
    host.start();
    EXPECT_EQ(threadCount(), before + 1);
    host.start();
    EXPECT_EQ(threadCount(), before + 1);
    host.stop();
    EXPECT_EQ(threadCount(), before);
    host.start();
    EXPECT_EQ(threadCount(), before + 1);
    host.stop();
    EXPECT_EQ(threadCount(), before);
}

TEST(SenderThreadLife, UnloadWhileStartedEndsTheThread) {
    TestHost host;
    host.load();
    const int before = threadCount();
    host.start();
    EXPECT_EQ(threadCount(), before + 1);
    host.unload();
    EXPECT_EQ(threadCount(), before);
}
