#include "text/AnsiText.h"

#include <windows.h>

#include <vector>

namespace AnsiText {

namespace {

const char kMissing = '?';

}  // namespace

unsigned codePage() { return GetACP(); }

std::string convert(const std::string& text, unsigned fromCodePage, unsigned toCodePage) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(fromCodePage, 0, text.data(), size, nullptr, 0);
    if (wideLength <= 0) return std::string();
    std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
    MultiByteToWideChar(fromCodePage, 0, text.data(), size, wide.data(), wideLength);
    // UTF-8 takes no replacement character: every character fits.
    const char* missing = toCodePage == CP_UTF8 ? nullptr : &kMissing;
    const int length =
        WideCharToMultiByte(toCodePage, 0, wide.data(), wideLength, nullptr, 0, missing, nullptr);
    if (length <= 0) return std::string();
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(toCodePage, 0, wide.data(), wideLength, &out[0], length, missing, nullptr);
    return out;
}

std::string toUtf8(const std::string& ansi) { return convert(ansi, codePage(), CP_UTF8); }

std::string toUtf8(const std::string& ansi, unsigned codePage) { return convert(ansi, codePage, CP_UTF8); }

}  // namespace AnsiText
