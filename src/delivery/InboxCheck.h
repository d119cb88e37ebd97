#pragma once
#include <windows.h>

#include <mutex>
#include <string>

#include "imap/ImapOptions.h"
#include "net/AbortSignal.h"

// One check of the IMAP server for "Check Inbox": a login and a SELECT on a
// thread of its own, so that the dialog goes on. When it is done, a message
// without a payload tells the dialog's window, which then takes the result
// from here ("Logged in: the inbox holds 3 mails", "Inbox not read: ...").
class InboxCheck {
public:
    InboxCheck() = default;
    // Cancels a check under way.
    ~InboxCheck();
    InboxCheck(const InboxCheck&) = delete;
    InboxCheck& operator=(const InboxCheck&) = delete;

    // False, checking nothing, while an earlier check is under way or when
    // no thread can be made.
    bool start(const ImapOptions& options, HWND window, UINT message);
    // On the window's thread: ends a check under way and drops its result,
    // so that nothing reaches the window afterwards.
    void cancel();
    bool running() const;
    // The result of the check that ended; empty before.
    std::string takeResult();

private:
    static DWORD WINAPI run(LPVOID self);
    std::string check();
    void closeThread();

    HANDLE thread_ = nullptr;
    AbortSignal abort_;
    ImapOptions options_;
    HWND window_ = nullptr;
    UINT message_ = 0;
    std::mutex guard_;
    std::string result_;
};
