#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "forward/ContactFilter.h"
#include "forward/CooldownGatherer.h"
#include "forward/QuietHours.h"

namespace {

const int kMinutesPerDay = 24 * 60;

std::string timeText(int minute) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
    return text;
}

// A read time is a minute of the day (or the midnight that ends it) and
// reads the same once written back; two spans with their ends swapped
// share no minute and together cover the day.
void checkQuietHours(FuzzedDataProvider& input) {
    const std::string from = input.ConsumeRandomLengthString(8);
    const std::string to = input.ConsumeRandomLengthString(8);
    const std::optional<int> start = parseTimeOfDay(from);
    const std::optional<int> end = parseTimeOfDay(to);
    if (start) {
        FUZZ_REQUIRE(*start >= 0 && *start <= kMinutesPerDay);
        FUZZ_REQUIRE(parseTimeOfDay(timeText(*start)) == start);
    }
    const QuietHours span(from, to);
    const QuietHours swapped(to, from);
    const bool none = !start || !end || *start % kMinutesPerDay == *end % kMinutesPerDay;
    for (int minute = 0; minute < kMinutesPerDay; minute += 7) {
        if (none) {
            FUZZ_REQUIRE(!span.covers(minute) && !swapped.covers(minute));
        } else {
            FUZZ_REQUIRE(span.covers(minute) != swapped.covers(minute));
        }
    }
}

// The two list modes are each other's opposite; a listed name passes the
// first, blanks and ASCII case aside; the comparison is symmetric.
void checkContacts(FuzzedDataProvider& input) {
    const std::string contacts = input.ConsumeRandomLengthString(64);
    const std::string name = input.ConsumeRandomLengthString(16);
    const ContactFilter only(ContactFilter::kOnlyListed, contacts);
    const ContactFilter allBut(ContactFilter::kAllButListed, contacts);
    FUZZ_REQUIRE(only.passes(name) != allBut.passes(name));
    FUZZ_REQUIRE(sameScreenName(name, contacts) == sameScreenName(contacts, name));
    FUZZ_REQUIRE(sameScreenName(name, " " + name + "\t"));
    if (name.find(',') == std::string::npos && !sameScreenName(name, "")) {
        FUZZ_REQUIRE(ContactFilter(ContactFilter::kOnlyListed, contacts + "," + name).passes(name));
    }
}

// Whatever arrives comes out once, at once or gathered, each contact's
// messages in the order they arrived.
void checkGatherer(FuzzedDataProvider& input) {
    const char* const names[] = {"ann", "Ann", "bob", "a nn"};
    const uint64_t cooldownMs = input.ConsumeIntegralInRange<uint64_t>(0, 100);
    CooldownGatherer gatherer;
    std::map<std::string, std::vector<int>> sent;
    const auto record = [&](const GatheredMessages& gathered) {
        for (const std::string& text : gathered.texts) sent[gathered.name == "bob" ? "bob" : "ann"].push_back(std::stoi(text));
    };
    uint64_t now = 0;
    int count = 0;
    while (input.remaining_bytes() > 0 && count < 200) {
        now += input.ConsumeIntegralInRange<uint64_t>(0, 60);
        for (const GatheredMessages& gathered : gatherer.takeDue(now, cooldownMs)) record(gathered);
        const std::optional<uint64_t> due = gatherer.nextDueMs(cooldownMs);
        FUZZ_REQUIRE(!due || *due > now);
        if (input.ConsumeBool()) continue;
        const std::string name = names[input.ConsumeIntegralInRange(0, 3)];
        if (gatherer.arrive(name, "AIM", 0, std::to_string(count), now, cooldownMs)) {
            record(GatheredMessages{name, "AIM", 0, {std::to_string(count)}});
        }
        ++count;
    }
    for (const GatheredMessages& gathered : gatherer.takeAll()) record(gathered);
    FUZZ_REQUIRE(gatherer.dropAll() == 0);
    size_t total = 0;
    for (const auto& contact : sent) {
        total += contact.second.size();
        for (size_t i = 1; i < contact.second.size(); ++i) FUZZ_REQUIRE(contact.second[i - 1] < contact.second[i]);
    }
    FUZZ_REQUIRE(total == static_cast<size_t>(count));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange(0, 2)) {
        case 0:
            checkQuietHours(input);
            break;
        case 1:
            checkContacts(input);
            break;
        default:
            checkGatherer(input);
            break;
    }
    return 0;
}
