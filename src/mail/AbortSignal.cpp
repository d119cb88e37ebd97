#include "mail/AbortSignal.h"

AbortSignal::AbortSignal() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

AbortSignal::~AbortSignal() {
    if (event_) CloseHandle(event_);
}

void AbortSignal::raise() {
    raised_ = true;
    if (event_) SetEvent(event_);
    std::lock_guard<std::mutex> lock(guard_);
    if (watched_ != INVALID_SOCKET) shutdown(watched_, SD_BOTH);
}

void AbortSignal::clear() {
    std::lock_guard<std::mutex> lock(guard_);
    raised_ = false;
    if (event_) ResetEvent(event_);
    watched_ = INVALID_SOCKET;
}

void AbortSignal::pause(DWORD milliseconds) {
    if (raised_) return;
    if (event_) {
        WaitForSingleObject(event_, milliseconds);
    } else {
        Sleep(milliseconds);
    }
}

void AbortSignal::watch(SOCKET socket) {
    std::lock_guard<std::mutex> lock(guard_);
    watched_ = socket;
    if (raised_ && socket != INVALID_SOCKET) shutdown(socket, SD_BOTH);
}

void AbortSignal::unwatch() {
    std::lock_guard<std::mutex> lock(guard_);
    watched_ = INVALID_SOCKET;
}
