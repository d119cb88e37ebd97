#include "mail/SenderThread.h"

std::atomic<bool> senderRunning{false};

// Placeholder until the mail transport lands: no thread is started.
SenderThread::~SenderThread() {}
void SenderThread::start(MailQueue&) { senderRunning = true; }
void SenderThread::stop() { senderRunning = false; }
