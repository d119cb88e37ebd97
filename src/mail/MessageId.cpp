#include "mail/MessageId.h"

#include "text/NumberText.h"
#include "text/PlainText.h"

namespace {

// Stands in for a sender domain with nothing usable in it.
const char kFallbackDomain[] = "localhost";

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

}  // namespace

std::string formatMessageId(uint64_t milliseconds, uint32_t counter, uint32_t random,
                            const std::string& domain) {
    std::string id = "<";
    NumberText::appendHex(id, milliseconds);
    id += '.';
    NumberText::appendHex(id, counter);
    id += '.';
    NumberText::appendHex(id, random, 8);
    return id + "@" + usableDomain(domain) + ">";
}
