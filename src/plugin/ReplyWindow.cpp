#include "plugin/ReplyWindow.h"

#include <new>

namespace {

const char kClassName[] = "TolvaneReplyWindow";
// "Something waits in the queue"; carries nothing.
const UINT kLook = WM_APP + 2;

}  // namespace

ReplyWindow::~ReplyWindow() { destroy(); }

bool ReplyWindow::create(HINSTANCE module, ReplyHandler onReply, AlertHandler onAlert) {
    if (window_) return true;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &ReplyWindow::procedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    module_ = module;
    onReply_ = std::move(onReply);
    onAlert_ = std::move(onAlert);
    const HWND window = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
    if (!window) {
        UnregisterClassA(kClassName, module);
        return false;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_ = window;
    return true;
}

void ReplyWindow::destroy() {
    const HWND window = window_.exchange(nullptr);
    if (!window) return;
    DestroyWindow(window);
    UnregisterClassA(kClassName, module_);
    const std::lock_guard<std::mutex> lock(guard_);
    waiting_.clear();
    onReply_ = nullptr;
    onAlert_ = nullptr;
}

bool ReplyWindow::replyReady(ReplyDelivery reply) {
    Item item;
    item.isReply = true;
    item.reply = std::move(reply);
    return handOver(std::move(item));
}

void ReplyWindow::pollingRefused(std::string alertText) {
    Item item;
    item.alert = std::move(alertText);
    handOver(std::move(item));
}

bool ReplyWindow::handOver(Item item) {
    const HWND window = window_;
    if (!window) return false;
    try {
        const std::lock_guard<std::mutex> lock(guard_);
        waiting_.push_back(std::move(item));
    } catch (const std::bad_alloc&) {
        return false;
    }
    // A lost wake-up only delays the item to the next one.
    PostMessageA(window, kLook, 0, 0);
    return true;
}

void ReplyWindow::handleWaiting() {
    for (;;) {
        Item item;
        {
            const std::lock_guard<std::mutex> lock(guard_);
            if (waiting_.empty()) return;
            item = std::move(waiting_.front());
            waiting_.pop_front();
        }
        // Nothing may be thrown out of a window procedure into the host's loop.
        try {
            if (item.isReply && onReply_) onReply_(item.reply);
            if (!item.isReply && onAlert_) onAlert_(item.alert);
        } catch (...) {
        }
    }
}

LRESULT CALLBACK ReplyWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kLook) return DefWindowProcA(window, message, wParam, lParam);
    auto* self = reinterpret_cast<ReplyWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) self->handleWaiting();
    return 0;
}
