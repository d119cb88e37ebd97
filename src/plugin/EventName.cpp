#include "plugin/EventName.h"

namespace {

char foldAsciiUpper(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

}  // namespace

bool sameEventName(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (foldAsciiUpper(*a) != foldAsciiUpper(*b)) return false;
    }
    return *a == *b;
}
