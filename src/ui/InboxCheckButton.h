#pragma once
#include <windows.h>

#include <string>

#include "delivery/InboxCheck.h"

// The "Check Inbox" button of a dialog and the text beside it that shows
// what the check found. The dialog goes on meanwhile; the button waits
// greyed until the result is known.
class InboxCheckButton {
public:
    // The message that tells the dialog a result is there; it carries none.
    static const UINT kResultMessage = WM_APP + 4;

    InboxCheckButton(HWND dialog, int buttonId, int resultId);

    // On a click: "Checking..." and the check on a thread of its own.
    void check(const ImapOptions& options);
    // Shows why there is nothing to check.
    void refuse(const std::string& reason);
    // On kResultMessage: the result shown, the button usable again.
    void showResult();

private:
    void show(const std::string& text, bool buttonEnabled);

    HWND dialog_;
    int buttonId_;
    int resultId_;
    InboxCheck check_;
};
