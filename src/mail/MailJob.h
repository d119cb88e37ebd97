#pragma once
#include <cstdint>
#include <string>

#include "mail/SmtpOptions.h"

// One outgoing mail. Each job carries its own copies of the texts the sender
// thread needs, so no job is ever shared between threads.
struct MailJob {
    std::string server;     // host name or dotted IPv4 address of the SMTP server
    std::string sender;     // MAIL FROM, the FROM header line, source of the HELO domain
    std::string recipient;  // RCPT TO and the TO header line
    std::string subject;
    std::string body;
    // How to reach the server; a batch goes out with the options of its
    // first job, like its server.
    SmtpOptions options = SmtpOptions();
    // "Retry Minutes": how long a mail that could not go out yet is kept
    // and tried again; 0 drops it at the first failed attempt.
    int32_t retryMinutes = 0;
    // Made when the mail is queued, so that an answer to it can be matched;
    // empty: the session makes one. A plain session sends none.
    std::string messageId = std::string();
};
