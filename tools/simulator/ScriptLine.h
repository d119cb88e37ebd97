#pragma once
// One line of a conversation that the host simulator plays:
//
//     ann AIM <b>hi</b>      a message: the sender, the medium, then the text
//     # any words            a comment, echoed so the output reads with it
//     # wait 5000            a pause of that many milliseconds
//
// Sender and medium are single words; the text is the rest of the line after
// the blanks that follow the medium, kept byte for byte (markup included).
// Blank lines are skipped.
#include <cstdint>
#include <string>

struct ScriptLine {
    enum class Kind { Blank, Comment, Wait, Message, Malformed };

    Kind kind = Kind::Blank;
    std::string sender;
    std::string medium;
    // The message's text, the comment's words, or what is wrong with the line.
    std::string text;
    uint32_t waitMs = 0;
};

// The longest pause a script may ask for.
constexpr uint32_t kLongestWaitMs = 600000;

// Reads one line; a trailing CR or LF is not part of it.
ScriptLine parseScriptLine(const std::string& line);
