#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "DialogDriver.h"
#include "PageHarness.h"
#include "ui/ReleaseNotes.h"
#include "ui/resource.h"

using DialogDriver::click;
using DialogDriver::font;

namespace {

const int kPictureSize = 48;
using Inspect = std::function<void(HWND dialog)>;

// The picture control beside OK shows the envelope bitmap.
void expectEnvelope(HWND dialog) {
    HWND picture = GetWindow(GetDlgItem(dialog, IDOK), GW_HWNDNEXT);
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, kPictureSize);
    EXPECT_EQ(info.bmHeight, kPictureSize);
}

// Opens the dialog behind `button` on the page: it must be modal to the
// page's window and show the envelope, stay open on Escape, and end on Enter
// or on OK. `inspect` runs while it is open, `afterOk` once OK was clicked.
void openEscapeAndClose(const PageHarness& harness, int button, bool byEnter,
                        const Inspect& inspect = nullptr, const Inspect& afterOk = nullptr) {
    bool escaped = false;
    bool openAfterEscape = false;
    const bool ended = DialogDriver::driveModal(
        [&] { click(harness.page(), button); },
        [&](HWND dialog, int) {
            if (!dialog) return true;
            if (!escaped) {
                EXPECT_EQ(GetWindow(dialog, GW_OWNER), harness.parent());
                EXPECT_FALSE(IsWindowEnabled(harness.parent())) << "modal: the owner is disabled";
                expectEnvelope(dialog);
                if (inspect) inspect(dialog);
                DialogDriver::pressKey(dialog, VK_ESCAPE);
                escaped = true;
                return true;
            }
            openAfterEscape = true;
            if (byEnter) {
                DialogDriver::pressKey(dialog, VK_RETURN);
            } else {
                click(dialog, IDOK);
                if (afterOk) afterOk(dialog);
            }
            return false;
        });
    EXPECT_TRUE(openAfterEscape);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(IsWindowEnabled(harness.parent())) << "the owner is enabled again";
}

}  // namespace

TEST(ModalDialogs, EachStaysOpenOnEscapeAndClosesOnEnterOrOk) {
    for (int button : {IDC_ABOUT, IDC_READ_ME}) {
        for (bool byEnter : {true, false}) {
            SCOPED_TRACE(std::to_string(button) + (byEnter ? " Enter" : " OK"));
            PageHarness harness(fullSettings());
            ASSERT_NE(harness.page(), nullptr);
            openEscapeAndClose(harness, button, byEnter);
        }
    }
}

TEST(ModalDialogs, ReadMeShowsTheNotesFromTheFirstLineInTheFixedFontAndGivesTheBoxItsFontBackOnOk) {
    PageHarness harness(defaultSettings());
    ASSERT_NE(harness.page(), nullptr);
    HFONT fixed = static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT));
    HFONT dialogFont = nullptr;
    HFONT afterOk = nullptr;
    openEscapeAndClose(
        harness, IDC_READ_ME, false,
        [&](HWND dialog) {
            HWND box = GetDlgItem(dialog, IDC_RELEASE_NOTES);
            dialogFont = font(dialog);
            EXPECT_EQ(font(box), fixed);
            EXPECT_EQ(DialogDriver::text(dialog, IDC_RELEASE_NOTES), releaseNotesText);
            DWORD start = 0, end = 0;
            SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 0u) << "the caret stands at the start, nothing selected";
            EXPECT_EQ(end, 0u);
            EXPECT_EQ(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the first line shows";
        },
        [&](HWND dialog) { afterOk = font(GetDlgItem(dialog, IDC_RELEASE_NOTES)); });
    ASSERT_NE(dialogFont, nullptr);
    EXPECT_NE(dialogFont, fixed);
    EXPECT_EQ(afterOk, dialogFont) << "the box's own font is set back";
}
