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

// The ASCII letters in lower or in upper case, every other byte as it is:
// names of protocols, headers and charsets compared without case.
constexpr char lowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string lowerCase(std::string text);
std::string upperCase(std::string text);

// The value of a hexadecimal digit of either case; -1 for any other byte.
constexpr int hexDigit(char c) {
    return isDigit(c)                ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

// The text without any of the given bytes at either end.
std::string trimmed(const std::string& text, const char* blanks);

}  // namespace PlainText
