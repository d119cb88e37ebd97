#include "mail/MailData.h"

#include <algorithm>

#include "mail/SmtpLimits.h"
#include "text/PlainText.h"

namespace MailData {

namespace {

const char kCrLf[] = "\r\n";
const char kDot = '.';
const std::size_t kMaxDataLine = SmtpLimits::kMaxDataLine;

std::string oneLine(const char* prefix, const std::string& value) {
    return prefix + PlainText::singleLine(value) + kCrLf;
}

}  // namespace

std::string headerLine(const char* prefix, const std::string& value) {
    const std::string line = prefix + PlainText::singleLine(value);
    const std::size_t valueStart = std::char_traits<char>::length(prefix);
    std::string out;
    std::size_t at = 0;
    bool addBlank = false;
    for (;;) {
        const std::size_t room = kMaxDataLine - (addBlank ? 1 : 0);
        if (addBlank) out += ' ';
        if (line.size() - at <= room) {
            out.append(line, at, std::string::npos);
            return out + kCrLf;
        }
        const std::size_t earliest = std::max(at, valueStart) + 1;
        const std::size_t blank = line.rfind(' ', at + room);
        const bool foldAtBlank = blank != std::string::npos && blank >= earliest;
        const std::size_t end = foldAtBlank ? blank : at + room;
        out.append(line, at, end - at);
        out += kCrLf;
        at = end;
        addBlank = !foldAtBlank;
    }
}

namespace {

// The body's lines; a CR LF, a bare LF and a bare CR each end a line.
std::vector<std::string> bodyLines(const std::string& body) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c != '\r' && c != '\n') {
            lines.back() += c;
            continue;
        }
        if (c == '\r' && i + 1 < body.size() && body[i + 1] == '\n') ++i;
        lines.emplace_back();
    }
    return lines;
}

// Appends one line of the body, broken where it would pass the limit once a
// leading "." has been doubled.
void appendDataLine(std::string& out, const std::string& line) {
    std::size_t at = 0;
    do {
        if (at > 0) out += kCrLf;
        std::size_t room = kMaxDataLine;
        if (at < line.size() && line[at] == kDot) {
            out += kDot;
            --room;
        }
        const std::size_t take = std::min(room, line.size() - at);
        out.append(line, at, take);
        at += take;
    } while (at < line.size());
}

}  // namespace

std::vector<Piece> mailPieces(const MailJob& job, const std::string& date) {
    return {
        {oneLine("MAIL FROM: ", job.sender), true},
        {oneLine("RCPT TO: ", job.recipient), true},
        {dataLine(), true, true},
        {headerLine("TO: ", job.recipient), false},
        {headerLine("FROM: ", job.sender), false},
        {headerLine("SUBJECT: ", job.subject), false},
        {headerLine("DATE: ", date), false},
        {kCrLf + transparentBody(job.body) + kCrLf + kCrLf, false},
        {std::string(kCrLf) + kDot + kCrLf, true},
    };
}

std::string heloLine(const std::string& heloDomain) { return oneLine("HELO ", heloDomain); }

std::string quitLine() { return std::string("QUIT") + kCrLf; }

std::string dataLine() { return std::string("DATA") + kCrLf; }

std::string resetLine() { return std::string("RSET") + kCrLf; }

std::string heloDomain(const std::string& sender) {
    const std::size_t at = sender.find('@');
    return at == std::string::npos ? sender : sender.substr(at + 1);
}

std::string transparentBody(const std::string& body) {
    const std::vector<std::string> lines = bodyLines(body);
    std::string out;
    out.reserve(body.size() + body.size() / 16);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (n > 0) out += kCrLf;
        appendDataLine(out, lines[n]);
    }
    return out;
}

}  // namespace MailData
