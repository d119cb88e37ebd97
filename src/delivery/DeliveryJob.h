#pragma once
#include <cstdint>
#include <string>
#include <utility>

#include "mail/MailJob.h"
#include "push/PushJob.h"

// The way out a job takes; each has its client and its own batches.
enum class TransportKind {
    Mail,  // SMTP, to the server of the job's mail fields
    Push,  // an HTTPS request to a push service
};

// One waiting job of the sender thread: the fields of its transport, and how
// long it is kept and tried again when it could not go out yet. Each job
// carries its own copies, so no job is ever shared between threads.
struct DeliveryJob {
    DeliveryJob() = default;
    // A mail, as the forwarding and the test mail make it.
    DeliveryJob(MailJob job, int32_t retryMinutes = 0) : mail(std::move(job)), retryMinutes(retryMinutes) {}
    // A push notification, as the forwarding makes it.
    DeliveryJob(PushJob job, int32_t retryMinutes)
        : transport(TransportKind::Push), push(std::move(job)), retryMinutes(retryMinutes) {}

    TransportKind transport = TransportKind::Mail;
    MailJob mail;
    PushJob push;
    // "Retry Minutes": how long a job that could not go out yet is kept and
    // tried again; 0 drops it at the first failed attempt.
    int32_t retryMinutes = 0;
};
