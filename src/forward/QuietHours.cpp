#include "forward/QuietHours.h"

#include <cstddef>

#include "text/PlainText.h"

namespace {

const int kHoursPerDay = 24;
const int kMinutesPerHour = 60;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

int digitValue(char c) { return c - '0'; }

}  // namespace

std::optional<int> parseTimeOfDay(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    const std::string time = text.substr(begin, end - begin);
    const std::size_t colon = time.find(':');
    if (colon != 1 && colon != 2) return std::nullopt;
    if (time.size() != colon + 3) return std::nullopt;
    for (std::size_t i = 0; i < time.size(); ++i) {
        if (i != colon && !PlainText::isDigit(time[i])) return std::nullopt;
    }
    const int hours = colon == 1 ? digitValue(time[0]) : digitValue(time[0]) * 10 + digitValue(time[1]);
    const int minutes = digitValue(time[colon + 1]) * 10 + digitValue(time[colon + 2]);
    if (minutes >= kMinutesPerHour) return std::nullopt;
    if (hours > kHoursPerDay || (hours == kHoursPerDay && minutes > 0)) return std::nullopt;
    return hours * kMinutesPerHour + minutes;
}

QuietHours::QuietHours(const std::string& from, const std::string& to) {
    const std::optional<int> start = parseTimeOfDay(from);
    const std::optional<int> end = parseTimeOfDay(to);
    if (!start || !end) return;
    // Midnight is one time of day, whether it starts or ends one.
    from_ = *start % kMinutesPerDay;
    to_ = *end % kMinutesPerDay;
}

bool QuietHours::covers(int minuteOfDay) const {
    if (from_ < to_) return minuteOfDay >= from_ && minuteOfDay < to_;
    if (from_ > to_) return minuteOfDay >= from_ || minuteOfDay < to_;
    return false;
}
