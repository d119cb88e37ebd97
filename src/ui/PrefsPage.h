#pragma once
#include <windows.h>

struct Settings;

// The plug-in's page inside the host's preferences window (dialog 102). The
// page only copies between the settings and its controls; whoever makes the
// page from the dialog resource with this procedure announces it to the host.
class PrefsPage {
public:
    static INT_PTR CALLBACK procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
    // Moves a page just made to (x, y) within its parent and fills it.
    static void place(HWND page, int x, int y, const Settings& settings);
    static void fill(HWND page, const Settings& settings);
    static void readBack(HWND page, Settings& settings);
    static void updateEnabling(HWND page);
};
