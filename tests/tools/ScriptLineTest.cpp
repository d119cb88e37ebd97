#include <gtest/gtest.h>

#include "ScriptLine.h"

using Kind = ScriptLine::Kind;

TEST(ScriptLine, MessageIsSenderMediumAndTheRestOfTheLine) {
    const ScriptLine line = parseScriptLine("  ann\tAIM   <b>hi</b> #2  \r\n");
    ASSERT_EQ(line.kind, Kind::Message);
    EXPECT_EQ(line.sender, "ann");
    EXPECT_EQ(line.medium, "AIM");
    // Blanks inside and at the end of the text, and a "#", are the message's.
    EXPECT_EQ(line.text, "<b>hi</b> #2  ");

    for (const char* text : {"ann", "ann AIM", "ann AIM   \n"}) {
        EXPECT_EQ(parseScriptLine(text).kind, Kind::Malformed) << text;
    }
    EXPECT_EQ(parseScriptLine(" \t \r\n").kind, Kind::Blank);
}

TEST(ScriptLine, WaitIsTheWordAndANumberAloneAnyOtherHashLineAComment) {
    const ScriptLine wait = parseScriptLine("# wait 5000\r\n");
    ASSERT_EQ(wait.kind, Kind::Wait);
    EXPECT_EQ(wait.waitMs, 5000u);
    EXPECT_EQ(parseScriptLine("#wait 600000").waitMs, 600000u);

    const ScriptLine comment = parseScriptLine("  #  a note: wait for it\n");
    ASSERT_EQ(comment.kind, Kind::Comment);
    EXPECT_EQ(comment.text, "a note: wait for it");
    for (const char* text : {"# wait", "# wait 5s", "# wait 5 more", "# wait -1", "# Wait 5"}) {
        EXPECT_EQ(parseScriptLine(text).kind, Kind::Comment) << text;
    }
    // Too long a wait, however many digits, is refused rather than wrapped.
    EXPECT_EQ(parseScriptLine("# wait 600001").kind, Kind::Malformed);
    EXPECT_EQ(parseScriptLine("# wait 99999999999999999999999").kind, Kind::Malformed);
}
