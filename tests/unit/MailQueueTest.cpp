#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "LockHeldElsewhere.h"
#include "delivery/MailQueue.h"

namespace {

// A lock of this test's own, so that parallel tests and the sender threads
// of other test programs never take it.
std::string privateLockName(const char* what) {
    return std::string("tolvane-test-") + what + "-" + std::to_string(GetCurrentProcessId());
}

MailJob job(const std::string& subject) { return MailJob{"server", "a@b", "c@d", subject, "body"}; }

}  // namespace

// The sender thread shows the order of take() and front(); an emptied queue
// is seen only here.
TEST(MailQueue, TakeGivesTheFrontJobWholeAndNothingOnceEmptied) {
    MailQueue queue(privateLockName("fifo").c_str());
    for (const char* subject : {"one", "two", "three"}) queue.enqueue(job(subject));
    const std::optional<DeliveryJob> first = queue.take();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->mail.subject, "one");
    EXPECT_EQ(first->mail.server, "server");
    EXPECT_EQ(first->mail.body, "body");
    queue.discardAll();
    EXPECT_EQ(queue.waiting(), 0u);
    EXPECT_FALSE(queue.take());
}

// Another process holding "ZTSMTPLock" holds up this queue's append until
// it lets go; the append then goes through.
TEST(MailQueue, SharedLockIsTheNamedMutexOfEveryCopy) {
    const DWORD holdMs = 1500;
    MailQueue queue;
    LockHeldElsewhere other("ZTSMTPLock", holdMs);
    ASSERT_TRUE(other.holding());
    const DWORD heldBefore = other.heldFor();
    const DWORD start = GetTickCount();
    queue.enqueue(job("waited"));
    EXPECT_GE(heldBefore + (GetTickCount() - start), holdMs - 200);
    EXPECT_EQ(queue.waiting(), 1u);
}

TEST(QueueLock, AbandonedMutexIsNotTakenAndLetGoAtOnce) {
    QueueLock lock(privateLockName("abandoned").c_str());
    std::thread([&] { ASSERT_TRUE(lock.acquire()); }).join();

    EXPECT_FALSE(lock.acquire());
    // Let go at once: another thread takes it without waiting for it.
    std::thread([&] {
        const DWORD start = GetTickCount();
        EXPECT_TRUE(lock.acquire());
        EXPECT_LT(GetTickCount() - start, 1000u);
        lock.release();
    }).join();
}

TEST(MailQueue, JobIsDroppedWhenTheLockStaysTaken) {
    const std::string name = privateLockName("held");
    MailQueue queue(name.c_str());
    QueueLock holder(name.c_str());
    ASSERT_TRUE(holder.acquire());

    // The lock is another thread's: this one's own would be taken again.
    DWORD waited = 0;
    std::thread([&] {
        const DWORD start = GetTickCount();
        queue.enqueue(job("dropped"));
        waited = GetTickCount() - start;
    }).join();
    holder.release();

    EXPECT_GE(waited, 4500u);
    EXPECT_LT(waited, 6000u);
    EXPECT_EQ(queue.waiting(), 0u);
}
