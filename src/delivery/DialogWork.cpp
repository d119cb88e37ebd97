#include "delivery/DialogWork.h"

#include <new>
#include <utility>

namespace {

// How long a cancel waits for the aborted thread before it kills it.
const DWORD kCancelWaitMs = 2000;

}  // namespace

DialogWork::~DialogWork() { cancel(); }

bool DialogWork::start(Work work, HWND window, UINT message) {
    if (running()) return false;
    closeThread();
    work_ = std::move(work);
    window_ = window;
    message_ = message;
    abort_.clear();
    thread_ = CreateThread(nullptr, 0, &DialogWork::run, this, 0, nullptr);
    return thread_ != nullptr;
}

bool DialogWork::running() const { return thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT; }

void DialogWork::cancel() {
    if (!thread_) return;
    abort_.raise();
    if (WaitForSingleObject(thread_, kCancelWaitMs) == WAIT_TIMEOUT) TerminateThread(thread_, 0);
    closeThread();
    MSG posted;
    while (PeekMessageA(&posted, window_, message_, message_, PM_REMOVE)) {
    }
    takeResult();
}

void DialogWork::closeThread() {
    if (!thread_) return;
    CloseHandle(thread_);
    thread_ = nullptr;
}

std::optional<std::string> DialogWork::takeResult() {
    const std::lock_guard<std::mutex> lock(resultGuard_);
    std::optional<std::string> result;
    result.swap(result_);
    return result;
}

DWORD WINAPI DialogWork::run(LPVOID self) {
    DialogWork& work = *static_cast<DialogWork*>(self);
    try {
        std::string result = work.work_(&work.abort_);
        if (work.abort_.raised()) return 0;
        {
            const std::lock_guard<std::mutex> lock(work.resultGuard_);
            work.result_ = std::move(result);
        }
        PostMessageA(work.window_, work.message_, 0, 0);
    } catch (const std::bad_alloc&) {
    }
    return 0;
}
