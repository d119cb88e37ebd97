#include "plugin/TickTimer.h"

#include <algorithm>
#include <utility>

#include "plugin/MessageWindow.h"

namespace {

const char kClassName[] = "TolvaneTickWindow";
const UINT_PTR kTimerId = 1;

}  // namespace

TickTimer::~TickTimer() { destroy(); }

bool TickTimer::create(HINSTANCE module, Handler handler) {
    if (window_) return true;
    const HWND window = createMessageWindow(module, kClassName, &TickTimer::procedure, this);
    if (!window) return false;
    module_ = module;
    handler_ = std::move(handler);
    window_ = window;
    return true;
}

void TickTimer::destroy() {
    if (!window_) return;
    KillTimer(window_, kTimerId);
    destroyMessageWindow(window_, module_, kClassName);
    window_ = nullptr;
    handler_ = nullptr;
}

void TickTimer::arm(uint32_t delayMs) {
    if (!window_) return;
    SetTimer(window_, kTimerId, std::max<UINT>(delayMs, USER_TIMER_MINIMUM), nullptr);
}

void TickTimer::disarm() {
    if (window_) KillTimer(window_, kTimerId);
}

LRESULT CALLBACK TickTimer::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER || wParam != kTimerId) return DefWindowProcA(window, message, wParam, lParam);
    // One shot: the handler arms the next tick if it wants one.
    KillTimer(window, kTimerId);
    auto* self = messageWindowOwner<TickTimer>(window);
    // Nothing may be thrown out of a window procedure into the host's loop.
    try {
        if (self && self->handler_) self->handler_();
    } catch (...) {
    }
    return 0;
}
