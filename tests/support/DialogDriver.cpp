#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <vector>

namespace DialogDriver {

namespace {

const UINT kTickMs = 30;
const char kDialogClass[] = "#32770";

struct ModalRun {
    std::function<bool(HWND, int)> step;
    int maxTicks = 0;
    int tick = 0;
    bool stepping = true;
    bool forcedEnd = false;
    HWND seen = nullptr;
};

ModalRun* currentRun = nullptr;

void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD) {
    ModalRun& run = *currentRun;
    HWND dialog = findModalDialog();
    if (dialog) run.seen = dialog;
    ++run.tick;
    if (run.stepping) run.stepping = run.step(dialog, run.tick);
    if (run.tick >= run.maxTicks && dialog && IsWindowVisible(dialog)) {
        run.forcedEnd = true;
        EndDialog(dialog, 0);
    }
}

BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

bool isDialogClass(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return std::string(name) == kDialogClass;
}

}  // namespace

void click(HWND dialog, int control) {
    HWND button = GetDlgItem(dialog, control);
    ASSERT_NE(button, nullptr) << "no control " << control;
    ASSERT_TRUE(IsWindowEnabled(button)) << "control " << control << " is disabled";
    SendMessageA(button, BM_CLICK, 0, 0);
}

void type(HWND dialog, int control, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string text(HWND dialog, int control) {
    HWND window = GetDlgItem(dialog, control);
    std::string buffer(GetWindowTextLengthA(window) + 1, '\0');
    int length = static_cast<int>(SendMessageA(window, WM_GETTEXT, buffer.size(),
                                               reinterpret_cast<LPARAM>(&buffer[0])));
    buffer.resize(length);
    return buffer;
}

bool enabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }

bool checked(HWND dialog, int control) { return IsDlgButtonChecked(dialog, control) == BST_CHECKED; }

HFONT font(HWND window) { return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)); }

int selection(HWND dialog, int control) {
    return static_cast<int>(SendDlgItemMessageA(dialog, control, CB_GETCURSEL, 0, 0));
}

int itemCount(HWND dialog, int control) {
    return static_cast<int>(SendDlgItemMessageA(dialog, control, CB_GETCOUNT, 0, 0));
}

std::string item(HWND dialog, int control, int position) {
    LRESULT length = SendDlgItemMessageA(dialog, control, CB_GETLBTEXTLEN, position, 0);
    if (length < 0) return std::string();
    std::string buffer(length + 1, '\0');
    SendDlgItemMessageA(dialog, control, CB_GETLBTEXT, position, reinterpret_cast<LPARAM>(&buffer[0]));
    buffer.resize(length);
    return buffer;
}

HWND findModalDialog() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), collectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        if (isDialogClass(window) && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

bool driveModal(const std::function<void()>& open, const std::function<bool(HWND, int)>& step,
                int maxTicks) {
    ModalRun run;
    run.step = step;
    run.maxTicks = maxTicks;
    currentRun = &run;
    UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, onTick);
    open();
    KillTimer(nullptr, timer);
    currentRun = nullptr;
    EXPECT_NE(run.seen, nullptr) << "no modal dialog appeared";
    return run.seen && !run.forcedEnd;
}

void pressKey(HWND dialog, WPARAM key) {
    HWND target = GetFocus();
    if (!target || (target != dialog && !IsChild(dialog, target))) target = dialog;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

}  // namespace DialogDriver
