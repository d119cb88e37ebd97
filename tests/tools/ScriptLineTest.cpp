#include <gtest/gtest.h>

#include "ScriptLine.h"

using Kind = ScriptLine::Kind;

TEST(ScriptLine, MessageIsSenderMediumAndTheRestOfTheLine) {
    const ScriptLine line = parseScriptLine("  ann\tAIM   <b>hi</b>  there  \r\n");
    ASSERT_EQ(line.kind, Kind::Message);
    EXPECT_EQ(line.sender, "ann");
    EXPECT_EQ(line.medium, "AIM");
    // Blanks inside and at the end of the text are part of the message.
    EXPECT_EQ(line.text, "<b>hi</b>  there  ");
}

TEST(ScriptLine, MessageWithoutTextOrMediumIsMalformed) {
    for (const char* text : {"ann", "ann AIM", "ann AIM   \n", "ann\t"}) {
        SCOPED_TRACE(text);
        const ScriptLine line = parseScriptLine(text);
        EXPECT_EQ(line.kind, Kind::Malformed);
        EXPECT_FALSE(line.text.empty());
    }
}

TEST(ScriptLine, BlankLinesAreSkipped) {
    for (const char* text : {"", "\n", "\r\n", " \t "}) {
        EXPECT_EQ(parseScriptLine(text).kind, Kind::Blank);
    }
}

TEST(ScriptLine, CommentsKeepTheirWords) {
    const ScriptLine line = parseScriptLine("  #  a note: wait for it\n");
    ASSERT_EQ(line.kind, Kind::Comment);
    EXPECT_EQ(line.text, "a note: wait for it");
    EXPECT_EQ(parseScriptLine("#").kind, Kind::Comment);
    // A "#" inside a message is text.
    EXPECT_EQ(parseScriptLine("ann AIM #1 #2").text, "#1 #2");
}

TEST(ScriptLine, WaitIsTheWordAndANumberAlone) {
    const ScriptLine wait = parseScriptLine("# wait 5000\r\n");
    ASSERT_EQ(wait.kind, Kind::Wait);
    EXPECT_EQ(wait.waitMs, 5000u);
    EXPECT_EQ(parseScriptLine("#wait 0").waitMs, 0u);
    EXPECT_EQ(parseScriptLine("# wait 600000").kind, Kind::Wait);

    // Anything else that starts with "wait" is a comment.
    for (const char* text : {"# wait", "# wait 5s", "# wait 5 more", "# wait -1", "# Wait 5"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(parseScriptLine(text).kind, Kind::Comment);
    }
}

TEST(ScriptLine, WaitsBeyondTheLongestAreMalformed) {
    EXPECT_EQ(parseScriptLine("# wait 600001").kind, Kind::Malformed);
    EXPECT_EQ(parseScriptLine("# wait 99999999999999999999999").kind, Kind::Malformed);
}
