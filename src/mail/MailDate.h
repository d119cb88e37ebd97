#pragma once
#include <string>

// A moment in Coordinated Universal Time, as the calendar shows it.
struct MailTime {
    int year;
    int month;   // 1 to 12
    int day;     // 1 to 31
    int hour;
    int minute;
    int second;
};

// The date of a mail in the Internet message format, for example
// "Wed, 09 Dec 2026 05:51:03 +0000".
std::string formatMailDate(const MailTime& time);
// The time of day as "05:51:03".
void appendClock(std::string& out, const MailTime& time);
