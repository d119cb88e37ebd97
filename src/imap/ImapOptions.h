#pragma once
#include <cstdint>
#include <string>

// How to reach and log in to the IMAP server: "IMAP Server", "IMAP Port",
// "IMAP Security", and the mail server's login and trusted CA. There is no
// plain mode: the login never goes out in the clear.
struct ImapOptions {
    enum class Security { StartTls = 1, Tls = 2 };

    std::string server;
    int32_t port = 0;  // 0: the usual port of the security
    Security security = Security::Tls;
    std::string user;  // in the system code page; sent in UTF-8
    std::string password;
    std::string trustedCaFile;
};

// The port to connect to: the setting, or 143 with STARTTLS (RFC 3501 2.1)
// and 993 with TLS (RFC 8314 7) when it is 0.
int32_t imapPortToUse(const ImapOptions& options);
// A stored "IMAP Security" value; anything but 1 is TLS.
ImapOptions::Security imapSecurityFromNumber(int32_t number);
