#pragma once
#include <string>

// Byte rules of 8-bit text that hold in every locale and code page: only
// the ASCII bytes named here match, a byte above 127 never does.
namespace PlainText {

// The bytes 0 to 9 only; isdigit would follow the C runtime's locale.
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Each CR and each LF becomes a blank, so the text keeps its length and can
// never start a new line of a command, a header or the INI file.
std::string singleLine(const std::string& text);

}  // namespace PlainText
