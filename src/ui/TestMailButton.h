#pragma once
#include <windows.h>

#include <string>

#include "mail/MailJob.h"
#include "delivery/TestMail.h"

// The "Send Test Mail" button of a dialog and the text beside it that shows
// what became of the mail. The dialog goes on while the mail is under way;
// the button waits greyed until the result is known.
class TestMailButton {
public:
    // The message that brings the result to the dialog.
    static const UINT kResultMessage = WM_APP + 3;

    TestMailButton(HWND dialog, int buttonId, int resultId);

    // On a click: "Sending..." and the mail (or notification) sent on a
    // thread of its own.
    void send(const MailJob& job);
    void send(const PushJob& job);
    // Shows why there is nothing to send.
    void refuse(const std::string& reason);
    // On kResultMessage: the result shown, the button usable again.
    void showResult(LPARAM result);
    // When the dialog closes: a mail under way is abandoned unreported.
    void cancel();

private:
    template <typename Job>
    void start(const Job& job);
    void show(const std::string& text, bool buttonEnabled);

    HWND dialog_;
    int buttonId_;
    int resultId_;
    TestMail mail_;
};
