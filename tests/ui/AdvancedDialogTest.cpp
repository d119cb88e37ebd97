#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <fstream>
#include <functional>
#include <string>

#include "DialogDriver.h"
#include "PageHarness.h"
#include "plugin/HostThreadWindow.h"
#include "TempDir.h"
#include "ui/resource.h"

using DialogDriver::click;
using DialogDriver::text;
using DialogDriver::type;

namespace {

Settings mailServerSettings() {
    Settings settings = fullSettings();
    settings.smtpSecurity = 1;
    settings.smtpPort = 0;
    settings.smtpUser = "ann@example.org";
    settings.smtpPassword = "secret";
    settings.trustedCaFile = "C:\\ca.pem";
    settings.retryMinutes = 15;
    return settings;
}

void selectSecurity(HWND dialog, int position) {
    SendDlgItemMessageA(dialog, IDC_SECURITY, CB_SETCURSEL, position, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SECURITY, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_SECURITY)));
}

// Opens dialog 106 from the page, runs `act` on it once, and reports
// whether it ended by itself.
bool withDialog(const PageHarness& harness, const std::function<void(HWND)>& act) {
    return DialogDriver::driveModal([&] { click(harness.page(), IDC_ADVANCED); },
                                    [&](HWND dialog, int) {
                                        if (!dialog) return true;
                                        act(dialog);
                                        return false;
                                    });
}

}  // namespace

TEST(AdvancedDialog, ShowsThePagesValuesWithTheUsualPortAndAMaskedPassword) {
    PageHarness harness(mailServerSettings());
    EXPECT_TRUE(withDialog(harness, [&](HWND dialog) {
        char caption[64] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        EXPECT_STREQ(caption, "Advanced Settings");
        EXPECT_EQ(text(dialog, IDC_MAIL_SERVER_FRAME), "Mail Server");
        EXPECT_EQ(DialogDriver::itemCount(dialog, IDC_SECURITY), 3);
        EXPECT_EQ(DialogDriver::item(dialog, IDC_SECURITY, 2), "TLS");
        EXPECT_EQ(DialogDriver::selection(dialog, IDC_SECURITY), 1);
        EXPECT_EQ(text(dialog, IDC_PORT), "587");
        EXPECT_EQ(text(dialog, IDC_USER), "ann@example.org");
        EXPECT_NE(GetWindowLongA(GetDlgItem(dialog, IDC_PASSWORD), GWL_STYLE) & ES_PASSWORD, 0);
        EXPECT_EQ(text(dialog, IDC_TRUSTED_CA_FILE), "C:\\ca.pem");
        EXPECT_EQ(text(dialog, IDC_RETRY_MINUTES), "15");
        click(dialog, IDCANCEL);
    }));
}

// A port that shows the usual one follows the security and is stored as 0;
// a port typed by hand stays.
TEST(AdvancedDialog, OkKeepsTheValuesInThePageAndCancelDropsThem) {
    PageHarness harness(mailServerSettings());
    EXPECT_TRUE(withDialog(harness, [&](HWND dialog) {
        type(dialog, IDC_USER, "dropped");
        click(dialog, IDCANCEL);
    }));
    EXPECT_EQ(harness.readBack().smtpUser, "ann@example.org");

    EXPECT_TRUE(withDialog(harness, [&](HWND dialog) {
        selectSecurity(dialog, 2);
        EXPECT_EQ(text(dialog, IDC_PORT), "465");
        type(dialog, IDC_PASSWORD, "new secret");
        type(dialog, IDC_RETRY_MINUTES, "2000");
        click(dialog, IDOK);
    }));
    Settings read = harness.readBack();
    EXPECT_EQ(read.smtpSecurity, 2);
    EXPECT_EQ(read.smtpPort, 0);
    EXPECT_EQ(read.smtpPassword, "new secret");
    EXPECT_EQ(read.retryMinutes, 0) << "more than a day reads as 0, as in the file";

    EXPECT_TRUE(withDialog(harness, [&](HWND dialog) {
        EXPECT_EQ(text(dialog, IDC_PASSWORD), "new secret") << "the page kept what OK gave it";
        type(dialog, IDC_PORT, "2525");
        selectSecurity(dialog, 0);
        EXPECT_EQ(text(dialog, IDC_PORT), "2525");
        click(dialog, IDOK);
    }));
    read = harness.readBack();
    EXPECT_EQ(read.smtpSecurity, 0);
    EXPECT_EQ(read.smtpPort, 2525);
}

// The threshold shows as stored; OK takes what is typed, empty or beyond a
// day as 0 (forward always).
TEST(AdvancedDialog, WhenToForwardKeepsTheAwayMinutes) {
    Settings settings = fullSettings();
    settings.awayMinutes = 15;
    PageHarness harness(settings);
    const struct {
        const char* typed;
        int32_t stored;
    } cases[] = {{"90", 90}, {"", 0}, {"1441", 0}, {"1440", 1440}};
    EXPECT_TRUE(withDialog(harness, [&](HWND dialog) {
        EXPECT_EQ(text(dialog, IDC_WHEN_TO_FORWARD_FRAME), "When to Forward");
        EXPECT_EQ(text(dialog, IDC_AWAY_MINUTES), "15");
        click(dialog, IDCANCEL);
    }));
    for (const auto& c : cases) {
        EXPECT_TRUE(withDialog(harness, [&](HWND dialog) {
            type(dialog, IDC_AWAY_MINUTES, c.typed);
            click(dialog, IDOK);
        }));
        EXPECT_EQ(harness.readBack().awayMinutes, c.stored) << "typed " << c.typed;
    }
    EXPECT_TRUE(withDialog(harness, [&](HWND dialog) {
        EXPECT_EQ(text(dialog, IDC_AWAY_MINUTES), "1440");
        click(dialog, IDCANCEL);
    }));
}

// The quiet phone's fields show as stored and OK keeps what is typed: a
// cool-down beyond a day as 0, the times and names as typed.
TEST(AdvancedDialog, WhenToForwardKeepsTheQuietPhone) {
    Settings settings = fullSettings();
    settings.cooldownMinutes = 5;
    settings.quietFrom = "22:00";
    settings.quietTo = "07:00";
    settings.contactFilter = 2;
    settings.contacts = "Ann Smith, bob";
    PageHarness harness(settings);
    EXPECT_TRUE(withDialog(harness, [&](HWND dialog) {
        EXPECT_EQ(text(dialog, IDC_COOLDOWN_MINUTES), "5");
        EXPECT_EQ(text(dialog, IDC_QUIET_FROM), "22:00");
        EXPECT_EQ(text(dialog, IDC_QUIET_TO), "07:00");
        EXPECT_EQ(DialogDriver::itemCount(dialog, IDC_CONTACT_FILTER), 3);
        EXPECT_EQ(DialogDriver::item(dialog, IDC_CONTACT_FILTER, 1), "Only these contacts");
        EXPECT_EQ(DialogDriver::selection(dialog, IDC_CONTACT_FILTER), 2);
        EXPECT_EQ(text(dialog, IDC_CONTACTS), "Ann Smith, bob");
        type(dialog, IDC_COOLDOWN_MINUTES, "1441");
        type(dialog, IDC_QUIET_FROM, "23:30");
        type(dialog, IDC_QUIET_TO, "");
        SendDlgItemMessageA(dialog, IDC_CONTACT_FILTER, CB_SETCURSEL, 1, 0);
        type(dialog, IDC_CONTACTS, "carol");
        click(dialog, IDOK);
    }));
    const Settings read = harness.readBack();
    EXPECT_EQ(read.cooldownMinutes, 0);
    EXPECT_EQ(read.quietFrom, "23:30");
    EXPECT_EQ(read.quietTo, "");
    EXPECT_EQ(read.contactFilter, 1);
    EXPECT_EQ(read.contacts, "carol");
}

// Another program's WM_APP messages carry pointers of its own; neither the
// open dialog nor the window that runs work on the host's thread takes
// anything from them, and work really handed over still runs once.
TEST(AdvancedDialog, ForeignAppMessagesAreHarmless) {
    const LPARAM foreign = 0x5eed1234;
    PageHarness harness(mailServerSettings());
    EXPECT_TRUE(withDialog(harness, [&](HWND dialog) {
        for (UINT message = WM_APP; message <= WM_APP + 8; ++message) SendMessageA(dialog, message, 1, foreign);
        EXPECT_EQ(text(dialog, IDC_TEST_MAIL_RESULT), "");
        click(dialog, IDCANCEL);
    }));

    HostThreadWindow window;
    int handled = 0;
    ASSERT_TRUE(window.create(GetModuleHandleA(nullptr)));
    const HWND found = FindWindowExA(HWND_MESSAGE, nullptr, "TolvaneHostThreadWindow", nullptr);
    ASSERT_NE(found, nullptr);
    for (UINT message = WM_APP; message <= WM_APP + 8; ++message) SendMessageA(found, message, 1, foreign);
    ASSERT_TRUE(window.post([&] { ++handled; }));
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    EXPECT_EQ(handled, 1);
    window.destroy();
}

// "Browse..." opens the open-file dialog over dialog 106: Cancel there
// leaves the field, OK puts the chosen file into it.
TEST(AdvancedDialog, BrowsePutsTheChosenCertificateFileIntoTheField) {
    TempDir dir;
    const std::string chosen = dir.file("roots.pem");
    std::ofstream(chosen) << "-----BEGIN CERTIFICATE-----\n";
    PageHarness harness(mailServerSettings());
    for (const bool choose : {false, true}) {
        int browsed = 0;
        EXPECT_TRUE(withDialog(harness, [&](HWND dialog) {
            if (HWND picker = FindWindowA("#32770", "Trusted CA File")) {
                ++browsed;
                if (choose) {
                    type(picker, cmb13, chosen);  // the file name box
                    click(picker, IDOK);
                } else {
                    click(picker, IDCANCEL);
                }
            } else {
                // Returns once the open-file dialog, stepped meanwhile, has ended.
                click(dialog, IDC_BROWSE_TRUSTED_CA);
                EXPECT_EQ(text(dialog, IDC_TRUSTED_CA_FILE), choose ? chosen : "C:\\ca.pem");
                click(dialog, IDOK);
            }
        }));
        EXPECT_EQ(browsed, 1) << "the open-file dialog ends with its first button";
    }
    EXPECT_EQ(harness.readBack().trustedCaFile, chosen);
}
