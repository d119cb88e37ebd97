#include "forward/ContactFilter.h"

#include <cstddef>

#include "text/PlainText.h"

namespace {

const char kSeparator = ',';

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Whether the name, read without blanks and folded, is exactly `compared`.
bool matchesCompared(const std::string& name, const std::string& compared) {
    std::size_t at = 0;
    for (char c : name) {
        if (isBlank(c)) continue;
        if (at == compared.size() || PlainText::lowerCase(c) != compared[at]) return false;
        ++at;
    }
    return at == compared.size();
}

}  // namespace

ContactFilter::ContactFilter(int32_t mode, const std::string& contacts)
    : mode_(mode == kOnlyListed || mode == kAllButListed ? mode : kEveryone) {
    std::string compared;
    for (std::size_t i = 0; i <= contacts.size(); ++i) {
        if (i == contacts.size() || contacts[i] == kSeparator) {
            if (!compared.empty()) names_.push_back(std::move(compared));
            compared.clear();
        } else if (!isBlank(contacts[i])) {
            compared += PlainText::lowerCase(contacts[i]);
        }
    }
}

bool ContactFilter::lists(const std::string& name) const {
    for (const std::string& compared : names_) {
        if (matchesCompared(name, compared)) return true;
    }
    return false;
}

bool ContactFilter::passes(const std::string& name) const {
    switch (mode_) {
        case kOnlyListed:
            return lists(name);
        case kAllButListed:
            return !lists(name);
        default:
            return true;
    }
}

bool sameScreenName(const std::string& first, const std::string& second) {
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        while (i < first.size() && isBlank(first[i])) ++i;
        while (j < second.size() && isBlank(second[j])) ++j;
        if (i == first.size() || j == second.size()) return i == first.size() && j == second.size();
        if (PlainText::lowerCase(first[i]) != PlainText::lowerCase(second[j])) return false;
        ++i;
        ++j;
    }
}
