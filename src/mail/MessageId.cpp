#include "mail/MessageId.h"

#include "text/NumberText.h"
#include "text/PlainText.h"

namespace {

// Stands in for a sender domain with nothing usable in it.
const char kFallbackDomain[] = "localhost";
// Three 32-bit words, eight hex digits each.
const std::size_t kRandomHexDigits = 24;

// Letters, digits, "-" and "." only: whatever else the sender address holds
// cannot break the header's angle brackets.
std::string usableDomain(const std::string& domain) {
    std::string out;
    for (char c : domain) {
        const bool letterOrDigit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || PlainText::isDigit(c);
        if (letterOrDigit || c == '-' || c == '.') out += c;
    }
    while (!out.empty() && out.front() == '.') out.erase(0, 1);
    while (!out.empty() && out.back() == '.') out.pop_back();
    return out.empty() ? kFallbackDomain : out;
}

bool isHexDigit(char c) { return PlainText::isDigit(c) || (c >= 'a' && c <= 'f'); }

}  // namespace

std::string formatMessageId(uint64_t milliseconds, uint32_t counter, const MessageIdRandom& random,
                            const std::string& domain) {
    std::string id = "<";
    NumberText::appendHex(id, milliseconds);
    id += '.';
    NumberText::appendHex(id, counter);
    id += '.';
    for (uint32_t word : random.words) NumberText::appendHex(id, word, 8);
    return id + "@" + usableDomain(domain) + ">";
}

bool isOwnMessageId(const std::string& id) {
    if (id.size() < 2 || id.front() != '<' || id.back() != '>') return false;
    const std::size_t at = id.find('@');
    if (at == std::string::npos || at + 2 >= id.size()) return false;
    const std::string local = id.substr(1, at - 1);
    const std::size_t firstDot = local.find('.');
    const std::size_t secondDot = firstDot == std::string::npos ? firstDot : local.find('.', firstDot + 1);
    if (secondDot == std::string::npos) return false;
    const std::string fields[] = {local.substr(0, firstDot), local.substr(firstDot + 1, secondDot - firstDot - 1),
                                  local.substr(secondDot + 1)};
    for (const std::string& field : fields) {
        if (field.empty()) return false;
        for (char c : field) {
            if (!isHexDigit(c)) return false;
        }
    }
    return fields[2].size() == kRandomHexDigits;
}
