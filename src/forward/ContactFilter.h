#pragma once
#include <cstdint>
#include <string>
#include <vector>

// "Contact Filter" and "Contacts": whose messages are forwarded. Names
// compare as the networks compare screen names, without regard to case or
// blanks: "Ann Smith" is "annsmith". Only ASCII letters fold; a byte above
// 127 compares as it is, since its letter depends on the code page.
class ContactFilter {
public:
    enum Mode : int32_t { kEveryone = 0, kOnlyListed = 1, kAllButListed = 2 };

    // Everyone passes.
    ContactFilter() = default;
    // The names, separated by commas, are brought to their compared form
    // here, once, so that judging a message allocates nothing. An unknown
    // mode lets everyone pass.
    ContactFilter(int32_t mode, const std::string& contacts);

    bool passes(const std::string& name) const;

private:
    bool lists(const std::string& name) const;

    int32_t mode_ = kEveryone;
    std::vector<std::string> names_;  // lower case, without blanks, none empty
};

// Whether two screen names name the same contact.
bool sameScreenName(const std::string& first, const std::string& second);
