#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/ReleaseNotes.h"

namespace {

const size_t kRuleWidth = 63;
const std::string kRule(kRuleWidth, '-');

// The lines without their CR LF; `ended` tells whether the last one had it.
std::vector<std::string> linesOf(const std::string& text, bool& ended) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    ended = start == text.size();
    if (!ended) lines.push_back(text.substr(start));
    return lines;
}

bool centred(const std::string& line) {
    size_t left = line.find_first_not_of(' ');
    size_t right = kRuleWidth - line.size();
    return left == right || left + 1 == right;
}

// Each text begins a line of its own, in this order, from line `from` on.
void expectInOrder(const std::vector<std::string>& lines, std::vector<std::string> starts, size_t from = 0) {
    for (const std::string& start : starts) {
        while (from < lines.size() && lines[from].compare(0, start.size(), start) != 0) ++from;
        ASSERT_LT(from, lines.size()) << "'" << start << "' missing or out of order";
        ++from;
    }
}

}  // namespace

TEST(ReleaseNotes, SixtyTwoPlainLinesEachEndingInCrLfNoneWiderThan65) {
    bool ended = false;
    std::vector<std::string> lines = linesOf(releaseNotesText, ended);
    EXPECT_TRUE(ended);
    EXPECT_EQ(lines.size(), 62u);
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), 65u) << line;
        for (char c : line) EXPECT_TRUE(c >= ' ' && c <= '~') << line;
    }
}

TEST(ReleaseNotes, RuledCentredBannerSectionsOptionsAndVersionsInTheirOrder) {
    bool ended = false;
    std::vector<std::string> lines = linesOf(releaseNotesText, ended);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], kRule);
    EXPECT_NE(lines[1].find("1.1"), std::string::npos);
    EXPECT_TRUE(centred(lines[1])) << lines[1];
    EXPECT_EQ(lines[2], kRule);
    EXPECT_EQ(lines[3], std::string(21, ' ') + "Release Notes / Hints");
    EXPECT_EQ(lines[4], kRule);
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines.back(), kRule);

    expectInOrder(lines, {"Introduction", "  ", "Options", "  SMTP Server    -  ", "  From Address   -  ",
                          "  E-Mail Address -  ", "  Provider       -  ", "  Phone number   -  ",
                          "  Reply          -  ", "  Prefix         -  ", "  Char Limit     -  ",
                          "  Message Limit  -  ", "  Show Systray   -  ", "  Name in Body   -  ", "Quick hints",
                          "  - ", "  - ", "  - ", "Version History", "  1.1  - Release notes built into plugin",
                          "       - Fixed Cingular Wireless provider", "       - Fixed a few internal bugs",
                          "  1.0  - Initial Release"});
}
