#pragma once
#include <windows.h>

// The About box (dialog 104): names the plug-in; only OK or Enter ends it.
class AboutDialog {
public:
    // Runs the box modally, owned by the page; returns when it ends.
    static void run(HINSTANCE module, HWND owner);
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};
