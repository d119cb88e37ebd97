#pragma once
#include <string>

// Text of the host, in the system's ANSI code page, as UTF-8 for a push
// service. A code page can be named instead, for a test.
std::string utf8FromCodePage(const std::string& text, unsigned codePage);
std::string utf8FromSystemCodePage(const std::string& text);
