#pragma once
// Drives the controls of a dialog the way a user does, and reads back what
// the user would see: clicks through BM_CLICK, typing through WM_SETTEXT.
#include <windows.h>

#include <functional>
#include <string>

namespace DialogDriver {

// Clicks a button. Fails the test, clicking nothing, when the control is
// missing or disabled: a user cannot click a greyed-out control.
void click(HWND dialog, int control);
void type(HWND dialog, int control, const std::string& text);

std::string text(HWND dialog, int control);
bool enabled(HWND dialog, int control);
bool checked(HWND dialog, int control);
HFONT font(HWND window);

// The drop-down list: its selected position (-1 for none) and its items.
int selection(HWND dialog, int control);
int itemCount(HWND dialog, int control);
std::string item(HWND dialog, int control, int position);

// A visible top-level dialog (class "#32770") of this thread:
// the window that a modal dialog loop runs.
HWND findModalDialog();

// Runs `open` (a click that starts a modal dialog) and calls `step` from a
// thread timer inside the dialog's modal loop, once per tick, with the
// dialog (null while none is found) and the tick count, until it returns
// false. If the dialog is still open after `maxTicks` ticks it is ended
// with EndDialog, so a faulty dialog fails the test instead of hanging it.
// Returns true when the dialog ended by itself.
bool driveModal(const std::function<void()>& open,
                const std::function<bool(HWND dialog, int tick)>& step, int maxTicks = 100);

// Posts a key press to the window with the focus (or the dialog), as the
// keyboard would deliver it to the modal loop.
void pressKey(HWND dialog, WPARAM key);

}  // namespace DialogDriver
