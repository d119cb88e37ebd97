#include "LayoutCheck.h"

#include <gtest/gtest.h>

#include <string>

#include "DialogTemplate.h"
#include "ui/resource.h"

namespace {

const DWORD kEveryControl = WS_CHILD | WS_VISIBLE;

void expectItem(const TemplateItem& item, const ExpectedControl& expected) {
    SCOPED_TRACE("template item " + std::to_string(expected.id));
    EXPECT_EQ(item.id, expected.id);
    EXPECT_STRCASEEQ(item.className.c_str(), expected.className);
    DWORD disabled = expected.enabled ? 0 : WS_DISABLED;
    EXPECT_EQ(item.style, expected.style | kEveryControl | disabled);
    EXPECT_EQ(item.exStyle, 0u);
    EXPECT_EQ(item.x, expected.x);
    EXPECT_EQ(item.y, expected.y);
    EXPECT_EQ(item.width, expected.width);
    EXPECT_EQ(item.height, expected.height);
    if (expected.text) {
        EXPECT_EQ(item.text, expected.text);
    } else {
        EXPECT_EQ(item.textResource, IDB_ENVELOPE);
    }
}

// The dialog manager maps the position and the size each on their own.
RECT expectedPlace(HWND dialog, const ExpectedControl& control) {
    RECT place = {control.x, control.y, control.width, control.height};
    MapDialogRect(dialog, &place);
    place.right += place.left;
    place.bottom += place.top;
    return place;
}

RECT placeInDialog(HWND dialog, HWND window) {
    RECT place;
    GetWindowRect(window, &place);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

void expectWindow(HWND dialog, HWND window, const ExpectedControl& expected) {
    SCOPED_TRACE("control " + std::to_string(expected.id));
    EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(window)), static_cast<WORD>(expected.id));
    EXPECT_EQ(IsWindowEnabled(window) != FALSE, expected.enabled) << "enabled";
    RECT want = expectedPlace(dialog, expected);
    RECT have = placeInDialog(dialog, window);
    EXPECT_EQ(have.left, want.left);
    EXPECT_EQ(have.top, want.top);
    if (expected.fixedHeight) {
        EXPECT_EQ(have.right, want.right);
        EXPECT_EQ(have.bottom, want.bottom);
    }
}

}  // namespace

void expectTemplate(HINSTANCE module, const ExpectedDialog& dialog,
                    const std::vector<ExpectedControl>& controls) {
    DialogTemplate found = readDialogTemplate(module, dialog.resource);
    EXPECT_EQ(found.extended, dialog.extended);
    EXPECT_EQ(found.style, dialog.style);
    EXPECT_EQ(found.exStyle, dialog.exStyle);
    EXPECT_EQ(found.x, 0);
    EXPECT_EQ(found.y, 0);
    EXPECT_EQ(found.width, dialog.width);
    EXPECT_EQ(found.height, dialog.height);
    EXPECT_EQ(found.title, "");
    EXPECT_EQ(found.faceName, dialog.faceName);
    EXPECT_EQ(found.pointSize, dialog.pointSize);
    EXPECT_EQ(found.weight, dialog.weight);
    ASSERT_EQ(found.items.size(), controls.size());
    for (size_t i = 0; i < controls.size(); ++i) expectItem(found.items[i], controls[i]);
}

void expectLiveLayout(HWND dialog, const ExpectedDialog& expected,
                      const std::vector<ExpectedControl>& controls) {
    RECT size = {0, 0, expected.width, expected.height};
    MapDialogRect(dialog, &size);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    HWND window = GetWindow(dialog, GW_CHILD);
    for (const ExpectedControl& control : controls) {
        ASSERT_NE(window, nullptr) << "missing control " << control.id;
        expectWindow(dialog, window, control);
        window = GetWindow(window, GW_HWNDNEXT);
    }
    EXPECT_EQ(window, nullptr) << "more controls than expected";
}
