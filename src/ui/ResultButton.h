#pragma once
#include <windows.h>

#include <string>

#include "delivery/DialogWork.h"

// A button of a dialog that starts work on a thread of its own ("Send Test
// Mail", "Check Inbox"), and the text beside it that shows the result. The
// dialog goes on meanwhile; the button waits greyed until the result is
// known.
class ResultButton {
public:
    // resultMessage tells the dialog a result is waiting; it carries
    // nothing. Work under way when the button is destroyed with its dialog
    // is abandoned unreported.
    ResultButton(HWND dialog, int buttonId, int resultId, UINT resultMessage);

    // On a click: the busy text ("Sending...") and the work started; the
    // failed text when no thread can be made.
    void start(DialogWork::Work work, const char* busyText, const char* failedText);
    // Shows why there is nothing to do.
    void refuse(const std::string& text);
    // On the result message: the result shown, the button usable again;
    // nothing when no result is waiting.
    void showResult();

private:
    void show(const std::string& text, bool buttonEnabled);

    HWND dialog_;
    int buttonId_;
    int resultId_;
    UINT resultMessage_;
    DialogWork work_;
};
