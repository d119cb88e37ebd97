#pragma once
#include <winsock2.h>
#include <windows.h>

#include <mutex>
#include <optional>
#include <string>

#include "net/AbortSignal.h"
#include "mail/MailJob.h"
#include "push/PushJob.h"

// One test mail, sent on a thread of its own so that the dialog that asked
// for it goes on; what became of it ("Sent: 250 2.0.0 Ok", "Not sent: ...")
// is posted to a window of that dialog's thread.
class TestMail {
public:
    TestMail() = default;
    // Cancels a test mail under way.
    ~TestMail();
    TestMail(const TestMail&) = delete;
    TestMail& operator=(const TestMail&) = delete;

    // Sends the job, keeps what became of it, and then posts the message
    // (with no parameters) to the window. False, sending nothing, while an
    // earlier test mail is under way or when no thread can be made.
    bool start(const MailJob& job, HWND window, UINT message);
    // The same for a test notification ("Sent: ntfy.sh answered 200").
    bool start(const PushJob& job, HWND window, UINT message);
    // On the window's thread: ends a test mail under way and drops its
    // result unread, so that nothing reaches the window afterwards.
    void cancel();
    bool running() const;

    // On the message: the result kept, once; nothing when there is none
    // (a message of that number from anyone else).
    std::optional<std::string> takeResult();

private:
    bool startThread(HWND window, UINT message);
    static DWORD WINAPI run(LPVOID self);
    std::string send();
    void closeThread();

    HANDLE thread_ = nullptr;
    AbortSignal abort_;
    MailJob job_;
    PushJob push_;
    bool isPush_ = false;
    HWND window_ = nullptr;
    UINT message_ = 0;
    std::mutex resultGuard_;
    std::optional<std::string> result_;
};
