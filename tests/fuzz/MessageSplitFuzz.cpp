#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "forward/ForwardPlan.h"
#include "forward/MessageEvent.h"
#include "settings/Settings.h"

namespace {

const char kDestination[] = "ann@example.com";
const char kHandledType[] = "incoming_privateMessage";
const int32_t kLargestSmallLimit = 400;

// Mostly limits that make texts split, now and then any 32-bit value.
int32_t pickLimit(FuzzedDataProvider& input) {
    if (input.ConsumeBool()) return input.ConsumeIntegral<int32_t>();
    return input.ConsumeIntegralInRange<int32_t>(-1, kLargestSmallLimit);
}

Settings pickSettings(FuzzedDataProvider& input) {
    Settings settings;
    settings.forwardingEnabled = true;
    settings.forwardType = 1;
    settings.emailAddress = kDestination;
    settings.charLimitEnabled = input.ConsumeBool();
    settings.nameInBody = input.ConsumeBool();
    settings.prefixEnabled = input.ConsumeBool();
    settings.showSystrayAlert = input.ConsumeBool();
    settings.replyEnabled = input.ConsumeBool();
    settings.charLimit = pickLimit(input);
    settings.messageLimit = pickLimit(input);
    settings.triggerPrefix = input.ConsumeRandomLengthString(8);
    return settings;
}

uint64_t asUnsigned(int32_t value) { return static_cast<uint32_t>(value); }

std::string label(size_t number, size_t total) {
    return std::to_string(number) + "/" + std::to_string(total);
}

// The text that should be forwarded, or false when the prefix filters it out.
bool forwardedText(const Settings& settings, const std::string& plainText, std::string& text) {
    text = plainText;
    if (!settings.prefixEnabled || settings.triggerPrefix.empty()) return true;
    if (!startsWith(plainText, settings.triggerPrefix)) return false;
    text.erase(0, settings.triggerPrefix.size());
    return true;
}

// The length of "name (total/total): " in front of every piece, or 0.
uint64_t reserveFor(const Settings& settings, const std::string& name, size_t total) {
    return settings.nameInBody ? name.size() + label(total, total).size() + 5 : 0;
}

void checkSingleMail(const Settings& settings, const std::string& name, const std::string& text,
                     const ComposedMail& mail) {
    const std::string namePrefix = settings.nameInBody ? name + ": " : "";
    FUZZ_REQUIRE(mail.body == namePrefix + text);
    // Too long for one mail only when nothing could be cut: splitting off,
    // no limit, or the name leaving no room for text beside even "1/1".
    if (mail.body.size() > asUnsigned(settings.charLimit)) {
        FUZZ_REQUIRE(!settings.charLimitEnabled || settings.charLimit == 0 ||
                     reserveFor(settings, name, 1) >= asUnsigned(settings.charLimit));
    }
}

// Numbered parts: each within "CharLimit", labelled i/total with total the
// number of parts, their pieces joined a prefix of the text that is only
// short of the whole when "Message Limit" parts were sent or one part more
// would need a label that leaves no room for text.
void checkParts(const Settings& settings, const std::string& name, const std::string& text,
                const std::vector<ComposedMail>& mails) {
    const size_t total = mails.size();
    FUZZ_REQUIRE(settings.charLimitEnabled);
    FUZZ_REQUIRE(total <= asUnsigned(settings.messageLimit));
    std::string joined;
    size_t firstPieceSize = 0;
    for (size_t number = 1; number <= total; ++number) {
        const ComposedMail& mail = mails[number - 1];
        FUZZ_REQUIRE(mail.subject == "IM: " + name + " (Part " + label(number, total) + ")");
        const std::string bodyPrefix =
            settings.nameInBody ? name + " (" + label(number, total) + "): " : "";
        FUZZ_REQUIRE(startsWith(mail.body, bodyPrefix));
        FUZZ_REQUIRE(mail.body.size() <= asUnsigned(settings.charLimit));
        const std::string piece = mail.body.substr(bodyPrefix.size());
        FUZZ_REQUIRE(!piece.empty());
        if (number == 1) firstPieceSize = piece.size();
        if (number < total) FUZZ_REQUIRE(piece.size() == firstPieceSize);
        joined += piece;
    }
    FUZZ_REQUIRE(text.compare(0, joined.size(), joined) == 0);
    if (joined.size() < text.size()) {
        FUZZ_REQUIRE(total == asUnsigned(settings.messageLimit) ||
                     reserveFor(settings, name, total + 1) >= asUnsigned(settings.charLimit));
    }
}

void checkPlan(const Settings& settings, const MessageEvent& event, const ForwardPlan& plan) {
    if (plan.mails.empty()) {
        FUZZ_REQUIRE(!plan.raiseAlert && !plan.sendReply);
    } else {
        FUZZ_REQUIRE(plan.destination == kDestination);
        FUZZ_REQUIRE(plan.raiseAlert == settings.showSystrayAlert);
        FUZZ_REQUIRE(plan.alertText == plan.mails.back().subject + " has been forwarded");
        FUZZ_REQUIRE(plan.sendReply == (settings.replyEnabled && event.medium == "AIM"));
    }

    std::string text;
    if (!forwardedText(settings, event.plainText, text) || text.empty()) {
        FUZZ_REQUIRE(plan.mails.empty());
        return;
    }
    const std::string& name = event.name;
    const bool unsplit = plan.mails.size() == 1 && plan.mails[0].subject == "IM: " + name;
    if (unsplit) {
        checkSingleMail(settings, name, text, plan.mails[0]);
        return;
    }
    const uint64_t singleLength = text.size() + (settings.nameInBody ? name.size() + 2 : 0);
    FUZZ_REQUIRE(settings.charLimitEnabled && singleLength > asUnsigned(settings.charLimit));
    if (settings.messageLimit != 0) FUZZ_REQUIRE(!plan.mails.empty());
    checkParts(settings, name, text, plan.mails);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const Settings settings = pickSettings(input);
    MessageEvent event;
    event.type = kHandledType;
    event.medium = input.ConsumeBool() ? "AIM" : "ICQ";
    event.name = input.ConsumeRandomLengthString(300);
    event.plainText = input.ConsumeRemainingBytesAsString();
    checkPlan(settings, event, planForward(settings, event));
    return 0;
}
