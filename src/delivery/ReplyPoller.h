#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>

#include "delivery/DeliveryLog.h"
#include "delivery/ReplyConfig.h"
#include "delivery/ReplyPacer.h"
#include "imap/ImapOutcome.h"
#include "net/AbortSignal.h"

class ImapSession;
class MailQueue;
class ReplyBook;
class ReplySink;
struct ReplyTarget;

// How often the poller looks, and how long it backs off after a failure.
struct ReplyTiming {
    unsigned pollMs = 60 * 1000;
    unsigned longestBackoffMs = 30 * 60 * 1000;
    unsigned responseTimeoutMs = 30 * 1000;
};

// The thread that reads answers from the phone on the IMAP server while
// the plug-in is started and replies are on. It looks every minute, and
// where the server offers IDLE it waits on an open connection so that an
// answer goes out within seconds. An unseen mail from the destination that
// names a Message-ID of the ReplyBook goes to the host as a reply (paced by
// ReplyPacer) and is flagged \Seen \Answered; one that names an ID of this
// plug-in's form that the book no longer knows gets one short notice mail
// back to the destination through the mail queue, and is flagged \Seen.
// Every other mail is left as it was, read no further than its headers.
// A stop ends a poll or an IDLE at once: the connection is shut down.
class ReplyPoller {
public:
    ReplyPoller(ReplyBook& book, MailQueue& queue);
    ~ReplyPoller();
    ReplyPoller(const ReplyPoller&) = delete;
    ReplyPoller& operator=(const ReplyPoller&) = delete;

    // Starts the thread; answers go to the sink, lines to the delivery log
    // in the directory (none when it is empty).
    void start(const ReplyConfig& config, const std::string& logDirectory, ReplySink* sink);
    // Ends the thread: at once, or killed if it does not end within a short
    // wait.
    void stop();
    // New settings from the host's thread; an open connection made with the
    // old ones is closed at the end of its pass.
    void reconfigure(const ReplyConfig& config);
    bool started() const { return thread_ != nullptr; }
    // The tests' way to shorten the waits; before start.
    void setTiming(const ReplyTiming& timing) { timing_ = timing; }

private:
    static DWORD WINAPI run(LPVOID self);
    void loop();
    ReplyConfig current(unsigned& generation);
    // Waits the time, or less when stopped or given new settings.
    void pause(unsigned milliseconds, unsigned generation);
    // One connection: its answers, and with IDLE the answers that come
    // while it stays open. The outcome is the opening's; `waitMs` the pause
    // before the next connection.
    ImapOutcome serve(const ReplyConfig& config, unsigned generation, unsigned& waitMs);
    ImapOutcome readAnswers(ImapSession& session, const ReplyConfig& config, bool& heldBack);
    ImapOutcome deliver(ImapSession& session, const ReplyConfig& config, uint32_t uid,
                        const ReplyTarget& target, bool& heldBack);
    ImapOutcome refuseUnknown(ImapSession& session, const ReplyConfig& config, uint32_t uid);
    void pollFailed(const ReplyConfig& config, const ImapOutcome& outcome);
    void logReply(const ReplyConfig& config, const std::string& contact, bool sent, const std::string& why);

    ReplyBook& book_;
    MailQueue& queue_;
    ReplySink* sink_ = nullptr;
    HANDLE thread_ = nullptr;
    std::atomic<bool> running_{false};
    AbortSignal abort_;
    ReplyTiming timing_;
    std::mutex guard_;
    // Set when the settings change or a stop begins; wakes a pause.
    HANDLE changed_;
    ReplyConfig config_;
    unsigned generation_ = 0;
    std::string logDirectory_;
    // Only the poller thread uses what follows.
    ReplyPacer pacer_;
    // The mails of the open connection already dealt with or passed over.
    std::set<uint32_t> done_;
    bool refusalTold_ = false;
    std::string lastFailure_;
};
