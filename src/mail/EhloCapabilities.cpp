#include "mail/EhloCapabilities.h"

#include <vector>

#include "mail/SmtpLimits.h"
#include "text/PlainText.h"

namespace {

const char kAuth[] = "AUTH";

// The text after a reply line's code and separator; false for a line that
// is no reply line.
bool replyText(const std::string& line, std::string& text) {
    const std::size_t code = SmtpLimits::kReplyCodeLength;
    if (line.size() < code) return false;
    for (std::size_t i = 0; i < code; ++i) {
        if (!PlainText::isDigit(line[i])) return false;
    }
    if (line.size() > code && line[code] != '-' && line[code] != ' ') return false;
    text = line.size() > code ? line.substr(code + 1) : std::string();
    return true;
}

// The words of a line, split at the blanks of the C locale. No stream: it
// would link the C++ locale machinery, most of the DLL's size.
std::vector<std::string> words(const std::string& text) {
    const char kBlanks[] = " \t\n\v\f\r";
    std::vector<std::string> out;
    std::size_t start = text.find_first_not_of(kBlanks);
    while (start != std::string::npos) {
        const std::size_t end = text.find_first_of(kBlanks, start);
        out.push_back(PlainText::upperCase(text.substr(start, end - start)));
        start = text.find_first_not_of(kBlanks, end);
    }
    return out;
}

void addMechanisms(EhloCapabilities& capabilities, const std::vector<std::string>& mechanisms,
                   std::size_t first) {
    for (std::size_t i = first; i < mechanisms.size(); ++i) {
        if (mechanisms[i] == "PLAIN") capabilities.authPlain = true;
        if (mechanisms[i] == "LOGIN") capabilities.authLogin = true;
    }
}

void addKeyword(EhloCapabilities& capabilities, const std::string& text) {
    std::vector<std::string> parts = words(text);
    if (parts.empty()) return;
    const std::string& keyword = parts[0];
    if (keyword == "STARTTLS") capabilities.startTls = true;
    if (keyword == "8BITMIME") capabilities.eightBitMime = true;
    if (keyword == kAuth) addMechanisms(capabilities, parts, 1);
    const std::string obsolete = std::string(kAuth) + "=";
    if (keyword.compare(0, obsolete.size(), obsolete) == 0) {
        parts[0].erase(0, obsolete.size());
        addMechanisms(capabilities, parts, 0);
    }
}

}  // namespace

EhloCapabilities parseEhloReply(const std::string& reply) {
    EhloCapabilities capabilities;
    std::size_t start = 0;
    bool first = true;
    while (start < reply.size()) {
        std::size_t end = reply.find('\n', start);
        if (end == std::string::npos) end = reply.size();
        std::string line = reply.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        std::string text;
        if (!replyText(line, text)) continue;
        if (!first) addKeyword(capabilities, text);
        first = false;
    }
    return capabilities;
}
