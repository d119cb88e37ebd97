#pragma once
#include <string>

// Text of a mail part in its charset (a MIME name such as "utf-8" or
// "iso-8859-1", any case) as the system's ANSI code page holds it, which is
// what the host takes: a character the code page lacks becomes "?". Text
// in a charset Windows does not know stays as it is.
std::string toSystemCodePage(const std::string& text, const std::string& charset);
