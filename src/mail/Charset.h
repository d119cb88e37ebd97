#pragma once
#include <string>

// The name a mail gives the character set of the host's 8-bit texts: the
// IANA name of the system's ANSI code page ("windows-1251", "Shift_JIS").
namespace Charset {

// windows-1252 for a code page without an IANA name known here.
std::string ofCodePage(unsigned codePage);

}  // namespace Charset
