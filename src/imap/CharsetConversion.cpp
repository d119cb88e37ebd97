#include "imap/CharsetConversion.h"

#include <windows.h>

#include <cstdint>

namespace {

struct CharsetCodePage {
    const char* name;
    UINT codePage;
};

// The charsets phones and mail apps write, by their IANA names.
const CharsetCodePage kCodePages[] = {
    {"utf-8", CP_UTF8},           {"us-ascii", 20127},        {"iso-8859-1", 28591},
    {"latin1", 28591},            {"iso-8859-2", 28592},      {"iso-8859-5", 28595},
    {"iso-8859-7", 28597},        {"iso-8859-9", 28599},      {"iso-8859-15", 28605},
    {"windows-1250", 1250},       {"windows-1251", 1251},     {"windows-1252", 1252},
    {"windows-1253", 1253},       {"windows-1254", 1254},     {"koi8-r", 20866},
    {"shift_jis", 932},           {"iso-2022-jp", 50220},     {"euc-jp", 20932},
    {"gb2312", 936},              {"gbk", 936},               {"big5", 950},
    {"euc-kr", 51949},            {"ks_c_5601-1987", 949},
};

const char kMissing = '?';

std::string lowered(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::wstring wide(const std::string& text, UINT codePage) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, &out[0], length);
    return out;
}

std::string narrow(const std::wstring& text, UINT codePage) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    // UTF-8 takes no replacement character: every character fits.
    const char* missing = codePage == CP_UTF8 ? nullptr : &kMissing;
    const int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, missing, nullptr);
    if (length <= 0) return std::string();
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, &out[0], length, missing, nullptr);
    return out;
}

}  // namespace

std::string toSystemCodePage(const std::string& text, const std::string& charset) {
    const std::string name = lowered(charset);
    for (const CharsetCodePage& known : kCodePages) {
        if (name == known.name) return narrow(wide(text, known.codePage), CP_ACP);
    }
    return text;
}

std::string systemCodePageToUtf8(const std::string& text) { return narrow(wide(text, CP_ACP), CP_UTF8); }
