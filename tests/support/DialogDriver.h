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

// Runs `loop` (a call that returns when a window's message loop ends) and
// calls `step` from a thread timer inside that loop, once per tick with the
// tick count, until it returns false. From tick `maxTicks` on, `forceEnd`
// is called on every tick until it reports that it ended the loop, so a
// faulty window fails the test instead of hanging it. Returns true when the
// loop ended without being forced.
bool tickInside(const std::function<void()>& loop, const std::function<bool(int tick)>& step,
                const std::function<bool()>& forceEnd, int maxTicks = 100);

// Runs `open` (a click that starts a modal dialog) and steps it as above,
// with the dialog (null while none is found). A dialog still open after
// `maxTicks` ticks is ended with EndDialog. Returns true when the dialog
// appeared and ended by itself.
bool driveModal(const std::function<void()>& open,
                const std::function<bool(HWND dialog, int tick)>& step, int maxTicks = 100);

// Posts a key press to the window with the focus (or the dialog), as the
// keyboard would deliver it to the modal loop.
void pressKey(HWND dialog, WPARAM key);

}  // namespace DialogDriver
