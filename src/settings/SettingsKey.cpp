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

constexpr SettingsKey rangedKey(const char* name, const char* fallback, int32_t Settings::*field,
                                int32_t minimum, int32_t maximum) {
    return {name, fallback, nullptr, field, nullptr, minimum, maximum};
}

constexpr SettingsKey secretKey(const char* name, std::string Settings::*field) {
    return {name, "", nullptr, nullptr, field, INT32_MIN, INT32_MAX, true};
}

const int32_t kLargestPort = 65535;
const int32_t kLargestSecurity = 2;
// A day.
const int32_t kLongestRetryMinutes = 1440;
const int32_t kLongestCooldownMinutes = 1440;
// IMAP has no plain mode: 1 STARTTLS, 2 TLS.
const int32_t kFirstImapSecurity = 1;
const int32_t kLargestImapSecurity = 2;
const int32_t kLargestContactFilter = 2;

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
    // Appended, so that older files read as before and older versions
    // ignore them.
    rangedKey("SMTP Port", "0", &Settings::smtpPort, 0, kLargestPort),
    rangedKey("SMTP Security", "0", &Settings::smtpSecurity, 0, kLargestSecurity),
    textKey("SMTP User", "", &Settings::smtpUser),
    secretKey("SMTP Password", &Settings::smtpPassword),
    textKey("Trusted CA File", "", &Settings::trustedCaFile),
    rangedKey("Away Minutes", "0", &Settings::awayMinutes, 0, kMaxAwayMinutes),
    rangedKey("Retry Minutes", "0", &Settings::retryMinutes, 0, kLongestRetryMinutes),
    secretKey("Push URL", &Settings::pushUrl),
    textKey("IMAP Server", "", &Settings::imapServer),
    rangedKey("IMAP Port", "0", &Settings::imapPort, 0, kLargestPort),
    rangedKey("IMAP Security", "2", &Settings::imapSecurity, kFirstImapSecurity, kLargestImapSecurity),
    rangedKey("Cooldown Minutes", "0", &Settings::cooldownMinutes, 0, kLongestCooldownMinutes),
    textKey("Quiet From", "", &Settings::quietFrom),
    textKey("Quiet To", "", &Settings::quietTo),
    rangedKey("Contact Filter", "0", &Settings::contactFilter, 0, kLargestContactFilter),
    textKey("Contacts", "", &Settings::contacts),
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
        const int32_t number = parseNumber(stored);
        const bool inRange = number >= key.minimum && number <= key.maximum;
        settings.*key.numberField = inRange ? number : parseNumber(key.fallback);
    } else {
        settings.*key.textField = stored;
    }
}
