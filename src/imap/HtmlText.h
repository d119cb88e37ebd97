#pragma once
#include <string>

// The text an HTML part shows: tags dropped (a line break for those that
// break lines, one quoted line "> " for a whole blockquote, nothing for the
// head, scripts and styles), blanks as HTML collapses them, and character
// references decoded into the part's charset; one it cannot hold becomes
// "?".
namespace HtmlText {

std::string toText(const std::string& html, const std::string& charset);

}  // namespace HtmlText
