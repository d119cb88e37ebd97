#include "ui/CertificateFileDialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <cstring>

namespace {

// As the dialog's edits: at most 1023 characters of a path.
const DWORD kPathBufferSize = 1024;
// Pairs of a name and its patterns, ended by an empty name.
const char kFilter[] = "Certificates (*.pem;*.crt;*.cer;*.der)\0*.pem;*.crt;*.cer;*.der\0";
const char kTitle[] = "Trusted CA File";

// Everything but the file name.
OPENFILENAMEA certificateDialog(HWND owner) {
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.lpstrTitle = kTitle;
    // The plug-in runs inside the client: its current directory stays.
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return dialog;
}

}  // namespace

bool CertificateFileDialog::choose(HWND owner, std::string& path) {
    // The field's path goes in, the chosen one comes back.
    char buffer[kPathBufferSize] = {};
    if (path.size() < kPathBufferSize) std::memcpy(buffer, path.data(), path.size());
    OPENFILENAMEA dialog = certificateDialog(owner);
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = kPathBufferSize;
    bool chosen = GetOpenFileNameA(&dialog) != FALSE;
    // A field that names no valid path keeps the dialog from opening at all.
    if (!chosen && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        buffer[0] = '\0';
        chosen = GetOpenFileNameA(&dialog) != FALSE;
    }
    if (chosen) path = buffer;
    return chosen;
}
