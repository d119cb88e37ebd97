#include "settings/ProtectedText.h"

#include <windows.h>
#include <wincrypt.h>

#include "text/Base64.h"

namespace ProtectedText {

namespace {

const DWORD kFlags = CRYPTPROTECT_UI_FORBIDDEN;

// Mixed into the protection so that a blob of another program's secret
// does not unprotect here.
const char kEntropy[] = "tolvane SMTP Password";

// Points into the bytes, which must outlive the blob.
DATA_BLOB blobOf(const char* bytes, std::size_t size) {
    DATA_BLOB blob;
    blob.cbData = static_cast<DWORD>(size);
    blob.pbData = reinterpret_cast<BYTE*>(const_cast<char*>(bytes));
    return blob;
}

DATA_BLOB entropyBlob() { return blobOf(kEntropy, sizeof kEntropy - 1); }

// Takes the platform's output and frees it.
std::string taken(DATA_BLOB& blob) {
    std::string bytes(reinterpret_cast<const char*>(blob.pbData), blob.cbData);
    SecureZeroMemory(blob.pbData, blob.cbData);
    LocalFree(blob.pbData);
    return bytes;
}

}  // namespace

std::string protect(const std::string& clear) {
    if (clear.empty()) return std::string();
    DATA_BLOB in = blobOf(clear.data(), clear.size());
    DATA_BLOB entropy = entropyBlob();
    DATA_BLOB out{};
    if (!CryptProtectData(&in, nullptr, &entropy, nullptr, nullptr, kFlags, &out)) return std::string();
    return Base64::encode(taken(out));
}

std::string unprotect(const std::string& stored) {
    std::string blob;
    if (stored.empty() || !Base64::decode(stored, blob) || blob.empty()) return std::string();
    DATA_BLOB in = blobOf(blob.data(), blob.size());
    DATA_BLOB entropy = entropyBlob();
    DATA_BLOB out{};
    if (!CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr, kFlags, &out)) return std::string();
    return taken(out);
}

}  // namespace ProtectedText
