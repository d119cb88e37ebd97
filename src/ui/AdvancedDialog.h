#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

struct Settings;

// The fields of dialog 106, as the page keeps them from its fill to its
// read-back: an OK of the dialog changes these, not the settings.
struct AdvancedFields {
    int32_t port = 0;      // "SMTP Port"
    int32_t security = 0;  // "SMTP Security"
    std::string user;      // "SMTP User"
    std::string password;  // "SMTP Password"
    std::string trustedCaFile;
    int32_t retryMinutes = 0;  // "Retry Minutes"
    int32_t awayMinutes = 0;  // "Away Minutes"
    int32_t cooldownMinutes = 0;  // "Cooldown Minutes"
    std::string quietFrom;        // "Quiet From"
    std::string quietTo;          // "Quiet To"
    int32_t contactFilter = 0;    // "Contact Filter"
    std::string contacts;         // "Contacts"

    // Copies the fields from their settings, and back: one place to name
    // each field's setting.
    void takeFrom(const Settings& settings);
    void storeInto(Settings& settings) const;
};

// "Advanced Settings" (dialog 106): settings that do not fit on the page,
// each group of them in a frame of its own. The port field shows the usual
// port of the chosen security while the setting is 0. "Send Test Mail"
// tries the mail server on screen, not yet applied, with the destination
// and sender that the page under the dialog shows; with push chosen there,
// it reads "Send Test Push" and sends a notification to its push URL.
class AdvancedDialog {
public:
    // Runs the dialog modally over the owner; OK copies its values into the
    // fields and returns true, Cancel leaves them.
    static bool run(HINSTANCE module, HWND owner, AdvancedFields& fields);
    // Ends an open dialog as Cancel, before the page under it goes.
    static void cancelOpen();
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};
