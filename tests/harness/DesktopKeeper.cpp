// Holds one hidden window open for a whole test run. Wine's desktop process
// ends about a second after the last window of the run is gone, and the one
// the next test program starts would keep that test's output open for a
// minute; with this window the first desktop process lasts the whole run.
#include <windows.h>

int main() {
    CreateWindowExA(0, "STATIC", "tolvane test run", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                    nullptr, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
