#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/ReleaseNotes.h"

namespace {

const size_t kRuleWidth = 63;
const std::string kRule(kRuleWidth, '-');
const std::string kLineEnd = "\r\n";

// The lines, each without its CR LF; a last line without one is dropped.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find(kLineEnd, start)) != std::string::npos;
         start = end + kLineEnd.size()) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

bool centred(const std::string& line) {
    size_t left = line.find_first_not_of(' ');
    size_t right = kRuleWidth - line.size();
    return left == right || left + 1 == right;
}

}  // namespace

TEST(ReleaseNotes, SixtyTwoPlainLinesUnderARuledCentredBannerWithTheSectionsInOrder) {
    const std::string text = releaseNotesText;
    ASSERT_GE(text.size(), kLineEnd.size());
    EXPECT_EQ(text.substr(text.size() - kLineEnd.size()), kLineEnd);
    const std::vector<std::string> lines = linesOf(text);
    EXPECT_EQ(lines.size(), 62u);
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), 65u) << line;
        for (char c : line) EXPECT_TRUE(c >= ' ' && c <= '~') << line;
    }

    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], kRule);
    EXPECT_NE(lines[1].find("1.1"), std::string::npos);
    EXPECT_TRUE(centred(lines[1])) << lines[1];
    EXPECT_EQ(lines[2], kRule);
    EXPECT_EQ(lines[3], std::string(21, ' ') + "Release Notes / Hints");
    EXPECT_EQ(lines[4], kRule);
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines.back(), kRule);

    // Each text begins a line of its own, in this order.
    size_t from = 0;
    for (const std::string start :
         {"Introduction", "  ", "Options", "  SMTP Server    -  ", "  From Address   -  ",
          "  E-Mail Address -  ", "  Provider       -  ", "  Phone number   -  ",
          "  Reply          -  ", "  Prefix         -  ", "  Char Limit     -  ",
          "  Message Limit  -  ", "  Show Systray   -  ", "  Name in Body   -  ", "Quick hints",
          "  - ", "  - ", "  - ", "Version History", "  1.1  - Release notes built into plugin",
          "       - Fixed Cingular Wireless provider", "       - Fixed a few internal bugs",
          "  1.0  - Initial Release"}) {
        while (from < lines.size() && lines[from].compare(0, start.size(), start) != 0) ++from;
        ASSERT_LT(from, lines.size()) << "'" << start << "' missing or out of order";
        ++from;
    }
}
