#include "ui/AboutDialog.h"

#include "ui/resource.h"

void AboutDialog::run(HINSTANCE module, HWND owner) {
    DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_ABOUT), owner, procedure, 0);
}

INT_PTR CALLBACK AboutDialog::procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    // The cancel command that Escape sends is left alone: OK is the way out.
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        EndDialog(dialog, static_cast<INT_PTR>(wParam));
        return TRUE;
    }
    return FALSE;
}
