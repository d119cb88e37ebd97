#pragma once
#include <cstddef>
#include <string>

// The message sizes every benchmark is run at, in bytes.
const size_t kHundredBytes = 100;
const size_t kKilobyte = 1024;
const size_t kSixtyFourKilobytes = 64 * 1024;
const size_t kMegabyte = 1024 * 1024;

// A message of the given length as a client sends it: words with now and
// then a tag, a line end and an entity.
inline std::string sampleMessage(size_t length) {
    static const std::string kPattern =
        "<font color=\"#000000\">see you at <b>5</b></font> &amp; bring the notes\r\n"
        ". a line that starts with a period, and some more ordinary words here ";
    std::string text;
    text.reserve(length + kPattern.size());
    while (text.size() < length) text += kPattern;
    text.resize(length);
    return text;
}

#define TOLVANE_MESSAGE_SIZES \
    Arg(kHundredBytes)->Arg(kKilobyte)->Arg(kSixtyFourKilobytes)->Arg(kMegabyte)
