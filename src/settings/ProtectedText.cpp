#include "settings/ProtectedText.h"

#include <windows.h>
#include <wincrypt.h>

#include "mail/Base64.h"

namespace ProtectedText {

namespace {

const DWORD kFlags = CRYPTPROTECT_UI_FORBIDDEN;

// Mixed into the protection so that a blob of another program's secret
// does not unprotect here.
const char kEntropy[] = "tolvane SMTP Password";

DATA_BLOB blobOf(const std::string& bytes) {
    DATA_BLOB blob;
    blob.cbData = static_cast<DWORD>(bytes.size());
    blob.pbData = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
    return blob;
}

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
    DATA_BLOB in = blobOf(clear);
    DATA_BLOB entropy = blobOf(kEntropy);
    DATA_BLOB out{};
    if (!CryptProtectData(&in, nullptr, &entropy, nullptr, nullptr, kFlags, &out)) return std::string();
    return Base64::encode(taken(out));
}

std::string unprotect(const std::string& stored) {
    std::string blob;
    if (stored.empty() || !Base64::decode(stored, blob) || blob.empty()) return std::string();
    DATA_BLOB in = blobOf(blob);
    DATA_BLOB entropy = blobOf(kEntropy);
    DATA_BLOB out{};
    if (!CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr, kFlags, &out)) return std::string();
    return taken(out);
}

}  // namespace ProtectedText
