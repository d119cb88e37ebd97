#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "forward/MessageComposer.h"
#include "settings/Settings.h"

namespace {

using Mails = std::vector<std::pair<std::string, std::string>>;

Settings splitting(int32_t charLimit, int32_t messageLimit, bool nameInBody) {
    Settings settings;
    settings.charLimitEnabled = true;
    settings.charLimit = charLimit;
    settings.messageLimit = messageLimit;
    settings.nameInBody = nameInBody;
    return settings;
}

Mails compose(const Settings& settings, const std::string& name, const std::string& text) {
    Mails mails;
    for (const ComposedMail& mail : composeMails(settings, name, text)) mails.emplace_back(mail.subject, mail.body);
    return mails;
}

std::string letters(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += static_cast<char>('a' + i % 26);
    return text;
}

// The two numbers of a part label at the end of a subject, "... (Part 3/7)".
std::pair<unsigned long, unsigned long> labelOf(const std::string& subject) {
    const size_t open = subject.rfind(" (Part ");
    const size_t slash = subject.find('/', open);
    return {std::stoul(subject.substr(open + 7, slash - open - 7)), std::stoul(subject.substr(slash + 1))};
}

}  // namespace

TEST(MessageComposer, WorkedExamples) {
    EXPECT_EQ(compose(splitting(120, 5, true), "ann", "hi there"), (Mails{{"IM: ann", "ann: hi there"}}));

    const Settings tens = splitting(10, 5, false);
    EXPECT_EQ(compose(tens, "ann", "abcdefghij"), (Mails{{"IM: ann", "abcdefghij"}}));
    EXPECT_EQ(compose(tens, "ann", "abcdefghijk"),
              (Mails{{"IM: ann (Part 1/2)", "abcdefghij"}, {"IM: ann (Part 2/2)", "k"}}));
    EXPECT_EQ(compose(tens, "ann", "abcdefghijklmnopqrstuvw"),
              (Mails{{"IM: ann (Part 1/3)", "abcdefghij"},
                     {"IM: ann (Part 2/3)", "klmnopqrst"},
                     {"IM: ann (Part 3/3)", "uvw"}}));

    const std::string text35 = letters(35);
    EXPECT_EQ(compose(splitting(10, 2, false), "ann", text35),
              (Mails{{"IM: ann (Part 1/2)", text35.substr(0, 10)}, {"IM: ann (Part 2/2)", text35.substr(10, 10)}}));

    const std::string text150 = letters(150);
    EXPECT_EQ(compose(splitting(100, 5, true), "al", text150),
              (Mails{{"IM: al (Part 1/2)", "al (1/2): " + text150.substr(0, 90)},
                     {"IM: al (Part 2/2)", "al (2/2): " + text150.substr(90)}}));
}

TEST(MessageComposer, TotalCountsThePartsReallyCutWithTheNameInTheBody) {
    // Counted from the length alone this would be one part, yet two are cut.
    const std::string text = letters(118);
    EXPECT_EQ(compose(splitting(120, 5, true), "bob", text),
              (Mails{{"IM: bob (Part 1/2)", "bob (1/2): " + text.substr(0, 109)},
                     {"IM: bob (Part 2/2)", "bob (2/2): " + text.substr(109)}}));

    // The count passes from one digit to two, which widens the label and
    // shrinks the pieces once more: 95 characters in pieces of 8 make 12.
    const Mails mails = compose(splitting(20, 50, true), "al", letters(95));
    ASSERT_EQ(mails.size(), 12u);
    EXPECT_EQ(mails.front(), std::make_pair(std::string("IM: al (Part 1/12)"), "al (1/12): " + letters(8)));
    EXPECT_EQ(mails.back().first, "IM: al (Part 12/12)");
}

// Across many shapes of message: labels run 1..total in order with the total
// equal to the number of mails, no body is longer than "CharLimit", and the
// pieces put back together give the text (all of it unless the limit cut it).
TEST(MessageComposer, SplitPartsAreNumberedFullAndInOrder) {
    for (bool nameInBody : {false, true}) {
        for (const std::string name : {"", "al", "someone_long"}) {
            for (int32_t charLimit : {20, 25, 40}) {
                for (int32_t messageLimit : {1, 3, 9, 10, 11, 200}) {
                    for (size_t length : {1u, 19u, 20u, 21u, 64u, 95u, 300u, 1234u}) {
                        const Settings settings = splitting(charLimit, messageLimit, nameInBody);
                        const std::string text = letters(length);
                        const Mails mails = compose(settings, name, text);
                        SCOPED_TRACE(testing::Message() << "name '" << name << "' in body " << nameInBody
                                                        << ", limit " << charLimit << ", parts " << messageLimit
                                                        << ", length " << length);
                        ASSERT_FALSE(mails.empty());
                        if (mails.size() == 1 && mails[0].first == "IM: " + name) continue;
                        ASSERT_LE(mails.size(), static_cast<size_t>(messageLimit));
                        std::string joined;
                        for (size_t i = 0; i < mails.size(); ++i) {
                            const auto label = labelOf(mails[i].first);
                            EXPECT_EQ(label.first, i + 1);
                            EXPECT_EQ(label.second, mails.size());
                            const std::string& body = mails[i].second;
                            EXPECT_LE(body.size(), static_cast<size_t>(charLimit));
                            const std::string bodyPrefix =
                                nameInBody ? name + " (" + std::to_string(i + 1) + "/" +
                                                 std::to_string(mails.size()) + "): "
                                           : "";
                            ASSERT_EQ(body.compare(0, bodyPrefix.size(), bodyPrefix), 0) << body;
                            joined += body.substr(bodyPrefix.size());
                        }
                        if (mails.size() < static_cast<size_t>(messageLimit)) {
                            EXPECT_EQ(joined, text);
                        } else {
                            EXPECT_EQ(joined, text.substr(0, joined.size()));
                        }
                    }
                }
            }
        }
    }
}

TEST(MessageComposer, TextsThatAreNotSplit) {
    const std::string exact = letters(10);
    EXPECT_EQ(compose(splitting(10, 5, false), "ann", exact), (Mails{{"IM: ann", exact}}));
    // With the name in the body the name prefix counts against the limit.
    EXPECT_EQ(compose(splitting(15, 5, true), "ann", exact), (Mails{{"IM: ann", "ann: " + exact}}));

    Settings unlimited = splitting(10, 5, false);
    unlimited.charLimitEnabled = false;
    const std::string longText = letters(500);
    EXPECT_EQ(compose(unlimited, "ann", longText), (Mails{{"IM: ann", longText}}));

    // A text that fits goes out whatever "Message Limit" says.
    EXPECT_EQ(compose(splitting(10, 0, false), "ann", "short"), (Mails{{"IM: ann", "short"}}));
    EXPECT_TRUE(compose(splitting(10, 5, false), "ann", "").empty());
}

TEST(MessageComposer, MessageLimitDropsTheRest) {
    EXPECT_EQ(compose(splitting(10, 1, false), "ann", letters(15)), (Mails{{"IM: ann (Part 1/1)", letters(10)}}));
    EXPECT_TRUE(compose(splitting(10, 0, false), "ann", letters(15)).empty());
    EXPECT_TRUE(compose(splitting(20, 0, true), "ann", letters(30)).empty());
}

TEST(MessageComposer, WithoutAPositivePartSizeTheMessageGoesOutWhole) {
    const std::string text = letters(40);
    EXPECT_EQ(compose(splitting(0, 5, false), "ann", text), (Mails{{"IM: ann", text}}));
    // "someone (1/1): " alone takes the whole limit of 15.
    EXPECT_EQ(compose(splitting(15, 5, true), "someone", text), (Mails{{"IM: someone", "someone: " + text}}));
}

TEST(MessageComposer, LimitsCountAsUnsigned) {
    // A "CharLimit" of -1 is the largest limit: nothing is ever split.
    const std::string text = letters(5000);
    EXPECT_EQ(compose(splitting(-1, 5, false), "ann", text), (Mails{{"IM: ann", text}}));
    // A "Message Limit" of -1 lets every part through.
    const Mails mails = compose(splitting(10, -1, false), "ann", letters(35));
    ASSERT_EQ(mails.size(), 4u);
    EXPECT_EQ(mails.back(), std::make_pair(std::string("IM: ann (Part 4/4)"), letters(35).substr(30)));
}

TEST(MessageComposer, AMegabyteInTinyPartsComesBackWhole) {
    const std::string text = letters(1 << 20);
    const std::vector<ComposedMail> mails = composeMails(splitting(10, -1, false), "ann", text);
    ASSERT_EQ(mails.size(), 104858u);
    std::string joined;
    joined.reserve(text.size());
    for (const ComposedMail& mail : mails) joined += mail.body;
    EXPECT_EQ(joined, text);
    EXPECT_EQ(mails.back().subject, "IM: ann (Part 104858/104858)");
}

TEST(MessageComposer, AlertText) {
    EXPECT_EQ(alertTextFor("IM: ann (Part 2/2)"), "IM: ann (Part 2/2) has been forwarded");
}
