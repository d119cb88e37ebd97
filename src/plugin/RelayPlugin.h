#pragma once
#include <windows.h>

#include <string>

#include "delivery/MailQueue.h"
#include "delivery/ReplyBook.h"
#include "delivery/ReplyPoller.h"
#include "delivery/SenderThread.h"
#include "plugin/AlertWindow.h"
#include "plugin/ReplyWindow.h"
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
    void setReplyTiming(const ReplyTiming& timing) { replyPoller_.setTiming(timing); }

private:
    void showPage(const PrefsShowRecord& record);
    void closePage();
    void raiseAlert(const std::string& text);
    // On the host's thread, for an attempt of the sender thread that lost mail.
    void alertFailure(const FailedAttempt& attempt);
    // With replies on, every mail gets its Message-ID here, remembered for
    // the message's medium, connection and contact once it is queued.
    bool enqueueRemembered(std::vector<MailJob>&& jobs, const MessageEvent& event);
    // On the host's thread, for the reply poller.
    void sendReply(const ReplyDelivery& reply);
    void settingsChanged();

    HBITMAP bitmap_ = nullptr;
    // Between "start" and "stop": guards against a second start.
    bool started_ = false;
    Settings settings_;
    // The queue outlives the thread that drains it.
    MailQueue mailQueue_;
    SenderThread senderThread_;
    PresenceProbe presenceProbe_ = probePresence;
    // Made before the sender thread starts and destroyed after it ends.
    AlertWindow alertWindow_;
    ReplyBook replyBook_;
    // Made before the poller starts and destroyed after it ends.
    ReplyWindow replyWindow_;
    ReplyPoller replyPoller_{replyBook_, mailQueue_};
};
