#include "plugin/TickTimer.h"

#include <algorithm>

namespace {

const char kClassName[] = "TolvaneTickWindow";
const UINT_PTR kTimerId = 1;

}  // namespace

TickTimer::~TickTimer() { destroy(); }

bool TickTimer::create(HINSTANCE module, Handler handler) {
    if (window_) return true;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &TickTimer::procedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kClassName;
    // A class left registered by an earlier start of this module is reused.
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    const HWND window = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        module, nullptr);
    if (!window) {
        UnregisterClassA(kClassName, module);
        return false;
    }
    module_ = module;
    handler_ = std::move(handler);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_ = window;
    return true;
}

void TickTimer::destroy() {
    if (!window_) return;
    KillTimer(window_, kTimerId);
    DestroyWindow(window_);
    window_ = nullptr;
    UnregisterClassA(kClassName, module_);
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
    auto* self = reinterpret_cast<TickTimer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    // Nothing may be thrown out of a window procedure into the host's loop.
    try {
        if (self && self->handler_) self->handler_();
    } catch (...) {
    }
    return 0;
}
