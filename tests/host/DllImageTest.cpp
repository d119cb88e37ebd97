#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
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
    template <typename T>
    const T* at(DWORD rva) const {
        return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module_) + rva);
    }
    const IMAGE_NT_HEADERS32& headers() const {
        return *at<IMAGE_NT_HEADERS32>(at<IMAGE_DOS_HEADER>(0)->e_lfanew);
    }
    DWORD directory(int entry) const {
        return headers().OptionalHeader.DataDirectory[entry].VirtualAddress;
    }

private:
    HMODULE module_;
};

// A resource's bytes; empty when the DLL lacks it.
std::string resource(HMODULE module, int id, LPCSTR type) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found) return std::string();
    return std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                       SizeofResource(module, found));
}

}  // namespace

TEST(DllImage, IsA32BitDllExportingExactlyTheTwoEntryPointsAndImportingOnlySystemDlls) {
    LoadedImage image;
    ASSERT_NE(image.module(), nullptr);
    EXPECT_EQ(image.headers().FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(image.headers().OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_TRUE(image.headers().FileHeader.Characteristics & IMAGE_FILE_DLL);

    const auto& exports =
        *image.at<IMAGE_EXPORT_DIRECTORY>(image.directory(IMAGE_DIRECTORY_ENTRY_EXPORT));
    std::vector<std::string> names;
    for (DWORD i = 0; i < exports.NumberOfNames; ++i) {
        names.push_back(image.at<char>(image.at<DWORD>(exports.AddressOfNames)[i]));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"plugin_main", "plugin_version"}));
    EXPECT_EQ(exports.NumberOfFunctions, 2u) << "nothing exported by ordinal alone";

    const std::set<std::string> system = {"kernel32.dll", "user32.dll",  "gdi32.dll",
                                          "msvcrt.dll",   "ws2_32.dll",  "wsock32.dll",
                                          "comctl32.dll", "advapi32.dll"};
    const DWORD imports = image.directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    ASSERT_NE(imports, 0u);
    for (auto* entry = image.at<IMAGE_IMPORT_DESCRIPTOR>(imports); entry->Name; ++entry) {
        std::string name = image.at<char>(entry->Name);
        for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_TRUE(system.count(name)) << name;
    }
}

TEST(DllImage, CarriesTheEnvelopeBitmap) {
    LoadedImage image;
    const std::string bytes = resource(image.module(), kEnvelopeBitmap, RT_BITMAP);
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof header);
    ASSERT_EQ(header.biWidth, kSide);
    ASSERT_EQ(std::abs(header.biHeight), kSide);
    ASSERT_EQ(header.biBitCount, 24);
    ASSERT_EQ(header.biCompression, DWORD(BI_RGB));

    const size_t stride = (kSide * 3 + 3) & ~size_t(3);  // rows are padded to 4 bytes
    ASSERT_GE(bytes.size(), header.biSize + stride * kSide);
    auto background = [&](size_t x, size_t y) {
        const char* p = bytes.data() + header.biSize + y * stride + x * 3;
        return std::all_of(p, p + 3, [](char c) { return BYTE(c) == kBackground; });
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
    const std::string bytes = resource(image.module(), kVersionInfo, RT_VERSION);
    const std::string signature(reinterpret_cast<const char*>(&kFixedInfoSignature),
                                sizeof kFixedInfoSignature);
    const size_t at = bytes.find(signature);
    ASSERT_NE(at, std::string::npos);
    ASSERT_LE(at + sizeof(VS_FIXEDFILEINFO), bytes.size());
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, bytes.data() + at, sizeof info);
    EXPECT_EQ(info.dwFileVersionMS, kVersion11);
    EXPECT_EQ(info.dwProductVersionMS, kVersion11);
    EXPECT_EQ(info.dwFileVersionLS, 0u);
    EXPECT_EQ(info.dwProductVersionLS, 0u);
}
