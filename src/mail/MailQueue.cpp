#include "mail/MailQueue.h"

// Placeholder until the mail transport lands: nothing is queued.
QueueLock::QueueLock() : timeoutMs_(5000), mutex_(nullptr) {}
QueueLock::~QueueLock() {}
bool QueueLock::acquire() { return false; }
void QueueLock::release() {}

void MailQueue::enqueue(const MailJob&) {}
MailJob MailQueue::dequeue() { return MailJob(); }
void MailQueue::discardAll() {}
