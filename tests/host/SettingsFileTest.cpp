#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "TestHost.h"

namespace {

const std::vector<IniEntry> kDefaults = {
    {"Forwarding Enabled", "0"},
    {"Prefix Enabled", "1"},
    {"Char Limit Enabled", "1"},
    {"Reply Enabled", "1"},
    {"Show Systray Alert", "1"},
    {"Name In Body", "0"},
    {"ForwardType", "1"},
    {"CharLimit", "120"},
    {"Message Limit", "5"},
    {"SMTP Server", ""},
    {"Provider", ""},
    {"From Address", "tolvane@example.com"},
    {"EMail Address", ""},
    {"Phone Number", ""},
    {"Trigger Prefix", "!page"},
    {"Reply", "Your message has been forwarded to a mobile device"},
    {"SMTP Port", "0"},
    {"SMTP Security", "0"},
    {"SMTP User", ""},
    {"SMTP Password", ""},
    {"Trusted CA File", ""},
    {"Away Minutes", "0"},
    {"Retry Minutes", "0"},
    {"Push URL", ""},
    {"IMAP Server", ""},
    {"IMAP Port", "0"},
    {"IMAP Security", "2"},
    {"Cooldown Minutes", "0"},
    {"Quiet From", ""},
    {"Quiet To", ""},
    {"Contact Filter", "0"},
    {"Contacts", ""},
};

std::map<std::string, std::string> byKey(const std::vector<IniEntry>& entries) {
    return std::map<std::string, std::string>(entries.begin(), entries.end());
}

// A key, the value stored in the file before load, and the value that
// unload writes back.
struct Stored {
    std::string key;
    std::string before;
    std::string after;
};

// Loads with the given values in the file and unloads at once: what the file
// holds afterwards is what the plug-in read, written back.
void expectRoundTrip(const std::vector<Stored>& values) {
    TestHost host;
    std::vector<IniEntry> fixture;
    for (const Stored& value : values) fixture.emplace_back(value.key, value.before);
    host.writeSettings(fixture);
    host.load();
    host.unload();
    auto saved = byKey(host.settingsEntries());
    for (const Stored& value : values) {
        EXPECT_EQ(saved[value.key], value.after) << value.key << " stored as " << value.before;
    }
}

// Text whose every position can be told apart from its neighbours.
std::string patterned(size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text += char('a' + i % 26);
    return text;
}

}  // namespace

TEST(SettingsFile, WithoutAFileUnloadWritesEveryDefaultInOrder) {
    TestHost host;
    host.load();
    EXPECT_FALSE(host.settingsFile().exists());
    host.unload();
    EXPECT_EQ(host.settingsFile().sections(), std::vector<std::string>{"IM Tolvane"});
    EXPECT_EQ(host.settingsEntries(), kDefaults);
}

TEST(SettingsFile, UnloadWritesBackWhatLoadRead) {
    // Switches are on exactly when the value begins with "1", numbers read as
    // atoi does and come back in decimal, texts come back unchanged.
    expectRoundTrip({{"Forwarding Enabled", "true", "0"},
                     {"Prefix Enabled", "1x", "1"},
                     {"Char Limit Enabled", "10", "1"},
                     {"Reply Enabled", "2", "0"},
                     {"Show Systray Alert", "yes", "0"},
                     {"Name In Body", "1", "1"},
                     {"CharLimit", "12abc", "12"},
                     {"Message Limit", "-5", "-5"},
                     {"ForwardType", "3", "3"},
                     {"SMTP Server", "mail.example.net", "mail.example.net"},
                     {"Provider", "No Such Carrier", "No Such Carrier"},
                     {"From Address", "me@example.org", "me@example.org"},
                     {"EMail Address", "you@example.org", "you@example.org"},
                     {"Phone Number", "(555) 010-0199", "(555) 010-0199"},
                     {"Trigger Prefix", "#fwd", "#fwd"},
                     {"Reply", "Away; your note = noted [ok]", "Away; your note = noted [ok]"},
                     {"Away Minutes", "90 min", "90"}});
    expectRoundTrip({{"Away Minutes", "-5", "0"}});
    // Present but empty values are not the defaults, and a long text is cut
    // to 2047 bytes.
    const std::string reply = patterned(3000);
    const std::string server = patterned(2047);
    expectRoundTrip({{"Prefix Enabled", "", "0"},
                     {"ForwardType", "", "0"},
                     {"CharLimit", "", "0"},
                     {"Message Limit", "+007", "7"},
                     {"Away Minutes", "1441", "0"},
                     {"Trigger Prefix", "", ""},
                     {"Reply", reply, reply.substr(0, 2047)},
                     {"SMTP Server", server, server}});
}

// The mail server's keys and "Retry Minutes": numbers out of their range
// read as the default, and a password that does not unprotect for this user
// is written back as it was stored.
TEST(SettingsFile, MailServerKeysReadOddValuesAsTheirDefaults) {
    expectRoundTrip({{"SMTP Port", "2525", "2525"},
                     {"SMTP Security", "3", "0"},
                     {"SMTP User", "ann@example.org", "ann@example.org"},
                     {"SMTP Password", "c2VjcmV0", "c2VjcmV0"},
                     {"Trusted CA File", "C:\\certs\\ca.pem", "C:\\certs\\ca.pem"},
                     {"Retry Minutes", "-5", "0"}});
    expectRoundTrip(
        {{"SMTP Port", "65536", "0"}, {"SMTP Security", "2", "2"}, {"Retry Minutes", "1440", "1440"}});
    expectRoundTrip(
        {{"SMTP Port", "-25", "0"}, {"SMTP Security", "-1", "0"}, {"Retry Minutes", "1441", "0"}});
}

TEST(SettingsFile, SavingKeepsOtherKeysAndSections) {
    TestHost host;
    host.settingsFile().writeThroughProfile({{"Colour", "blue"}}, "Elsewhere");
    host.writeSettings({{"Forwarding Enabled", "1"}, {"Extra Key", "kept"}});
    host.load();
    host.unload();
    auto saved = byKey(host.settingsEntries());
    EXPECT_EQ(saved["Extra Key"], "kept");
    EXPECT_EQ(saved["Forwarding Enabled"], "1");
    EXPECT_EQ(saved.size(), kDefaults.size() + 1);
    EXPECT_EQ(host.settingsFile().entries("Elsewhere"),
              (std::vector<IniEntry>{{"Colour", "blue"}}));
}

TEST(SettingsFile, ReadOnlyAtLoadSoUnloadOverwritesLaterEdits) {
    TestHost host;
    host.writeSettings({{"SMTP Server", "first.example.net"}});
    host.load();
    host.writeSettings({{"SMTP Server", "edited.example.net"}, {"CharLimit", "9"}});
    host.unload();
    auto saved = byKey(host.settingsEntries());
    EXPECT_EQ(saved["SMTP Server"], "first.example.net");
    EXPECT_EQ(saved["CharLimit"], "120");
}
