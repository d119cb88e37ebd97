#include "net/AbortSignal.h"

#include "net/Connection.h"

AbortSignal::AbortSignal() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

AbortSignal::~AbortSignal() {
    if (event_) CloseHandle(event_);
}

void AbortSignal::raise() {
    raised_ = true;
    if (event_) SetEvent(event_);
    std::lock_guard<std::mutex> lock(guard_);
    if (watched_) watched_->shutDown();
}

void AbortSignal::clear() {
    std::lock_guard<std::mutex> lock(guard_);
    raised_ = false;
    if (event_) ResetEvent(event_);
    watched_ = nullptr;
}

void AbortSignal::pause(DWORD milliseconds) {
    if (raised_) return;
    if (event_) {
        WaitForSingleObject(event_, milliseconds);
    } else {
        Sleep(milliseconds);
    }
}

void AbortSignal::watch(Connection* connection) {
    std::lock_guard<std::mutex> lock(guard_);
    watched_ = connection;
    if (raised_ && connection) connection->shutDown();
}

void AbortSignal::unwatch() {
    std::lock_guard<std::mutex> lock(guard_);
    watched_ = nullptr;
}
