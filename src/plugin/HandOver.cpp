#include "plugin/HandOver.h"

#include <memory>
#include <new>
#include <utility>

namespace {

// The task holds the value through a shared pointer: std::function copies
// what it holds, and a task is moved between threads.
template <typename Value, typename Handler>
bool handOver(HostThreadWindow& window, const Handler& handler, Value value) {
    try {
        auto shared = std::make_shared<Value>(std::move(value));
        return window.post([&handler, shared] { handler(*shared); });
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

FailureHandOver::FailureHandOver(HostThreadWindow& window, Handler handler)
    : window_(window), handler_(std::move(handler)) {}

void FailureHandOver::attemptFailed(FailedAttempt attempt) { handOver(window_, handler_, std::move(attempt)); }

ReplyHandOver::ReplyHandOver(HostThreadWindow& window, ReplyHandler onReply, AlertHandler onAlert)
    : window_(window), onReply_(std::move(onReply)), onAlert_(std::move(onAlert)) {}

bool ReplyHandOver::replyReady(ReplyDelivery reply) { return handOver(window_, onReply_, std::move(reply)); }

void ReplyHandOver::pollingRefused(std::string alertText) { handOver(window_, onAlert_, std::move(alertText)); }
