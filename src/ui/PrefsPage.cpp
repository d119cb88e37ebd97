#include "ui/PrefsPage.h"

// Placeholder until the preferences page lands: no page is made.
HWND PrefsPage::create(HINSTANCE, HWND, int, int, const Settings&) { return nullptr; }
void PrefsPage::fill(HWND, const Settings&) {}
void PrefsPage::readBack(HWND, Settings&) {}
void PrefsPage::updateEnabling(HWND) {}
void PrefsPage::destroy(HWND& page) { page = nullptr; }
