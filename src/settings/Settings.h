#pragma once
#include <cstdint>
#include <map>
#include <string>

// The values of "ForwardType" that name a destination.
enum ForwardType : int32_t { kForwardToEmail = 1, kForwardToPhone = 2, kForwardToPush = 3 };

// The longest "Away Minutes" that takes effect: one day.
const int32_t kMaxAwayMinutes = 1440;

// What the user configures. Each field is known by its INI key.
struct Settings {
    bool forwardingEnabled = false;  // "Forwarding Enabled"
    bool charLimitEnabled = false;   // "Char Limit Enabled"
    bool prefixEnabled = false;      // "Prefix Enabled"
    bool replyEnabled = false;       // "Reply Enabled"
    bool showSystrayAlert = false;   // "Show Systray Alert"
    bool nameInBody = false;         // "Name In Body"
    int32_t charLimit = 0;           // "CharLimit"; compared as unsigned
    int32_t forwardType = 0;         // "ForwardType": 1 e-mail, 2 mobile phone, 3 push
    int32_t messageLimit = 0;        // "Message Limit"; compared as unsigned
    std::string smtpServer;          // "SMTP Server"
    std::string emailAddress;        // "EMail Address"
    std::string fromAddress;         // "From Address"
    std::string provider;            // "Provider": a carrier label
    std::string phoneNumber;         // "Phone Number"
    std::string triggerPrefix;       // "Trigger Prefix"
    std::string reply;               // "Reply"
    int32_t smtpPort = 0;            // "SMTP Port": 0 for the usual port of the security
    int32_t smtpSecurity = 0;        // "SMTP Security": 0 none, 1 STARTTLS, 2 TLS
    std::string smtpUser;            // "SMTP User": empty for no login
    std::string smtpPassword;        // "SMTP Password", in the clear here, protected in the file
    std::string trustedCaFile;       // "Trusted CA File"
    int32_t awayMinutes = 0;         // "Away Minutes": forward only after so long idle; 0 always
    int32_t retryMinutes = 0;        // "Retry Minutes": 0 drops mail that cannot go out at once
    std::string pushUrl;             // "Push URL": a notification URL, protected in the file
    std::string imapServer;          // "IMAP Server": empty for no replies from the phone
    int32_t imapPort = 0;            // "IMAP Port": 0 for the usual port of the security
    int32_t imapSecurity = 2;        // "IMAP Security": 1 STARTTLS, 2 TLS
    int32_t cooldownMinutes = 0;     // "Cooldown Minutes": gather a contact's messages; 0 off
    std::string quietFrom;           // "Quiet From": local "HH:MM"; empty for no quiet hours
    std::string quietTo;             // "Quiet To": local "HH:MM"
    int32_t contactFilter = 0;       // "Contact Filter": 0 everyone, 1 only, 2 all but "Contacts"
    std::string contacts;            // "Contacts": screen names separated by commas

    // The secrets whose stored form does not unprotect here (written by
    // another Windows user, or a copied file), by key name, in that form:
    // their fields read empty, and a save writes the stored form back as it
    // was for as long as the field stays empty.
    std::map<std::string, std::string> unreadableSecrets;

    // "SMTP Password" is set but could not be read.
    bool smtpPasswordUnreadable() const {
        return smtpPassword.empty() && unreadableSecrets.count("SMTP Password") != 0;
    }

    // Reads every field from the INI file in the directory, which ends with
    // a path separator (the host's settings directory).
    void load(const std::string& directory);
    // Writes every field to that file; the record stays as it is.
    void save(const std::string& directory) const;
};
