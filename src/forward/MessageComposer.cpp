#include "forward/MessageComposer.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "settings/Settings.h"
#include "text/Utf8Text.h"

namespace {

const char kSubjectStart[] = "IM: ";
const char kPartStart[] = " (Part ";
const char kPartEnd[] = ")";
const char kNameEnd[] = ": ";
const char kNameLabelStart[] = " (";
const char kNameLabelEnd[] = "): ";
const char kLabelSeparator[] = "/";
const char kAlertEnd[] = " has been forwarded";

// How a split message is cut: `total` parts, each but the last holding
// `pieceSize` characters of the text.
struct SplitPlan {
    uint64_t pieceSize;
    uint64_t total;
};

// The limits are stored as signed numbers but count as unsigned ones, so
// -1 stands for the largest limit, not for none.
uint64_t asUnsigned(int32_t value) { return static_cast<uint32_t>(value); }

uint64_t lengthIn(TextUnit unit, const std::string& text) {
    return unit == TextUnit::Byte ? text.size() : Utf8Text::length(text);
}

uint64_t ceilDivide(uint64_t numerator, uint64_t denominator) {
    return (numerator + denominator - 1) / denominator;
}

std::string partLabel(uint64_t number, uint64_t total) {
    return std::to_string(number) + kLabelSeparator + std::to_string(total);
}

size_t labelWidth(uint64_t total) { return partLabel(total, total).size(); }

// What "name (total/total): " takes of every part's body. No label of the
// message is wider, since no part number exceeds the total.
uint64_t reservedLength(const Settings& settings, uint64_t nameLength, uint64_t total) {
    if (!settings.nameInBody) return 0;
    return nameLength + sizeof kNameLabelStart - 1 + labelWidth(total) + sizeof kNameLabelEnd - 1;
}

uint64_t singleMailPrefixLength(const Settings& settings, uint64_t nameLength) {
    return settings.nameInBody ? nameLength + sizeof kNameEnd - 1 : 0;
}

bool needsSplit(const Settings& settings, uint64_t nameLength, uint64_t textLength) {
    return settings.charLimitEnabled &&
           textLength + singleMailPrefixLength(settings, nameLength) > asUnsigned(settings.charLimit);
}

// The largest total with one digit fewer than `total`: 99 for 100 to 999,
// and 0 below 10.
uint64_t largestWithFewerDigits(uint64_t total) {
    uint64_t power = 1;
    while (power <= total / 10) power *= 10;
    return power - 1;
}

// When the label of the real count leaves no room for text, the message is
// cut into as many parts as the widest label that still leaves room can
// number (9, 99, ...), all full, and the rest is dropped: every body stays
// within "CharLimit" and every label still counts the parts sent. None when
// not even "1/1" leaves room.
std::optional<SplitPlan> planWithNarrowerLabel(const Settings& settings, uint64_t nameLength,
                                               uint64_t tooWide) {
    const uint64_t charLimit = asUnsigned(settings.charLimit);
    for (uint64_t total = largestWithFewerDigits(tooWide); total > 0;
         total = largestWithFewerDigits(total)) {
        const uint64_t reserved = reservedLength(settings, nameLength, total);
        if (reserved < charLimit) return SplitPlan{charLimit - reserved, total};
    }
    return std::nullopt;
}

// The total in the labels is the number of parts really cut, but with the
// name in the body the piece size depends on the label's width, which
// depends on the total. Start from the text's length over "CharLimit" and
// count again until the width settles; each round can only widen the label,
// so there are at most as many rounds as the total has digits.
std::optional<SplitPlan> planSplit(const Settings& settings, uint64_t nameLength,
                                   uint64_t textLength) {
    const uint64_t charLimit = asUnsigned(settings.charLimit);
    const uint64_t messageLimit = asUnsigned(settings.messageLimit);
    if (charLimit == 0) return std::nullopt;
    uint64_t total = std::min(ceilDivide(textLength, charLimit), messageLimit);
    for (;;) {
        const uint64_t reserved = reservedLength(settings, nameLength, total);
        if (reserved >= charLimit) return planWithNarrowerLabel(settings, nameLength, total);
        const uint64_t pieceSize = charLimit - reserved;
        const uint64_t counted = std::min(ceilDivide(textLength, pieceSize), messageLimit);
        if (labelWidth(counted) == labelWidth(total)) return SplitPlan{pieceSize, counted};
        total = counted;
    }
}

ComposedMail singleMail(const Settings& settings, const std::string& name, const std::string& text,
                        const std::string& subject) {
    std::string body = settings.nameInBody ? name + kNameEnd + text : text;
    return ComposedMail{subject, std::move(body)};
}

// Walks an offset through the text, so that cutting stays linear in its
// length. Whatever lies beyond the last part is dropped.
std::vector<ComposedMail> cutParts(const Settings& settings, const std::string& name,
                                   const std::string& text, const SplitPlan& plan,
                                   const std::string& subject, TextUnit unit) {
    std::vector<ComposedMail> mails;
    mails.reserve(plan.total);
    // Every part begins inside the text: the total is at most the number of
    // pieces the text holds.
    uint64_t offset = 0;
    for (uint64_t number = 1; number <= plan.total; ++number) {
        const std::string label = partLabel(number, plan.total);
        std::string body = settings.nameInBody ? name + kNameLabelStart + label + kNameLabelEnd : "";
        const uint64_t end = unit == TextUnit::Byte
                                 ? offset + plan.pieceSize
                                 : Utf8Text::advance(text, static_cast<size_t>(offset),
                                                     static_cast<size_t>(plan.pieceSize));
        body.append(text, static_cast<size_t>(offset), static_cast<size_t>(end - offset));
        offset = end;
        mails.push_back(ComposedMail{subject + kPartStart + label + kPartEnd, std::move(body)});
    }
    return mails;
}

}  // namespace

std::vector<ComposedMail> composeMails(const Settings& settings, const std::string& name,
                                       const std::string& text, const std::string& subjectTail,
                                       TextUnit unit) {
    if (text.empty()) return {};
    const std::string subject = kSubjectStart + name + subjectTail;
    const uint64_t nameLength = lengthIn(unit, name);
    const uint64_t textLength = lengthIn(unit, text);
    if (needsSplit(settings, nameLength, textLength)) {
        if (const std::optional<SplitPlan> plan = planSplit(settings, nameLength, textLength)) {
            return cutParts(settings, name, text, *plan, subject, unit);
        }
    }
    return {singleMail(settings, name, text, subject)};
}

std::string alertTextFor(const std::string& lastSubject) { return lastSubject + kAlertEnd; }
