#include "ui/ResultButton.h"

#include <utility>

ResultButton::ResultButton(HWND dialog, int buttonId, int resultId, UINT resultMessage)
    : dialog_(dialog), buttonId_(buttonId), resultId_(resultId), resultMessage_(resultMessage) {}

void ResultButton::start(DialogWork::Work work, const char* busyText, const char* failedText) {
    if (work_.running()) return;
    if (work_.start(std::move(work), dialog_, resultMessage_)) {
        show(busyText, false);
    } else {
        show(failedText, true);
    }
}

void ResultButton::refuse(const std::string& text) { show(text, true); }

void ResultButton::showResult() {
    if (std::optional<std::string> result = work_.takeResult()) show(*result, true);
}

void ResultButton::show(const std::string& text, bool buttonEnabled) {
    SetDlgItemTextA(dialog_, resultId_, text.c_str());
    const HWND button = GetDlgItem(dialog_, buttonId_);
    // A greyed button cannot keep the keyboard focus.
    if (!buttonEnabled && GetFocus() == button) SendMessageA(dialog_, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(button, buttonEnabled ? TRUE : FALSE);
}
