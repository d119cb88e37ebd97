#pragma once
#include <windows.h>

// A message-only window of a class of the module's own, its user data the
// object that owns it. The class is registered on first use; one left
// registered by an earlier start of the module is reused. Null when the
// window could not be made.
HWND createMessageWindow(HINSTANCE module, const char* className, WNDPROC procedure, void* owner);
void destroyMessageWindow(HWND window, HINSTANCE module, const char* className);

// The owner given at creation, or null.
template <typename Owner>
Owner* messageWindowOwner(HWND window) {
    return reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
