#include "mail/SmtpOutcome.h"

namespace {

const std::size_t kCodeDigits = 3;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The three leading digits as a number; 0 when the line has none.
int replyCode(const std::string& line) {
    if (line.size() < kCodeDigits) return 0;
    int code = 0;
    for (std::size_t i = 0; i < kCodeDigits; ++i) {
        if (!isDigit(line[i])) return 0;
        code = code * 10 + (line[i] - '0');
    }
    return code;
}

// What follows the code and its "-" or blank, without the line end.
std::string replyText(const std::string& line) {
    const std::size_t start = line.size() > kCodeDigits ? kCodeDigits + 1 : line.size();
    std::size_t end = line.find_first_of("\r\n", start);
    if (end == std::string::npos) end = line.size();
    return line.substr(start, end - start);
}

int expectedClass(SmtpStage stage) { return stage == SmtpStage::Data ? 3 : 2; }

}  // namespace

SmtpOutcome outcomeOfReply(SmtpStage stage, const std::string& firstLine) {
    const int code = replyCode(firstLine);
    const std::string text = code ? replyText(firstLine) : std::string();
    const bool ok = code / 100 == expectedClass(stage);
    return {stage, ok, code, text};
}
