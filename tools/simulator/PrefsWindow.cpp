#include "PrefsWindow.h"

#include <algorithm>

#include "SimulatedHost.h"

namespace {

const char kClassName[] = "TolvaneSimulatorPrefs";
const int kMargin = 8;
const int kButtonWidth = 75;
const int kButtonHeight = 23;
const int kButtonGap = 6;

const int32_t kCancelAction = 0;
const int32_t kApplyAction = 1;
const int32_t kConfirmAction = 2;

bool registerClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSA windowClass = {};
    if (GetClassInfoA(instance, kClassName, &windowClass)) return true;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

}  // namespace

bool PrefsWindow::run() {
    if (!create()) return false;
    host_.prefsShow(window_, kMargin, kMargin, true);
    placeAroundPage();
    ShowWindow(window_, SW_SHOW);
    open_ = true;
    MSG message;
    while (open_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
        // The page is a dialog inside the window: Tab and the arrow keys move
        // between its controls.
        HWND page = host_.page();
        if (page && IsDialogMessageA(page, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (window_) DestroyWindow(window_);
    return true;
}

bool PrefsWindow::create() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registerClass(instance, &PrefsWindow::procedure)) return false;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    // Sized once the page is in it.
    window_ = CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, kTitle, style, CW_USEDEFAULT,
                              CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
    return window_ != nullptr;
}

// Sizes the window to the page, with the buttons in a row below it; without
// a page it holds the buttons alone.
void PrefsWindow::placeAroundPage() {
    RECT page = {0, 0, 0, 0};
    if (host_.page()) {
        GetWindowRect(host_.page(), &page);
        OffsetRect(&page, -page.left, -page.top);
    }
    const int buttonTop = kMargin + page.bottom + kMargin;
    const int width = std::max<int>(page.right, 3 * kButtonWidth + 2 * kButtonGap) + 2 * kMargin;
    RECT frame = {0, 0, width, buttonTop + kButtonHeight + kMargin};
    AdjustWindowRectEx(&frame, GetWindowLongA(window_, GWL_STYLE), FALSE,
                       GetWindowLongA(window_, GWL_EXSTYLE));
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);

    int x = width - kMargin - 3 * kButtonWidth - 2 * kButtonGap;
    addButton("OK", IDOK, x, buttonTop);
    x += kButtonWidth + kButtonGap;
    addButton("Cancel", IDCANCEL, x, buttonTop);
    x += kButtonWidth + kButtonGap;
    addButton("Apply", kApplyButton, x, buttonTop);
}

void PrefsWindow::addButton(const char* text, int id, int x, int y) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (id == IDOK ? BS_DEFPUSHBUTTON : 0);
    HWND button = CreateWindowExA(0, "BUTTON", text, style, x, y, kButtonWidth, kButtonHeight,
                                  window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleA(nullptr), nullptr);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
}

LRESULT CALLBACK PrefsWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<PrefsWindow*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<PrefsWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || self->window_ != window) return DefWindowProcA(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT PrefsWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && reinterpret_cast<HWND>(lParam)) act(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        close(kCancelAction);
        return 0;
    case WM_DESTROY:
        window_ = nullptr;
        open_ = false;
        return 0;
    default:
        return DefWindowProcA(window_, message, wParam, lParam);
    }
}

void PrefsWindow::act(int button) {
    switch (button) {
    case IDOK:
        close(kConfirmAction);
        break;
    case IDCANCEL:
        close(kCancelAction);
        break;
    case kApplyButton:
        host_.prefsAction(kApplyAction);
        break;
    default:
        break;
    }
}

// The page goes with the action (cancel and OK remove it); then the window.
void PrefsWindow::close(int32_t action) {
    host_.prefsAction(action);
    open_ = false;
}
