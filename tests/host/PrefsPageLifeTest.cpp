#include <gtest/gtest.h>

#include <windows.h>

#include "TestHost.h"

namespace {

enum Action { kCancel = 0, kApply = 1, kConfirm = 2 };

// The page the plug-in announced with its last "dialogAdd".
HWND announcedPage(const TestHost& host) { return host.last("dialogAdd").window; }

POINT placeInParent(HWND page) {
    RECT rect;
    GetWindowRect(page, &rect);
    POINT corner = {rect.left, rect.top};
    ScreenToClient(GetParent(page), &corner);
    return corner;
}

// The page was withdrawn from the host with one "dialogRemove" and destroyed.
void expectRemoved(const TestHost& host, HWND page) {
    ASSERT_EQ(host.count("dialogRemove"), 1);
    EXPECT_EQ(host.last("dialogRemove").window, page);
    EXPECT_FALSE(IsWindow(page));
}

// Loads, starts and shows the page at (x, y) in the host's window.
HWND showPage(TestHost& host, int x, int y) {
    host.load();
    host.start();
    host.prefsShow(1, host.parentWindow(), x, y);
    return host.count("dialogAdd") == 1 ? announcedPage(host) : nullptr;
}

}  // namespace

TEST(PrefsPageLife, FirstShowCreatesAndPlacesThePageLaterShowsOnlyShowIt) {
    TestHost host;
    HWND page = showPage(host, 30, 40);
    ASSERT_TRUE(IsWindow(page));
    EXPECT_EQ(GetParent(page), host.parentWindow());
    EXPECT_TRUE(GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE);
    POINT placed = placeInParent(page);
    EXPECT_EQ(placed.x, 30);
    EXPECT_EQ(placed.y, 40);

    host.prefsShow(0, host.parentWindow(), 0, 0);
    EXPECT_FALSE(GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE);
    host.prefsShow(1, host.parentWindow(), 5, 5);
    EXPECT_TRUE(GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(host.count("dialogAdd"), 1);
    placed = placeInParent(page);
    EXPECT_EQ(placed.x, 30);
    EXPECT_EQ(placed.y, 40);
    EXPECT_EQ(host.count("dialogRemove"), 0);
}

TEST(PrefsPageLife, CancelRemovesThePageAndWritesNothing) {
    TestHost host;
    HWND page = showPage(host, 0, 0);
    ASSERT_TRUE(IsWindow(page));
    host.prefsAction(kCancel);
    expectRemoved(host, page);
    EXPECT_FALSE(host.settingsFile().exists());

    // The next show makes a new page.
    host.prefsShow(1, host.parentWindow(), 0, 0);
    EXPECT_EQ(host.count("dialogAdd"), 2);
    EXPECT_TRUE(IsWindow(announcedPage(host)));
}

TEST(PrefsPageLife, ApplySavesAndKeepsThePage) {
    TestHost host;
    HWND page = showPage(host, 0, 0);
    ASSERT_TRUE(IsWindow(page));
    host.prefsAction(kApply);
    EXPECT_TRUE(host.settingsFile().exists());
    EXPECT_EQ(host.settingsEntries().size(), 16u);
    EXPECT_TRUE(IsWindow(page));
    EXPECT_EQ(host.count("dialogRemove"), 0);
}

TEST(PrefsPageLife, ConfirmSavesAndRemovesThePage) {
    TestHost host;
    HWND page = showPage(host, 0, 0);
    ASSERT_TRUE(IsWindow(page));
    host.prefsAction(kConfirm);
    EXPECT_TRUE(host.settingsFile().exists());
    expectRemoved(host, page);
    // Without a page, a further confirm does nothing.
    host.prefsAction(kConfirm);
    EXPECT_EQ(host.count("dialogRemove"), 1);
}

TEST(PrefsPageLife, UnloadAfterStopRemovesTheShownPageAndSaves) {
    TestHost host;
    HWND page = showPage(host, 0, 0);
    ASSERT_TRUE(IsWindow(page));
    host.stop();
    host.clearRequests();
    host.unload();
    EXPECT_EQ(host.requestNames(), std::vector<std::string>{"dialogRemove"});
    expectRemoved(host, page);
    EXPECT_TRUE(host.settingsFile().exists());
}
