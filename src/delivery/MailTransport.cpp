#include "delivery/MailTransport.h"

#include "delivery/MailOutcome.h"
#include "mail/MailData.h"

DeliveryOutcome MailTransport::open(const DeliveryJob& front) {
    const MailJob& mail = front.mail;
    server_ = mail.server;
    port_ = static_cast<unsigned>(portToUse(mail.options));
    return MailOutcome::opened(server_, port_,
                               session_.open(mail.server, MailData::heloDomain(mail.sender), mail.options));
}

DeliveryOutcome MailTransport::send(const DeliveryJob& job) {
    DeliveryOutcome outcome = MailOutcome::sent(server_, port_, session_.sendMail(job.mail));
    outcome.connectionLost = !session_.usable();
    return outcome;
}

void MailTransport::close() { session_.close(); }
