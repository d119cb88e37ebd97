#include "net/PemFile.h"

#include "text/Base64.h"

namespace {

const char kBegin[] = "-----BEGIN CERTIFICATE-----";
const char kEnd[] = "-----END CERTIFICATE-----";
// Any PEM block: a file of PEM text is never taken for DER.
const char kAnyBegin[] = "-----BEGIN ";

}  // namespace

std::vector<std::string> certificatesInFile(const std::string& contents) {
    if (contents.find(kAnyBegin) == std::string::npos) {
        if (contents.empty()) return {};
        return {contents};
    }
    std::vector<std::string> certificates;
    const std::string begin = kBegin;
    for (std::size_t at = contents.find(begin); at != std::string::npos;
         at = contents.find(begin, at)) {
        const std::size_t bodyStart = at + begin.size();
        const std::size_t end = contents.find(kEnd, bodyStart);
        if (end == std::string::npos) break;
        std::string der;
        if (Base64::decode(contents.substr(bodyStart, end - bodyStart), der) && !der.empty()) {
            certificates.push_back(der);
        }
        at = end;
    }
    return certificates;
}
