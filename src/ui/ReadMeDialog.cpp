#include "ui/ReadMeDialog.h"

#include "ui/ReleaseNotes.h"
#include "ui/resource.h"

namespace {

// The text box's own font, set back when the dialog ends, and the stock
// fixed-pitch font shown in its place. The stock font is never deleted.
HFONT ownFont = nullptr;
HFONT fixedFont = nullptr;

const WPARAM kSelectFromStart = 0;
const LPARAM kSelectToEnd = -1;
const WPARAM kNoUndo = FALSE;
const WPARAM kCaretAtStart = 0;

void showNotes(HWND dialog) {
    HWND box = GetDlgItem(dialog, IDC_RELEASE_NOTES);
    ownFont = reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0));
    fixedFont = static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT));
    SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(fixedFont), TRUE);
    SendMessageA(box, EM_SETSEL, kSelectFromStart, kSelectToEnd);
    SendMessageA(box, EM_REPLACESEL, kNoUndo, reinterpret_cast<LPARAM>(releaseNotesText));
    // The replacement leaves the caret, and the view, at the end of the
    // notes; a reader starts at the first line.
    SendMessageA(box, EM_SETSEL, kCaretAtStart, kCaretAtStart);
    SendMessageA(box, EM_SCROLLCARET, 0, 0);
}

void restoreFont(HWND dialog) {
    SendMessageA(GetDlgItem(dialog, IDC_RELEASE_NOTES), WM_SETFONT, reinterpret_cast<WPARAM>(ownFont),
                 FALSE);
}

}  // namespace

void ReadMeDialog::run(HINSTANCE module, HWND owner) {
    DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_README), owner, procedure, 0);
}

INT_PTR CALLBACK ReadMeDialog::procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        showNotes(dialog);
        return TRUE;
    }
    // The cancel command that Escape sends is left alone: OK is the way out.
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        restoreFont(dialog);
        EndDialog(dialog, static_cast<INT_PTR>(wParam));
        return TRUE;
    }
    return FALSE;
}
