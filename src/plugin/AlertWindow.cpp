#include "plugin/AlertWindow.h"

#include <memory>
#include <new>
#include <utility>

namespace {

const char kClassName[] = "TolvaneAlertWindow";
// "Look at the queue"; it carries nothing.
const UINT kWorkWaiting = WM_APP + 1;

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
    HWND window = nullptr;
    std::deque<Task> dropped;
    {
        std::lock_guard<std::mutex> lock(guard_);
        window = window_.exchange(nullptr);
        dropped.swap(tasks_);
    }
    if (!window) return;
    DestroyWindow(window);
    UnregisterClassA(kClassName, module_);
    handler_ = nullptr;
}

bool AlertWindow::post(Task task) {
    std::lock_guard<std::mutex> lock(guard_);
    const HWND window = window_;
    if (!window) return false;
    try {
        tasks_.push_back(std::move(task));
    } catch (const std::bad_alloc&) {
        return false;
    }
    // One message may stand for several tasks; a lost one is made up for by
    // the next.
    PostMessageA(window, kWorkWaiting, 0, 0);
    return true;
}

void AlertWindow::attemptFailed(FailedAttempt attempt) {
    try {
        auto shared = std::make_shared<FailedAttempt>(std::move(attempt));
        post([this, shared] {
            if (handler_) handler_(*shared);
        });
    } catch (const std::bad_alloc&) {
    }
}

void AlertWindow::runWaiting() {
    for (;;) {
        Task task;
        {
            std::lock_guard<std::mutex> lock(guard_);
            if (tasks_.empty()) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        // Nothing may be thrown out of a window procedure into the host's loop.
        try {
            task();
        } catch (...) {
        }
    }
}

LRESULT CALLBACK AlertWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kWorkWaiting) return DefWindowProcA(window, message, wParam, lParam);
    auto* self = reinterpret_cast<AlertWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) self->runWaiting();
    return 0;
}
