#pragma once
#include <string>

// Drops every tag: from a "<" up to and including the next ">". Entities are
// not decoded, a ">" outside a tag stays, an unclosed "<" drops the rest.
std::string stripMarkup(const std::string& text);
