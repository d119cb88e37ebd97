#include "PageHarness.h"

#include "settings/SettingsKey.h"
#include "ui/PrefsPage.h"
#include "ui/resource.h"

namespace {

const int kParentSide = 560;
const int kX = 10;
const int kY = 20;

}  // namespace

Settings defaultSettings() {
    Settings settings;
    for (const SettingsKey& key : kSettingsKeys) assignStored(settings, key, key.fallback);
    return settings;
}

Settings fullSettings() {
    Settings settings = defaultSettings();
    settings.forwardingEnabled = true;
    settings.nameInBody = true;
    settings.forwardType = 2;
    settings.charLimit = 160;
    settings.messageLimit = 3;
    settings.smtpServer = "mail.example.net";
    settings.emailAddress = "me@example.org";
    settings.provider = "USA: Sprint PCS";
    settings.phoneNumber = "(555) 123-4567";
    return settings;
}

PageHarness::PageHarness(const Settings& settings) : settings_(settings) {
    parent_ = CreateWindowExA(0, "STATIC", "Preferences", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              kParentSide, kParentSide, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    page_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PREFS_PAGE), parent_,
                               PrefsPage::procedure, 0);
    if (!page_) return;
    PrefsPage::place(page_, kX, kY, settings_);
    ShowWindow(page_, SW_SHOW);
}

PageHarness::~PageHarness() {
    if (page_) DestroyWindow(page_);
    if (parent_) DestroyWindow(parent_);
}

Settings PageHarness::readBack() const {
    Settings settings = settings_;
    PrefsPage::readBack(page_, settings);
    return settings;
}
