#include "ui/TestMailButton.h"

namespace {

const char kSending[] = "Sending...";
const char kNotSent[] = "Not sent: ";
const char kNoThread[] = "Not sent: the mail could not be started";

}  // namespace

TestMailButton::TestMailButton(HWND dialog, int buttonId, int resultId)
    : dialog_(dialog), buttonId_(buttonId), resultId_(resultId) {}

void TestMailButton::send(const MailJob& job) { start(job); }

void TestMailButton::send(const PushJob& job) { start(job); }

template <typename Job>
void TestMailButton::start(const Job& job) {
    if (mail_.running()) return;
    if (mail_.start(job, dialog_, kResultMessage)) {
        show(kSending, false);
    } else {
        show(kNoThread, true);
    }
}

void TestMailButton::refuse(const std::string& reason) { show(kNotSent + reason, true); }

void TestMailButton::showResult(LPARAM result) { show(TestMail::takeResult(result), true); }

void TestMailButton::cancel() { mail_.cancel(); }

void TestMailButton::show(const std::string& text, bool buttonEnabled) {
    SetDlgItemTextA(dialog_, resultId_, text.c_str());
    const HWND button = GetDlgItem(dialog_, buttonId_);
    // A greyed button cannot keep the keyboard focus.
    if (!buttonEnabled && GetFocus() == button) SendMessageA(dialog_, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(button, buttonEnabled ? TRUE : FALSE);
}
