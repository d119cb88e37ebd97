#pragma once
#include <cstdint>
#include <string>

// The plug-in's own copy of a received message; lives for one handler call.
struct MessageEvent {
    std::string medium;
    int32_t connection = -1;
    std::string name;
    std::string type;
    std::string plainText;  // the text with its markup removed
};
