#include "imap/MailHeaders.h"
#include "text/PlainText.h"

namespace MailHeaders {

namespace {

const char kBlanks[] = " \t\r\n";

bool namesField(const std::string& line, const std::string& name) {
    if (line.size() <= name.size() || line[name.size()] != ':') return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (PlainText::lowerCase(line[i]) != PlainText::lowerCase(name[i])) return false;
    }
    return true;
}

std::string withoutComments(const std::string& text) {
    std::string out;
    int depth = 0;
    bool inQuotes = false;
    for (char c : text) {
        if (c == '"' && depth == 0) inQuotes = !inQuotes;
        if (!inQuotes && c == '(') ++depth;
        if (depth == 0) out += c;
        if (!inQuotes && c == ')' && depth > 0) --depth;
    }
    return out;
}

}  // namespace

std::string headerSection(const std::string& mail) {
    std::size_t pos = 0;
    while (pos < mail.size()) {
        const std::size_t end = mail.find('\n', pos);
        const std::string line = mail.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (line.empty() || line == "\r") return mail.substr(0, pos);
        if (end == std::string::npos) break;
        pos = end + 1;
    }
    return mail;
}

std::string field(const std::string& headers, const std::string& name) {
    std::string value;
    bool inField = false;
    std::size_t pos = 0;
    while (pos < headers.size()) {
        std::size_t end = headers.find('\n', pos);
        if (end == std::string::npos) end = headers.size();
        std::string line = headers.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const bool continuation = !line.empty() && (line[0] == ' ' || line[0] == '\t');
        if (inField) {
            if (!continuation) break;
            value += line;
        } else if (namesField(line, name)) {
            inField = true;
            value = line.substr(name.size() + 1);
        }
    }
    return PlainText::trimmed(value, kBlanks);
}

std::string address(const std::string& from) {
    const std::string text = withoutComments(from);
    const std::size_t open = text.rfind('<');
    if (open != std::string::npos) {
        const std::size_t close = text.find('>', open);
        if (close != std::string::npos) {
            return PlainText::trimmed(text.substr(open + 1, close - open - 1), kBlanks);
        }
    }
    return PlainText::trimmed(text, kBlanks);
}

std::vector<std::string> messageIds(const std::string& value) {
    std::vector<std::string> ids;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t open = value.find('<', pos);
        if (open == std::string::npos) break;
        const std::size_t close = value.find('>', open);
        if (close == std::string::npos) break;
        std::string id;
        for (std::size_t i = open; i <= close; ++i) {
            if (value[i] != ' ' && value[i] != '\t' && value[i] != '\r' && value[i] != '\n') id += value[i];
        }
        ids.push_back(id);
        pos = close + 1;
    }
    return ids;
}

bool sameAddress(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (PlainText::lowerCase(a[i]) != PlainText::lowerCase(b[i])) return false;
    }
    return true;
}

}  // namespace MailHeaders
