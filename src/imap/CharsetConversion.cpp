#include "imap/CharsetConversion.h"

#include <windows.h>

#include <cstdint>

#include "text/AnsiText.h"
#include "text/PlainText.h"

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

}  // namespace

std::string toSystemCodePage(const std::string& text, const std::string& charset) {
    const std::string name = PlainText::lowerCase(charset);
    for (const CharsetCodePage& known : kCodePages) {
        if (name == known.name) return AnsiText::convert(text, known.codePage, CP_ACP);
    }
    return text;
}
