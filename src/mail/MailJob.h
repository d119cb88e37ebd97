#pragma once
#include <string>

#include "mail/SmtpOptions.h"

// One outgoing mail, with its own copies of every text it needs.
struct MailJob {
    std::string server;     // host name or dotted IPv4 address of the SMTP server
    std::string sender;     // MAIL FROM, the FROM header line, source of the HELO domain
    std::string recipient;  // RCPT TO and the TO header line
    std::string subject;
    std::string body;
    // How to reach the server; a batch goes out with the options of its
    // first job, like its server.
    SmtpOptions options = SmtpOptions();
};
