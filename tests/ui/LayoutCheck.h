#pragma once
// Compares a dialog with the layout its template must have: the template's
// own bytes (kinds, styles, ids, texts, positions, order), and the live
// window made from it (order, places on the screen, enabled states).
#include <windows.h>

#include <vector>

struct ExpectedControl {
    int id;                 // kNoId for a control without an id
    const char* className;
    DWORD style;            // every style bit but WS_CHILD, WS_VISIBLE, WS_DISABLED
    int x, y, width, height;
    bool enabled;           // at creation; gives WS_DISABLED
    const char* text;       // null for a picture: its text is bitmap 101
    bool fixedHeight;       // false where the window decides (combo box, picture)
};

struct ExpectedDialog {
    int resource;
    bool extended;
    DWORD style;
    DWORD exStyle;
    int width, height;
    const char* faceName;
    int pointSize;
    int weight;             // only the extended format records it
};

const int kNoId = 0xFFFF;
const int kNoIdExtended = -1;

void expectTemplate(HINSTANCE module, const ExpectedDialog& dialog,
                    const std::vector<ExpectedControl>& controls);
void expectLiveLayout(HWND dialog, const ExpectedDialog& expected,
                      const std::vector<ExpectedControl>& controls);
