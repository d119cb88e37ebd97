#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "delivery/MailQueue.h"
#include "delivery/ReplyBook.h"
#include "delivery/ReplyPoller.h"
#include "delivery/SenderThread.h"
#include "forward/ContactFilter.h"
#include "forward/CooldownGatherer.h"
#include "forward/QuietHours.h"
#include "mail/SmtpTimeLimits.h"
#include "plugin/HandOver.h"
#include "plugin/HostThreadWindow.h"
#include "plugin/PluginBase.h"
#include "plugin/PresenceProbe.h"
#include "plugin/TickTimer.h"
#include "settings/Settings.h"

// The one plug-in object: forwards incoming private messages by mail.
struct ForwardPlan;

class RelayPlugin : public PluginBase {
public:
    RelayPlugin();
    ~RelayPlugin() override;

    void onLoad() override;
    void onInitialLoad() override;
    void onUnload() override;
    void onFinalUnload() override;
    void onStart() override;
    void onStop() override;
    void onPrefsShow(PrefsShowRecord& record) override;
    void onPrefsAction(const PrefsActionRecord& record) override;
    int32_t onMessageBroadcast(int32_t first, int32_t second, const char* eventName,
                               const MessageEvent& event, int32_t fifth) override;

    // Asked about the user when "Away Minutes" is in force; tests put a
    // clock of their own in place of the machine's.
    void setPresenceProbe(PresenceProbe probe) { presenceProbe_ = probe; }
    // What in-process tests reach through pluginObject(): shorter pauses
    // between attempts; before "start".
    void setRetryTiming(const RetryTiming& timing) { senderThread_.setRetryTiming(timing); }
    void setReplyTiming(const ReplyTiming& timing) { replyPoller_.setTiming(timing); }
    // The tests' way to shorten the waits on a silent server.
    void setTimeLimits(const SmtpTimeLimits& limits) { timeLimits_ = limits; }

private:
    void showPage(const PrefsShowRecord& record);
    void closePage();
    void raiseAlert(const std::string& text);
    // The contact filter, the quiet hours and the cool-down as the settings
    // now say.
    void takeRules();
    // Queues the forwards of the gatherings that are due, and sets the timer
    // for the next one.
    void sendDueGatherings(uint64_t nowMs);
    void armGatheringTimer(uint64_t nowMs);
    void queueGathering(const GatheredMessages& gathered);
    // The plan's mails as jobs, with the time limits they wait within.
    std::vector<DeliveryJob> queuedJobsOf(ForwardPlan& plan) const;
    // Milliseconds on the 32-bit tick counter carried across its wrap-around
    // (GetTickCount64 is missing before Vista); on the host's thread.
    uint64_t tickNow();
    // On the host's thread, for an attempt of the sender thread that lost mail.
    void alertFailure(const FailedAttempt& attempt);
    // With replies on, every mail gets its Message-ID here, remembered for
    // the message's medium, connection and contact once it is queued.
    bool enqueueRemembered(std::vector<DeliveryJob>&& jobs, const ReplyTarget& target);
    void pollForReplies();
    // On the host's thread, for the reply poller.
    void sendReply(const ReplyDelivery& reply);

    HBITMAP bitmap_ = nullptr;
    // Between "start" and "stop": guards against a second start.
    bool started_ = false;
    Settings settings_;
    // The queue outlives the thread that drains it.
    MailQueue mailQueue_;
    SenderThread senderThread_;
    SmtpTimeLimits timeLimits_;
    PresenceProbe presenceProbe_ = probePresence;
    ContactFilter contactFilter_;
    QuietHours quietHours_;
    // Messages held back by "Cooldown Minutes"; the timer sends them when due.
    CooldownGatherer gatherer_;
    TickTimer gatheringTimer_;
    uint64_t ticks_ = 0;
    uint32_t lastTick_ = 0;
    // Made before the sender thread and the poller start, destroyed after
    // they end.
    HostThreadWindow hostThreadWindow_;
    FailureHandOver failureHandOver_{hostThreadWindow_, [this](const FailedAttempt& attempt) { alertFailure(attempt); }};
    ReplyBook replyBook_;
    ReplyHandOver replyHandOver_{hostThreadWindow_, [this](const ReplyDelivery& reply) { sendReply(reply); },
                                 [this](const std::string& text) {
                                     if (settings_.showSystrayAlert) raiseAlert(text);
                                 }};
    ReplyPoller replyPoller_{replyBook_, mailQueue_};
};
