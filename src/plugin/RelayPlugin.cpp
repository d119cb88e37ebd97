#include "plugin/RelayPlugin.h"

#include "forward/MessageHandler.h"
#include "mail/FailureText.h"
#include "plugin/FixedField.h"
#include "ui/PrefsPage.h"
#include "ui/resource.h"

namespace {

const char kIdentity[] = "5A1E7C24-90D3-4b7f-8C26-D1F04A9B3E65";
const char kPluginName[] = "IM Tolvaning Plugin";
const char kAuthor[] = "The tolvane developers";
const char kVersion[] = "1.1";
const char kDescription[] = "Forwards IMs to an email address or mobile phone.";
const char kPageName[] = "IM Tolvaning";
const char kPageDescription[] = "Forward IMs to an email address or mobile phone.";

const int32_t kStartUserValue = 0;

// A failure alert looks like the alert of a forwarded message.
const char kAlertStyle[] = "default";
const int32_t kAlertFirstValue = 1;
const int32_t kAlertSecondValue = 0;
const int32_t kAlertThirdValue = 0;

enum PrefsActionValue { kCancel = 0, kApply = 1, kConfirm = 2 };
enum ShowFlag { kHide = 0, kShow = 1 };

}  // namespace

RelayPlugin::RelayPlugin() : PluginBase(kIdentity) { senderRunning = false; }

RelayPlugin::~RelayPlugin() = default;

void RelayPlugin::onLoad() {
    hostLink_.writeInfo(kPluginName, kAuthor, kVersion, kDescription);
    bitmap_ = LoadBitmapA(module_, MAKEINTRESOURCEA(IDB_ENVELOPE));
    settingsDirectory = hostLink_.settingsDirectory();
    settings_.load();
}

void RelayPlugin::onInitialLoad() {}

void RelayPlugin::onUnload() {
    // A host that forgot "stop" must not leave the thread on a queue that is
    // about to be destroyed, nor a callback registered into a freed module.
    if (started_) onStop();
    if (page_) {
        PrefsPage::readBack(page_, settings_);
        PrefsPage::destroy(page_);
    }
    if (bitmap_) {
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
    settings_.save();
}

void RelayPlugin::onFinalUnload() {}

void RelayPlugin::onStart() {
    // A second "start" while started starts nothing more.
    if (started_) return;
    started_ = true;
    initializePrefs(kPageName);
    enableMessageBroadcast(kStartUserValue);
    alertWindow_.create(module_, [this](const FailedAttempt& attempt) { alertFailure(attempt); });
    senderThread_.start(mailQueue_, settingsDirectory, &alertWindow_);
}

void RelayPlugin::onStop() {
    started_ = false;
    senderThread_.stop();
    alertWindow_.destroy();
    disableMessageBroadcast();
}

void RelayPlugin::alertFailure(const FailedAttempt& attempt) {
    if (!settings_.showSystrayAlert) return;
    const std::string text =
        FailureText::alert(attempt.server, attempt.port, attempt.outcome, attempt.mailsDropped);
    setSystrayAlert(text.c_str(), kAlertStyle, kAlertFirstValue, kAlertSecondValue, kAlertThirdValue);
}

void RelayPlugin::onPrefsShow(PrefsShowRecord& record) {
    writeField(record.pluginPageName, kPageName);
    writeField(record.pluginPageDescription, kPageDescription);
    record.bitmap = bitmap_;
    if (record.showFlag == kShow) {
        showPage(record);
    } else if (record.showFlag == kHide && page_) {
        ShowWindow(page_, SW_HIDE);
    }
}

void RelayPlugin::showPage(const PrefsShowRecord& record) {
    if (!page_) {
        page_ = PrefsPage::create(module_, record.parentWindow, record.x, record.y, settings_);
    }
    if (page_) ShowWindow(page_, SW_SHOW);
}

void RelayPlugin::onPrefsAction(const PrefsActionRecord& record) {
    if (!page_) return;
    switch (record.action) {
        case kCancel:
            PrefsPage::destroy(page_);
            break;
        case kApply:
            PrefsPage::readBack(page_, settings_);
            settings_.save();
            break;
        case kConfirm:
            PrefsPage::readBack(page_, settings_);
            settings_.save();
            PrefsPage::destroy(page_);
            break;
        default:
            break;
    }
}

int32_t RelayPlugin::onMessageBroadcast(int32_t, int32_t, const char*, const MessageEvent& event,
                                        int32_t) {
    MessageHandler::handle(*this, event);
    return 0;
}
