#pragma once
#include <cstdint>
#include <string>

#include "mail/SmtpTimeLimits.h"

// How the connection to the server is protected: "SMTP Security".
enum class SmtpSecurity : int32_t {
    None = 0,      // plain SMTP with HELO, no login
    StartTls = 1,  // EHLO, then STARTTLS before anything else is sent
    Tls = 2,       // TLS from the first byte
};

// How the sender thread reaches and logs in to the server, carried by every
// job next to its server name.
struct SmtpOptions {
    int32_t port = 0;  // 0: the usual port of the security
    SmtpSecurity security = SmtpSecurity::None;
    std::string user;  // empty: no login
    std::string password;
    std::string trustedCaFile;  // a PEM or DER certificate trusted as a root
    // The stored password could not be read: no login is tried with it.
    bool passwordUnreadable = false;
    SmtpTimeLimits limits;
};

const int32_t kLargestPort = 65535;

// 25, 587 or 465.
int32_t usualPort(SmtpSecurity security);
// The port to connect to: the setting, or the usual one when it is 0.
int32_t portToUse(const SmtpOptions& options);
// A stored "SMTP Security" value; anything but 0, 1 and 2 is None.
SmtpSecurity securityFromNumber(int32_t number);
