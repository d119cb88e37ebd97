#pragma once
// Puts a request that the plug-in sent to the host into words, one line, as
// the host simulator prints it: the request name, then what it asks for.
#include <string>

// The record is read according to the request's name; a record whose size
// field is not the one that request uses is named as such.
std::string describeRequest(const std::string& request, const void* record);

// Texts from the plug-in, quoted; a null pointer as "(null)".
std::string quoted(const char* text);
std::string pointerText(const void* pointer);
