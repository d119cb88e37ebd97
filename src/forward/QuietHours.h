#pragma once
#include <optional>
#include <string>

// "Quiet From" and "Quiet To": the local times of day, as "HH:MM", between
// which nothing is forwarded. The span starts at its first minute and ends
// before its last; it crosses midnight when it ends earlier than it starts
// ("22:00" to "07:00"). Either end empty or unreadable, or both the same,
// means no quiet hours: a value the plug-in cannot read never keeps a
// message from the phone.
class QuietHours {
public:
    static const int kMinutesPerDay = 24 * 60;

    // None.
    QuietHours() = default;
    QuietHours(const std::string& from, const std::string& to);

    // The minute of the day counts from midnight, 0 to 1439.
    bool covers(int minuteOfDay) const;

private:
    int from_ = 0;
    int to_ = 0;  // equal to from_ when there are none
};

// "H:MM" or "HH:MM", blanks around it allowed, as minutes after midnight;
// "24:00" is the midnight that ends a day. None for anything else.
std::optional<int> parseTimeOfDay(const std::string& text);
