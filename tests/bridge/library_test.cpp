// Both bridge libraries as a client sees them: real DLL files loaded by Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <winternl.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "file_version.h"
#include "import_patch.h"
#include "library_setup.h"

namespace {

class BridgeLibrary : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        module_ = LoadLibraryA(GetParam());
        ASSERT_NE(module_, nullptr) << GetParam() << " error " << GetLastError();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST_P(BridgeLibrary, IsAPe32PlusX64File) {
    std::ifstream file(GetParam(), std::ios::binary);
    std::vector<char> head(4096);
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    ASSERT_EQ(std::string(head.data(), 2), "MZ");
    int32_t peOffset = 0;
    std::memcpy(&peOffset, head.data() + 0x3C, 4);
    ASSERT_LT(peOffset, 4000);
    EXPECT_EQ(std::string(head.data() + peOffset, 4), std::string("PE\0\0", 4));
    uint16_t machine = 0, magic = 0;
    std::memcpy(&machine, head.data() + peOffset + 4, 2);
    std::memcpy(&magic, head.data() + peOffset + 24, 2);
    EXPECT_EQ(machine, 0x8664);
    EXPECT_EQ(magic, 0x20B);
}

TEST_P(BridgeLibrary, DebugSwitchKeepsTheLowByte) {
    // Called with a full register, as a client declaring an int parameter would:
    // only the low byte may count.
    using SetDebug = int(__cdecl*)(int);
    auto set = reinterpret_cast<SetDebug>(reinterpret_cast<void*>(GetProcAddress(module_, "__SetKavroBioDebug")));
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set(1), 1);
    EXPECT_EQ(set(0x101), 1);
    EXPECT_EQ(set(0x100), 0);
    EXPECT_EQ(set(0), 0);
}

TEST_P(BridgeLibrary, VersionResourceReadsAsTheWindowShowsIt) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(GetParam(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(GetParam(), 0, size, block.data()));
    auto value = [&](const char* query) {
        char* text = nullptr;
        UINT chars = 0;
        return VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&text), &chars) && text
                   ? std::string(text)
                   : std::string("<missing>");
    };
    EXPECT_EQ(value("\\StringFileInfo\\041604B0\\FileVersion"), "1, 0, 1, 7");
    EXPECT_EQ(value("\\StringFileInfo\\041604B0\\ProductVersion"), "1, 0, 1, 7");
    EXPECT_EQ(value("\\StringFileInfo\\041604B0\\FileDescription"), "Biometria (Bio)");
    EXPECT_EQ(value("\\StringFileInfo\\041604B0\\InternalName"), "BIO");

    char version[128] = {}, language[128] = {};
    ReadFileVersion(GetParam(), version, sizeof version, language, sizeof language);
    EXPECT_STREQ(version, "1, 0, 1, 7");
    EXPECT_NE(language[0], '\0');
}

TEST_P(BridgeLibrary, LogoIsA256ColourBitmapOf120By137) {
    HRSRC resource = FindResourceA(module_, MAKEINTRESOURCEA(105), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    ASSERT_NE(resource, nullptr);
    const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module_, resource)));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->biWidth, 120);
    EXPECT_EQ(info->biHeight, 137);
    EXPECT_EQ(info->biBitCount, 8);
    EXPECT_EQ(info->biClrUsed, 256u);

    HBITMAP bitmap = LoadBitmapA(module_, MAKEINTRESOURCEA(105));
    ASSERT_NE(bitmap, nullptr);
    BITMAP shape{};
    GetObjectA(bitmap, sizeof shape, &shape);
    EXPECT_EQ(shape.bmWidth, 120);
    EXPECT_EQ(shape.bmHeight, 137);
    DeleteObject(bitmap);
}

INSTANTIATE_TEST_SUITE_P(BothBridges, BridgeLibrary, ::testing::Values("fpbridge_nbio.dll", "fpbridge_dpfp.dll"));

TEST_P(BridgeLibrary, OwnsItsCaptureWindowClassWhileLoaded) {
    WNDCLASSA windowClass{};
    EXPECT_TRUE(GetClassInfoA(module_, "BioProc", &windowClass));
    EXPECT_FALSE(GetClassInfoA(nullptr, "BioProc", &windowClass)) << "the class is the library's, not global";
    FreeLibrary(module_);
    EXPECT_FALSE(GetClassInfoA(module_, "BioProc", &windowClass));
    module_ = nullptr;
}

// The loader's word that a library is about to start, and the library's import
// of the shell's folder lookup pointed at a counter then.
struct LoadWatch {
    const char* library;
    std::unique_ptr<ImportPatch> lookups;
    int counted = 0;
};
LoadWatch* g_watch = nullptr;

HRESULT WINAPI CountedFolderLookup(HWND window, int folder, HANDLE token, DWORD flags, LPSTR path) {
    ++g_watch->counted;
    using Lookup = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    return reinterpret_cast<Lookup>(g_watch->lookups->original())(window, folder, token, flags, path);
}

struct DllLoaded {
    ULONG flags;
    const UNICODE_STRING* fullName;
    const UNICODE_STRING* baseName;
    void* base;
    ULONG size;
};
void CALLBACK OnDllEvent(ULONG reason, const DllLoaded* loaded, void*) {
    constexpr ULONG kLoaded = 1;
    if (reason != kLoaded || !g_watch || g_watch->lookups) return;
    const std::wstring name(loaded->baseName->Buffer, loaded->baseName->Length / sizeof(wchar_t));
    const std::string library = g_watch->library;
    if (_wcsicmp(name.c_str(), std::wstring(library.begin(), library.end()).c_str()) != 0) return;
    g_watch->lookups = std::make_unique<ImportPatch>(static_cast<HMODULE>(loaded->base), "shell32.dll",
                                                     "SHGetFolderPathA", reinterpret_cast<void*>(CountedFolderLookup));
}

// DllMain does only what must happen at load: the shell is asked for the
// operation log's folder at the first record, not under the loader lock,
// where it may load libraries and wait on other threads. Wine tells a load
// (LdrRegisterDllNotification) with the library's imports bound and right
// before its DllMain runs; the lookups are counted from then on.
TEST_P(BridgeLibrary, AsksForTheLogFolderAtItsFirstRecordNotAtLoad) {
    FreeLibrary(module_);
    module_ = nullptr;
    ASSERT_EQ(GetModuleHandleA(GetParam()), nullptr);
    using Register = LONG(NTAPI*)(ULONG, void(CALLBACK*)(ULONG, const DllLoaded*, void*), void*, void**);
    using Unregister = LONG(NTAPI*)(void*);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const auto registerFor = reinterpret_cast<Register>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrRegisterDllNotification")));
    const auto unregister = reinterpret_cast<Unregister>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrUnregisterDllNotification")));
    ASSERT_TRUE(registerFor && unregister);

    LoadWatch watch{GetParam(), nullptr, 0};
    g_watch = &watch;
    void* cookie = nullptr;
    ASSERT_EQ(registerFor(0, OnDllEvent, nullptr, &cookie), 0);
    module_ = LoadLibraryA(GetParam());
    unregister(cookie);
    ASSERT_NE(module_, nullptr);
    ASSERT_TRUE(watch.lookups && watch.lookups->applied()) << "the loader told the load, the library imports the lookup";
    EXPECT_EQ(watch.counted, 0) << "no shell lookup while the library loads";

    using VerifyMatch = int32_t (*)(const char*, const char*, const char*, const char*, void*);
    const auto verifyMatch =
        reinterpret_cast<VerifyMatch>(reinterpret_cast<void*>(GetProcAddress(module_, "FK_VerifyMatch")));
    ASSERT_NE(verifyMatch, nullptr);
    EXPECT_EQ(verifyMatch("Z", "QUJDRA==", "Z", "QUJDRA==", nullptr), 0);
    EXPECT_EQ(watch.counted, 1) << "one lookup, at the first record";
    verifyMatch("Z", "QUJDRA==", "Z", "QUJDRA==", nullptr);
    EXPECT_EQ(watch.counted, 1) << "and only there";
    watch.lookups.reset();
    g_watch = nullptr;
}

TEST(FileVersion, FileWithoutVersionBlockLeavesOutputsAlone) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    char version[128] = {}, language[128] = {};
    ReadFileVersion(exe, version, sizeof version, language, sizeof language);
    EXPECT_STREQ(version, "");
    EXPECT_STREQ(language, "");
}

TEST(FileVersion, VersionIsCutToTheOutputSize) {
    char version[5];
    std::memset(version, 'z', sizeof version);
    ReadFileVersion("fpbridge_nbio.dll", version, sizeof version, nullptr, 0);
    EXPECT_EQ(std::string(version, 4), "1, 0");
    EXPECT_EQ(version[4], 'z');
}

TEST(OperationLog, LiesDirectlyInTheProfileFolder) {
    char profile[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("USERPROFILE", profile, MAX_PATH), 0u);
    EXPECT_EQ(OperationLogPath(), std::string(profile) + "\\kavro_biometria.log");
}

}  // namespace
