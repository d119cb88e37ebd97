#pragma once
#include <cstddef>
#include <string>
#include <vector>

// One response of an IMAP server (RFC 3501 7), as read off the connection:
// its line, with every literal it carried still marked "{n}" in the line,
// and the literals' bytes in their order.
struct ImapResponse {
    std::string line;  // without the CR LF of its last piece
    std::vector<std::string> literals;
    // A literal was larger than the reader keeps: its bytes were read and
    // dropped, and its place in `literals` is empty.
    bool oversized = false;
};

// Cuts the bytes of a connection into responses, however the reads split
// them: lines end with LF (CR LF, or LF alone), and a line that ends with
// "{n}" is followed by n bytes of literal, read by count, after which the
// line goes on. Nothing it keeps grows beyond the limit: a longer literal
// is skipped by count, a longer line breaks the stream.
class ImapReader {
public:
    // RFC 3501 sets no bound; this one keeps a poll's memory small.
    static constexpr std::size_t kMaxResponseBytes = 256 * 1024;

    enum class Result { Complete, NeedMore, Broken };

    explicit ImapReader(std::size_t limit = kMaxResponseBytes) : limit_(limit) {}

    void append(const std::string& bytes);
    // The next whole response, once its bytes are all there. Broken is
    // final: the stream cannot be read on.
    Result next(ImapResponse& response);
    // Whether bytes of a response that is not whole yet are waiting.
    bool pending() const { return pos_ < buffer_.size(); }

private:
    void compact();

    std::size_t limit_;
    std::string buffer_;
    std::size_t pos_ = 0;
    ImapResponse current_;
    std::size_t literalLeft_ = 0;
    bool skipping_ = false;
    bool broken_ = false;
};
