#include "delivery/DeliveryLogLine.h"

#include "text/NumberText.h"

namespace DeliveryLogLine {

namespace {

const char kSeparator[] = " | ";
const char kNone[] = "-";
// A reply or a name longer than this is cut: a line stays readable, and a
// server cannot fill the log with one answer.
const std::size_t kMaxField = 200;

// Control characters become blanks; an empty field shows as "-".
std::string field(const std::string& text) {
    if (text.empty()) return kNone;
    std::string out = text.substr(0, kMaxField);
    for (char& c : out) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) c = ' ';
    }
    return out;
}

std::string timestamp(const MailTime& time) {
    using NumberText::appendDecimal;
    std::string text;
    appendDecimal(text, time.year, 4);
    text += '-';
    appendDecimal(text, time.month, 2);
    text += '-';
    appendDecimal(text, time.day, 2);
    text += ' ';
    appendClock(text, time);
    return text + " UTC";
}

std::string line(const MailTime& time, const std::string& server, unsigned port,
                 const std::string& recipient, const std::string& result,
                 const DeliveryOutcome& outcome) {
    return timestamp(time) + kSeparator + field(server) + ":" + std::to_string(port) + kSeparator +
           field(recipient) + kSeparator + result + kSeparator +
           (outcome.code ? std::to_string(outcome.code) : kNone) + kSeparator + field(outcome.answer);
}

// A reply has no server's answer code: only the why.
DeliveryOutcome replyOutcome(const std::string& why) {
    DeliveryOutcome outcome;
    outcome.answer = why;
    return outcome;
}

}  // namespace

std::string connected(const MailTime& time, const std::string& server, unsigned port,
                      const DeliveryOutcome& outcome) {
    return line(time, server, port, std::string(), "connected", outcome);
}

std::string notConnected(const MailTime& time, const std::string& server, unsigned port,
                         const DeliveryOutcome& outcome, std::size_t mailsDropped) {
    const std::string result = "not connected at " + outcome.stage + ", " +
                               std::to_string(mailsDropped) + " dropped";
    return line(time, server, port, std::string(), result, outcome);
}

std::string mail(const MailTime& time, const std::string& server, unsigned port,
                 const std::string& recipient, const DeliveryOutcome& outcome) {
    const std::string result = outcome.succeeded() ? "sent" : "not sent at " + outcome.stage;
    return line(time, server, port, recipient, result, outcome);
}

std::string retriesEnded(const MailTime& time, const std::string& server, unsigned port,
                         std::size_t mailsDropped, int32_t retriedMinutes) {
    const std::string result = std::to_string(mailsDropped) + " dropped after " +
                               std::to_string(retriedMinutes) + " minutes of retrying";
    return line(time, server, port, std::string(), result, DeliveryOutcome());
}

std::string droppedAtUnload(const MailTime& time, std::size_t mailsDropped) {
    return timestamp(time) + kSeparator + kNone + kSeparator + kNone + kSeparator +
           std::to_string(mailsDropped) + " still waiting, dropped at unload" + kSeparator + kNone +
           kSeparator + kNone;
}

std::string reply(const MailTime& time, const std::string& server, unsigned port,
                  const std::string& contact, bool sent, const std::string& why) {
    return line(time, server, port, contact, sent ? "reply sent" : "reply refused",
                replyOutcome(why));
}

std::string replyPollFailed(const MailTime& time, const std::string& server, unsigned port,
                            const std::string& stage, const std::string& why) {
    return line(time, server, port, std::string(), "replies not read at " + stage, replyOutcome(why));
}

std::string gatheredDroppedAtUnload(const MailTime& time, std::size_t messagesDropped) {
    const char* const noun = messagesDropped == 1 ? " message" : " messages";
    return timestamp(time) + kSeparator + kNone + kSeparator + kNone + kSeparator +
           std::to_string(messagesDropped) + noun + " gathered, dropped at unload" + kSeparator + kNone +
           kSeparator + kNone;
}

}  // namespace DeliveryLogLine
