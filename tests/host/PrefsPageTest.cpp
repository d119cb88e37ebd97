#include <gtest/gtest.h>

#include <string>

#include "DialogDriver.h"
#include "TestHost.h"
#include "settings/SettingsKey.h"
#include "ui/resource.h"

using DialogDriver::checked;
using DialogDriver::click;
using DialogDriver::text;
using DialogDriver::type;

namespace {

enum Action { kCancel = 0, kApply = 1, kConfirm = 2 };
const int32_t kShow = 1;
const int32_t kHide = 0;
const int kX = 12;
const int kY = 34;
const char kMissing[] = "<missing>";

// The page's own visible flag: the test host's window itself stays hidden.
bool shown(HWND page) { return (GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE) != 0; }

POINT placeInParent(HWND page) {
    RECT rect;
    GetWindowRect(page, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(page), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top};
}

// The plug-in loaded with forwarding on, a server and a phone set, started,
// and its page shown in the host's window.
class PrefsPageHost : public ::testing::Test {
protected:
    void SetUp() override {
        host.writeSettings({{"Forwarding Enabled", "1"}, {"SMTP Server", "mail.example.net"},
                            {"Provider", "USA: Nextel"}, {"ForwardType", "2"}});
        host.load();
        host.start();
        host.clearRequests();
        page = show(kX, kY);
        ASSERT_NE(page, nullptr);
    }

    // The page the last "dialogAdd" announced.
    HWND show(int x, int y) {
        host.prefsShow(kShow, host.parentWindow(), x, y);
        return host.count("dialogAdd") ? host.last("dialogAdd").window : nullptr;
    }

    // The value of a key as the settings file holds it.
    std::string stored(const std::string& key) const {
        return host.settingsFile().value(TestHost::kSection, key, kMissing);
    }

    // Withdrawn from the host with one "dialogRemove", and destroyed.
    void expectRemoved() const {
        EXPECT_EQ(host.count("dialogRemove"), 1);
        EXPECT_EQ(host.last("dialogRemove").window, page);
        EXPECT_FALSE(IsWindow(page));
    }

    TestHost host;
    HWND page = nullptr;
};

}  // namespace

TEST_F(PrefsPageHost, ShowMakesOneFilledPageAtItsPlaceLaterShowsOnlyShowIt) {
    EXPECT_EQ(GetParent(page), host.parentWindow());
    EXPECT_TRUE(shown(page));
    EXPECT_EQ(placeInParent(page).x, kX);
    EXPECT_EQ(placeInParent(page).y, kY);
    EXPECT_EQ(text(page, IDC_SMTP_SERVER), "mail.example.net");
    EXPECT_TRUE(checked(page, IDC_FORWARD_PHONE));
    EXPECT_EQ(DialogDriver::item(page, IDC_PROVIDER, DialogDriver::selection(page, IDC_PROVIDER)),
              "USA: Nextel");
    EXPECT_TRUE(DialogDriver::enabled(page, IDC_PROVIDER));

    // Hidden and shown again elsewhere: neither a new page, nor moved, nor
    // refilled, and nothing saved by hiding.
    type(page, IDC_REPLY, "back soon");
    click(page, IDC_FORWARD_EMAIL);
    host.prefsShow(kHide, host.parentWindow(), kX, kY);
    EXPECT_FALSE(shown(page));
    EXPECT_EQ(show(kX + 50, kY + 50), page);
    EXPECT_TRUE(shown(page));
    EXPECT_EQ(host.count("dialogAdd"), 1);
    EXPECT_EQ(placeInParent(page).x, kX);
    EXPECT_EQ(placeInParent(page).y, kY);
    EXPECT_EQ(text(page, IDC_REPLY), "back soon");
    EXPECT_TRUE(checked(page, IDC_FORWARD_EMAIL));
    EXPECT_TRUE(DialogDriver::enabled(page, IDC_EMAIL_ADDRESS));
    EXPECT_EQ(stored("Reply"), kMissing);
}

TEST_F(PrefsPageHost, CancelRemovesThePageAndThrowsItsEditsAway) {
    type(page, IDC_SMTP_SERVER, "cancelled.example.net");
    const std::string before = host.settingsFile().text();
    host.prefsAction(kCancel);
    expectRemoved();
    EXPECT_EQ(host.settingsFile().text(), before);

    HWND again = show(kX, kY);
    EXPECT_EQ(host.count("dialogAdd"), 2);
    EXPECT_EQ(text(again, IDC_SMTP_SERVER), "mail.example.net");
}

TEST_F(PrefsPageHost, ApplySavesEveryKeyAsThePageShowsItAndKeepsThePage) {
    type(page, IDC_CHAR_LIMIT, "12abc");
    click(page, IDC_PREFIX_ENABLED);
    host.prefsAction(kApply);
    EXPECT_EQ(host.settingsEntries().size(), kSettingsKeyCount);
    EXPECT_EQ(stored("CharLimit"), "12");
    EXPECT_EQ(stored("Prefix Enabled"), "0");
    EXPECT_EQ(stored("Provider"), "USA: Nextel");
    EXPECT_EQ(host.count("dialogRemove"), 0);
    EXPECT_TRUE(IsWindow(page));
    EXPECT_EQ(text(page, IDC_CHAR_LIMIT), "12abc") << "apply leaves the page as it is";
}

TEST_F(PrefsPageHost, ConfirmSavesAndRemovesAndTheNextPageShowsTheConfirmedValues) {
    type(page, IDC_PHONE_NUMBER, "(555) 123-4567");
    SendDlgItemMessageA(page, IDC_PROVIDER, CB_SETCURSEL, 0, 0);
    host.prefsAction(kConfirm);
    EXPECT_EQ(stored("Phone Number"), "(555) 123-4567");
    EXPECT_EQ(stored("Provider").compare(0, 8, "ALL: SMS"), 0);
    expectRemoved();
    host.prefsAction(kConfirm);
    EXPECT_EQ(host.count("dialogRemove"), 1) << "without a page a confirm does nothing";

    HWND again = show(kX, kY);
    EXPECT_EQ(host.count("dialogAdd"), 2);
    EXPECT_EQ(text(again, IDC_PHONE_NUMBER), "(555) 123-4567");
    EXPECT_EQ(DialogDriver::selection(again, IDC_PROVIDER), 0);
}

TEST_F(PrefsPageHost, UnloadWhileThePageIsOpenRemovesItAndSavesWhatItShows) {
    type(page, IDC_FROM_ADDRESS, "never-applied@example.com");
    click(page, IDC_NAME_IN_BODY);
    host.stop();
    host.clearRequests();
    host.unload();
    EXPECT_EQ(host.requestNames(), std::vector<std::string>{"dialogRemove"});
    expectRemoved();
    EXPECT_EQ(stored("From Address"), "never-applied@example.com");
    EXPECT_EQ(stored("Name In Body"), "1");
    EXPECT_EQ(stored("SMTP Server"), "mail.example.net");
}

// The dialogs come from the plug-in's own resources, not the host's.
TEST_F(PrefsPageHost, AboutAndReadMeOpen) {
    std::string address;
    std::string notesStart;
    auto readAndClose = [](int control, std::string& seen, size_t length) {
        return [control, &seen, length](HWND dialog, int) {
            if (!dialog) return true;
            seen = text(dialog, control).substr(0, length);
            click(dialog, IDOK);
            return false;
        };
    };
    EXPECT_TRUE(DialogDriver::driveModal([&] { click(page, IDC_ABOUT); },
                                         readAndClose(IDC_ABOUT_WEB_ADDRESS, address, 7)));
    EXPECT_TRUE(DialogDriver::driveModal([&] { click(page, IDC_READ_ME); },
                                         readAndClose(IDC_RELEASE_NOTES, notesStart, 65)));
    EXPECT_EQ(address, "http://");
    EXPECT_EQ(notesStart, std::string(63, '-') + "\r\n");
}

// "Advanced..." edits the mail server's keys in dialog 106: an OK keeps them
// in the page until the host applies, and the password goes to the file
// protected, never in the clear.
TEST_F(PrefsPageHost, AdvancedValuesWaitForApplyAndThePasswordIsStoredProtected) {
    const bool ended = DialogDriver::driveModal([&] { click(page, IDC_ADVANCED); }, [&](HWND dialog, int) {
        if (!dialog) return true;
        SendDlgItemMessageA(dialog, IDC_SECURITY, CB_SETCURSEL, 1, 0);
        type(dialog, IDC_PORT, "2525");
        type(dialog, IDC_USER, "ann@example.org");
        type(dialog, IDC_PASSWORD, "pa55word");
        type(dialog, IDC_TRUSTED_CA_FILE, "C:\\ca.pem");
        click(dialog, IDOK);
        return false;
    });
    EXPECT_TRUE(ended);
    EXPECT_EQ(stored("SMTP User"), kMissing) << "nothing is saved before apply";
    host.prefsAction(kApply);
    EXPECT_EQ(stored("SMTP Security"), "1");
    EXPECT_EQ(stored("SMTP Port"), "2525");
    EXPECT_EQ(stored("SMTP User"), "ann@example.org");
    EXPECT_EQ(stored("Trusted CA File"), "C:\\ca.pem");
    const std::string password = stored("SMTP Password");
    EXPECT_FALSE(password.empty());
    EXPECT_EQ(host.settingsFile().text().find("pa55word"), std::string::npos);
}

TEST_F(PrefsPageHost, UnloadWhileTheAdvancedDialogIsOpenEndsItAsCancel) {
    host.stop();
    bool unloaded = false;
    const bool ended = DialogDriver::driveModal([&] { click(page, IDC_ADVANCED); }, [&](HWND dialog, int) {
        if (!dialog) return true;
        type(dialog, IDC_USER, "typed-never-kept");
        host.unload();
        unloaded = true;
        return false;
    });
    EXPECT_TRUE(unloaded);
    EXPECT_TRUE(ended);
    expectRemoved();
    EXPECT_EQ(stored("SMTP User"), "");
    EXPECT_EQ(stored("SMTP Server"), "mail.example.net");
}
