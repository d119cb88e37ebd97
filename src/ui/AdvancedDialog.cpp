#include "ui/AdvancedDialog.h"

#include <memory>
#include <new>

#include "forward/AwayRule.h"
#include "forward/ContactFilter.h"
#include "forward/ForwardPlan.h"
#include "forward/ReplySettings.h"
#include "mail/SmtpOptions.h"
#include "settings/Settings.h"
#include "settings/SettingsValues.h"
#include "delivery/InboxCheck.h"
#include "delivery/TestMail.h"
#include "ui/CertificateFileDialog.h"
#include "ui/PrefsPage.h"
#include "ui/ResultButton.h"
#include "ui/resource.h"

namespace {

// As on the page: at most 1023 characters of an edit are taken.
const int kTextBufferSize = 1024;
const char* const kSecurityNames[] = {"None", "STARTTLS", "TLS"};
const int kSecurityCount = sizeof kSecurityNames / sizeof kSecurityNames[0];
// "IMAP Security" 1 and 2; there is no plain mode.
const char* const kImapSecurityNames[] = {"STARTTLS", "TLS"};
const int kImapSecurityCount = sizeof kImapSecurityNames / sizeof kImapSecurityNames[0];
const int kFirstImapSecurity = 1;
const char kTestPushLabel[] = "Send Test Push";
// "Retry for [ ] minutes" takes at most a day.
const int32_t kLongestRetryMinutes = 1440;
// So does the cool-down.
const int32_t kLongestCooldownMinutes = 1440;
// In the order of the "Contact Filter" values.
const char* const kContactFilterNames[] = {"Everyone", "Only these contacts", "Everyone but these contacts"};
const int kContactFilterCount = sizeof kContactFilterNames / sizeof kContactFilterNames[0];

// The one dialog open at a time, for cancelOpen; the window it was opened
// over, whose page values a test mail uses (Windows makes the top-level
// window the owner of a dialog opened over a child); and its test mail.
HWND openDialog = nullptr;
HWND pageUnder = nullptr;
// The messages that tell the dialog a button's result is waiting.
const UINT kTestMailResult = WM_APP + 3;
const UINT kInboxCheckResult = WM_APP + 4;
const char kSending[] = "Sending...";
const char kChecking[] = "Checking...";
std::unique_ptr<ResultButton> testMailButton;
std::unique_ptr<ResultButton> inboxCheckButton;

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

// A day or less, else 0 (off), as the settings file reads a value out of range.
int32_t minutesUpToADay(HWND dialog, int control, int32_t longest) {
    const int32_t minutes = SettingsValues::parseNumber(readText(dialog, control));
    return minutes >= 0 && minutes <= longest ? minutes : 0;
}

std::string usualPortText(int security) {
    return SettingsValues::formatNumber(usualPort(securityFromNumber(security)));
}

int selectedImapSecurity(HWND dialog) {
    const LRESULT position = sendTo(dialog, IDC_IMAP_SECURITY, CB_GETCURSEL, 0, 0);
    const int index = position >= 0 && position < kImapSecurityCount ? static_cast<int>(position) : 1;
    return index + kFirstImapSecurity;
}

std::string usualImapPortText(int security) {
    ImapOptions options;
    options.security = imapSecurityFromNumber(security);
    return SettingsValues::formatNumber(imapPortToUse(options));
}

// The port edit that belongs to a security combo box, and how it names the
// usual port of a security.
struct PortOfSecurity {
    int securityId;
    int portId;
    int (*selected)(HWND);
    std::string (*usualText)(int);
};
const PortOfSecurity kPortsOfSecurities[] = {
    {IDC_SECURITY, IDC_PORT, selectedSecurity, usualPortText},
    {IDC_IMAP_SECURITY, IDC_IMAP_PORT, selectedImapSecurity, usualImapPortText},
};

// The security each combo box showed last, to tell a port still at its usual
// value.
int shownSecurity[2] = {0, 0};

void fill(HWND dialog, const AdvancedFields& fields) {
    for (const char* name : kSecurityNames) {
        sendTo(dialog, IDC_SECURITY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    const int security = static_cast<int>(securityFromNumber(fields.security));
    sendTo(dialog, IDC_SECURITY, CB_SETCURSEL, security, 0);
    const bool usual = fields.port <= 0 || fields.port > kLargestPort;
    setText(dialog, IDC_PORT, usual ? usualPortText(security) : SettingsValues::formatNumber(fields.port));
    setText(dialog, IDC_USER, fields.user);
    setText(dialog, IDC_PASSWORD, fields.password);
    setText(dialog, IDC_TRUSTED_CA_FILE, fields.trustedCaFile);
    setText(dialog, IDC_AWAY_MINUTES, SettingsValues::formatNumber(fields.awayMinutes));
    setText(dialog, IDC_RETRY_MINUTES, SettingsValues::formatNumber(fields.retryMinutes));
    setText(dialog, IDC_COOLDOWN_MINUTES, SettingsValues::formatNumber(fields.cooldownMinutes));
    setText(dialog, IDC_QUIET_FROM, fields.quietFrom);
    setText(dialog, IDC_QUIET_TO, fields.quietTo);
    for (const char* name : kContactFilterNames) {
        sendTo(dialog, IDC_CONTACT_FILTER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    const bool known = fields.contactFilter >= 0 && fields.contactFilter < kContactFilterCount;
    sendTo(dialog, IDC_CONTACT_FILTER, CB_SETCURSEL, known ? fields.contactFilter : ContactFilter::kEveryone, 0);
    setText(dialog, IDC_CONTACTS, fields.contacts);
    shownSecurity[0] = security;
    for (const char* name : kImapSecurityNames) {
        sendTo(dialog, IDC_IMAP_SECURITY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    const int imapSecurity = static_cast<int>(imapSecurityFromNumber(fields.imapSecurity));
    sendTo(dialog, IDC_IMAP_SECURITY, CB_SETCURSEL, imapSecurity - kFirstImapSecurity, 0);
    shownSecurity[1] = imapSecurity;
    setText(dialog, IDC_IMAP_SERVER, fields.imapServer);
    const bool usualImap = fields.imapPort <= 0 || fields.imapPort > kLargestPort;
    setText(dialog, IDC_IMAP_PORT,
            usualImap ? usualImapPortText(imapSecurity) : SettingsValues::formatNumber(fields.imapPort));
}

// A port that still shows the usual one follows the security to its new one.
void securityChanged(HWND dialog, int which) {
    const PortOfSecurity& pair = kPortsOfSecurities[which];
    const int now = pair.selected(dialog);
    if (readText(dialog, pair.portId) == pair.usualText(shownSecurity[which])) {
        setText(dialog, pair.portId, pair.usualText(now));
    }
    shownSecurity[which] = now;
}

// The port on screen, stored as 0 when it is the usual one or no port.
int32_t portOnScreen(HWND dialog, int portId, const std::string& usual) {
    const int32_t port = SettingsValues::parseNumber(readText(dialog, portId));
    return port == SettingsValues::parseNumber(usual) || port <= 0 || port > kLargestPort ? 0 : port;
}

// The usual port, and anything that is no port, is stored as 0.
void readBack(HWND dialog, AdvancedFields& fields) {
    fields.security = selectedSecurity(dialog);
    fields.port = portOnScreen(dialog, IDC_PORT, usualPortText(fields.security));
    fields.imapServer = readText(dialog, IDC_IMAP_SERVER);
    fields.imapSecurity = selectedImapSecurity(dialog);
    fields.imapPort = portOnScreen(dialog, IDC_IMAP_PORT, usualImapPortText(fields.imapSecurity));
    fields.user = readText(dialog, IDC_USER);
    fields.password = readText(dialog, IDC_PASSWORD);
    fields.trustedCaFile = readText(dialog, IDC_TRUSTED_CA_FILE);
    // Empty means 0, and so does a number beyond a day, as in the file.
    fields.retryMinutes = minutesUpToADay(dialog, IDC_RETRY_MINUTES, kLongestRetryMinutes);
    fields.cooldownMinutes = minutesUpToADay(dialog, IDC_COOLDOWN_MINUTES, kLongestCooldownMinutes);
    fields.quietFrom = readText(dialog, IDC_QUIET_FROM);
    fields.quietTo = readText(dialog, IDC_QUIET_TO);
    const LRESULT filter = sendTo(dialog, IDC_CONTACT_FILTER, CB_GETCURSEL, 0, 0);
    fields.contactFilter = filter >= 0 && filter < kContactFilterCount ? static_cast<int32_t>(filter)
                                                                         : ContactFilter::kEveryone;
    fields.contacts = readText(dialog, IDC_CONTACTS);
    fields.awayMinutes = awayThresholdMinutes(SettingsValues::parseNumber(readText(dialog, IDC_AWAY_MINUTES)));
}

// The page's values under the dialog's mail server, as they stand on screen.
Settings valuesOnScreen(HWND dialog) {
    Settings values;
    if (pageUnder) PrefsPage::readBack(pageUnder, values);
    AdvancedFields fields;
    readBack(dialog, fields);
    fields.storeInto(values);
    return values;
}

// With push chosen on the page, the button tries the push URL instead.
void sendTestMail(HWND dialog) {
    if (!testMailButton) return;
    const Settings values = valuesOnScreen(dialog);
    if (values.forwardType == kForwardToPush) {
        const PushJob push = testPushJob(values);
        if (push.url.empty()) {
            testMailButton->refuse("Not sent: the page gives no push URL");
        } else {
            testMailButton->start([push](AbortSignal* abort) { return sendTestPush(push, abort); }, kSending,
                                  "Not sent: the notification could not be started");
        }
        return;
    }
    const MailJob job = testMailJob(values);
    if (job.server.empty()) {
        testMailButton->refuse("Not sent: the page names no SMTP server");
    } else if (job.recipient.empty()) {
        testMailButton->refuse("Not sent: the page gives no address to send to");
    } else {
        testMailButton->start([job](AbortSignal* abort) { return sendTestMail(job, abort); }, kSending,
                              "Not sent: the mail could not be started");
    }
}

void checkInbox(HWND dialog) {
    if (!inboxCheckButton) return;
    const ReplyConfig config = replyConfig(valuesOnScreen(dialog));
    if (config.imap.server.empty()) {
        inboxCheckButton->refuse("Inbox not read: no IMAP server is given");
    } else {
        const ImapOptions imap = config.imap;
        inboxCheckButton->start([imap](AbortSignal* abort) { return checkInbox(imap, abort); }, kChecking,
                                "Inbox not read: the check could not be started");
    }
}

void browseTrustedCaFile(HWND dialog) {
    std::string path = readText(dialog, IDC_TRUSTED_CA_FILE);
    if (CertificateFileDialog::choose(dialog, path)) setText(dialog, IDC_TRUSTED_CA_FILE, path);
}

}  // namespace

void AdvancedFields::takeFrom(const Settings& settings) {
    port = settings.smtpPort;
    security = settings.smtpSecurity;
    user = settings.smtpUser;
    password = settings.smtpPassword;
    trustedCaFile = settings.trustedCaFile;
    retryMinutes = settings.retryMinutes;
    awayMinutes = settings.awayMinutes;
    cooldownMinutes = settings.cooldownMinutes;
    quietFrom = settings.quietFrom;
    quietTo = settings.quietTo;
    contactFilter = settings.contactFilter;
    contacts = settings.contacts;
    imapServer = settings.imapServer;
    imapPort = settings.imapPort;
    imapSecurity = settings.imapSecurity;
}

void AdvancedFields::storeInto(Settings& settings) const {
    settings.smtpPort = port;
    settings.smtpSecurity = security;
    settings.smtpUser = user;
    settings.smtpPassword = password;
    settings.trustedCaFile = trustedCaFile;
    settings.retryMinutes = retryMinutes;
    settings.awayMinutes = awayMinutes;
    settings.cooldownMinutes = cooldownMinutes;
    settings.quietFrom = quietFrom;
    settings.quietTo = quietTo;
    settings.contactFilter = contactFilter;
    settings.contacts = contacts;
    settings.imapServer = imapServer;
    settings.imapPort = imapPort;
    settings.imapSecurity = imapSecurity;
}

bool AdvancedDialog::run(HINSTANCE module, HWND owner, AdvancedFields& fields) {
    pageUnder = owner;
    const INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_ADVANCED), owner, procedure,
                                           reinterpret_cast<LPARAM>(&fields));
    pageUnder = nullptr;
    return result == IDOK;
}

void AdvancedDialog::cancelOpen() {
    if (openDialog) EndDialog(openDialog, IDCANCEL);
}

INT_PTR CALLBACK AdvancedDialog::procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            openDialog = dialog;
            testMailButton.reset(new (std::nothrow)
                                     ResultButton(dialog, IDC_SEND_TEST_MAIL, IDC_TEST_MAIL_RESULT, kTestMailResult));
            inboxCheckButton.reset(new (std::nothrow)
                                       ResultButton(dialog, IDC_CHECK_INBOX, IDC_CHECK_INBOX_RESULT, kInboxCheckResult));
            fill(dialog, *reinterpret_cast<AdvancedFields*>(lParam));
            if (valuesOnScreen(dialog).forwardType == kForwardToPush) {
                setText(dialog, IDC_SEND_TEST_MAIL, kTestPushLabel);
            }
            return TRUE;
        case WM_DESTROY:
            if (openDialog == dialog) {
                openDialog = nullptr;
                testMailButton.reset();
                inboxCheckButton.reset();
            }
            return FALSE;
        case kTestMailResult:
            if (testMailButton) testMailButton->showResult();
            return TRUE;
        case kInboxCheckResult:
            if (inboxCheckButton) inboxCheckButton->showResult();
            return TRUE;
        case WM_COMMAND:
            break;
        default:
            return FALSE;
    }
    const int control = LOWORD(wParam);
    if (control == IDC_SECURITY && HIWORD(wParam) == CBN_SELCHANGE) {
        securityChanged(dialog, 0);
    } else if (control == IDC_IMAP_SECURITY && HIWORD(wParam) == CBN_SELCHANGE) {
        securityChanged(dialog, 1);
    } else if (control == IDC_SEND_TEST_MAIL && HIWORD(wParam) == BN_CLICKED) {
        sendTestMail(dialog);
    } else if (control == IDC_CHECK_INBOX && HIWORD(wParam) == BN_CLICKED) {
        checkInbox(dialog);
    } else if (control == IDC_BROWSE_TRUSTED_CA && HIWORD(wParam) == BN_CLICKED) {
        browseTrustedCaFile(dialog);
    } else if (control == IDOK) {
        readBack(dialog, *reinterpret_cast<AdvancedFields*>(GetWindowLongPtrA(dialog, DWLP_USER)));
        EndDialog(dialog, IDOK);
    } else if (control == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
    } else {
        return FALSE;
    }
    return TRUE;
}
