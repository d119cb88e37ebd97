#pragma once
#include <winsock2.h>
#include <windows.h>

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

    // Sends the job and then posts the message to the window, with the
    // result text as the last parameter (see takeResult). False, sending
    // nothing, while an earlier test mail is under way or when no thread
    // can be made.
    bool start(const MailJob& job, HWND window, UINT message);
    // The same for a test notification ("Sent: ntfy.sh answered 200").
    bool start(const PushJob& job, HWND window, UINT message);
    // On the window's thread: ends a test mail under way and drops its
    // result unread, so that nothing reaches the window afterwards.
    void cancel();
    bool running() const;

    // The result text that a posted message carries; call once per message.
    static std::string takeResult(LPARAM lParam);

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
};
