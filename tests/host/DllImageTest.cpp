#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "TestHost.h"

namespace {

const int kEnvelopeBitmap = 101;
const int kVersionInfo = 1;
const uint32_t kFixedInfoSignature = 0xFEEF04BD;
const uint32_t kVersion11 = 0x00010001;  // 1.1 as the high half of a version
const BYTE kBackground = 232;
const LONG kSide = 48;
const size_t kPixels = size_t(kSide) * kSide;

// The DLL loaded as an image, released at the end of the test.
class LoadedImage {
public:
    LoadedImage() : module_(LoadLibraryA(builtDllPath().c_str())) {}
    ~LoadedImage() {
        if (module_) FreeLibrary(module_);
    }
    HMODULE module() const { return module_; }
    const BYTE* base() const { return reinterpret_cast<const BYTE*>(module_); }
    const IMAGE_NT_HEADERS32& headers() const {
        const auto& dos = *reinterpret_cast<const IMAGE_DOS_HEADER*>(base());
        return *reinterpret_cast<const IMAGE_NT_HEADERS32*>(base() + dos.e_lfanew);
    }
    template <typename T>
    const T* at(DWORD rva) const {
        return reinterpret_cast<const T*>(base() + rva);
    }
    const IMAGE_DATA_DIRECTORY& directory(int entry) const {
        return headers().OptionalHeader.DataDirectory[entry];
    }

private:
    HMODULE module_;
};

std::vector<std::string> exportedNames(const LoadedImage& image) {
    const auto& exports = *image.at<IMAGE_EXPORT_DIRECTORY>(
        image.directory(IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress);
    const DWORD* names = image.at<DWORD>(exports.AddressOfNames);
    std::vector<std::string> found;
    for (DWORD i = 0; i < exports.NumberOfNames; ++i) found.push_back(image.at<char>(names[i]));
    return found;
}

std::vector<std::string> importedDlls(const LoadedImage& image) {
    const IMAGE_DATA_DIRECTORY& imports = image.directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    std::vector<std::string> found;
    if (!imports.VirtualAddress) return found;
    for (auto* entry = image.at<IMAGE_IMPORT_DESCRIPTOR>(imports.VirtualAddress); entry->Name;
         ++entry) {
        std::string name = image.at<char>(entry->Name);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return char(std::tolower(static_cast<unsigned char>(c))); });
        found.push_back(name);
    }
    return found;
}

const BYTE* resourceBytes(HMODULE module, int id, LPCSTR type, DWORD& size) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found) return nullptr;
    size = SizeofResource(module, found);
    return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
}

}  // namespace

TEST(DllImage, IsA32BitDllExportingExactlyTheTwoEntryPoints) {
    LoadedImage image;
    ASSERT_NE(image.module(), nullptr);
    EXPECT_EQ(image.headers().FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(image.headers().OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_TRUE(image.headers().FileHeader.Characteristics & IMAGE_FILE_DLL);
    std::vector<std::string> names = exportedNames(image);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"plugin_main", "plugin_version"}));
    const auto& exports = *image.at<IMAGE_EXPORT_DIRECTORY>(
        image.directory(IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress);
    EXPECT_EQ(exports.NumberOfFunctions, 2u);
}

TEST(DllImage, ImportsOnlySystemDlls) {
    LoadedImage image;
    ASSERT_NE(image.module(), nullptr);
    const std::set<std::string> system = {"kernel32.dll", "user32.dll",  "gdi32.dll",
                                          "msvcrt.dll",   "ws2_32.dll",  "wsock32.dll",
                                          "comctl32.dll", "advapi32.dll"};
    const std::vector<std::string> imported = importedDlls(image);
    EXPECT_FALSE(imported.empty());
    for (const std::string& name : imported) EXPECT_TRUE(system.count(name)) << name;
}

TEST(DllImage, CarriesTheEnvelopeBitmap) {
    LoadedImage image;
    DWORD size = 0;
    const BYTE* bytes = resourceBytes(image.module(), kEnvelopeBitmap, RT_BITMAP, size);
    ASSERT_NE(bytes, nullptr);
    ASSERT_GE(size, sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);
    ASSERT_EQ(header.biWidth, kSide);
    ASSERT_EQ(std::abs(header.biHeight), kSide);
    ASSERT_EQ(header.biBitCount, 24);
    ASSERT_EQ(header.biCompression, DWORD(BI_RGB));

    const size_t stride = (kSide * 3 + 3) & ~size_t(3);  // rows are padded to 4 bytes
    ASSERT_GE(size, header.biSize + stride * kSide);
    const BYTE* pixels = bytes + header.biSize;
    auto background = [&](size_t x, size_t y) {
        const BYTE* p = pixels + y * stride + x * 3;
        return p[0] == kBackground && p[1] == kBackground && p[2] == kBackground;
    };
    const size_t edge = kSide - 1;
    EXPECT_TRUE(background(0, 0) && background(edge, 0) && background(0, edge) &&
                background(edge, edge));
    size_t drawn = 0;
    for (size_t y = 0; y < size_t(kSide); ++y) {
        for (size_t x = 0; x < size_t(kSide); ++x) drawn += !background(x, y);
    }
    // An envelope, not a blank tile nor a solid block.
    EXPECT_GT(drawn, kPixels / 10);
    EXPECT_LT(drawn, kPixels * 9 / 10);
}

TEST(DllImage, VersionIsOnePointOne) {
    LoadedImage image;
    DWORD size = 0;
    const BYTE* bytes = resourceBytes(image.module(), kVersionInfo, RT_VERSION, size);
    ASSERT_NE(bytes, nullptr);
    const BYTE* fixed = nullptr;
    for (DWORD i = 0; i + sizeof(VS_FIXEDFILEINFO) <= size; i += 4) {
        uint32_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        if (word == kFixedInfoSignature) {
            fixed = bytes + i;
            break;
        }
    }
    ASSERT_NE(fixed, nullptr);
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, fixed, sizeof info);
    EXPECT_EQ(info.dwFileVersionMS, kVersion11);
    EXPECT_EQ(info.dwProductVersionMS, kVersion11);
    EXPECT_EQ(info.dwFileVersionLS, 0u);
    EXPECT_EQ(info.dwProductVersionLS, 0u);
}
