#include "ui/AdvancedDialog.h"

#include <algorithm>

#include "mail/SmtpOptions.h"
#include "settings/SettingsValues.h"
#include "ui/resource.h"

namespace {

// As on the page: at most 1023 characters of an edit are taken.
const int kTextBufferSize = 1024;
const char* const kSecurityNames[] = {"None", "STARTTLS", "TLS"};
const int kSecurityCount = sizeof kSecurityNames / sizeof kSecurityNames[0];
// "Retry for [ ] minutes" takes at most a day.
const int32_t kLongestRetryMinutes = 1440;

// The one dialog open at a time, for cancelOpen.
HWND openDialog = nullptr;

LRESULT sendTo(HWND dialog, int control, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(GetDlgItem(dialog, control), message, wParam, lParam);
}

void setText(HWND dialog, int control, const std::string& text) {
    SetDlgItemTextA(dialog, control, text.c_str());
}

std::string readText(HWND dialog, int control) {
    char buffer[kTextBufferSize] = {};
    GetDlgItemTextA(dialog, control, buffer, kTextBufferSize);
    return buffer;
}

int selectedSecurity(HWND dialog) {
    const LRESULT position = sendTo(dialog, IDC_SECURITY, CB_GETCURSEL, 0, 0);
    return position >= 0 && position < kSecurityCount ? static_cast<int>(position) : 0;
}

std::string usualPortText(int security) {
    return SettingsValues::formatNumber(usualPort(securityFromNumber(security)));
}

void fill(HWND dialog, const MailServerFields& fields) {
    for (const char* name : kSecurityNames) {
        sendTo(dialog, IDC_SECURITY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    const int security = static_cast<int>(securityFromNumber(fields.security));
    sendTo(dialog, IDC_SECURITY, CB_SETCURSEL, security, 0);
    SetWindowLongPtrA(dialog, GWLP_USERDATA, security);
    const bool usual = fields.port <= 0 || fields.port > kLargestPort;
    setText(dialog, IDC_PORT, usual ? usualPortText(security) : SettingsValues::formatNumber(fields.port));
    setText(dialog, IDC_USER, fields.user);
    setText(dialog, IDC_PASSWORD, fields.password);
    setText(dialog, IDC_TRUSTED_CA_FILE, fields.trustedCaFile);
    setText(dialog, IDC_RETRY_MINUTES, SettingsValues::formatNumber(fields.retryMinutes));
}

// A port that still shows the usual one follows the security to its new one.
void securityChanged(HWND dialog) {
    const int before = static_cast<int>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    const int now = selectedSecurity(dialog);
    if (readText(dialog, IDC_PORT) == usualPortText(before)) setText(dialog, IDC_PORT, usualPortText(now));
    SetWindowLongPtrA(dialog, GWLP_USERDATA, now);
}

// The usual port, and anything that is no port, is stored as 0.
void readBack(HWND dialog, MailServerFields& fields) {
    fields.security = selectedSecurity(dialog);
    const int32_t port = SettingsValues::parseNumber(readText(dialog, IDC_PORT));
    const bool usual = port == usualPort(securityFromNumber(fields.security));
    fields.port = usual || port <= 0 || port > kLargestPort ? 0 : port;
    fields.user = readText(dialog, IDC_USER);
    fields.password = readText(dialog, IDC_PASSWORD);
    fields.trustedCaFile = readText(dialog, IDC_TRUSTED_CA_FILE);
    // More than a day is a day; anything that is no number, no retries.
    const int32_t minutes = SettingsValues::parseNumber(readText(dialog, IDC_RETRY_MINUTES));
    fields.retryMinutes = minutes < 0 ? 0 : std::min(minutes, kLongestRetryMinutes);
}

}  // namespace

bool AdvancedDialog::run(HINSTANCE module, HWND owner, MailServerFields& fields) {
    return DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_ADVANCED), owner, procedure,
                           reinterpret_cast<LPARAM>(&fields)) == IDOK;
}

void AdvancedDialog::cancelOpen() {
    if (openDialog) EndDialog(openDialog, IDCANCEL);
}

INT_PTR CALLBACK AdvancedDialog::procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            openDialog = dialog;
            fill(dialog, *reinterpret_cast<MailServerFields*>(lParam));
            return TRUE;
        case WM_DESTROY:
            if (openDialog == dialog) openDialog = nullptr;
            return FALSE;
        case WM_COMMAND:
            break;
        default:
            return FALSE;
    }
    const int control = LOWORD(wParam);
    if (control == IDC_SECURITY && HIWORD(wParam) == CBN_SELCHANGE) {
        securityChanged(dialog);
    } else if (control == IDOK) {
        readBack(dialog, *reinterpret_cast<MailServerFields*>(GetWindowLongPtrA(dialog, DWLP_USER)));
        EndDialog(dialog, IDOK);
    } else if (control == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
    } else {
        return FALSE;
    }
    return TRUE;
}
