#include <gtest/gtest.h>

#include <string>

#include "mail/MailQueue.h"

namespace {

// A lock of this test's own, so that parallel tests and the sender threads
// of other test programs never take it.
std::string privateLockName(const char* what) {
    return std::string("tolvane-test-") + what + "-" + std::to_string(GetCurrentProcessId());
}

MailJob job(const std::string& subject) { return MailJob{"server", "a@b", "c@d", subject, "body"}; }

DWORD WINAPI takeAndEnd(LPVOID lock) {
    static_cast<QueueLock*>(lock)->acquire();
    return 0;
}

struct TimedEnqueue {
    MailQueue* queue;
    DWORD waited;
};

DWORD WINAPI enqueueTimed(LPVOID context) {
    TimedEnqueue* timed = static_cast<TimedEnqueue*>(context);
    const DWORD start = GetTickCount();
    timed->queue->enqueue(job("dropped"));
    timed->waited = GetTickCount() - start;
    return 0;
}

HANDLE runThread(LPTHREAD_START_ROUTINE routine, void* context) {
    return CreateThread(nullptr, 0, routine, context, 0, nullptr);
}

}  // namespace

TEST(MailQueue, FirstInFirstOut) {
    MailQueue queue(privateLockName("fifo").c_str());
    queue.enqueue(job("one"));
    queue.enqueue(job("two"));
    EXPECT_EQ(queue.waiting(), 2u);
    ASSERT_TRUE(queue.front());
    EXPECT_EQ(queue.front()->subject, "one");
    EXPECT_EQ(queue.waiting(), 2u);
    EXPECT_EQ(queue.take()->subject, "one");
    const MailJob second = queue.dequeue();
    EXPECT_EQ(second.subject, "two");
    EXPECT_EQ(second.server, "server");
    EXPECT_EQ(second.body, "body");

    const MailJob none = queue.dequeue();
    EXPECT_TRUE(none.server.empty() && none.sender.empty() && none.recipient.empty() &&
                none.subject.empty() && none.body.empty());
    EXPECT_FALSE(queue.take());
    EXPECT_FALSE(queue.front());
}

TEST(MailQueue, DiscardAllDropsEveryWaitingJob) {
    MailQueue queue(privateLockName("discard").c_str());
    for (const char* subject : {"one", "two", "three"}) queue.enqueue(job(subject));
    queue.discardAll();
    EXPECT_EQ(queue.waiting(), 0u);
    queue.enqueue(job("four"));
    EXPECT_EQ(queue.dequeue().subject, "four");
}

TEST(MailQueue, SharesTheNamedMutexWithOtherCopies) {
    MailQueue queue;
    const HANDLE shared = OpenMutexA(SYNCHRONIZE, FALSE, "ZTSMTPLock");
    EXPECT_NE(shared, nullptr);
    if (shared) CloseHandle(shared);
}

TEST(QueueLock, AbandonedMutexIsNotTakenAndLetGoAtOnce) {
    QueueLock lock(privateLockName("abandoned").c_str());
    const HANDLE thread = runThread(takeAndEnd, &lock);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);

    EXPECT_FALSE(lock.acquire());
    ASSERT_TRUE(lock.acquire());
    lock.release();
}

TEST(MailQueue, JobIsDroppedWhenTheLockStaysTaken) {
    const std::string name = privateLockName("held");
    MailQueue queue(name.c_str());
    QueueLock holder(name.c_str());
    ASSERT_TRUE(holder.acquire());

    TimedEnqueue timed{&queue, 0};
    const HANDLE thread = runThread(enqueueTimed, &timed);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    holder.release();

    EXPECT_GE(timed.waited, 4500u);
    EXPECT_LT(timed.waited, 6000u);
    EXPECT_EQ(queue.waiting(), 0u);
}
