#include "ui/InboxCheckButton.h"

namespace {

const char kChecking[] = "Checking...";
const char kNotChecked[] = "Inbox not read: ";
const char kNoThread[] = "Inbox not read: the check could not be started";

}  // namespace

InboxCheckButton::InboxCheckButton(HWND dialog, int buttonId, int resultId)
    : dialog_(dialog), buttonId_(buttonId), resultId_(resultId) {}

void InboxCheckButton::check(const ImapOptions& options) {
    if (check_.running()) return;
    if (check_.start(options, dialog_, kResultMessage)) {
        show(kChecking, false);
    } else {
        show(kNoThread, true);
    }
}

void InboxCheckButton::refuse(const std::string& reason) { show(kNotChecked + reason, true); }

void InboxCheckButton::showResult() {
    const std::string result = check_.takeResult();
    // A message from elsewhere finds no result and changes nothing.
    if (!result.empty()) show(result, true);
}

void InboxCheckButton::show(const std::string& text, bool buttonEnabled) {
    SetDlgItemTextA(dialog_, resultId_, text.c_str());
    const HWND button = GetDlgItem(dialog_, buttonId_);
    // A greyed button cannot keep the keyboard focus.
    if (!buttonEnabled && GetFocus() == button) SendMessageA(dialog_, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(button, buttonEnabled ? TRUE : FALSE);
}
