#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "imap/ImapReader.h"
#include "imap/ImapSyntax.h"

namespace {

const std::size_t kLimit = 4096;

// The responses the bytes make when fed in the given pieces.
std::vector<ImapResponse> read(const std::string& bytes, FuzzedDataProvider& pieces, bool& broken) {
    ImapReader reader(kLimit);
    std::vector<ImapResponse> out;
    broken = false;
    std::size_t pos = 0;
    while (pos < bytes.size() && !broken) {
        const std::size_t size = pieces.ConsumeIntegralInRange<std::size_t>(1, 64);
        reader.append(bytes.substr(pos, size));
        pos += size;
        ImapResponse response;
        ImapReader::Result result;
        while ((result = reader.next(response)) == ImapReader::Result::Complete) out.push_back(response);
        broken = result == ImapReader::Result::Broken;
    }
    return out;
}

}  // namespace

// Whatever a server sends and however the reads cut it, the reader keeps
// within its limit and cuts the same responses; the syntax reads them
// without fault.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string bytes = input.ConsumeRandomLengthString(16384);
    bool wholeBroken = false;
    ImapReader whole(kLimit);
    whole.append(bytes);
    std::vector<ImapResponse> expected;
    ImapResponse response;
    ImapReader::Result result;
    while ((result = whole.next(response)) == ImapReader::Result::Complete) expected.push_back(response);
    wholeBroken = result == ImapReader::Result::Broken;

    bool piecesBroken = false;
    const std::vector<ImapResponse> pieces = read(bytes, input, piecesBroken);
    FUZZ_REQUIRE(piecesBroken == wholeBroken);
    FUZZ_REQUIRE(pieces.size() == expected.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        FUZZ_REQUIRE(pieces[i].line == expected[i].line);
        FUZZ_REQUIRE(pieces[i].literals == expected[i].literals);
        FUZZ_REQUIRE(pieces[i].line.size() <= kLimit);
        std::size_t kept = 0;
        for (const std::string& literal : pieces[i].literals) kept += literal.size();
        FUZZ_REQUIRE(kept <= kLimit);
        ImapSyntax::Fetched fetched;
        ImapSyntax::fetched(pieces[i], fetched);
        std::vector<uint32_t> uids;
        ImapSyntax::searchResult(pieces[i], uids);
        ImapSyntax::capabilities(pieces[i]);
        ImapSyntax::statusText(pieces[i]);
    }
    return 0;
}
