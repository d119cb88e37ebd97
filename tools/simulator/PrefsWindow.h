#pragma once
// The client's preferences window, reduced to the plug-in's page: a window of
// its own with the page inside and the buttons OK, Cancel and Apply, which
// send "prefsAction" 2, 0 and 1. Closing the window cancels.
#include <windows.h>

#include <cstdint>

class SimulatedHost;

class PrefsWindow {
public:
    static constexpr int kApplyButton = 3;
    static constexpr const char* kTitle = "Preferences - IM Tolvaning";

    explicit PrefsWindow(SimulatedHost& host) : host_(host) {}
    PrefsWindow(const PrefsWindow&) = delete;
    PrefsWindow& operator=(const PrefsWindow&) = delete;

    // Opens the window, shows the page in it and returns once the window is
    // closed. False when the window cannot be made (no display).
    bool run();
    // The window while it is open.
    HWND window() const { return window_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool create();
    void placeAroundPage();
    void addButton(const char* text, int id, int x, int y);
    void act(int button);
    void close(int32_t action);

    SimulatedHost& host_;
    HWND window_ = nullptr;
    bool open_ = false;
};
