#include "mail/MailData.h"

#include <algorithm>

namespace MailData {

namespace {

const char kCrLf[] = "\r\n";
const char kDot = '.';
// SMTP's limit on a line of mail data, without its CR LF.
const std::size_t kMaxDataLine = 998;

std::string oneLine(const char* prefix, const std::string& value) {
    return prefix + singleLine(value) + kCrLf;
}

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
        {std::string("DATA") + kCrLf, true, true},
        {oneLine("TO: ", job.recipient), false},
        {oneLine("FROM: ", job.sender), false},
        {oneLine("SUBJECT: ", job.subject), false},
        {oneLine("DATE: ", date), false},
        {kCrLf + transparentBody(job.body) + kCrLf + kCrLf, false},
        {std::string(kCrLf) + kDot + kCrLf, true},
    };
}

std::string heloLine(const std::string& heloDomain) { return oneLine("HELO ", heloDomain); }

std::string quitLine() { return std::string("QUIT") + kCrLf; }

std::string resetLine() { return std::string("RSET") + kCrLf; }

std::string heloDomain(const std::string& sender) {
    const std::size_t at = sender.find('@');
    return at == std::string::npos ? sender : sender.substr(at + 1);
}

std::string singleLine(const std::string& text) {
    std::string line = text;
    for (char& c : line) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return line;
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
