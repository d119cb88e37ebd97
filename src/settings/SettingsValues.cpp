#include "settings/SettingsValues.h"

#include "text/PlainText.h"

namespace SettingsValues {

namespace {

const char kOn = '1';

// The blanks that atoi skips in the C locale.
bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

bool parseSwitch(const std::string& stored) { return !stored.empty() && stored[0] == kOn; }

int32_t parseNumber(const std::string& stored) {
    size_t i = 0;
    while (i < stored.size() && isBlank(stored[i])) ++i;
    bool negative = false;
    if (i < stored.size() && (stored[i] == '-' || stored[i] == '+')) negative = stored[i++] == '-';
    // Unsigned arithmetic wraps, so an overflowing value stays defined.
    uint32_t value = 0;
    for (; i < stored.size() && PlainText::isDigit(stored[i]); ++i) {
        value = value * 10u + uint32_t(stored[i] - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

std::string formatSwitch(bool on) { return on ? "1" : "0"; }

std::string formatNumber(int32_t value) { return std::to_string(value); }

std::string formatText(const std::string& text) { return PlainText::singleLine(text); }

}  // namespace SettingsValues
