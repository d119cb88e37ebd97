#include "mail/MailDate.h"

#include "text/NumberText.h"

namespace {

const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const int kMonthsInYear = 12;
const int kDaysInWeek = 7;

// Sakamoto's method for the Gregorian calendar: 0 is Sunday.
int weekday(int year, int month, int day) {
    static const int kMonthOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) --year;
    const int days = year + year / 4 - year / 100 + year / 400 + kMonthOffsets[month - 1] + day;
    return (days % kDaysInWeek + kDaysInWeek) % kDaysInWeek;
}

}  // namespace

std::string formatMailDate(const MailTime& time) {
    const int month = (time.month >= 1 && time.month <= kMonthsInYear) ? time.month : 1;
    using NumberText::appendDecimal;
    std::string text = kWeekdays[weekday(time.year, month, time.day)];
    text += ", ";
    appendDecimal(text, time.day, 2);
    text += ' ';
    text += kMonths[month - 1];
    text += ' ';
    appendDecimal(text, time.year, 4);
    text += ' ';
    appendClock(text, time);
    return text + " +0000";
}

void appendClock(std::string& out, const MailTime& time) {
    using NumberText::appendDecimal;
    appendDecimal(out, time.hour, 2);
    out += ':';
    appendDecimal(out, time.minute, 2);
    out += ':';
    appendDecimal(out, time.second, 2);
}
