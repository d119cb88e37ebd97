#include "delivery/TestMail.h"

#include <memory>
#include <new>

#include "delivery/FailureText.h"
#include "mail/MailData.h"
#include "mail/SmtpSession.h"
#include "push/PushDelivery.h"

namespace {

// How long a cancel waits for the aborted thread before it kills it.
const DWORD kCancelWaitMs = 2000;
const char kSent[] = "Sent: ";
const char kNotSent[] = "Not sent: ";

}  // namespace

TestMail::~TestMail() { cancel(); }

bool TestMail::start(const MailJob& job, HWND window, UINT message) {
    if (running()) return false;
    job_ = job;
    isPush_ = false;
    return startThread(window, message);
}

bool TestMail::start(const PushJob& job, HWND window, UINT message) {
    if (running()) return false;
    push_ = job;
    isPush_ = true;
    return startThread(window, message);
}

bool TestMail::startThread(HWND window, UINT message) {
    closeThread();
    window_ = window;
    message_ = message;
    abort_.clear();
    thread_ = CreateThread(nullptr, 0, &TestMail::run, this, 0, nullptr);
    return thread_ != nullptr;
}

bool TestMail::running() const {
    return thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT;
}

void TestMail::cancel() {
    if (!thread_) return;
    abort_.raise();
    if (WaitForSingleObject(thread_, kCancelWaitMs) == WAIT_TIMEOUT) TerminateThread(thread_, 0);
    closeThread();
    MSG posted;
    while (PeekMessageA(&posted, window_, message_, message_, PM_REMOVE)) takeResult(posted.lParam);
}

void TestMail::closeThread() {
    if (!thread_) return;
    CloseHandle(thread_);
    thread_ = nullptr;
}

std::string TestMail::takeResult(LPARAM lParam) {
    const std::unique_ptr<std::string> result(reinterpret_cast<std::string*>(lParam));
    return result ? *result : std::string();
}

DWORD WINAPI TestMail::run(LPVOID self) {
    TestMail& mail = *static_cast<TestMail*>(self);
    try {
        auto result = std::make_unique<std::string>(mail.send());
        if (mail.abort_.raised()) return 0;
        if (PostMessageA(mail.window_, mail.message_, 0, reinterpret_cast<LPARAM>(result.get()))) {
            result.release();
        }
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

std::string TestMail::send() {
    if (isPush_) {
        const PushOutcome outcome = deliverPush(push_, &abort_);
        return (outcome.result == PushResult::Sent ? kSent : kNotSent) + outcome.description;
    }
    SmtpSession session(&abort_);
    const unsigned port = static_cast<unsigned>(portToUse(job_.options));
    const SmtpOutcome opened = session.open(job_.server, MailData::heloDomain(job_.sender), job_.options);
    if (!opened.succeeded) {
        return FailureText::testMailResult(job_.server, port, opened);
    }
    const SmtpOutcome outcome = session.sendMail(job_);
    session.close();
    return FailureText::testMailResult(job_.server, port, outcome);
}
