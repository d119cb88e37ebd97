#include "imap/ReplyText.h"

#include <vector>

namespace ReplyText {

namespace {

const char kLineEnd[] = "\r\n";
const char kSignature[] = "--";
const char kAttributionStart[] = "On ";
const char kAttributionEnd[] = "wrote:";
const char kPhoneFooter[] = "Sent from my ";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }

// Blanks at both ends dropped, runs inside made one space.
std::string collapsed(const std::string& line) {
    std::string out;
    bool pendingBlank = false;
    for (char c : line) {
        if (isBlank(c) || c == '\r') {
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank) out += ' ';
        pendingBlank = false;
        out += c;
    }
    return out;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return out;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool startsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

// The attribution before a quote may be folded over two lines by the app
// that wrote it.
void dropAttribution(std::vector<std::string>& kept) {
    while (!kept.empty() && kept.back().empty()) kept.pop_back();
    if (kept.empty() || !endsWith(kept.back(), kAttributionEnd)) return;
    if (!startsWith(kept.back(), kAttributionStart) && kept.size() >= 2 &&
        startsWith(kept[kept.size() - 2], kAttributionStart)) {
        kept.pop_back();
    }
    kept.pop_back();
}

}  // namespace

std::string clean(const std::string& text) {
    std::vector<std::string> kept;
    for (const std::string& raw : lines(text)) {
        const std::string line = collapsed(raw);
        if (line == kSignature) break;
        if (!line.empty() && line[0] == '>') {
            dropAttribution(kept);
            continue;
        }
        if (startsWith(line, kPhoneFooter)) continue;
        if (line.empty() && (kept.empty() || kept.back().empty())) continue;
        kept.push_back(line);
    }
    while (!kept.empty() && kept.back().empty()) kept.pop_back();
    std::string out;
    for (const std::string& line : kept) {
        if (!out.empty()) out += kLineEnd;
        out += line;
    }
    return out.substr(0, kMaxBytes);
}

}  // namespace ReplyText
