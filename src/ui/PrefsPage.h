#pragma once
#include <windows.h>

struct Settings;

// The plug-in's page inside the host's preferences window (dialog 102).
class PrefsPage {
public:
    // Creates the page through addDialog as a child of parent, moves it to
    // (x, y) and fills it. Returns the page, or null when it cannot be made.
    static HWND create(HINSTANCE module, HWND parent, int x, int y, const Settings& settings);
    static void fill(HWND page, const Settings& settings);
    static void readBack(HWND page, Settings& settings);
    static void updateEnabling(HWND page);
    // Withdraws the page from the host, destroys it and clears the handle.
    static void destroy(HWND& page);
};
