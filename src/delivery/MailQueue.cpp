#include "delivery/MailQueue.h"

#include <new>

namespace {

const char kMutexName[] = "ZTSMTPLock";
const DWORD kLockWaitMs = 5000;

// Holds the queue's lock for one access when it could be taken.
class HeldLock {
public:
    explicit HeldLock(QueueLock& lock) : lock_(lock), taken_(lock.acquire()) {}
    ~HeldLock() {
        if (taken_) lock_.release();
    }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
    bool taken() const { return taken_; }

private:
    QueueLock& lock_;
    bool taken_;
};

}  // namespace

QueueLock::QueueLock() : QueueLock(kMutexName) {}

QueueLock::QueueLock(const char* name)
    : timeoutMs_(kLockWaitMs), mutex_(CreateMutexA(nullptr, FALSE, name)) {}

QueueLock::~QueueLock() {
    if (mutex_) CloseHandle(mutex_);
}

bool QueueLock::acquire() {
    const DWORD result = WaitForSingleObject(mutex_, timeoutMs_);
    if (result == WAIT_OBJECT_0) return true;
    // The wait made this thread the owner of a mutex whose holder died in the
    // middle of its work; it must not keep it.
    if (result == WAIT_ABANDONED) ReleaseMutex(mutex_);
    return false;
}

void QueueLock::release() { ReleaseMutex(mutex_); }

void MailQueue::enqueue(const DeliveryJob& job) {
    try {
        enqueueAll({job});
    } catch (const std::bad_alloc&) {
        // A mail that cannot even be copied is dropped without a word.
    }
}

bool MailQueue::enqueueAll(std::vector<DeliveryJob>&& jobs) {
    HeldLock held(lock_);
    if (!held.taken()) return false;
    try {
        for (DeliveryJob& job : jobs) jobs_.push_back(std::move(job));
    } catch (const std::bad_alloc&) {
        // What could not be queued is dropped; what was queued goes out.
    }
    return true;
}

std::size_t MailQueue::discardAll() {
    HeldLock held(lock_);
    if (!held.taken()) return 0;
    const std::size_t count = jobs_.size();
    jobs_.clear();
    return count;
}

std::optional<DeliveryJob> MailQueue::take() {
    return takeIf([](const DeliveryJob&) { return true; });
}

std::optional<DeliveryJob> MailQueue::takeIf(const std::function<bool(const DeliveryJob&)>& belongs) {
    HeldLock held(lock_);
    if (!held.taken() || jobs_.empty() || !belongs(jobs_.front())) return std::nullopt;
    DeliveryJob job = std::move(jobs_.front());
    jobs_.pop_front();
    return job;
}

std::optional<DeliveryJob> MailQueue::front() {
    HeldLock held(lock_);
    if (!held.taken() || jobs_.empty()) return std::nullopt;
    return jobs_.front();
}

std::optional<std::size_t> MailQueue::waiting() {
    HeldLock held(lock_);
    if (!held.taken()) return std::nullopt;
    return jobs_.size();
}
