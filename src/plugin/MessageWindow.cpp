#include "plugin/MessageWindow.h"

HWND createMessageWindow(HINSTANCE module, const char* className, WNDPROC procedure, void* owner) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = className;
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    const HWND window = CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
    if (!window) {
        UnregisterClassA(className, module);
        return nullptr;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return window;
}

void destroyMessageWindow(HWND window, HINSTANCE module, const char* className) {
    DestroyWindow(window);
    UnregisterClassA(className, module);
}
