#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/ReleaseNotes.h"

namespace {

const size_t kLineCount = 62;
const size_t kRuleWidth = 63;
const size_t kMaxWidth = 65;
const size_t kOptionIndent = 2;
const size_t kOptionField = 15;
const std::string kRule(kRuleWidth, '-');

// Splits at CR LF; a text whose last line lacks it gives a trailing piece.
std::vector<std::string> lines(const std::string& text, bool& everyLineEnds) {
    std::vector<std::string> result;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        result.push_back(text.substr(start, end - start));
    }
    everyLineEnds = start == text.size();
    if (!everyLineEnds) result.push_back(text.substr(start));
    return result;
}

size_t indexOf(const std::vector<std::string>& all, const std::string& line, size_t from = 0) {
    for (size_t i = from; i < all.size(); ++i) {
        if (all[i] == line) return i;
    }
    return all.size();
}

bool isCentred(const std::string& line) {
    size_t lead = line.find_first_not_of(' ');
    size_t length = line.size() - lead;
    size_t right = kRuleWidth - lead - length;
    return lead == right || lead + 1 == right;
}

std::string optionLine(const std::string& name) {
    return std::string(kOptionIndent, ' ') + name + std::string(kOptionField - name.size(), ' ') + "-  ";
}

}  // namespace

TEST(ReleaseNotes, HasSixtyTwoLinesEachEndingInCrLfAndNoneTooWide) {
    bool everyLineEnds = false;
    std::vector<std::string> all = lines(releaseNotesText, everyLineEnds);
    EXPECT_TRUE(everyLineEnds);
    EXPECT_EQ(all.size(), kLineCount);
    for (const std::string& line : all) {
        EXPECT_LE(line.size(), kMaxWidth) << line;
        EXPECT_EQ(line.find_first_of("\r\n\t"), std::string::npos) << line;
        for (char c : line) EXPECT_TRUE(c >= ' ' && c <= '~') << line;
    }
}

TEST(ReleaseNotes, BannerIsRuledAndCentredAndTheTextEndsWithARule) {
    bool everyLineEnds = false;
    std::vector<std::string> all = lines(releaseNotesText, everyLineEnds);
    ASSERT_EQ(all.size(), kLineCount);
    EXPECT_EQ(all[0], kRule);
    EXPECT_NE(all[1].find("1.1"), std::string::npos);
    EXPECT_TRUE(isCentred(all[1])) << all[1];
    EXPECT_EQ(all[2], kRule);
    EXPECT_EQ(all[3].substr(all[3].find_first_not_of(' ')), "Release Notes / Hints");
    EXPECT_TRUE(isCentred(all[3])) << all[3];
    EXPECT_EQ(all[4], kRule);
    EXPECT_EQ(all[5], "");
    EXPECT_EQ(all.back(), kRule);
}

TEST(ReleaseNotes, SectionsOptionsAndVersionsStandInTheirOrder) {
    bool everyLineEnds = false;
    std::vector<std::string> all = lines(releaseNotesText, everyLineEnds);
    size_t at = 0;
    for (const char* section : {"Introduction", "Options", "Quick hints", "Version History"}) {
        size_t found = indexOf(all, section, at);
        ASSERT_LT(found, all.size()) << section << " missing or out of order";
        at = found;
    }

    size_t options = indexOf(all, "Options");
    size_t hints = indexOf(all, "Quick hints");
    size_t entry = options;
    for (const char* name : {"SMTP Server", "From Address", "E-Mail Address", "Provider", "Phone number",
                             "Reply", "Prefix", "Char Limit", "Message Limit", "Show Systray",
                             "Name in Body"}) {
        std::string start = optionLine(name);
        size_t found = entry + 1;
        while (found < hints && all[found].compare(0, start.size(), start) != 0) ++found;
        ASSERT_LT(found, hints) << name << " missing or out of order";
        for (size_t next = found + 1; next < hints && all[next].compare(0, 20, std::string(20, ' ')) == 0;
             ++next) {
            EXPECT_NE(all[next][20], ' ') << "continuation of " << name << " indented by 20";
        }
        entry = found;
    }

    size_t history = indexOf(all, "Version History");
    std::string rest;
    for (size_t i = history; i < all.size(); ++i) rest += all[i] + "\n";
    size_t v11 = rest.find("1.1");
    size_t v10 = rest.find("1.0");
    ASSERT_NE(v11, std::string::npos);
    ASSERT_NE(v10, std::string::npos);
    EXPECT_LT(v11, v10);
    for (const char* change : {"Release notes built into plugin", "Fixed Cingular Wireless provider",
                               "Fixed a few internal bugs"}) {
        size_t found = rest.find(change);
        EXPECT_TRUE(found > v11 && found < v10) << change;
    }
    size_t initial = rest.find("Initial Release");
    ASSERT_NE(initial, std::string::npos);
    EXPECT_GT(initial, v10);
}
