#pragma once
#include <windows.h>

#include <string>

// The standard open-file dialog behind "Browse..." of "Trusted CA File":
// it lists certificate files and starts at the file the field names.
class CertificateFileDialog {
public:
    // Shows the dialog over the owner; a file chosen with OK replaces path
    // and returns true, Cancel leaves it.
    static bool choose(HWND owner, std::string& path);
};
