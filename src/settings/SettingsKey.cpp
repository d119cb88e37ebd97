#include "settings/SettingsKey.h"

#include "settings/SettingsValues.h"

namespace {

// The sender of every forwarded mail until the user types one.
const char kDefaultFromAddress[] = "tolvane@example.com";
const char kDefaultTriggerPrefix[] = "!page";
const char kDefaultReply[] = "Your message has been forwarded to a mobile device";

constexpr SettingsKey switchKey(const char* name, const char* fallback, bool Settings::*field) {
    return {name, fallback, field, nullptr, nullptr};
}

constexpr SettingsKey numberKey(const char* name, const char* fallback, int32_t Settings::*field) {
    return {name, fallback, nullptr, field, nullptr};
}

constexpr SettingsKey textKey(const char* name, const char* fallback,
                              std::string Settings::*field) {
    return {name, fallback, nullptr, nullptr, field};
}

}  // namespace

const SettingsKey kSettingsKeys[kSettingsKeyCount] = {
    switchKey("Forwarding Enabled", "0", &Settings::forwardingEnabled),
    switchKey("Prefix Enabled", "1", &Settings::prefixEnabled),
    switchKey("Char Limit Enabled", "1", &Settings::charLimitEnabled),
    switchKey("Reply Enabled", "1", &Settings::replyEnabled),
    switchKey("Show Systray Alert", "1", &Settings::showSystrayAlert),
    switchKey("Name In Body", "0", &Settings::nameInBody),
    numberKey("ForwardType", "1", &Settings::forwardType),
    numberKey("CharLimit", "120", &Settings::charLimit),
    numberKey("Message Limit", "5", &Settings::messageLimit),
    textKey("SMTP Server", "", &Settings::smtpServer),
    textKey("Provider", "", &Settings::provider),
    textKey("From Address", kDefaultFromAddress, &Settings::fromAddress),
    textKey("EMail Address", "", &Settings::emailAddress),
    textKey("Phone Number", "", &Settings::phoneNumber),
    textKey("Trigger Prefix", kDefaultTriggerPrefix, &Settings::triggerPrefix),
    textKey("Reply", kDefaultReply, &Settings::reply),
    numberKey("Away Minutes", "0", &Settings::awayMinutes),
};

std::string storedValue(const Settings& settings, const SettingsKey& key) {
    using namespace SettingsValues;
    if (key.switchField) return formatSwitch(settings.*key.switchField);
    if (key.numberField) return formatNumber(settings.*key.numberField);
    return formatText(settings.*key.textField);
}

void assignStored(Settings& settings, const SettingsKey& key, const std::string& stored) {
    using namespace SettingsValues;
    if (key.switchField) {
        settings.*key.switchField = parseSwitch(stored);
    } else if (key.numberField) {
        settings.*key.numberField = parseNumber(stored);
    } else {
        settings.*key.textField = stored;
    }
}
