#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IniFile.h"
#include "TempDir.h"
#include "settings/Settings.h"

namespace {

const char kSection[] = "IM Tolvane";

// Points the module's settings directory at a fresh directory for one test.
class SettingsDirectory {
public:
    SettingsDirectory() { settingsDirectory = directory_.path(); }
    ~SettingsDirectory() { settingsDirectory.clear(); }
    IniFile file() const { return IniFile(directory_.file("IMTolvane.ini")); }

private:
    TempDir directory_;
};

Settings unusual() {
    Settings s;
    s.forwardingEnabled = true;
    s.charLimitEnabled = false;
    s.prefixEnabled = false;
    s.replyEnabled = false;
    s.showSystrayAlert = false;
    s.nameInBody = true;
    s.charLimit = -7;
    s.forwardType = 2;
    s.messageLimit = 2147483647;
    s.smtpServer = "10.0.0.1";
    s.emailAddress = "a@example.org";
    s.fromAddress = "b@example.org";
    s.provider = "Some Carrier";
    s.phoneNumber = "555 0100";
    s.triggerPrefix = "";
    s.reply = "ok";
    return s;
}

}  // namespace

TEST(Settings, SaveThenLoadGivesEveryFieldBack) {
    SettingsDirectory directory;
    const Settings saved = unusual();
    saved.save();
    Settings loaded;
    loaded.load();
    EXPECT_EQ(loaded.forwardingEnabled, saved.forwardingEnabled);
    EXPECT_EQ(loaded.charLimitEnabled, saved.charLimitEnabled);
    EXPECT_EQ(loaded.prefixEnabled, saved.prefixEnabled);
    EXPECT_EQ(loaded.replyEnabled, saved.replyEnabled);
    EXPECT_EQ(loaded.showSystrayAlert, saved.showSystrayAlert);
    EXPECT_EQ(loaded.nameInBody, saved.nameInBody);
    EXPECT_EQ(loaded.charLimit, saved.charLimit);
    EXPECT_EQ(loaded.forwardType, saved.forwardType);
    EXPECT_EQ(loaded.messageLimit, saved.messageLimit);
    EXPECT_EQ(loaded.smtpServer, saved.smtpServer);
    EXPECT_EQ(loaded.emailAddress, saved.emailAddress);
    EXPECT_EQ(loaded.fromAddress, saved.fromAddress);
    EXPECT_EQ(loaded.provider, saved.provider);
    EXPECT_EQ(loaded.phoneNumber, saved.phoneNumber);
    EXPECT_EQ(loaded.triggerPrefix, saved.triggerPrefix);
    EXPECT_EQ(loaded.reply, saved.reply);
}

TEST(Settings, LineBreaksInATextCannotAddKeysOrSections) {
    SettingsDirectory directory;
    Settings settings = unusual();
    settings.reply = "bye\r\n[Evil]\r\nForwarding Enabled=0";
    settings.smtpServer = "mail\nCharLimit=1";
    settings.save();

    const IniFile file = directory.file();
    EXPECT_EQ(file.sections(), std::vector<std::string>{kSection});
    const std::vector<IniEntry> entries = file.entries(kSection);
    EXPECT_EQ(entries.size(), 16u);

    Settings loaded;
    loaded.load();
    EXPECT_TRUE(loaded.forwardingEnabled);
    EXPECT_EQ(loaded.charLimit, -7);
    EXPECT_EQ(loaded.reply, "bye  [Evil]  Forwarding Enabled=0");
    EXPECT_EQ(loaded.smtpServer, "mail CharLimit=1");
    // The record itself keeps what it held.
    EXPECT_EQ(settings.reply, "bye\r\n[Evil]\r\nForwarding Enabled=0");
}
