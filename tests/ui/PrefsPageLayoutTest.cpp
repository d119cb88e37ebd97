#include <gtest/gtest.h>

#include "LayoutCheck.h"
#include "PageHarness.h"
#include "ui/PrefsPage.h"
#include "ui/resource.h"

namespace {

const DWORD kEdit = WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
const DWORD kLabel = SS_RIGHT | SS_CENTERIMAGE;
const DWORD kGroupLabel = kLabel | WS_GROUP;
const DWORD kBox = BS_AUTOCHECKBOX | WS_TABSTOP;
const DWORD kFlatButton = BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP;

// Dialog 102 as the template lays it out, in template (tab) order, with
// every control's state before the page is filled.
const std::vector<ExpectedControl> kPageLayout = {
    {IDC_SERVER_FRAME, "Button", BS_GROUPBOX, 7, 7, 242, 54, false, "", true},
    {kNoId, "Button", BS_GROUPBOX, 7, 64, 242, 33, true, "", true},
    {kNoId, "Button", BS_GROUPBOX, 7, 101, 242, 52, true, "", true},
    {IDC_FORWARDING_ENABLED, "Button", BS_AUTOCHECKBOX | BS_TOP | WS_TABSTOP, 12, 7, 84, 9, true,
     "Forwarding Enabled", true},
    {IDC_SMTP_SERVER, "Edit", kEdit, 78, 20, 162, 12, false, "", true},
    {IDC_FROM_ADDRESS, "Edit", kEdit, 78, 40, 162, 12, false, "", true},
    {IDC_EMAIL_ADDRESS, "Edit", kEdit, 78, 76, 162, 12, false, "", true},
    {IDC_PROVIDER, "ComboBox", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 78, 114, 162,
     18, false, "", false},
    {IDC_PHONE_NUMBER, "Edit", kEdit, 78, 132, 162, 12, false, "", true},
    {IDC_REPLY_ENABLED, "Button", kBox | BS_RIGHT, 27, 170, 12, 12, false, "", true},
    {IDC_REPLY, "Edit", kEdit, 78, 170, 162, 12, false, "", true},
    {IDC_PREFIX_ENABLED, "Button", kBox | BS_RIGHT, 27, 188, 12, 12, false, "", true},
    {IDC_TRIGGER_PREFIX, "Edit", kEdit, 78, 188, 115, 12, false, "", true},
    {IDC_CHAR_LIMIT_ENABLED, "Button", kBox | BS_RIGHT, 27, 206, 13, 12, false, "", true},
    {IDC_CHAR_LIMIT, "Edit", kEdit, 78, 206, 24, 12, false, "", true},
    {IDC_MESSAGE_LIMIT, "Edit", kEdit, 170, 206, 24, 12, false, "", true},
    {IDC_SHOW_SYSTRAY_ALERT, "Button", kBox | BS_LEFT, 27, 223, 12, 12, false, "", true},
    {IDC_ABOUT, "Button", kFlatButton, 203, 206, 36, 13, true, "About", true},
    {IDC_BEHAVIOR_FRAME, "Button", BS_GROUPBOX, 7, 157, 242, 87, false, "Behavior", true},
    {IDC_FORWARD_EMAIL, "Button", BS_AUTORADIOBUTTON | WS_TABSTOP, 12, 62, 36, 12, false, "E-Mail",
     true},
    {IDC_FORWARD_PHONE, "Button", BS_AUTORADIOBUTTON | WS_TABSTOP, 11, 101, 55, 12, false,
     "Mobile Phone", true},
    {IDC_FROM_ADDRESS_LABEL, "Static", kLabel, 21, 40, 54, 12, false, "From Address:", true},
    {IDC_EMAIL_ADDRESS_LABEL, "Static", kLabel, 21, 76, 54, 12, false, "E-Mail Address:", true},
    {IDC_PROVIDER_LABEL, "Static", kGroupLabel, 21, 114, 54, 12, false, "Provider:", true},
    {IDC_PHONE_NUMBER_LABEL, "Static", kGroupLabel, 21, 132, 54, 12, false, "Phone Number:", true},
    {IDC_PREFIX_HINT, "Static", SS_CENTER | SS_CENTERIMAGE | WS_GROUP, 197, 188, 45, 12, false,
     "Ex: !page", true},
    {IDC_PREFIX_LABEL, "Static", kGroupLabel, 42, 188, 33, 12, false, "Prefix:", true},
    {IDC_CHAR_LIMIT_LABEL, "Static", kGroupLabel, 42, 206, 33, 12, false, "Char Limit:", true},
    {IDC_REPLY_LABEL, "Static", kGroupLabel, 40, 170, 35, 12, false, "Reply:", true},
    {IDC_MESSAGE_LIMIT_LABEL, "Static", kGroupLabel, 108, 206, 59, 12, false, "Message Limit:", true},
    {IDC_SYSTRAY_LABEL, "Static", SS_RIGHT | WS_GROUP, 38, 225, 64, 8, false, "Systray Notification",
     true},
    {IDC_SMTP_SERVER_LABEL, "Static", kLabel, 21, 20, 54, 12, false, "SMTP Server:", true},
    {IDC_NAME_IN_BODY, "Button", kBox | BS_LEFT, 120, 223, 12, 12, false, "", true},
    {IDC_NAME_IN_BODY_LABEL, "Static", SS_LEFT | WS_GROUP, 134, 225, 66, 8, false,
     "Show Name in Body", true},
    {IDC_READ_ME, "Button", kFlatButton, 204, 223, 36, 13, true, "Read Me", true},
};

INT_PTR CALLBACK bareProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

const ExpectedDialog kPageDialog = {IDD_PREFS_PAGE, false, DS_SETFONT | DS_CONTROL | WS_CHILD, 0, 256, 251,
                                    "MS Sans Serif", 8, 0};

TEST(PrefsPageLayout, TemplateHoldsEveryControlInTabOrder) {
    expectTemplate(GetModuleHandleA(nullptr), kPageDialog, kPageLayout);
}

TEST(PrefsPageLayout, WindowShowsEveryControlInPlaceWithItsStartingState) {
    ParentWindow parent;
    HWND page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PREFS_PAGE),
                                   parent.handle(), bareProcedure, 0);
    ASSERT_NE(page, nullptr);
    expectLiveLayout(page, kPageDialog, kPageLayout);
    EXPECT_TRUE(GetWindowLongA(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) << "acts as a control";
    DestroyWindow(page);
}

TEST(PrefsPageLayout, CreateMakesAHiddenChildAtTheGivenPlace) {
    ParentWindow parent;
    Settings settings = defaultSettings();
    HWND page = PrefsPage::create(GetModuleHandleA(nullptr), parent.handle(), 33, 44, settings);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(GetParent(page), parent.handle());
    EXPECT_FALSE(IsWindowVisible(page)) << "the caller shows the page";
    RECT place;
    GetWindowRect(page, &place);
    MapWindowPoints(HWND_DESKTOP, parent.handle(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 33);
    EXPECT_EQ(place.top, 44);

    PrefsPage::destroy(page);
    EXPECT_EQ(page, nullptr);
}

TEST(PrefsPageLayout, DestroyRemovesTheWindowAndClearsTheHandle) {
    ParentWindow parent;
    HWND page = PrefsPage::create(GetModuleHandleA(nullptr), parent.handle(), 0, 0, defaultSettings());
    ASSERT_NE(page, nullptr);
    HWND window = page;
    PrefsPage::destroy(page);
    EXPECT_EQ(page, nullptr);
    EXPECT_FALSE(IsWindow(window));
    PrefsPage::destroy(page);   // no page: nothing to do, nothing to crash on
}
