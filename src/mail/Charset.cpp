#include "mail/Charset.h"

namespace Charset {

namespace {

struct Named {
    unsigned codePage;
    const char* name;
};

// The ANSI code pages Windows uses, and the single-byte and East Asian ones
// a system may be set to, with the names of the IANA character set registry.
const Named kNames[] = {
    {874, "windows-874"},    {932, "Shift_JIS"},      {936, "GBK"},            {949, "EUC-KR"},
    {950, "Big5"},           {1250, "windows-1250"},  {1251, "windows-1251"},  {1252, "windows-1252"},
    {1253, "windows-1253"},  {1254, "windows-1254"},  {1255, "windows-1255"},  {1256, "windows-1256"},
    {1257, "windows-1257"},  {1258, "windows-1258"},  {20866, "KOI8-R"},       {21866, "KOI8-U"},
    {28591, "ISO-8859-1"},   {28592, "ISO-8859-2"},   {28593, "ISO-8859-3"},   {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},   {28596, "ISO-8859-6"},   {28597, "ISO-8859-7"},   {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"},   {28603, "ISO-8859-13"},  {28605, "ISO-8859-15"},  {51932, "EUC-JP"},
    {54936, "GB18030"},      {65001, "UTF-8"},
};

const char kFallback[] = "windows-1252";

}  // namespace

std::string ofCodePage(unsigned codePage) {
    for (const Named& named : kNames) {
        if (named.codePage == codePage) return named.name;
    }
    return kFallback;
}

}  // namespace Charset
