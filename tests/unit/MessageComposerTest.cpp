#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ForwardingSettings.h"
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

// Mails of one message in parts, with the bodies given.
Mails numbered(const std::string& name, const std::vector<std::string>& bodies) {
    Mails mails;
    for (size_t i = 0; i < bodies.size(); ++i) {
        const std::string label = std::to_string(i + 1) + "/" + std::to_string(bodies.size());
        mails.emplace_back("IM: " + name + " (Part " + label + ")", bodies[i]);
    }
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

TEST(MessageComposer, LimitsAtTheirEdges) {
    const std::string ten = letters(10);
    const std::string forty = letters(40);
    const std::string text35 = letters(35);
    Settings unlimited = splitting(10, 5, false);
    unlimited.charLimitEnabled = false;
    const struct {
        const char* what;
        Settings settings;
        const char* name;
        std::string text;
        Mails mails;
    } cases[] = {
        {"the name prefix counts against the limit", splitting(15, 5, true), "ann", ten,
         {{"IM: ann", "ann: " + ten}}},
        {"the limit switched off", unlimited, "ann", letters(500), {{"IM: ann", letters(500)}}},
        {"one part allowed", splitting(10, 1, false), "ann", letters(15), numbered("ann", {ten})},
        {"no parts allowed", splitting(10, 0, false), "ann", letters(15), {}},
        {"no parts allowed, the name in the body", splitting(20, 0, true), "ann", letters(30), {}},
        {"a limit of zero", splitting(0, 5, false), "ann", forty, {{"IM: ann", forty}}},
        // "someone (3/3): " alone takes the whole limit of 15, and no label
        // is narrower.
        {"a label that fills the limit", splitting(15, 5, true), "someone", forty,
         {{"IM: someone", "someone: " + forty}}},
        // Both limits count as unsigned: -1 is the largest of each.
        {"a character limit of -1", splitting(-1, 5, false), "ann", letters(5000),
         {{"IM: ann", letters(5000)}}},
        {"a message limit of -1", splitting(10, -1, false), "ann", text35,
         numbered("ann", {ten, text35.substr(10, 10), text35.substr(20, 10), text35.substr(30)})},
        {"an empty text", splitting(10, 5, false), "ann", "", {}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(compose(test.settings, test.name, test.text), test.mails);
    }
}

// The label of the real count leaves no room for text: as many parts as the
// widest label that leaves room can number, all full, the rest dropped; no
// body is longer than "CharLimit".
TEST(MessageComposer, FewerPartsWhereTheLabelOfTheRealCountLeavesNoRoom) {
    const std::string name20(20, 'n');
    const struct {
        const char* what;
        Settings settings;
        std::string name;
        size_t length;
        size_t pieceSize;
        size_t parts;
    } cases[] = {
        // "10/10" would leave none of 30; "9/9" leaves 2.
        {"a long name", splitting(30, 10, true), name20, 100, 2, 9},
        // "1000/1000" would take 16 of 15; "999/999" leaves 1.
        {"a thousand parts allowed", splitting(15, 1000, true), "al", 2000, 1, 999},
        // Counted from the length alone the label would be "19/19", which
        // leaves nothing of 11.
        {"the first count too wide", splitting(11, 50, true), "ab", 200, 1, 9},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const std::string text = letters(test.length);
        EXPECT_EQ(compose(test.settings, test.name, text),
                  partsWithName(test.name, text, test.pieceSize, test.parts));
    }
}

// The count passes from one digit to two, which widens the label and shrinks
// the pieces once more: 95 characters in pieces of 8 make 12.
TEST(MessageComposer, TotalCountsThePartsReallyCutWithTheNameInTheBody) {
    const Mails mails = compose(splitting(20, 50, true), "al", letters(95));
    ASSERT_EQ(mails.size(), 12u);
    EXPECT_EQ(mails.front(), std::make_pair(std::string("IM: al (Part 1/12)"), "al (1/12): " + letters(8)));
    EXPECT_EQ(mails.back().first, "IM: al (Part 12/12)");
}

// Across many shapes of message: labels run 1..total in order with the total
// equal to the number of mails, no body is longer than "CharLimit", and the
// pieces put back together give the text (all of it unless the limit or the
// width of the label cut it). A text that needs splitting is split unless the
// name leaves no room beside the label "1/1".
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
                        // Only a name that leaves no room beside "1/1" keeps
                        // a text that needs splitting in one mail.
                        const size_t namePrefix = nameInBody ? name.size() + 2 : 0;
                        const bool roomBesideALabel = !nameInBody || name.size() + 8 < static_cast<size_t>(charLimit);
                        if (length + namePrefix <= static_cast<size_t>(charLimit) || !roomBesideALabel) {
                            ASSERT_EQ(mails.size(), 1u);
                            EXPECT_EQ(mails[0].first, "IM: " + name);
                            continue;
                        }
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
                        // One part more would need a label that leaves no room.
                        const std::string wider = std::to_string(mails.size() + 1);
                        const bool widestLabel =
                            nameInBody && name.size() + 2 * wider.size() + 6 >= static_cast<size_t>(charLimit);
                        if (mails.size() < static_cast<size_t>(messageLimit) && !widestLabel) {
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
