#pragma once
#include <functional>
#include <string>

#include "delivery/FailureSink.h"
#include "delivery/ReplySink.h"
#include "plugin/HostThreadWindow.h"

// What the sender thread and the reply poller have for the host, handed to
// their handlers as tasks on the host's thread. A hand-over is refused when
// the window is gone.
class FailureHandOver : public FailureSink {
public:
    using Handler = std::function<void(const FailedAttempt&)>;
    FailureHandOver(HostThreadWindow& window, Handler handler);
    void attemptFailed(FailedAttempt attempt) override;

private:
    HostThreadWindow& window_;
    Handler handler_;
};

class ReplyHandOver : public ReplySink {
public:
    using ReplyHandler = std::function<void(const ReplyDelivery&)>;
    using AlertHandler = std::function<void(const std::string&)>;
    ReplyHandOver(HostThreadWindow& window, ReplyHandler onReply, AlertHandler onAlert);
    bool replyReady(ReplyDelivery reply) override;
    void pollingRefused(std::string alertText) override;

private:
    HostThreadWindow& window_;
    ReplyHandler onReply_;
    AlertHandler onAlert_;
};
