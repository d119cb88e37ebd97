#include "plugin/RelayPlugin.h"

#include <cstddef>
#include <optional>

#include "Version.h"

#include "forward/AwayRule.h"
#include "forward/ForwardPlan.h"
#include "forward/MessageEvent.h"
#include "forward/ReplySettings.h"
#include "mail/MailData.h"
#include "mail/RandomMessageId.h"
#include "delivery/FailureText.h"
#include "delivery/SteadyClock.h"
#include "plugin/FixedField.h"
#include "plugin/PluginModule.h"
#include "text/AnsiText.h"
#include "ui/AdvancedDialog.h"
#include "ui/PrefsPage.h"
#include "ui/resource.h"

namespace {

const char kIdentity[] = "5A1E7C24-90D3-4b7f-8C26-D1F04A9B3E65";
const char kPluginName[] = "IM Tolvaning Plugin";
const char kAuthor[] = "The tolvane developers";
const char kDescription[] = "Forwards IMs to an email address or mobile phone.";
const char kPageName[] = "IM Tolvaning";
const char kPageDescription[] = "Forward IMs to an email address or mobile phone.";

const int32_t kStartUserValue = 0;

const char kAlertStyle[] = "default";
const char kReplySentAlert[] = "IM: your reply was sent to ";
// The three values the host is given with every alert.
const int32_t kAlertFirstValue = 1;
const int32_t kAlertSecondValue = 0;
const int32_t kAlertThirdValue = 0;

enum PrefsActionValue { kCancel = 0, kApply = 1, kConfirm = 2 };
enum ShowFlag { kHide = 0, kShow = 1 };

const int kMinutesPerHour = 60;

int localMinuteOfDay() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour * kMinutesPerHour + now.wMinute;
}

}  // namespace

RelayPlugin::RelayPlugin() : PluginBase(kIdentity) {}

RelayPlugin::~RelayPlugin() = default;

void RelayPlugin::onLoad() {
    hostLink_.writeInfo(kPluginName, kAuthor, TOLVANE_VERSION, kDescription);
    bitmap_ = LoadBitmapA(module_, MAKEINTRESOURCEA(IDB_ENVELOPE));
    settings_.load(hostLink_.settingsDirectory());
    takeRules();
}

void RelayPlugin::takeRules() {
    contactFilter_ = ContactFilter(settings_.contactFilter, settings_.contacts);
    quietHours_ = QuietHours(settings_.quietFrom, settings_.quietTo);
    // A changed cool-down moves the time the gathered messages are due.
    if (started_) sendDueGatherings(tickNow());
    if (started_) pollForReplies();
}

// The poller runs only while replies are on; settings that change while it
// runs reach it at once.
void RelayPlugin::pollForReplies() {
    const ReplyConfig config = replyConfig(settings_);
    if (!config.on) {
        replyPoller_.stop();
    } else if (replyPoller_.started()) {
        replyPoller_.reconfigure(config);
    } else {
        replyPoller_.start(config, hostLink_.settingsDirectory(), &replyHandOver_);
    }
}

void RelayPlugin::onInitialLoad() {}

void RelayPlugin::onUnload() {
    // A host that forgot "stop" must not leave the thread on a queue that is
    // about to be destroyed, nor a callback registered into a freed module.
    // Gathered messages are dropped, not queued to be dropped as mails, so
    // that the log counts the messages.
    const std::size_t gatheredDropped = gatherer_.dropAll();
    if (started_) onStop();
    senderThread_.dropWaiting(gatheredDropped);
    if (page_) {
        // "Advanced Settings" still open over the page ends first, as Cancel.
        AdvancedDialog::cancelOpen();
        PrefsPage::readBack(page_, settings_);
        closePage();
    }
    if (bitmap_) {
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
    settings_.save(hostLink_.settingsDirectory());
}

void RelayPlugin::onFinalUnload() {}

void RelayPlugin::onStart() {
    // A second "start" while started starts nothing more.
    if (started_) return;
    started_ = true;
    initializePrefs(kPageName);
    enableMessageBroadcast(messageBroadcastCallback, kStartUserValue);
    hostThreadWindow_.create(module_);
    gatheringTimer_.create(module_, [this] { sendDueGatherings(tickNow()); });
    senderThread_.start(mailQueue_, hostLink_.settingsDirectory(), &failureHandOver_);
    pollForReplies();
}

void RelayPlugin::onStop() {
    started_ = false;
    replyPoller_.stop();
    senderThread_.stop();
    gatheringTimer_.destroy();
    // Queued at once, not sent: the next start sends them.
    for (const GatheredMessages& gathered : gatherer_.takeAll()) queueGathering(gathered);
    hostThreadWindow_.destroy();
    disableMessageBroadcast();
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
        page_ = addDialog(IDD_PREFS_PAGE, record.parentWindow, PrefsPage::procedure);
        if (page_) PrefsPage::place(page_, record.x, record.y, settings_);
    }
    if (page_) ShowWindow(page_, SW_SHOW);
}

void RelayPlugin::closePage() {
    if (!page_) return;
    AdvancedDialog::cancelOpen();
    removeDialog(page_);
    page_ = nullptr;
}

void RelayPlugin::onPrefsAction(const PrefsActionRecord& record) {
    if (!page_) return;
    switch (record.action) {
        case kCancel:
            closePage();
            break;
        case kApply:
            PrefsPage::readBack(page_, settings_);
            settings_.save(hostLink_.settingsDirectory());
            takeRules();
            break;
        case kConfirm:
            PrefsPage::readBack(page_, settings_);
            settings_.save(hostLink_.settingsDirectory());
            takeRules();
            closePage();
            break;
        default:
            break;
    }
}

int32_t RelayPlugin::onMessageBroadcast(int32_t, int32_t, const char*, const MessageEvent& event,
                                        int32_t) {
    std::optional<ForwardText> passed = filterForward(settings_, event);
    if (!passed) return 0;
    if (!contactFilter_.passes(event.name) || quietHours_.covers(localMinuteOfDay())) return 0;
    // Asked last, so that only a message that would go out costs the calls.
    if (!forwardsNow(settings_.awayMinutes, presenceProbe_)) return 0;
    // What is due goes first, so that a contact's messages keep their order.
    const uint64_t now = tickNow();
    sendDueGatherings(now);
    if (!gatherer_.arrive(event.name, event.medium, event.connection, passed->text, now,
                          cooldownMilliseconds(settings_.cooldownMinutes))) {
        armGatheringTimer(now);
        return 0;
    }
    ForwardPlan plan = planForward(settings_, event, std::move(*passed), AnsiText::toUtf8);
    if (plan.mails.empty()) return 0;
    // One taking of the queue's lock for all parts of the message; mails that
    // could not be queued were not forwarded, so neither the alert nor the
    // reply may say they were.
    if (!enqueueRemembered(queuedJobsOf(plan), ReplyTarget{event.medium, event.connection, event.name})) {
        return 0;
    }
    if (plan.raiseAlert) raiseAlert(plan.alertText);
    if (plan.sendReply) {
        sendMessage(event.medium.c_str(), event.connection, event.name.c_str(), settings_.reply.c_str());
    }
    return 0;
}

void RelayPlugin::sendDueGatherings(uint64_t nowMs) {
    const uint64_t cooldownMs = cooldownMilliseconds(settings_.cooldownMinutes);
    for (const GatheredMessages& gathered : gatherer_.takeDue(nowMs, cooldownMs)) queueGathering(gathered);
    armGatheringTimer(nowMs);
}

void RelayPlugin::armGatheringTimer(uint64_t nowMs) {
    const std::optional<uint64_t> next = gatherer_.nextDueMs(cooldownMilliseconds(settings_.cooldownMinutes));
    if (!next) {
        gatheringTimer_.disarm();
        return;
    }
    gatheringTimer_.arm(static_cast<uint32_t>(*next > nowMs ? *next - nowMs : 0));
}

uint64_t RelayPlugin::tickNow() {
    const uint32_t tick = GetTickCount();
    ticks_ += static_cast<uint32_t>(tick - lastTick_);
    lastTick_ = tick;
    return ticks_;
}

void RelayPlugin::queueGathering(const GatheredMessages& gathered) {
    ForwardPlan plan = planGathered(settings_, gathered, AnsiText::toUtf8);
    if (plan.mails.empty()) return;
    enqueueRemembered(queuedJobsOf(plan), ReplyTarget{gathered.medium, gathered.connection, gathered.name});
}

bool RelayPlugin::enqueueRemembered(std::vector<DeliveryJob>&& jobs, const ReplyTarget& target) {
    if (!repliesOn(settings_)) return mailQueue_.enqueueAll(std::move(jobs));
    std::vector<std::string> ids;
    for (DeliveryJob& job : jobs) {
        job.mail.messageId = newMessageId(MailData::heloDomain(job.mail.sender));
        ids.push_back(job.mail.messageId);
    }
    if (!mailQueue_.enqueueAll(std::move(jobs))) return false;
    for (const std::string& id : ids) replyBook_.remember(id, target, steadyMilliseconds());
    return true;
}

void RelayPlugin::sendReply(const ReplyDelivery& reply) {
    sendMessage(reply.target.medium.c_str(), reply.target.connection, reply.target.name.c_str(),
                reply.text.c_str());
    if (settings_.showSystrayAlert) raiseAlert(kReplySentAlert + reply.target.name);
}

std::vector<DeliveryJob> RelayPlugin::queuedJobsOf(ForwardPlan& plan) const {
    std::vector<DeliveryJob> jobs = jobsOf(settings_, plan);
    for (DeliveryJob& job : jobs) job.mail.options.limits = timeLimits_;
    return jobs;
}

void RelayPlugin::raiseAlert(const std::string& text) {
    setSystrayAlert(text.c_str(), kAlertStyle, kAlertFirstValue, kAlertSecondValue, kAlertThirdValue);
}

void RelayPlugin::alertFailure(const FailedAttempt& attempt) {
    if (settings_.showSystrayAlert) raiseAlert(FailureText::alert(attempt));
}
