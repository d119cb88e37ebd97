#include "plugin/PresenceProbe.h"

#include <windows.h>

namespace {

// Input that cannot be dated counts as input just now: without proof that
// the user is away, the message stays on the screen only.
uint32_t idleMilliseconds() {
    LASTINPUTINFO info = {};
    info.cbSize = sizeof info;
    if (!GetLastInputInfo(&info)) return 0;
    return idleMillisecondsSince(info.dwTime, GetTickCount());
}

// While the session is locked the logon desktop has the input, and a user's
// process cannot open it.
bool inputDesktopLocked() {
    HDESK desktop = OpenInputDesktop(0, FALSE, DESKTOP_SWITCHDESKTOP);
    if (!desktop) return true;
    CloseDesktop(desktop);
    return false;
}

}  // namespace

PresenceSample probePresence() {
    PresenceSample presence;
    presence.idleMilliseconds = idleMilliseconds();
    presence.desktopLocked = inputDesktopLocked();
    return presence;
}
