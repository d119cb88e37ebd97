#include "mail/SmtpReply.h"

#include "text/PlainText.h"

namespace SmtpReply {

namespace {

const std::size_t kCodeLength = kHeadLength - 1;
const char kContinuation = '-';

bool isContinuation(const std::string& text, std::size_t lineStart) {
    if (text.size() <= lineStart + kCodeLength) return false;
    for (std::size_t i = 0; i < kCodeLength; ++i) {
        if (!PlainText::isDigit(text[lineStart + i])) return false;
    }
    return text[lineStart + kCodeLength] == kContinuation;
}

}  // namespace

bool complete(const std::string& received) {
    if (received.empty() || received.back() != '\n') return false;
    const std::size_t lastLineEnd = received.size() - 1;
    const std::size_t previousEnd =
        lastLineEnd == 0 ? std::string::npos : received.rfind('\n', lastLineEnd - 1);
    const std::size_t lineStart = previousEnd == std::string::npos ? 0 : previousEnd + 1;
    return !isContinuation(received, lineStart);
}

std::string pending(const std::string& received) {
    const std::size_t lastLineEnd = received.rfind('\n');
    const std::size_t lineStart = lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1;
    return received.substr(lineStart, kHeadLength);
}

bool invitesData(const std::string& reply) { return !reply.empty() && reply[0] == '3'; }

}  // namespace SmtpReply
