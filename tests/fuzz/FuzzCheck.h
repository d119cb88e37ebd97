#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

// A property that does not hold ends the run as a crash, which libFuzzer
// reports and saves together with the input that caused it.
#define FUZZ_REQUIRE(condition)                                                              \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__,      \
                         __LINE__);                                                          \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

inline bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Whether `part` can be had from `whole` by dropping characters.
inline bool isSubsequence(const std::string& part, const std::string& whole) {
    size_t at = 0;
    for (char c : whole) {
        if (at < part.size() && part[at] == c) ++at;
    }
    return at == part.size();
}
