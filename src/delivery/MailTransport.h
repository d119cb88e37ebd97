#pragma once
#include "delivery/Transport.h"
#include "mail/SmtpSession.h"

class AbortSignal;

// Mails out through the SMTP client: a batch goes to the server, options and
// HELO domain of its front job.
class MailTransport : public Transport {
public:
    explicit MailTransport(AbortSignal* abort) : session_(abort) {}

    DeliveryOutcome open(const DeliveryJob& front) override;
    DeliveryOutcome send(const DeliveryJob& job) override;
    void close() override;

private:
    SmtpSession session_;
    std::string server_;
    unsigned port_ = 0;
};
