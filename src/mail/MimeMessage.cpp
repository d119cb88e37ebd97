#include "mail/MimeMessage.h"

#include "mail/EncodedWord.h"
#include "mail/MailData.h"
#include "mail/QuotedPrintable.h"
#include "mail/SmtpLimits.h"
#include "text/PlainText.h"

namespace MimeMessage {

namespace {

// Around an address, once its line breaks are blanks.
const char kBlanks[] = " ";

const char kCrLf[] = "\r\n";
const char kSubject[] = "Subject: ";

std::string subjectLine(const std::string& subject, const std::string& charset) {
    const std::string value = PlainText::singleLine(subject);
    if (EncodedWord::isPlain(value)) return MailData::headerLine(kSubject, value);
    return kSubject + EncodedWord::encode(value, sizeof kSubject - 1, charset) + kCrLf;
}

std::string headers(const MailJob& job, const Extras& extras) {
    return MailData::headerLine("From: ", job.sender) + MailData::headerLine("To: ", job.recipient) +
           subjectLine(job.subject, extras.charset) + MailData::headerLine("Date: ", extras.date) +
           MailData::headerLine("Message-ID: ", extras.messageId) + "MIME-Version: 1.0\r\n" +
           "Content-Type: text/plain; charset=" + extras.charset + kCrLf +
           "Content-Transfer-Encoding: " + (extras.eightBitMime ? "8bit" : "quoted-printable") +
           kCrLf;
}

}  // namespace

bool sendsEightBit(const std::string& body, bool serverOffersEightBit) {
    if (!serverOffersEightBit) return false;
    std::size_t length = 0;
    bool dotFirst = false;
    for (const char c : body) {
        if (c == '\r' || c == '\n') {
            length = 0;
            continue;
        }
        if (length == 0) dotFirst = c == '.';
        // A leading "." is doubled on the way.
        if (++length + (dotFirst ? 1 : 0) > SmtpLimits::kMaxDataLine) return false;
    }
    return true;
}

std::string ehloLine(const std::string& heloDomain) {
    return "EHLO " + PlainText::singleLine(heloDomain) + kCrLf;
}

std::string startTlsLine() { return std::string("STARTTLS") + kCrLf; }

std::string mailFromLine(const std::string& sender, bool eightBitMime) {
    return "MAIL FROM:" + bracketed(sender) + (eightBitMime ? " BODY=8BITMIME" : "") + kCrLf;
}

std::string rcptToLine(const std::string& recipient) {
    return "RCPT TO:" + bracketed(recipient) + kCrLf;
}

std::string bracketed(const std::string& address) {
    std::string inner = PlainText::trimmed(PlainText::singleLine(address), kBlanks);
    if (inner.size() >= 2 && inner.front() == '<' && inner.back() == '>') {
        inner = inner.substr(1, inner.size() - 2);
    }
    return "<" + inner + ">";
}

std::string data(const MailJob& job, const Extras& extras) {
    const std::string body = extras.eightBitMime ? job.body : QuotedPrintable::encode(job.body);
    return headers(job, extras) + kCrLf + MailData::transparentBody(body) + kCrLf + "." + kCrLf;
}

}  // namespace MimeMessage
