#include <gtest/gtest.h>

#include <string>

#include "DialogDriver.h"
#include "TestHost.h"
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

// The value of a key as the settings file holds it; "<missing>" when absent.
std::string stored(const TestHost& host, const std::string& key) {
    for (const IniEntry& entry : host.settingsEntries()) {
        if (entry.first == key) return entry.second;
    }
    return "<missing>";
}

// The page's own visible flag: the test host's window itself stays hidden.
bool shown(HWND page) { return (GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE) != 0; }

// Loads the plug-in with forwarding on and a server set, starts it and
// shows its page in the host's window; returns the page.
HWND showPage(TestHost& host) {
    host.writeSettings({{"Forwarding Enabled", "1"}, {"SMTP Server", "mail.example.net"},
                        {"Provider", "USA: Nextel"}, {"ForwardType", "2"}});
    host.load();
    host.start();
    host.clearRequests();
    host.prefsShow(kShow, host.parentWindow(), kX, kY);
    if (host.count("dialogAdd") != 1) return nullptr;
    return host.last("dialogAdd").window;
}

}  // namespace

TEST(PrefsPageHost, ShowCreatesOneFilledPageInTheHostsWindowAtItsPlace) {
    TestHost host;
    HWND page = showPage(host);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(GetParent(page), host.parentWindow());
    EXPECT_TRUE(shown(page));
    RECT place;
    GetWindowRect(page, &place);
    MapWindowPoints(HWND_DESKTOP, host.parentWindow(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, kX);
    EXPECT_EQ(place.top, kY);
    EXPECT_EQ(text(page, IDC_SMTP_SERVER), "mail.example.net");
    EXPECT_TRUE(checked(page, IDC_FORWARD_PHONE));
    EXPECT_EQ(DialogDriver::item(page, IDC_PROVIDER, DialogDriver::selection(page, IDC_PROVIDER)),
              "USA: Nextel");
    EXPECT_TRUE(DialogDriver::enabled(page, IDC_PROVIDER));

    // A second show neither makes a page, nor moves or refills this one.
    type(page, IDC_SMTP_SERVER, "typed.example.net");
    host.prefsShow(kShow, host.parentWindow(), kX + 50, kY + 50);
    EXPECT_EQ(host.count("dialogAdd"), 1);
    GetWindowRect(page, &place);
    MapWindowPoints(HWND_DESKTOP, host.parentWindow(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, kX);
    EXPECT_EQ(text(page, IDC_SMTP_SERVER), "typed.example.net");
}

TEST(PrefsPageHost, HidingAndShowingAgainKeepsEditsThatWereNotApplied) {
    TestHost host;
    HWND page = showPage(host);
    ASSERT_NE(page, nullptr);
    type(page, IDC_REPLY, "back soon");
    click(page, IDC_FORWARD_EMAIL);
    host.prefsShow(kHide, host.parentWindow(), kX, kY);
    EXPECT_FALSE(shown(page));
    host.prefsShow(kShow, host.parentWindow(), kX, kY);
    EXPECT_TRUE(shown(page));
    EXPECT_EQ(host.count("dialogAdd"), 1);
    EXPECT_EQ(text(page, IDC_REPLY), "back soon");
    EXPECT_TRUE(checked(page, IDC_FORWARD_EMAIL));
    EXPECT_TRUE(DialogDriver::enabled(page, IDC_EMAIL_ADDRESS));
    EXPECT_EQ(stored(host, "Reply"), "<missing>") << "nothing is saved by hiding";
}

TEST(PrefsPageHost, CancelRemovesThePageAndThrowsItsEditsAway) {
    TestHost host;
    HWND page = showPage(host);
    ASSERT_NE(page, nullptr);
    type(page, IDC_SMTP_SERVER, "cancelled.example.net");
    std::string before = host.settingsFile().text();
    host.prefsAction(kCancel);
    EXPECT_EQ(host.count("dialogRemove"), 1);
    EXPECT_EQ(host.last("dialogRemove").window, page);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(host.settingsFile().text(), before);

    host.prefsShow(kShow, host.parentWindow(), kX, kY);
    ASSERT_EQ(host.count("dialogAdd"), 2);
    EXPECT_EQ(text(host.last("dialogAdd").window, IDC_SMTP_SERVER), "mail.example.net");
}

TEST(PrefsPageHost, ApplySavesWhatThePageShowsAndKeepsIt) {
    TestHost host;
    HWND page = showPage(host);
    ASSERT_NE(page, nullptr);
    type(page, IDC_CHAR_LIMIT, "12abc");
    click(page, IDC_PREFIX_ENABLED);
    host.prefsAction(kApply);
    EXPECT_EQ(stored(host, "CharLimit"), "12");
    EXPECT_EQ(stored(host, "Prefix Enabled"), "0");
    EXPECT_EQ(stored(host, "Provider"), "USA: Nextel");
    EXPECT_EQ(host.count("dialogRemove"), 0);
    EXPECT_TRUE(IsWindow(page));
    EXPECT_EQ(text(page, IDC_CHAR_LIMIT), "12abc") << "apply leaves the page as it is";
}

TEST(PrefsPageHost, ConfirmSavesAndRemovesAndTheNextPageShowsTheConfirmedValues) {
    TestHost host;
    HWND page = showPage(host);
    ASSERT_NE(page, nullptr);
    type(page, IDC_PHONE_NUMBER, "(555) 123-4567");
    SendDlgItemMessageA(page, IDC_PROVIDER, CB_SETCURSEL, 0, 0);
    host.prefsAction(kConfirm);
    EXPECT_EQ(stored(host, "Phone Number"), "(555) 123-4567");
    EXPECT_EQ(stored(host, "Provider").compare(0, 8, "ALL: SMS"), 0);
    EXPECT_EQ(host.count("dialogRemove"), 1);
    EXPECT_FALSE(IsWindow(page));

    host.prefsShow(kShow, host.parentWindow(), kX, kY);
    ASSERT_EQ(host.count("dialogAdd"), 2);
    HWND again = host.last("dialogAdd").window;
    EXPECT_EQ(text(again, IDC_PHONE_NUMBER), "(555) 123-4567");
    EXPECT_EQ(DialogDriver::selection(again, IDC_PROVIDER), 0);
}

TEST(PrefsPageHost, UnloadWhileThePageIsOpenSavesWhatItShows) {
    TestHost host;
    HWND page = showPage(host);
    ASSERT_NE(page, nullptr);
    type(page, IDC_FROM_ADDRESS, "never-applied@example.com");
    click(page, IDC_NAME_IN_BODY);
    host.stop();
    host.unload();
    EXPECT_EQ(stored(host, "From Address"), "never-applied@example.com");
    EXPECT_EQ(stored(host, "Name In Body"), "1");
    EXPECT_EQ(stored(host, "SMTP Server"), "mail.example.net");
    EXPECT_EQ(host.count("dialogRemove"), 1);
    EXPECT_FALSE(IsWindow(page));
}

TEST(PrefsPageHost, AboutAndReadMeOpenFromThePluginsOwnResources) {
    TestHost host;
    HWND page = showPage(host);
    ASSERT_NE(page, nullptr);
    std::string address;
    std::string notesStart;
    bool aboutEnded = DialogDriver::driveModal([&] { click(page, IDC_ABOUT); }, [&](HWND dialog, int) {
        if (!dialog) return true;
        address = DialogDriver::text(dialog, IDC_ABOUT_WEB_ADDRESS);
        click(dialog, IDOK);
        return false;
    });
    bool readMeEnded = DialogDriver::driveModal([&] { click(page, IDC_READ_ME); }, [&](HWND dialog, int) {
        if (!dialog) return true;
        notesStart = DialogDriver::text(dialog, IDC_RELEASE_NOTES).substr(0, 65);
        DialogDriver::pressKey(dialog, VK_RETURN);
        return false;
    });
    EXPECT_TRUE(aboutEnded);
    EXPECT_TRUE(readMeEnded);
    EXPECT_EQ(address.compare(0, 7, "http://"), 0) << address;
    EXPECT_EQ(notesStart, std::string(63, '-') + "\r\n");
}
