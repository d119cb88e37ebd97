#pragma once
#include <windows.h>

// The release notes (dialog 105) in a read-only text box, shown in the
// fixed-pitch system font; only OK or Enter ends it.
class ReadMeDialog {
public:
    // Runs the dialog modally, owned by the page; returns when it ends.
    static void run(HINSTANCE module, HWND owner);
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};
