#include "ForwardingSettings.h"

#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "TestHost.h"
#include "ui/resource.h"

#include <cstdio>

namespace {

const char kSubjectHeader[] = "SUBJECT: ";
const char kCrLf[] = "\r\n";
const char kHeaderEnd[] = "\r\n\r\n";
const char kBodyEnd[] = "\r\n\r\n\r\n";

}  // namespace

std::vector<IniEntry> forwardingTo(const std::string& server, const std::vector<IniEntry>& extra) {
    std::vector<IniEntry> entries = {
        {"Forwarding Enabled", "1"}, {"Prefix Enabled", "0"},     {"Char Limit Enabled", "0"},
        {"Show Systray Alert", "1"}, {"Reply Enabled", "0"},      {"ForwardType", "1"},
        {"SMTP Server", server},     {"From Address", kForwardSender},
        {"EMail Address", kForwardRecipient},
    };
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

std::string numbered(const char* stem, size_t n) {
    char text[32];
    std::snprintf(text, sizeof text, "%s %03u", stem, static_cast<unsigned>(n));
    return text;
}

std::string subjectOf(const std::string& data) {
    const size_t start = data.find(kSubjectHeader);
    if (start == std::string::npos) return std::string();
    const size_t valueStart = start + sizeof kSubjectHeader - 1;
    return data.substr(valueStart, data.find(kCrLf, valueStart) - valueStart);
}

std::string bodyOf(const std::string& data) {
    const size_t start = data.find(kHeaderEnd);
    if (start == std::string::npos) return std::string();
    const size_t bodyStart = start + sizeof kHeaderEnd - 1;
    const size_t end = data.rfind(kBodyEnd);
    if (end == std::string::npos || end < bodyStart) return data.substr(bodyStart);
    return data.substr(bodyStart, end - bodyStart);
}

SubjectsAndBodies partsWithName(const std::string& name, const std::string& text,
                                size_t pieceSize, size_t count) {
    SubjectsAndBodies mails;
    for (size_t i = 0; i < count; ++i) {
        const std::string label = std::to_string(i + 1) + "/" + std::to_string(count);
        mails.emplace_back("IM: " + name + " (Part " + label + ")",
                           name + " (" + label + "): " + text.substr(i * pieceSize, pieceSize));
    }
    return mails;
}

void enterPassword(TestHost& host, const std::string& password) {
    const int32_t kConfirm = 2;
    host.prefsShow(1, host.parentWindow());
    ASSERT_EQ(host.count("dialogAdd"), 1);
    HWND page = host.last("dialogAdd").window;
    EXPECT_TRUE(DialogDriver::driveModal([&] { DialogDriver::click(page, IDC_ADVANCED); },
                                         [&](HWND dialog, int) {
                                             if (!dialog) return true;
                                             DialogDriver::type(dialog, IDC_PASSWORD, password);
                                             DialogDriver::click(dialog, IDOK);
                                             return false;
                                         }));
    host.prefsAction(kConfirm);
}
