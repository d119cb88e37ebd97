#pragma once
// The preferences page inside a visible top-level window that stands in for
// the host's preferences window, made the way onPrefsShow makes it.
#include <windows.h>

#include "settings/Settings.h"

// What Settings::load gives without a file: forwarding off, e-mail mode.
Settings defaultSettings();
// Every field set, forwarding on, phone mode: a full page to look at.
Settings fullSettings();

class PageHarness {
public:
    explicit PageHarness(const Settings& settings);
    ~PageHarness();
    PageHarness(const PageHarness&) = delete;
    PageHarness& operator=(const PageHarness&) = delete;

    HWND page() const { return page_; }
    HWND parent() const { return parent_; }
    // Reads the page into a copy of the settings it was filled from.
    Settings readBack() const;

private:
    Settings settings_;
    HWND parent_ = nullptr;
    HWND page_ = nullptr;
};
