#pragma once
// Settings under which every incoming private message goes out as one mail
// to the given SMTP server, for tests that count and read the mails. Extra
// entries are written after the defaults and so take their place.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "IniFile.h"

const char kForwardSender[] = "tolvane@example.org";
const char kForwardRecipient[] = "pager@example.net";
const char kPrivateMessage[] = "incoming_privateMessage";

std::vector<IniEntry> forwardingTo(const std::string& server,
                                   const std::vector<IniEntry>& extra = {});

class TestHost;

// Types the password into dialog 106 as a user does, and confirms the page:
// "SMTP Password" is stored protected for the user, not written by tests.
void enterPassword(TestHost& host, const std::string& password);

// A text with a running number, such as "ann 007", so that order shows.
std::string numbered(const char* stem, size_t n);

// The subject and body of each mail, in order.
using SubjectsAndBodies = std::vector<std::pair<std::string, std::string>>;
// The first `count` pieces of the text, each of `pieceSize` characters, in
// numbered parts that carry the name in the body.
SubjectsAndBodies partsWithName(const std::string& name, const std::string& text,
                                size_t pieceSize, size_t count);

// The SUBJECT header value of mail data as a server stored it.
std::string subjectOf(const std::string& data);
// The body: what follows the empty line after the headers, without the two
// empty lines that end it.
std::string bodyOf(const std::string& data);
