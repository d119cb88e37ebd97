#include "PageHarness.h"

#include "ui/PrefsPage.h"

namespace {

const char kParentClass[] = "TolvaneTestParent";
const int kParentWidth = 560;
const int kParentHeight = 560;

void registerParentClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kParentClass;
    RegisterClassA(&windowClass);
    registered = true;
}

}  // namespace

Settings defaultSettings() {
    Settings settings;
    settings.forwardingEnabled = false;
    settings.prefixEnabled = true;
    settings.charLimitEnabled = true;
    settings.replyEnabled = true;
    settings.showSystrayAlert = true;
    settings.nameInBody = false;
    settings.forwardType = 1;
    settings.charLimit = 120;
    settings.messageLimit = 5;
    settings.fromAddress = "tolvane@example.com";
    settings.triggerPrefix = "!page";
    settings.reply = "Your message has been forwarded to a mobile device";
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

ParentWindow::ParentWindow() {
    registerParentClass();
    window_ = CreateWindowExA(0, kParentClass, "Preferences", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              kParentWidth, kParentHeight, nullptr, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
}

ParentWindow::~ParentWindow() {
    if (window_) DestroyWindow(window_);
}

PageHarness::PageHarness(const Settings& settings) : settings_(settings) {
    page_ = PrefsPage::create(GetModuleHandleA(nullptr), parent_.handle(), kX, kY, settings_);
    if (page_) ShowWindow(page_, SW_SHOW);
}

PageHarness::~PageHarness() { PrefsPage::destroy(page_); }

Settings PageHarness::readBack() const {
    Settings settings = settings_;
    PrefsPage::readBack(page_, settings);
    return settings;
}
