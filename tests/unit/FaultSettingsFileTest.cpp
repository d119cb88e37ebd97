#include <gtest/gtest.h>

#include <string>

#include "IniFile.h"
#include "TempDir.h"
#include "settings/Settings.h"

// Settings files that a person, another program or a broken disk may leave
// behind: whatever they hold, loading reads every key it can, falls back to
// the defaults for the rest, and a save writes a clean file again.
namespace {

const char kCrLf[] = "\r\n";
const char kSectionLine[] = "[IM Tolvane]\r\n";
const size_t kLongLine = 100 * 1024;
// The profile functions hand over at most this many bytes of a value.
const size_t kLongestValue = 2047;

class FaultSettingsFile : public ::testing::Test {
protected:
    const std::string& directory() const { return directory_.path(); }
    IniFile file() const { return IniFile(directory_.file("IMTolvane.ini")); }

    Settings loadFrom(const std::string& bytes) const {
        file().writeBytes(bytes);
        Settings settings;
        settings.load(directory());
        return settings;
    }

private:
    TempDir directory_;
};

std::string key(const std::string& name, const std::string& value) {
    return name + "=" + value + kCrLf;
}

}  // namespace

TEST_F(FaultSettingsFile, BinaryBytesInValuesAndBetweenLines) {
    const std::string binary("\x01\x7f\x80\xfe\xff\x1b[0m", 9);
    const std::string bytes = std::string(kSectionLine) + key("Forwarding Enabled", "1") +
                              std::string("\x02\x00\xfe\xff junk\r\n", 11) +
                              key("Reply", binary) + key("CharLimit", "\x80\x81" "7") +
                              key("SMTP Server", "mail.example.com");
    const Settings settings = loadFrom(bytes);
    EXPECT_TRUE(settings.forwardingEnabled);
    EXPECT_EQ(settings.reply, binary);
    EXPECT_EQ(settings.charLimit, 0);
    EXPECT_EQ(settings.smtpServer, "mail.example.com");
    EXPECT_EQ(settings.messageLimit, 5);
}

TEST_F(FaultSettingsFile, HundredKilobyteLinesAreCutOrSkipped) {
    const std::string longValue(kLongLine, 'r');
    const std::string bytes = std::string(kLongLine, 'x') + kCrLf + kSectionLine +
                              key(std::string(kLongLine, 'k'), "1") + key("Reply", longValue) +
                              key("Forwarding Enabled", "1") +
                              key("Trigger Prefix", std::string(kLongLine, '!'));
    const Settings settings = loadFrom(bytes);
    EXPECT_EQ(settings.reply, longValue.substr(0, kLongestValue));
    EXPECT_EQ(settings.triggerPrefix, std::string(kLongestValue, '!'));
    EXPECT_TRUE(settings.forwardingEnabled);
    EXPECT_EQ(settings.charLimit, 120);

    settings.save(directory());
    for (const IniEntry& entry : file().entries("IM Tolvane")) {
        if (entry.first == "Reply") {
            EXPECT_EQ(entry.second.size(), kLongestValue);
        }
    }
}

TEST_F(FaultSettingsFile, DuplicateKeysReadTheFirst) {
    const std::string bytes = std::string(kSectionLine) + key("Reply", "first") +
                              key("Forwarding Enabled", "1") + key("Reply", "second") +
                              key("Forwarding Enabled", "0") + kSectionLine + key("Reply", "third");
    const Settings settings = loadFrom(bytes);
    EXPECT_EQ(settings.reply, "first");
    EXPECT_TRUE(settings.forwardingEnabled);
}

TEST_F(FaultSettingsFile, KeysOutsideTheSectionAreNotRead) {
    const std::string bytes = key("Forwarding Enabled", "1") + "[IM Tolvane Old]\r\n" +
                              key("Reply", "old") + "[Other]\r\n" + key("CharLimit", "9") +
                              " [IM Tolvane\r\n" + key("Trigger Prefix", "#") + kSectionLine +
                              key("SMTP Server", "kept");
    const Settings settings = loadFrom(bytes);
    EXPECT_FALSE(settings.forwardingEnabled);
    EXPECT_EQ(settings.reply, "Your message has been forwarded to a mobile device");
    EXPECT_EQ(settings.charLimit, 120);
    EXPECT_EQ(settings.triggerPrefix, "!page");
    EXPECT_EQ(settings.smtpServer, "kept");
}

TEST_F(FaultSettingsFile, SavedTextsStayOnTheirOwnLine) {
    Settings settings = loadFrom(kSectionLine);
    settings.reply = "ok\r\n[IM Tolvane]\r\nForwarding Enabled=1\nx";
    settings.save(directory());
    Settings reloaded;
    reloaded.load(directory());
    EXPECT_FALSE(reloaded.forwardingEnabled);
    EXPECT_EQ(reloaded.reply.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(file().sections(), std::vector<std::string>{"IM Tolvane"});
}
