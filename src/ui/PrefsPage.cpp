#include "ui/PrefsPage.h"

#include "forward/CarrierTable.h"
#include "push/PushUrl.h"
#include "settings/Settings.h"
#include "settings/SettingsValues.h"
#include "ui/AboutDialog.h"
#include "ui/AdvancedDialog.h"
#include "ui/ControlGroups.h"
#include "ui/ReadMeDialog.h"
#include "ui/resource.h"

namespace {

// Each edit is read through a buffer of this size, so at most 1023
// characters of it reach the settings.
const int kTextBufferSize = 1024;

struct SwitchField {
    int control;
    bool Settings::*field;
};

struct NumberField {
    int control;
    int32_t Settings::*field;
};

struct TextField {
    int control;
    std::string Settings::*field;
};

// The master switch comes first: fill and readBack treat it like the others.
const SwitchField kSwitches[] = {
    {IDC_FORWARDING_ENABLED, &Settings::forwardingEnabled},
    {IDC_PREFIX_ENABLED, &Settings::prefixEnabled},
    {IDC_CHAR_LIMIT_ENABLED, &Settings::charLimitEnabled},
    {IDC_REPLY_ENABLED, &Settings::replyEnabled},
    {IDC_SHOW_SYSTRAY_ALERT, &Settings::showSystrayAlert},
    {IDC_NAME_IN_BODY, &Settings::nameInBody},
};

const NumberField kNumbers[] = {
    {IDC_CHAR_LIMIT, &Settings::charLimit},
    {IDC_MESSAGE_LIMIT, &Settings::messageLimit},
};

const TextField kTexts[] = {
    {IDC_SMTP_SERVER, &Settings::smtpServer},
    {IDC_FROM_ADDRESS, &Settings::fromAddress},
    {IDC_EMAIL_ADDRESS, &Settings::emailAddress},
    {IDC_PHONE_NUMBER, &Settings::phoneNumber},
    {IDC_TRIGGER_PREFIX, &Settings::triggerPrefix},
    {IDC_REPLY, &Settings::reply},
    {IDC_PUSH_URL, &Settings::pushUrl},
};

// The destinations' radio buttons and their "ForwardType".
struct DestinationButton {
    int control;
    int32_t forwardType;
};

const DestinationButton kDestinations[] = {
    {IDC_FORWARD_EMAIL, kForwardToEmail},
    {IDC_FORWARD_PHONE, kForwardToPhone},
    {IDC_FORWARD_PUSH, kForwardToPush},
};

const char kRefused[] = "Refused: ";

LRESULT sendTo(HWND page, int control, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(GetDlgItem(page, control), message, wParam, lParam);
}

bool isChecked(HWND page, int control) { return IsDlgButtonChecked(page, control) != BST_UNCHECKED; }

void setChecked(HWND page, int control, bool checked) {
    sendTo(page, control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void setText(HWND page, int control, const std::string& text) {
    sendTo(page, control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string readText(HWND page, int control) {
    char buffer[kTextBufferSize] = {};
    sendTo(page, control, WM_GETTEXT, kTextBufferSize, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

void fillProvider(HWND page, const std::string& provider) {
    sendTo(page, IDC_PROVIDER, CB_RESETCONTENT, 0, 0);
    for (const CarrierRow& row : CarrierTable::rows) {
        sendTo(page, IDC_PROVIDER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.label));
    }
    // The list sorts itself into table order, so a row's table position is
    // its position in the list.
    for (size_t position = 0; position < CarrierTable::rows.size(); ++position) {
        if (provider == CarrierTable::rows[position].label) {
            sendTo(page, IDC_PROVIDER, CB_SETCURSEL, position, 0);
        }
    }
}

std::string readProvider(HWND page) {
    LRESULT position = sendTo(page, IDC_PROVIDER, CB_GETCURSEL, 0, 0);
    if (position < 0 || static_cast<size_t>(position) >= CarrierTable::rows.size()) return std::string();
    return CarrierTable::rows[position].label;
}

// The page's copy of the fields that dialog 106 edits, made at the first
// fill and freed with the page.
AdvancedFields* advancedFields(HWND page) {
    auto* fields = reinterpret_cast<AdvancedFields*>(GetWindowLongPtrA(page, DWLP_USER));
    if (!fields) {
        fields = new AdvancedFields();
        SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(fields));
    }
    return fields;
}

void freeAdvancedFields(HWND page) {
    delete reinterpret_cast<AdvancedFields*>(GetWindowLongPtrA(page, DWLP_USER));
    SetWindowLongPtrA(page, DWLP_USER, 0);
}

void fillAdvanced(HWND page, const Settings& settings) {
    advancedFields(page)->takeFrom(settings);
}

void readBackAdvanced(HWND page, Settings& settings) { advancedFields(page)->storeInto(settings); }

void runDialog(HWND page, int control) {
    HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(page, GWLP_HINSTANCE));
    if (control == IDC_ABOUT) AboutDialog::run(module, page);
    if (control == IDC_READ_ME) ReadMeDialog::run(module, page);
    if (control == IDC_ADVANCED) AdvancedDialog::run(module, page, *advancedFields(page));
}

// What the push URL as typed names ("ntfy at ntfy.sh"), or why it is
// refused; nothing while it is empty.
void showPushUrlState(HWND page) {
    const std::string url = readText(page, IDC_PUSH_URL);
    if (url.find_first_not_of(" \t") == std::string::npos) {
        setText(page, IDC_PUSH_URL_STATE, std::string());
        return;
    }
    const PushUrlParse parsed = parsePushUrl(url);
    setText(page, IDC_PUSH_URL_STATE,
            parsed.target ? describeTarget(*parsed.target) : kRefused + parsed.refusal);
}

}  // namespace

INT_PTR CALLBACK PrefsPage::procedure(HWND page, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_DESTROY) freeAdvancedFields(page);
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_PUSH_URL && HIWORD(wParam) == EN_CHANGE) {
        showPushUrlState(page);
        return FALSE;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    int control = LOWORD(wParam);
    if (ControlGroups::isCondition(control)) {
        updateEnabling(page);
    } else {
        runDialog(page, control);
    }
    return FALSE;
}

void PrefsPage::place(HWND page, int x, int y, const Settings& settings) {
    SetWindowPos(page, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    fill(page, settings);
}

void PrefsPage::fill(HWND page, const Settings& settings) {
    for (const DestinationButton& button : kDestinations) {
        setChecked(page, button.control, settings.forwardType == button.forwardType);
    }
    for (const SwitchField& box : kSwitches) setChecked(page, box.control, settings.*box.field);
    for (const NumberField& number : kNumbers) {
        setText(page, number.control, SettingsValues::formatNumber(settings.*number.field));
    }
    fillProvider(page, settings.provider);
    for (const TextField& text : kTexts) setText(page, text.control, settings.*text.field);
    fillAdvanced(page, settings);
    showPushUrlState(page);
    updateEnabling(page);
}

void PrefsPage::readBack(HWND page, Settings& settings) {
    for (const SwitchField& box : kSwitches) settings.*box.field = isChecked(page, box.control);
    // No radio button checked: a "ForwardType" the page cannot show stays.
    for (const DestinationButton& button : kDestinations) {
        if (isChecked(page, button.control)) {
            settings.forwardType = button.forwardType;
            break;
        }
    }
    for (const TextField& text : kTexts) settings.*text.field = readText(page, text.control);
    settings.provider = readProvider(page);
    for (const NumberField& number : kNumbers) {
        settings.*number.field = SettingsValues::parseNumber(readText(page, number.control));
    }
    readBackAdvanced(page, settings);
}

void PrefsPage::updateEnabling(HWND page) {
    auto checked = [page](int control) { return isChecked(page, control); };
    for (const ControlGroup& group : ControlGroups::all()) {
        BOOL enable = ControlGroups::enabled(group, checked) ? TRUE : FALSE;
        for (int control : group.controls) EnableWindow(GetDlgItem(page, control), enable);
    }
}
