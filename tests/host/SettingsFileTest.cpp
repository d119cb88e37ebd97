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
};

std::map<std::string, std::string> byKey(const std::vector<IniEntry>& entries) {
    return std::map<std::string, std::string>(entries.begin(), entries.end());
}

// Loads with the given file contents and unloads at once: what the file
// holds afterwards is what the plug-in read, written back.
std::map<std::string, std::string> roundTrip(TestHost& host,
                                             const std::vector<IniEntry>& fixture) {
    host.writeSettings(fixture);
    host.load();
    host.unload();
    return byKey(host.settingsEntries());
}

// Text whose every position can be told apart from its neighbours.
std::string patterned(size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text += char('a' + i % 26);
    return text;
}

}  // namespace

TEST(SettingsFile, WithoutAFileUnloadWritesAllSixteenDefaultsInOrder) {
    TestHost host;
    host.load();
    EXPECT_FALSE(host.settingsFile().exists());
    host.unload();
    EXPECT_EQ(host.settingsFile().sections(), std::vector<std::string>{"IM Tolvane"});
    EXPECT_EQ(host.settingsEntries(), kDefaults);
}

TEST(SettingsFile, SwitchesAreOnExactlyWhenTheValueBeginsWithOne) {
    TestHost host;
    auto saved = roundTrip(host, {{"Forwarding Enabled", "true"},
                                  {"Prefix Enabled", "1x"},
                                  {"Char Limit Enabled", "10"},
                                  {"Reply Enabled", "2"},
                                  {"Show Systray Alert", "yes"},
                                  {"Name In Body", "1"}});
    EXPECT_EQ(saved["Forwarding Enabled"], "0");
    EXPECT_EQ(saved["Prefix Enabled"], "1");
    EXPECT_EQ(saved["Char Limit Enabled"], "1");
    EXPECT_EQ(saved["Reply Enabled"], "0");
    EXPECT_EQ(saved["Show Systray Alert"], "0");
    EXPECT_EQ(saved["Name In Body"], "1");
}

TEST(SettingsFile, NumbersReadAsAtoiAndWriteBackAsDecimal) {
    {
        TestHost host;
        auto saved = roundTrip(host, {{"CharLimit", "12abc"},
                                      {"Message Limit", "-5"},
                                      {"ForwardType", "3"}});
        EXPECT_EQ(saved["CharLimit"], "12");
        EXPECT_EQ(saved["Message Limit"], "-5");
        EXPECT_EQ(saved["ForwardType"], "3");
    }
    TestHost host;
    auto saved = roundTrip(host, {{"CharLimit", "abc"}, {"Message Limit", "+007"}});
    EXPECT_EQ(saved["CharLimit"], "0");
    EXPECT_EQ(saved["Message Limit"], "7");
}

TEST(SettingsFile, PresentButEmptyValuesAreNotTheDefaults) {
    TestHost host;
    auto saved = roundTrip(host, {{"Prefix Enabled", ""},
                                  {"ForwardType", ""},
                                  {"CharLimit", ""},
                                  {"Trigger Prefix", ""},
                                  {"Reply", ""}});
    EXPECT_EQ(saved["Prefix Enabled"], "0");
    EXPECT_EQ(saved["ForwardType"], "0");
    EXPECT_EQ(saved["CharLimit"], "0");
    EXPECT_EQ(saved["Trigger Prefix"], "");
    EXPECT_EQ(saved["Reply"], "");
    EXPECT_EQ(saved["Message Limit"], "5");
}

TEST(SettingsFile, TextsComeBackUnchanged) {
    TestHost host;
    const std::vector<IniEntry> texts = {
        {"SMTP Server", "mail.example.net"},     {"Provider", "No Such Carrier"},
        {"From Address", "me@example.org"},      {"EMail Address", "you@example.org"},
        {"Phone Number", "(555) 010-0199"},      {"Trigger Prefix", "#fwd"},
        {"Reply", "Away; your note = noted [ok]"}};
    auto saved = roundTrip(host, texts);
    for (const IniEntry& text : texts) EXPECT_EQ(saved[text.first], text.second) << text.first;
}

TEST(SettingsFile, LongTextsAreCutTo2047Bytes) {
    TestHost host;
    const std::string reply = patterned(3000);
    const std::string server = patterned(2047);
    auto saved = roundTrip(host, {{"Reply", reply}, {"SMTP Server", server}});
    EXPECT_EQ(saved["Reply"], reply.substr(0, 2047));
    EXPECT_EQ(saved["SMTP Server"], server);
}

TEST(SettingsFile, SavingKeepsOtherKeysAndSections) {
    TestHost host;
    host.settingsFile().writeThroughProfile({{"Colour", "blue"}}, "Elsewhere");
    auto saved = roundTrip(host, {{"Forwarding Enabled", "1"}, {"Extra Key", "kept"}});
    EXPECT_EQ(saved["Extra Key"], "kept");
    EXPECT_EQ(saved["Forwarding Enabled"], "1");
    EXPECT_EQ(saved.size(), kDefaults.size() + 1);
    EXPECT_EQ(host.settingsFile().entries("Elsewhere"), (std::vector<IniEntry>{{"Colour", "blue"}}));
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
