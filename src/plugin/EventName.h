#pragma once

// True when two event names are equal once the letters A to Z are folded to
// lower case; every other byte must match exactly.
bool sameEventName(const char* a, const char* b);
