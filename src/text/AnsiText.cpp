#include "text/AnsiText.h"

#include <windows.h>

namespace AnsiText {

unsigned codePage() { return GetACP(); }

std::string toUtf8(const std::string& ansi, unsigned codePage) {
    if (ansi.empty()) return std::string();
    const int size = static_cast<int>(ansi.size());
    const int wideLength = MultiByteToWideChar(codePage, 0, ansi.data(), size, nullptr, 0);
    if (wideLength <= 0) return std::string();
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(codePage, 0, ansi.data(), size, &wide[0], wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &out[0], length, nullptr, nullptr);
    return out;
}

}  // namespace AnsiText
