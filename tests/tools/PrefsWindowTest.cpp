#include <gtest/gtest.h>

#include <functional>

#include "DialogDriver.h"
#include "IniFile.h"
#include "PrefsWindow.h"
#include "SimulatedHost.h"
#include "TempDir.h"
#include "TestHost.h"
#include "Transcript.h"
#include "ui/resource.h"

namespace {

const char kSection[] = "IM Tolvane";
const UINT kTickMs = 40;
const int kMaxTicks = 100;
// The room the window may leave around the page and the buttons.
const int kMostSpareRoom = 16;

// Steps through an open PrefsWindow from a thread timer inside its loop, as
// a user would; a window still open after kMaxTicks is closed, so a fault
// fails the test instead of hanging it.
struct Steps {
    PrefsWindow* window = nullptr;
    std::function<bool(int tick)> step;
    int tick = 0;
    bool stepping = true;
    bool forcedClose = false;
};

Steps* currentSteps = nullptr;

void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD) {
    Steps& steps = *currentSteps;
    ++steps.tick;
    if (steps.stepping) steps.stepping = steps.step(steps.tick);
    if (steps.tick >= kMaxTicks && steps.window->window()) {
        steps.forcedClose = true;
        PostMessageA(steps.window->window(), WM_CLOSE, 0, 0);
    }
}

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

class PrefsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        settingsFile().writeThroughProfile(
            {{"Forwarding Enabled", "1"}, {"SMTP Server", "first.example"}}, kSection);
        std::string error;
        ASSERT_TRUE(host.open(builtDllPath(), error)) << error;
        host.load(directory.path());
        host.start();
    }

    // Runs a window; `act` is called with the page (null while there is
    // none) once per tick until it returns false. True when the window
    // ended without being forced.
    bool run(const std::function<bool(HWND page, int tick)>& act) {
        PrefsWindow window(host);
        Steps steps;
        steps.window = &window;
        steps.step = [&](int tick) { return act(host.page(), tick); };
        currentSteps = &steps;
        const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, onTick);
        const bool ran = window.run();
        KillTimer(nullptr, timer);
        currentSteps = nullptr;
        EXPECT_TRUE(ran) << "the preferences window could not be made";
        return ran && !steps.forcedClose;
    }

    IniFile settingsFile() const { return IniFile(directory.file(TestHost::kSettingsFileName)); }

    std::string savedServer() const {
        for (const IniEntry& entry : settingsFile().entries(kSection)) {
            if (entry.first == "SMTP Server") return entry.second;
        }
        return std::string();
    }

    TempDir directory;
    Transcript transcript;
    SimulatedHost host{transcript.output()};
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
