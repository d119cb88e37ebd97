#pragma once
#include <string>
#include <vector>

struct Settings;

// What "CharLimit" counts: bytes of text in the system code page for mail,
// characters of UTF-8 text for push.
enum class TextUnit { Byte, Utf8Character };

// The subject and body of one mail (for push: the title and message).
struct ComposedMail {
    std::string subject;
    std::string body;
};

// Turns the text of one incoming message into its mails, in part order:
// one mail when the text fits "CharLimit" (or splitting is off, or not even
// the name prefix with the label "1/1" leaves room for a character), else
// numbered parts up to "Message Limit", the rest dropped, no body longer
// than "CharLimit". The total in the part labels is the number of parts
// really cut; when the name prefix with that count's label would leave no
// room, fewer parts are cut: as many as the widest label that leaves room
// can number (9, 99, ...).
// Reads "Char Limit Enabled", "CharLimit", "Message Limit" and "Name In Body".
// The subject is "IM: ", the name and the tail, before any part label.
// Cutting by characters never splits one.
std::vector<ComposedMail> composeMails(const Settings& settings, const std::string& name,
                                       const std::string& text,
                                       const std::string& subjectTail = std::string(),
                                       TextUnit unit = TextUnit::Byte);

// The systray alert for a message whose last mail has this subject.
std::string alertTextFor(const std::string& lastSubject);
