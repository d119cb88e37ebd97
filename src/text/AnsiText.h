#pragma once
#include <string>

// The host's 8-bit texts are in the system's ANSI code page; protocols that
// want UTF-8, and answers that come in other charsets, are converted here.
namespace AnsiText {

// The code page the host's texts are in.
unsigned codePage();

// The text moved from one code page to another by way of UTF-16: a byte the
// source does not map is lost, a character the target lacks becomes "?".
std::string convert(const std::string& text, unsigned fromCodePage, unsigned toCodePage);

// The host's text in UTF-8; a code page can be named instead, for a test.
std::string toUtf8(const std::string& ansi);
std::string toUtf8(const std::string& ansi, unsigned codePage);

}  // namespace AnsiText
