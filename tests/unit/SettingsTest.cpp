#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IniFile.h"
#include "TempDir.h"
#include "settings/Settings.h"
#include "settings/SettingsKey.h"

// Texts reach the record with line breaks from the preferences page; written
// as they are, they would start keys and sections of their own in the file.
TEST(Settings, LineBreaksInATextCannotAddKeysOrSections) {
    const TempDir directory;
    Settings settings;
    settings.forwardingEnabled = true;
    settings.charLimit = -7;
    settings.reply = "bye\r\n[Evil]\r\nForwarding Enabled=0";
    settings.smtpServer = "mail\nCharLimit=1\rProvider=x";
    settings.save(directory.path());
    Settings loaded;
    loaded.load(directory.path());

    const IniFile file(directory.file("IMTolvane.ini"));
    EXPECT_EQ(file.sections(), std::vector<std::string>{"IM Tolvane"});
    EXPECT_EQ(file.entries("IM Tolvane").size(), kSettingsKeyCount);
    EXPECT_TRUE(loaded.forwardingEnabled);
    EXPECT_EQ(loaded.charLimit, -7);
    EXPECT_EQ(loaded.reply, "bye  [Evil]  Forwarding Enabled=0");
    EXPECT_EQ(loaded.smtpServer, "mail CharLimit=1 Provider=x");
}

// The password goes to the file protected for this user, never in the clear,
// and comes back; DPAPI under Wine protects nothing, so only the round trip
// is tested, not the secrecy.
TEST(Settings, PasswordIsStoredProtectedAndReadBack) {
    const TempDir directory;
    Settings settings;
    settings.smtpPassword = "pa55 w\xf6rd";
    settings.save(directory.path());
    Settings loaded;
    loaded.load(directory.path());

    const std::string stored =
        IniFile(directory.file("IMTolvane.ini")).value("IM Tolvane", "SMTP Password");
    EXPECT_FALSE(stored.empty());
    EXPECT_EQ(stored.find("pa55"), std::string::npos);
    EXPECT_EQ(loaded.smtpPassword, settings.smtpPassword);
}

// A secret that does not unprotect here (another Windows user's, a copied
// file) reads empty and is known as unreadable; saves keep its stored form
// until a new value is typed.
TEST(Settings, AnUnreadableSecretSurvivesSavesUntilReplaced) {
    const TempDir directory;
    const IniFile file(directory.file("IMTolvane.ini"));
    const std::string foreign = "Zm9yZWlnbiBibG9i";
    file.writeThroughProfile({{"SMTP Password", foreign}, {"Push URL", foreign}}, "IM Tolvane");
    Settings settings;
    settings.load(directory.path());
    EXPECT_TRUE(settings.smtpPassword.empty());
    EXPECT_TRUE(settings.smtpPasswordUnreadable());
    settings.save(directory.path());
    EXPECT_EQ(file.value("IM Tolvane", "SMTP Password"), foreign);
    EXPECT_EQ(file.value("IM Tolvane", "Push URL"), foreign);

    settings.smtpPassword = "typed again";
    settings.save(directory.path());
    Settings loaded;
    loaded.load(directory.path());
    EXPECT_EQ(loaded.smtpPassword, "typed again");
    EXPECT_FALSE(loaded.smtpPasswordUnreadable());
    EXPECT_EQ(file.value("IM Tolvane", "Push URL"), foreign);
}
