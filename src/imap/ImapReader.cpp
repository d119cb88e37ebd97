#include "imap/ImapReader.h"

#include <algorithm>

#include "text/PlainText.h"

namespace {

// "{123}" or the non-synchronizing "{123+}" of RFC 7888 at the end of a
// line piece; sizes beyond nine digits are not literals anyone sends here.
const std::size_t kMaxLiteralDigits = 9;

bool endsWithLiteral(const std::string& piece, std::size_t& size) {
    if (piece.empty() || piece.back() != '}') return false;
    const std::size_t open = piece.rfind('{');
    if (open == std::string::npos) return false;
    std::size_t end = piece.size() - 1;
    if (end > open + 1 && piece[end - 1] == '+') --end;
    if (end == open + 1 || end - open - 1 > kMaxLiteralDigits) return false;
    std::size_t value = 0;
    for (std::size_t i = open + 1; i < end; ++i) {
        if (!PlainText::isDigit(piece[i])) return false;
        value = value * 10 + static_cast<std::size_t>(piece[i] - '0');
    }
    size = value;
    return true;
}

std::size_t literalBytes(const ImapResponse& response) {
    std::size_t total = 0;
    for (const std::string& literal : response.literals) total += literal.size();
    return total;
}

}  // namespace

void ImapReader::append(const std::string& bytes) { buffer_ += bytes; }

ImapReader::Result ImapReader::next(ImapResponse& response) {
    if (broken_) return Result::Broken;
    for (;;) {
        if (literalLeft_ > 0) {
            const std::size_t take = std::min(literalLeft_, buffer_.size() - pos_);
            if (!skipping_) current_.literals.back().append(buffer_, pos_, take);
            pos_ += take;
            literalLeft_ -= take;
            if (literalLeft_ > 0) {
                compact();
                return Result::NeedMore;
            }
            continue;
        }
        const std::size_t end = buffer_.find('\n', pos_);
        const std::size_t available = (end == std::string::npos ? buffer_.size() : end) - pos_;
        if (current_.line.size() + available > limit_) {
            broken_ = true;
            return Result::Broken;
        }
        if (end == std::string::npos) {
            compact();
            return Result::NeedMore;
        }
        std::string piece = buffer_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (!piece.empty() && piece.back() == '\r') piece.pop_back();
        current_.line += piece;
        std::size_t size = 0;
        if (endsWithLiteral(piece, size)) {
            skipping_ = size > limit_ || literalBytes(current_) + size > limit_;
            if (skipping_) current_.oversized = true;
            current_.literals.emplace_back();
            literalLeft_ = size;
            continue;
        }
        response = std::move(current_);
        current_ = ImapResponse();
        compact();
        return Result::Complete;
    }
}

void ImapReader::compact() {
    buffer_.erase(0, pos_);
    pos_ = 0;
}
