#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// "Cooldown Minutes" in milliseconds; values below 0 or beyond a day act
// as 0, off, as the settings file reads them.
uint64_t cooldownMilliseconds(int32_t cooldownMinutes);

// One contact's messages gathered during a cool-down, to go out as one
// forward.
struct GatheredMessages {
    std::string name;  // as the first gathered message gave it
    std::string medium;
    int32_t connection = 0;  // the one the last gathered message came on
    std::vector<std::string> texts;  // in arrival order
};

// "Cooldown Minutes": a contact's first message goes at once; the ones that
// follow within the cool-down of the last forward to the phone are gathered
// and go out together once the cool-down has passed since that forward,
// which starts the next cool-down. A contact is a screen name (compared as
// sameScreenName does) on one medium. Times are milliseconds of a clock the
// caller reads, one that never goes back.
class CooldownGatherer {
public:
    // Whether the message goes out now; false when it was gathered. With a
    // cool-down of 0 every message goes now. The caller first takes what is
    // due, so that a contact's messages keep their order.
    bool arrive(const std::string& name, const std::string& medium, int32_t connection,
                const std::string& text, uint64_t nowMs, uint64_t cooldownMs);
    // The gatherings whose cool-down has passed, in the order their contacts
    // first wrote; each counts as a forward sent now.
    std::vector<GatheredMessages> takeDue(uint64_t nowMs, uint64_t cooldownMs);
    // Every gathering, due or not.
    std::vector<GatheredMessages> takeAll();
    // Forgets every gathering; returns how many messages were dropped.
    std::size_t dropAll();
    // When the next gathering falls due; none while nothing is gathered.
    std::optional<uint64_t> nextDueMs(uint64_t cooldownMs) const;

private:
    struct Contact {
        GatheredMessages gathered;
        uint64_t lastSentMs = 0;
    };

    std::vector<Contact> contacts_;
};
