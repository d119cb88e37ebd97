#include "plugin/AlertWindow.h"

#include <memory>
#include <new>

namespace {

const char kClassName[] = "TolvaneAlertWindow";
// Carries a FailedAttempt that the receiving side owns from then on.
const UINT kHandOver = WM_APP + 1;

void dropHandedOver(HWND window) {
    MSG message;
    while (PeekMessageA(&message, window, kHandOver, kHandOver, PM_REMOVE)) {
        delete reinterpret_cast<FailedAttempt*>(message.lParam);
    }
}

}  // namespace

AlertWindow::~AlertWindow() { destroy(); }

bool AlertWindow::create(HINSTANCE module, Handler handler) {
    if (window_) return true;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &AlertWindow::procedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kClassName;
    // A class left registered by an earlier start of this module is reused.
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    module_ = module;
    handler_ = std::move(handler);
    const HWND window = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        module, nullptr);
    if (!window) {
        UnregisterClassA(kClassName, module);
        return false;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_ = window;
    return true;
}

void AlertWindow::destroy() {
    const HWND window = window_.exchange(nullptr);
    if (!window) return;
    dropHandedOver(window);
    DestroyWindow(window);
    UnregisterClassA(kClassName, module_);
    handler_ = nullptr;
}

void AlertWindow::attemptFailed(FailedAttempt attempt) {
    const HWND window = window_;
    if (!window) return;
    std::unique_ptr<FailedAttempt> handedOver;
    try {
        handedOver = std::make_unique<FailedAttempt>(std::move(attempt));
    } catch (const std::bad_alloc&) {
        return;
    }
    // A window that is gone takes nothing; the attempt is then freed here.
    if (PostMessageA(window, kHandOver, 0, reinterpret_cast<LPARAM>(handedOver.get()))) {
        handedOver.release();
    }
}

void AlertWindow::handle(FailedAttempt* attempt) {
    const std::unique_ptr<FailedAttempt> owned(attempt);
    // Nothing may be thrown out of a window procedure into the host's loop.
    try {
        if (handler_) handler_(*owned);
    } catch (...) {
    }
}

LRESULT CALLBACK AlertWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kHandOver) return DefWindowProcA(window, message, wParam, lParam);
    auto* self = reinterpret_cast<AlertWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) {
        self->handle(reinterpret_cast<FailedAttempt*>(lParam));
    } else {
        delete reinterpret_cast<FailedAttempt*>(lParam);
    }
    return 0;
}
