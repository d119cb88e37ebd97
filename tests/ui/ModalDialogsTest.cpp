#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "DialogDriver.h"
#include "PageHarness.h"
#include "ui/ReleaseNotes.h"
#include "ui/resource.h"

using DialogDriver::click;
using DialogDriver::font;

namespace {

const int kPictureSize = 48;

// The picture control of a dialog shows bitmap 101.
void expectEnvelope(HWND dialog) {
    HWND picture = GetWindow(GetDlgItem(dialog, IDOK), GW_HWNDNEXT);
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, kPictureSize);
    EXPECT_EQ(info.bmHeight, kPictureSize);
}

enum class CloseBy { enterKey, okButton };

// Opens a dialog with a click on the page, checks it is modal and owned by
// the page's window, calls `inspect` while it is open, presses Escape,
// notes whether it is still open, then closes it by `closeBy`. Returns
// whether the dialog ended by that and stayed open after Escape.
struct ModalOutcome {
    bool openAfterEscape = false;
    bool endedByItself = false;
};

ModalOutcome openPressEscapeThenClose(const PageHarness& harness, int button, CloseBy closeBy,
                                      const std::function<void(HWND)>& inspect = nullptr,
                                      const std::function<void(HWND)>& afterClose = nullptr) {
    ModalOutcome outcome;
    int phase = 0;
    outcome.endedByItself = DialogDriver::driveModal(
        [&] { click(harness.page(), button); },
        [&](HWND dialog, int) {
            if (!dialog) return true;
            if (phase == 0) {
                EXPECT_EQ(GetWindow(dialog, GW_OWNER), harness.parent());
                EXPECT_FALSE(IsWindowEnabled(harness.parent())) << "modal: the owner is disabled";
                if (inspect) inspect(dialog);
                DialogDriver::pressKey(dialog, VK_ESCAPE);
                phase = 1;
                return true;
            }
            outcome.openAfterEscape = IsWindowVisible(dialog) != FALSE;
            if (closeBy == CloseBy::enterKey) {
                DialogDriver::pressKey(dialog, VK_RETURN);
            } else {
                click(dialog, IDOK);
                if (afterClose) afterClose(dialog);
            }
            return false;
        });
    EXPECT_TRUE(IsWindowEnabled(harness.parent())) << "the owner is enabled again";
    return outcome;
}

}  // namespace

TEST(ModalDialogs, EachStaysOpenOnEscapeAndClosesOnEnterOrOkShowingTheEnvelope) {
    for (int button : {IDC_ABOUT, IDC_READ_ME}) {
        for (CloseBy closeBy : {CloseBy::enterKey, CloseBy::okButton}) {
            SCOPED_TRACE(button);
            PageHarness harness(fullSettings());
            ASSERT_NE(harness.page(), nullptr);
            ModalOutcome outcome = openPressEscapeThenClose(harness, button, closeBy, expectEnvelope);
            EXPECT_TRUE(outcome.openAfterEscape);
            EXPECT_TRUE(outcome.endedByItself);
        }
    }
}

TEST(ModalDialogs, ReadMeShowsTheNotesInTheFixedFontAndGivesTheBoxItsFontBackOnOk) {
    PageHarness harness(defaultSettings());
    ASSERT_NE(harness.page(), nullptr);
    HFONT fixed = static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT));
    HFONT dialogFont = nullptr;
    HFONT whileOpen = nullptr;
    HFONT afterOk = nullptr;
    std::string shown;
    DWORD selectionStart = 0, selectionEnd = 0;

    ModalOutcome outcome = openPressEscapeThenClose(
        harness, IDC_READ_ME, CloseBy::okButton,
        [&](HWND dialog) {
            HWND box = GetDlgItem(dialog, IDC_RELEASE_NOTES);
            dialogFont = font(dialog);
            whileOpen = font(box);
            shown = DialogDriver::text(dialog, IDC_RELEASE_NOTES);
            SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                         reinterpret_cast<LPARAM>(&selectionEnd));
        },
        [&](HWND dialog) { afterOk = font(GetDlgItem(dialog, IDC_RELEASE_NOTES)); });

    EXPECT_TRUE(outcome.openAfterEscape);
    EXPECT_TRUE(outcome.endedByItself);
    EXPECT_EQ(shown, releaseNotesText);
    EXPECT_EQ(whileOpen, fixed);
    EXPECT_EQ(selectionStart, std::strlen(releaseNotesText)) << "the caret stands after the text";
    EXPECT_EQ(selectionEnd, selectionStart);
    ASSERT_NE(dialogFont, nullptr);
    EXPECT_NE(dialogFont, fixed);
    EXPECT_EQ(afterOk, dialogFont) << "the box's own font is set back";
}
