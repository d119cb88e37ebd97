#include "ProtectedSetting.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstring>

namespace {

const char kEntropy[] = "tolvane SMTP Password";
const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

DATA_BLOB blobOf(const std::string& bytes) {
    return DATA_BLOB{static_cast<DWORD>(bytes.size()), reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()))};
}

std::string base64(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) value |= static_cast<unsigned char>(bytes[i + 2]);
        out += kBase64[value >> 18 & 63];
        out += kBase64[value >> 12 & 63];
        out += i + 1 < bytes.size() ? kBase64[value >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kBase64[value & 63] : '=';
    }
    return out;
}

std::string unbase64(const std::string& text) {
    std::string out;
    unsigned value = 0;
    int bits = 0;
    for (char c : text) {
        const char* at = std::strchr(kBase64, c);
        if (c == '=' || !at || !c) break;
        value = value << 6 | static_cast<unsigned>(at - kBase64);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>(value >> bits & 0xFF);
        }
    }
    return out;
}

}  // namespace

std::string protectedSetting(const std::string& clear) {
    DATA_BLOB in = blobOf(clear);
    const std::string entropyText = kEntropy;
    DATA_BLOB entropy = blobOf(entropyText);
    DATA_BLOB out{};
    if (!CryptProtectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) return "";
    const std::string bytes(reinterpret_cast<const char*>(out.pbData), out.cbData);
    LocalFree(out.pbData);
    return base64(bytes);
}

std::string unprotectedSetting(const std::string& stored) {
    const std::string blob = unbase64(stored);
    DATA_BLOB in = blobOf(blob);
    const std::string entropyText = kEntropy;
    DATA_BLOB entropy = blobOf(entropyText);
    DATA_BLOB out{};
    if (blob.empty() ||
        !CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) {
        return "";
    }
    const std::string clear(reinterpret_cast<const char*>(out.pbData), out.cbData);
    LocalFree(out.pbData);
    return clear;
}
