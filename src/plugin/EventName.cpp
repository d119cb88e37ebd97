#include "plugin/EventName.h"

#include "text/PlainText.h"

bool sameEventName(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (PlainText::lowerCase(*a) != PlainText::lowerCase(*b)) return false;
    }
    return *a == *b;
}
