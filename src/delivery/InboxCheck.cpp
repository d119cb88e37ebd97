#include "delivery/InboxCheck.h"

#include <new>

#include "imap/ImapSession.h"

namespace {

// How long a cancel waits for the aborted thread before it kills it.
const DWORD kCancelWaitMs = 2000;

std::string where(const ImapOptions& options) {
    return options.server + ":" + std::to_string(imapPortToUse(options));
}

}  // namespace

InboxCheck::~InboxCheck() { cancel(); }

bool InboxCheck::start(const ImapOptions& options, HWND window, UINT message) {
    if (running()) return false;
    closeThread();
    options_ = options;
    window_ = window;
    message_ = message;
    abort_.clear();
    thread_ = CreateThread(nullptr, 0, &InboxCheck::run, this, 0, nullptr);
    return thread_ != nullptr;
}

bool InboxCheck::running() const { return thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT; }

void InboxCheck::cancel() {
    if (!thread_) return;
    abort_.raise();
    if (WaitForSingleObject(thread_, kCancelWaitMs) == WAIT_TIMEOUT) TerminateThread(thread_, 0);
    closeThread();
    MSG posted;
    while (PeekMessageA(&posted, window_, message_, message_, PM_REMOVE)) {
    }
    takeResult();
}

std::string InboxCheck::takeResult() {
    const std::lock_guard<std::mutex> lock(guard_);
    std::string result;
    result.swap(result_);
    return result;
}

void InboxCheck::closeThread() {
    if (!thread_) return;
    CloseHandle(thread_);
    thread_ = nullptr;
}

DWORD WINAPI InboxCheck::run(LPVOID self) {
    InboxCheck& check = *static_cast<InboxCheck*>(self);
    try {
        std::string result = check.check();
        if (check.abort_.raised()) return 0;
        {
            const std::lock_guard<std::mutex> lock(check.guard_);
            check.result_ = std::move(result);
        }
        PostMessageA(check.window_, check.message_, 0, 0);
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

std::string InboxCheck::check() {
    ImapSession session(&abort_);
    ImapOutcome outcome = session.open(options_);
    uint32_t mails = 0;
    if (outcome.succeeded) outcome = session.selectInbox(mails);
    session.close();
    if (!outcome.succeeded) {
        return "Inbox not read: " + where(options_) + " at " + imapStageName(outcome.stage) +
               (outcome.detail.empty() ? std::string() : ": " + outcome.detail);
    }
    return "Logged in: the inbox holds " + std::to_string(mails) + (mails == 1 ? " mail" : " mails");
}
