#include "delivery/ReplyPoller.h"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "delivery/DeliveryLogLine.h"
#include "delivery/MailQueue.h"
#include "delivery/ReplyBook.h"
#include "delivery/ReplySink.h"
#include "delivery/SteadyClock.h"
#include "imap/CharsetConversion.h"
#include "imap/ImapSession.h"
#include "imap/MailHeaders.h"
#include "imap/MimeText.h"
#include "imap/ReplyText.h"
#include "mail/MessageId.h"
#include "mail/UtcNow.h"

namespace {

const DWORD kStopWaitMs = 2000;
const DWORD kTerminateWaitMs = 1000;
// After an answer held back by the pacer, the next look comes when the
// pacer may let one through again.
const unsigned kPacedRetryMs = static_cast<unsigned>(ReplyPacer::kPerContactMs);
const char kAnsweredFlags[] = "\\Seen \\Answered";
const char kSeenFlag[] = "\\Seen";
const char kNoticeSubject[] = "IM: reply not delivered";
const char kNoticeBody[] =
    "Your reply could not be delivered: the message it answers is no longer known "
    "(it is older than 24 hours, or IM Tolvaning was restarted since).";
const char kLoginRefusedAlert[] = "IM: replies not read: the IMAP server refused the login";
const char kUntrustedAlert[] = "IM: replies not read: the IMAP server's certificate is not trusted";

std::string contactKey(const ReplyTarget& target) {
    return target.medium + '\n' + std::to_string(target.connection) + '\n' + target.name;
}

}  // namespace

ReplyPoller::ReplyPoller(ReplyBook& book, MailQueue& queue)
    : book_(book), queue_(queue), changed_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

ReplyPoller::~ReplyPoller() {
    stop();
    if (changed_) CloseHandle(changed_);
}

void ReplyPoller::start(const ReplyConfig& config, const std::string& logDirectory, ReplySink* sink) {
    if (thread_) return;
    {
        const std::lock_guard<std::mutex> lock(guard_);
        config_ = config;
        ++generation_;
    }
    logDirectory_ = logDirectory;
    sink_ = sink;
    refusalTold_ = false;
    lastFailure_.clear();
    abort_.clear();
    running_ = true;
    thread_ = CreateThread(nullptr, 0, &ReplyPoller::run, this, 0, nullptr);
}

void ReplyPoller::stop() {
    {
        const std::lock_guard<std::mutex> lock(guard_);
        running_ = false;
    }
    if (changed_) SetEvent(changed_);
    if (!thread_) return;
    abort_.raise();
    if (WaitForSingleObject(thread_, kStopWaitMs) == WAIT_TIMEOUT) {
        TerminateThread(thread_, 0);
        WaitForSingleObject(thread_, kTerminateWaitMs);
    }
    CloseHandle(thread_);
    thread_ = nullptr;
}

void ReplyPoller::reconfigure(const ReplyConfig& config) {
    {
        const std::lock_guard<std::mutex> lock(guard_);
        config_ = config;
        ++generation_;
    }
    if (changed_) SetEvent(changed_);
}

// A change that comes between the look and the wait leaves the event set,
// so the wait returns at once and the loop looks again.
void ReplyPoller::pause(unsigned milliseconds, unsigned generation) {
    const DWORD start = GetTickCount();
    for (;;) {
        {
            const std::lock_guard<std::mutex> lock(guard_);
            if (!running_ || generation_ != generation) return;
        }
        const DWORD waited = GetTickCount() - start;
        if (waited >= milliseconds) return;
        if (!changed_) {
            abort_.pause(milliseconds - waited);
            return;
        }
        WaitForSingleObject(changed_, milliseconds - waited);
    }
}

ReplyConfig ReplyPoller::current(unsigned& generation) {
    const std::lock_guard<std::mutex> lock(guard_);
    generation = generation_;
    return config_;
}

DWORD WINAPI ReplyPoller::run(LPVOID self) {
    static_cast<ReplyPoller*>(self)->loop();
    return 0;
}

void ReplyPoller::loop() {
    unsigned backoffMs = 0;
    while (running_) {
        unsigned waitMs = timing_.pollMs;
        unsigned generation = 0;
        try {
            const ReplyConfig config = current(generation);
            if (config.on) {
                const ImapOutcome opened = serve(config, generation, waitMs);
                if (opened.succeeded) {
                    backoffMs = 0;
                    refusalTold_ = false;
                    lastFailure_.clear();
                } else if (!abort_.raised()) {
                    pollFailed(config, opened);
                    backoffMs = std::min(timing_.longestBackoffMs, backoffMs ? backoffMs * 2 : timing_.pollMs * 2);
                    waitMs = backoffMs;
                }
            }
        } catch (const std::bad_alloc&) {
            // Out of memory for a mail: this pass is given up, the next tries again.
        }
        pause(waitMs, generation);
    }
}

ImapOutcome ReplyPoller::serve(const ReplyConfig& config, unsigned generation, unsigned& waitMs) {
    ImapSession session(&abort_, timing_.responseTimeoutMs);
    const ImapOutcome opened = session.open(config.imap);
    if (!opened.succeeded) return opened;
    uint32_t mails = 0;
    const ImapOutcome selected = session.selectInbox(mails);
    if (!selected.succeeded) return selected;
    done_.clear();
    unsigned sameGeneration = generation;
    while (running_ && !abort_.raised() && sameGeneration == generation) {
        bool heldBack = false;
        ImapOutcome outcome = readAnswers(session, config, heldBack);
        waitMs = heldBack ? kPacedRetryMs : timing_.pollMs;
        if (!outcome.succeeded || !session.offersIdle()) break;
        bool newMail = false;
        outcome = session.idle(waitMs, newMail);
        if (!outcome.succeeded) break;
        waitMs = 0;
        current(sameGeneration);
    }
    session.close();
    return opened;
}

ImapOutcome ReplyPoller::readAnswers(ImapSession& session, const ReplyConfig& config, bool& heldBack) {
    std::vector<uint32_t> uids;
    ImapOutcome outcome = session.searchUnseenFrom(config.destination, uids);
    if (!outcome.succeeded) return outcome;
    uids.erase(std::remove_if(uids.begin(), uids.end(), [&](uint32_t uid) { return done_.count(uid) > 0; }),
               uids.end());
    std::vector<ImapSyntax::Fetched> heads;
    outcome = session.fetchHeaders(uids, heads);
    if (!outcome.succeeded) return outcome;
    for (const ImapSyntax::Fetched& head : heads) {
        if (!running_ || abort_.raised()) break;
        const std::string from = MailHeaders::address(MailHeaders::field(head.body, "From"));
        std::vector<std::string> ids = MailHeaders::messageIds(MailHeaders::field(head.body, "In-Reply-To"));
        const std::vector<std::string> references = MailHeaders::messageIds(MailHeaders::field(head.body, "References"));
        ids.insert(ids.end(), references.rbegin(), references.rend());
        std::optional<ReplyTarget> target;
        bool ownForm = false;
        for (const std::string& id : ids) {
            target = book_.find(id, steadyMilliseconds());
            if (target) break;
            ownForm = ownForm || isOwnMessageId(id);
        }
        if (!MailHeaders::sameAddress(from, config.destination) || (!target && !ownForm)) {
            done_.insert(head.uid);
            continue;
        }
        outcome = target ? deliver(session, config, head.uid, *target, heldBack)
                         : refuseUnknown(session, config, head.uid);
        if (!outcome.succeeded) return outcome;
    }
    return ImapOutcome::success(ImapStage::Fetch);
}

ImapOutcome ReplyPoller::deliver(ImapSession& session, const ReplyConfig& config, uint32_t uid,
                                 const ReplyTarget& target, bool& heldBack) {
    if (!pacer_.admit(contactKey(target), steadyMilliseconds())) {
        heldBack = true;
        return ImapOutcome::success(ImapStage::Fetch);
    }
    ImapSyntax::Fetched mail;
    const ImapOutcome fetched = session.fetchMail(uid, mail);
    if (!fetched.succeeded) return fetched;
    const MimeText text = readableText(mail.body);
    const std::string answer = text.found ? ReplyText::clean(toSystemCodePage(text.text, text.charset)) : "";
    if (answer.empty()) {
        done_.insert(uid);
        logReply(config, target.name, false, mail.oversized ? "the mail is too large" : "no text to send");
        return session.addFlags(uid, kSeenFlag);
    }
    if (!sink_ || !sink_->replyReady(ReplyDelivery{target, answer})) {
        heldBack = true;
        return ImapOutcome::success(ImapStage::Fetch);
    }
    done_.insert(uid);
    logReply(config, target.name, true, std::string());
    return session.addFlags(uid, kAnsweredFlags);
}

// Only ever to the destination, which the mail came from.
ImapOutcome ReplyPoller::refuseUnknown(ImapSession& session, const ReplyConfig& config, uint32_t uid) {
    DeliveryJob notice = config.notice;
    notice.mail.recipient = config.destination;
    notice.mail.subject = kNoticeSubject;
    notice.mail.body = kNoticeBody;
    queue_.enqueue(notice);
    done_.insert(uid);
    logReply(config, std::string(), false, "it answers a message no longer known");
    return session.addFlags(uid, kSeenFlag);
}

void ReplyPoller::pollFailed(const ReplyConfig& config, const ImapOutcome& outcome) {
    const std::string failure = std::string(imapStageName(outcome.stage)) + '\n' + outcome.detail;
    if (failure != lastFailure_) {
        DeliveryLog(logDirectory_)
            .append(DeliveryLogLine::replyPollFailed(utcNow(), config.imap.server,
                                                     static_cast<unsigned>(imapPortToUse(config.imap)),
                                                     imapStageName(outcome.stage), outcome.detail));
        lastFailure_ = failure;
    }
    const bool certificate = outcome.stage == ImapStage::Certificate;
    if ((outcome.loginRefused || certificate) && !refusalTold_ && sink_) {
        sink_->pollingRefused(certificate ? kUntrustedAlert : kLoginRefusedAlert);
        refusalTold_ = true;
    }
}

void ReplyPoller::logReply(const ReplyConfig& config, const std::string& contact, bool sent,
                           const std::string& why) {
    DeliveryLog(logDirectory_)
        .append(DeliveryLogLine::reply(utcNow(), config.imap.server,
                                       static_cast<unsigned>(imapPortToUse(config.imap)), contact, sent, why));
}
