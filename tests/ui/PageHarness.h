#pragma once
// The preferences page inside a window that stands in for the host's
// preferences window, made the way onPrefsShow makes it.
#include <windows.h>

#include "settings/Settings.h"

// What Settings::load gives without a file: forwarding off, e-mail mode.
Settings defaultSettings();
// Every field set, forwarding on, phone mode: a full page to look at.
Settings fullSettings();

// A visible top-level window for the page to live in.
class ParentWindow {
public:
    ParentWindow();
    ~ParentWindow();
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;
    HWND handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

class PageHarness {
public:
    static const int kX = 10;
    static const int kY = 20;

    explicit PageHarness(const Settings& settings);
    ~PageHarness();
    PageHarness(const PageHarness&) = delete;
    PageHarness& operator=(const PageHarness&) = delete;

    HWND page() const { return page_; }
    HWND parent() const { return parent_.handle(); }
    // Reads the page into a copy of the settings it was filled from.
    Settings readBack() const;

private:
    ParentWindow parent_;
    Settings settings_;
    HWND page_ = nullptr;
};
