#pragma once
#include <windows.h>

#include <string>

#include "delivery/MailQueue.h"
#include "delivery/SenderThread.h"
#include "mail/SmtpTimeLimits.h"
#include "plugin/AlertWindow.h"
#include "plugin/PluginBase.h"
#include "plugin/PresenceProbe.h"
#include "settings/Settings.h"

// The one plug-in object: forwards incoming private messages by mail.
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
    // The tests' way to shorten the waits on a silent server.
    void setTimeLimits(const SmtpTimeLimits& limits) { timeLimits_ = limits; }

private:
    void showPage(const PrefsShowRecord& record);
    void closePage();
    void raiseAlert(const std::string& text);
    // On the host's thread, for an attempt of the sender thread that lost mail.
    void alertFailure(const FailedAttempt& attempt);

    HBITMAP bitmap_ = nullptr;
    // Between "start" and "stop": guards against a second start.
    bool started_ = false;
    Settings settings_;
    // The queue outlives the thread that drains it.
    MailQueue mailQueue_;
    SenderThread senderThread_;
    SmtpTimeLimits timeLimits_;
    PresenceProbe presenceProbe_ = probePresence;
    // Made before the sender thread starts and destroyed after it ends.
    AlertWindow alertWindow_;
};
