#include "plugin/HostThreadWindow.h"

#include <new>
#include <utility>

#include "plugin/MessageWindow.h"

namespace {

const char kClassName[] = "TolvaneHostThreadWindow";
// "Look at the queue"; it carries nothing.
const UINT kWorkWaiting = WM_APP + 1;

}  // namespace

HostThreadWindow::~HostThreadWindow() { destroy(); }

bool HostThreadWindow::create(HINSTANCE module) {
    if (window_) return true;
    const HWND window = createMessageWindow(module, kClassName, &HostThreadWindow::procedure, this);
    if (!window) return false;
    module_ = module;
    window_ = window;
    return true;
}

void HostThreadWindow::destroy() {
    HWND window = nullptr;
    std::deque<Task> dropped;
    {
        std::lock_guard<std::mutex> lock(guard_);
        window = window_.exchange(nullptr);
        dropped.swap(tasks_);
    }
    if (!window) return;
    destroyMessageWindow(window, module_, kClassName);
}

bool HostThreadWindow::post(Task task) {
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

void HostThreadWindow::runWaiting() {
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

LRESULT CALLBACK HostThreadWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kWorkWaiting) return DefWindowProcA(window, message, wParam, lParam);
    auto* self = messageWindowOwner<HostThreadWindow>(window);
    if (self) self->runWaiting();
    return 0;
}
