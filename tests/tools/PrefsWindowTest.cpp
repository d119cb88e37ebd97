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
// The room the window may leave around the page and the buttons.
const int kMostSpareRoom = 16;
const int kMaxTicks = 100;

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

class PrefsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        IniFile(directory.file(TestHost::kSettingsFileName))
            .writeThroughProfile({{"Forwarding Enabled", "1"}, {"SMTP Server", "first.example"}},
                                 kSection);
        std::string error;
        ASSERT_TRUE(host.open(builtDllPath(), error)) << error;
        host.load(directory.path());
        host.start();
    }

    // Runs a window; `step` is called once per tick until it returns false.
    // Returns true when the window ended without being forced.
    bool run(const std::function<bool(int tick)>& step) {
        PrefsWindow window(host);
        Steps steps;
        steps.window = &window;
        steps.step = step;
        currentSteps = &steps;
        const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, onTick);
        const bool ran = window.run();
        KillTimer(nullptr, timer);
        currentSteps = nullptr;
        EXPECT_TRUE(ran) << "the preferences window could not be made";
        return ran && !steps.forcedClose;
    }

    std::string savedServer() const {
        const IniFile file(directory.file(TestHost::kSettingsFileName));
        for (const IniEntry& entry : file.entries(kSection)) {
            if (entry.first == "SMTP Server") return entry.second;
        }
        return std::string();
    }

    HWND frameOf(HWND page) const { return page ? GetParent(page) : nullptr; }

    TempDir directory;
    Transcript transcript;
    SimulatedHost host{transcript.output()};
};

}  // namespace

TEST_F(PrefsWindowTest, ApplySavesAndCancelDropsLaterEdits) {
    const bool ended = run([this](int tick) {
        HWND page = host.page();
        if (!page) return tick < kMaxTicks;
        if (tick == 1) {
            DialogDriver::type(page, IDC_SMTP_SERVER, "applied.example");
            DialogDriver::click(frameOf(page), PrefsWindow::kApplyButton);
            return true;
        }
        EXPECT_EQ(savedServer(), "applied.example");
        DialogDriver::type(page, IDC_SMTP_SERVER, "cancelled.example");
        DialogDriver::click(frameOf(page), IDCANCEL);
        return false;
    });
    EXPECT_TRUE(ended);
    EXPECT_EQ(savedServer(), "applied.example");
    EXPECT_TRUE(transcript.has("host:    prefsAction 1 (apply)"));
    EXPECT_TRUE(transcript.has("host:    prefsAction 0 (cancel)"));
    EXPECT_TRUE(transcript.has("plug-in: dialogRemove: removes its page"));
    EXPECT_EQ(host.page(), nullptr);
}

TEST_F(PrefsWindowTest, OkSavesAndClosingTheWindowCancels) {
    EXPECT_TRUE(run([this](int) {
        HWND page = host.page();
        EXPECT_NE(page, nullptr);
        if (!page) return false;
        DialogDriver::type(page, IDC_SMTP_SERVER, "confirmed.example");
        DialogDriver::click(frameOf(page), IDOK);
        return false;
    }));
    EXPECT_EQ(savedServer(), "confirmed.example");
    EXPECT_TRUE(transcript.has("host:    prefsAction 2 (OK)"));

    // A second window gets a new page, filled from the saved settings.
    EXPECT_TRUE(run([this](int) {
        HWND page = host.page();
        EXPECT_NE(page, nullptr);
        if (!page) return false;
        EXPECT_EQ(DialogDriver::text(page, IDC_SMTP_SERVER), "confirmed.example");
        DialogDriver::type(page, IDC_SMTP_SERVER, "closed.example");
        PostMessageA(frameOf(page), WM_CLOSE, 0, 0);
        return false;
    }));
    EXPECT_EQ(savedServer(), "confirmed.example");
    EXPECT_EQ(host.page(), nullptr);
}

TEST_F(PrefsWindowTest, TheWindowFitsAroundThePageAndTheButtons) {
    EXPECT_TRUE(run([this](int) {
        HWND page = host.page();
        EXPECT_NE(page, nullptr);
        if (!page) return false;
        HWND frame = frameOf(page);
        RECT client;
        GetClientRect(frame, &client);
        MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
        RECT pageRect;
        GetWindowRect(page, &pageRect);
        RECT inside;
        EXPECT_TRUE(IntersectRect(&inside, &client, &pageRect));
        EXPECT_TRUE(EqualRect(&inside, &pageRect)) << "the page is cut off";
        for (int button : {IDOK, IDCANCEL, PrefsWindow::kApplyButton}) {
            RECT buttonRect;
            GetWindowRect(GetDlgItem(frame, button), &buttonRect);
            const bool whole =
                IntersectRect(&inside, &client, &buttonRect) && EqualRect(&inside, &buttonRect);
            EXPECT_TRUE(whole) << "button " << button << " is cut off";
            EXPECT_GE(buttonRect.top, pageRect.bottom) << "button " << button << " covers the page";
            EXPECT_LE(client.bottom - buttonRect.bottom, kMostSpareRoom);
        }
        EXPECT_LE(client.right - pageRect.right, kMostSpareRoom);
        DialogDriver::click(frame, IDCANCEL);
        return false;
    }));
}
