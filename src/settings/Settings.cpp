#include "settings/Settings.h"

#include <windows.h>

#include "settings/SettingsValues.h"

std::string settingsDirectory;

namespace {

const char kFileName[] = "IMTolvane.ini";
const char kSection[] = "IM Tolvane";
const DWORD kReadBufferSize = 2048;

const char kDefaultFromAddress[] = "tolvane@example.com";
const char kDefaultTriggerPrefix[] = "!page";
const char kDefaultReply[] = "Your message has been forwarded to a mobile device";

std::string settingsPath() { return settingsDirectory + kFileName; }

std::string readText(const std::string& path, const char* key, const char* fallback) {
    char buffer[kReadBufferSize];
    GetPrivateProfileStringA(kSection, key, fallback, buffer, kReadBufferSize, path.c_str());
    return buffer;
}

void writeText(const std::string& path, const char* key, const std::string& value) {
    WritePrivateProfileStringA(kSection, key, value.c_str(), path.c_str());
}

}  // namespace

void Settings::load() {
    using namespace SettingsValues;
    const std::string path = settingsPath();
    forwardingEnabled = parseSwitch(readText(path, "Forwarding Enabled", "0"));
    prefixEnabled = parseSwitch(readText(path, "Prefix Enabled", "1"));
    charLimitEnabled = parseSwitch(readText(path, "Char Limit Enabled", "1"));
    replyEnabled = parseSwitch(readText(path, "Reply Enabled", "1"));
    showSystrayAlert = parseSwitch(readText(path, "Show Systray Alert", "1"));
    nameInBody = parseSwitch(readText(path, "Name In Body", "0"));
    forwardType = parseNumber(readText(path, "ForwardType", "1"));
    charLimit = parseNumber(readText(path, "CharLimit", "120"));
    messageLimit = parseNumber(readText(path, "Message Limit", "5"));
    smtpServer = readText(path, "SMTP Server", "");
    provider = readText(path, "Provider", "");
    fromAddress = readText(path, "From Address", kDefaultFromAddress);
    emailAddress = readText(path, "EMail Address", "");
    phoneNumber = readText(path, "Phone Number", "");
    triggerPrefix = readText(path, "Trigger Prefix", kDefaultTriggerPrefix);
    reply = readText(path, "Reply", kDefaultReply);
}

void Settings::save() const {
    using namespace SettingsValues;
    const std::string path = settingsPath();
    writeText(path, "Forwarding Enabled", formatSwitch(forwardingEnabled));
    writeText(path, "Prefix Enabled", formatSwitch(prefixEnabled));
    writeText(path, "Char Limit Enabled", formatSwitch(charLimitEnabled));
    writeText(path, "Reply Enabled", formatSwitch(replyEnabled));
    writeText(path, "Show Systray Alert", formatSwitch(showSystrayAlert));
    writeText(path, "Name In Body", formatSwitch(nameInBody));
    writeText(path, "ForwardType", formatNumber(forwardType));
    writeText(path, "CharLimit", formatNumber(charLimit));
    writeText(path, "Message Limit", formatNumber(messageLimit));
    writeText(path, "SMTP Server", formatText(smtpServer));
    writeText(path, "Provider", formatText(provider));
    writeText(path, "From Address", formatText(fromAddress));
    writeText(path, "EMail Address", formatText(emailAddress));
    writeText(path, "Phone Number", formatText(phoneNumber));
    writeText(path, "Trigger Prefix", formatText(triggerPrefix));
    writeText(path, "Reply", formatText(reply));
}
