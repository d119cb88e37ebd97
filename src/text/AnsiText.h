#pragma once
#include <string>

// The host's 8-bit texts are in the system's ANSI code page; protocols that
// want UTF-8 get them converted here.
namespace AnsiText {

// The code page the host's texts are in.
unsigned codePage();

// The text in UTF-8; a byte the code page does not map is lost.
std::string toUtf8(const std::string& ansi, unsigned codePage = AnsiText::codePage());

}  // namespace AnsiText
