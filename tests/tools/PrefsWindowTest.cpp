#include <gtest/gtest.h>

#include <functional>

#include "DialogDriver.h"
#include "PrefsWindow.h"
#include "SimulatorFixture.h"
#include "ui/resource.h"

namespace {

// The room the window may leave around the page and the buttons.
const int kMostSpareRoom = 16;

RECT screenRect(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

// The page, the three buttons below it, and no more room than a margin.
void expectSnugFit(HWND frame, HWND page) {
    RECT client;
    GetClientRect(frame, &client);
    MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT pageRect = screenRect(page);
    RECT inside;
    EXPECT_TRUE(IntersectRect(&inside, &client, &pageRect) && EqualRect(&inside, &pageRect));
    EXPECT_LE(client.right - pageRect.right, kMostSpareRoom);
    for (int button : {IDOK, IDCANCEL, PrefsWindow::kApplyButton}) {
        const RECT buttonRect = screenRect(GetDlgItem(frame, button));
        EXPECT_TRUE(IntersectRect(&inside, &client, &buttonRect) && EqualRect(&inside, &buttonRect))
            << "button " << button << " is cut off";
        EXPECT_GE(buttonRect.top, pageRect.bottom) << "button " << button << " covers the page";
        EXPECT_LE(client.bottom - buttonRect.bottom, kMostSpareRoom);
    }
}

class PrefsWindowTest : public SimulatorFixture {
protected:
    void SetUp() override {
        open({{"Forwarding Enabled", "1"}, {"SMTP Server", "first.example"}});
        host.start();
    }

    // Runs a window; `act` is called with the page (null while there is
    // none) once per tick until it returns false. True when the window
    // ended without being forced to close.
    bool run(const std::function<bool(HWND page, int tick)>& act) {
        PrefsWindow window(host);
        bool ran = false;
        const bool unforced = DialogDriver::tickInside(
            [&] { ran = window.run(); }, [&](int tick) { return act(host.page(), tick); },
            [&] { return window.window() && PostMessageA(window.window(), WM_CLOSE, 0, 0); });
        EXPECT_TRUE(ran) << "the preferences window could not be made";
        return ran && unforced;
    }

    std::string savedServer() const {
        return settingsFile().value(TestHost::kSection, "SMTP Server");
    }
};

}  // namespace

TEST_F(PrefsWindowTest, ApplySavesAndCancelDropsLaterEdits) {
    EXPECT_TRUE(run([this](HWND page, int tick) {
        EXPECT_NE(page, nullptr);
        if (!page) return false;
        if (tick == 1) {
            expectSnugFit(GetParent(page), page);
            DialogDriver::type(page, IDC_SMTP_SERVER, "applied.example");
            DialogDriver::click(GetParent(page), PrefsWindow::kApplyButton);
            return true;
        }
        EXPECT_EQ(savedServer(), "applied.example");
        DialogDriver::type(page, IDC_SMTP_SERVER, "cancelled.example");
        DialogDriver::click(GetParent(page), IDCANCEL);
        return false;
    }));
    EXPECT_EQ(savedServer(), "applied.example");
    EXPECT_TRUE(transcript.has("host:    prefsAction 1 (apply)"));
    EXPECT_TRUE(transcript.has("host:    prefsAction 0 (cancel)"));
    EXPECT_TRUE(transcript.has("plug-in: dialogRemove: removes its page"));
    EXPECT_EQ(host.page(), nullptr);
}

TEST_F(PrefsWindowTest, OkSavesAndClosingTheWindowCancels) {
    EXPECT_TRUE(run([](HWND page, int) {
        EXPECT_NE(page, nullptr);
        if (!page) return false;
        DialogDriver::type(page, IDC_SMTP_SERVER, "confirmed.example");
        DialogDriver::click(GetParent(page), IDOK);
        return false;
    }));
    EXPECT_EQ(savedServer(), "confirmed.example");
    EXPECT_TRUE(transcript.has("host:    prefsAction 2 (OK)"));

    // A second window gets a new page, filled from the saved settings.
    EXPECT_TRUE(run([](HWND page, int) {
        EXPECT_NE(page, nullptr);
        if (!page) return false;
        EXPECT_EQ(DialogDriver::text(page, IDC_SMTP_SERVER), "confirmed.example");
        DialogDriver::type(page, IDC_SMTP_SERVER, "closed.example");
        PostMessageA(GetParent(page), WM_CLOSE, 0, 0);
        return false;
    }));
    EXPECT_EQ(savedServer(), "confirmed.example");
    EXPECT_EQ(host.page(), nullptr);
}
