#pragma once
#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "delivery/ReplySink.h"

// A message-only window on the host's thread, through which the reply
// poller hands over answers and its one alert: the handlers run on the
// host's thread, the only thread that may call the host. What is handed
// over waits in a locked queue of this object; the window message only
// says "look", so a message from elsewhere carries nothing it would trust.
// Created at start before the poller, destroyed at stop after it.
class ReplyWindow : public ReplySink {
public:
    using ReplyHandler = std::function<void(const ReplyDelivery&)>;
    using AlertHandler = std::function<void(const std::string&)>;

    ReplyWindow() = default;
    ~ReplyWindow() override;
    ReplyWindow(const ReplyWindow&) = delete;
    ReplyWindow& operator=(const ReplyWindow&) = delete;

    // On the host's thread. False when the window could not be made; the
    // poller's hand-overs are then refused.
    bool create(HINSTANCE module, ReplyHandler onReply, AlertHandler onAlert);
    // On the host's thread, once the poller has ended: what waits is dropped.
    void destroy();

    // On the poller's thread.
    bool replyReady(ReplyDelivery reply) override;
    void pollingRefused(std::string alertText) override;

private:
    struct Item {
        bool isReply = false;
        ReplyDelivery reply;
        std::string alert;
    };

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool handOver(Item item);
    void handleWaiting();

    std::atomic<HWND> window_{nullptr};
    HINSTANCE module_ = nullptr;
    ReplyHandler onReply_;
    AlertHandler onAlert_;
    std::mutex guard_;
    std::deque<Item> waiting_;
};
