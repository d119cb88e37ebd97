// Shows the preferences page (forwarding on, e-mail mode), the About box,
// the Read-Me dialog and the Advanced Settings one after the other, and writes each window's pixels as
// a 24-bit .bmp into the directory given as the only argument.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "ui/AboutDialog.h"
#include "ui/AdvancedDialog.h"
#include "ui/PrefsPage.h"
#include "ui/resource.h"
#include "ui/ReadMeDialog.h"

namespace {

const char kHostClass[] = "TolvaneCaptureHost";
const int kHostWidth = 420;
const int kHostHeight = 440;
const int kPageX = 0;
const int kPageY = 0;
const UINT kSettleMs = 400;
const int kBitsPerPixel = 24;
const int kBmpFileType = 0x4D42;   // "BM"

std::string outputDirectory;

Settings pictureSettings() {
    Settings settings;
    settings.forwardingEnabled = true;
    settings.prefixEnabled = true;
    settings.charLimitEnabled = true;
    settings.replyEnabled = true;
    settings.showSystrayAlert = true;
    settings.nameInBody = false;
    settings.forwardType = 3;
    settings.charLimit = 120;
    settings.messageLimit = 5;
    settings.smtpServer = "mail.example.net";
    settings.fromAddress = "tolvane@example.com";
    settings.emailAddress = "me@example.org";
    settings.provider = "USA: Verizon Wireless";
    settings.phoneNumber = "(555) 010-4567";
    settings.triggerPrefix = "!page";
    settings.reply = "Your message has been forwarded to a mobile device";
    settings.smtpSecurity = 1;
    settings.smtpUser = "me@example.org";
    settings.smtpPassword = "password";
    settings.awayMinutes = 10;
    settings.pushUrl = "ntfys://ntfy.sh/ann-tolvane-4711";
    settings.cooldownMinutes = 5;
    settings.quietFrom = "23:00";
    settings.quietTo = "07:00";
    settings.contactFilter = 2;
    settings.contacts = "Ann Smith, bob";
    return settings;
}

// The dialog as the page's settings above fill it.
void runAdvanced(HINSTANCE module, HWND owner) {
    const Settings settings = pictureSettings();
    AdvancedFields fields;
    fields.takeFrom(settings);
    AdvancedDialog::run(module, owner, fields);
}

// Lets the windows paint themselves before their pixels are read.
void settle() {
    DWORD until = GetTickCount() + kSettleMs;
    MSG message;
    while (GetTickCount() < until) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

bool writeBitmap(HDC source, int width, int height, const std::string& name) {
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = kBitsPerPixel;
    info.biCompression = BI_RGB;
    int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);

    BITMAPFILEHEADER file = {};
    file.bfType = kBmpFileType;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string path = outputDirectory + "\\" + name;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
    std::printf("wrote %s (%d x %d)\n", path.c_str(), width, height);
    return true;
}

// The whole window, frame included.
bool captureWindow(HWND window, const std::string& name) {
    RECT rect;
    GetWindowRect(window, &rect);
    HDC dc = GetWindowDC(window);
    bool written = writeBitmap(dc, rect.right - rect.left, rect.bottom - rect.top, name);
    ReleaseDC(window, dc);
    return written;
}

BOOL CALLBACK collectDialog(HWND window, LPARAM found) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

const char* modalPicture = nullptr;
bool modalWritten = false;

// Runs inside the modal loop: waits for the dialog to paint, captures it, ends it.
void CALLBACK captureModal(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), collectDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    settle();
    modalWritten = captureWindow(dialog, modalPicture);
    EndDialog(dialog, IDOK);
}

bool captureModalDialog(void (*run)(HINSTANCE, HWND), HWND owner, const char* name) {
    modalPicture = name;
    modalWritten = false;
    SetTimer(nullptr, 0, kSettleMs, captureModal);
    run(GetModuleHandleA(nullptr), owner);
    return modalWritten;
}

HWND createHost() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kHostClass;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, kHostClass, "Preferences", WS_POPUP | WS_VISIBLE, 0, 0, kHostWidth,
                           kHostHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: capture_windows OUTPUT-DIRECTORY\n");
        return 2;
    }
    outputDirectory = argv[1];
    HWND host = createHost();
    HWND page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PREFS_PAGE), host,
                                   PrefsPage::procedure, 0);
    if (page) PrefsPage::place(page, kPageX, kPageY, pictureSettings());
    if (!page) {
        std::fprintf(stderr, "the page could not be made\n");
        return 1;
    }
    ShowWindow(page, SW_SHOW);
    settle();
    bool ok = captureWindow(page, "prefs-page.bmp");
    ok = captureModalDialog(AboutDialog::run, page, "about.bmp") && ok;
    ok = captureModalDialog(ReadMeDialog::run, page, "readme.bmp") && ok;
    ok = captureModalDialog(runAdvanced, page, "advanced.bmp") && ok;
    DestroyWindow(page);
    DestroyWindow(host);
    return ok ? 0 : 1;
}
