// The DLL file as hosts and Windows see it: its export table, version
// resource, manifest, imports and image flags, and what merely loading and
// unloading it does.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/fresh_thread.h"
#include "support/import_patch.h"
#include "support/wrapper_library.h"

namespace {

class LoadedImage {
public:
    LoadedImage() : module_(LoadLibraryW(BesideProgram(L"Nolv_Lib_Wrapper.dll").c_str())) {}
    ~LoadedImage() { FreeLibrary(module_); }
    HMODULE get() const { return module_; }

    const IMAGE_NT_HEADERS& Headers() const {
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module_);
        return *reinterpret_cast<const IMAGE_NT_HEADERS*>(Byte(dos->e_lfanew));
    }
    const BYTE* Byte(DWORD rva) const { return reinterpret_cast<const BYTE*>(module_) + rva; }

private:
    HMODULE module_;
};

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* field) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + field;
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &length)) return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

}  // namespace

// The eleven keep ordinals 1 to 11, in byte order of their names, as hosts
// that import by ordinal rely on; those added later follow from 12.
TEST(LibraryImage, ExportsTheElevenAtOrdinalsOneToElevenAndTheAddedFromTwelve) {
    const std::vector<std::string> expected = {
        "FreeNolvSys",
        "LoadNolvSys",
        "LoadSivatSys",
        "Nolv_Lib_AboutBox",
        "Nolv_Lib_SivatAboutBox",
        "Nolv_Lib_WrapperAboutBox",
        "Nolv_Lib_editSettingData",
        "Nolv_Lib_getNumberStrRZ",
        "Nolv_Lib_getPartsNameListRZClip",
        "Nolv_Lib_setSettingDataFileName",
        "Sivat_Lib_GetSivatMode",
        "Nolv_Lib_getNumberStrBuf",
        "Nolv_Lib_getNumberStrBufW",
        "Nolv_Lib_getPartsNameListBuf",
        "Nolv_Lib_getPartsNameListBufW",
        "Nolv_Lib_setSettingDataFileNameW",
        "Sivat_Lib_GetSivatModeW",
        "Nolv_Lib_GetLastFailure",
        "Nolv_Lib_GetLastFailureW",
    };
    ASSERT_TRUE(std::is_sorted(expected.begin(), expected.begin() + 11));

    LoadedImage image;
    ASSERT_NE(image.get(), nullptr);
    const IMAGE_DATA_DIRECTORY& directory =
        image.Headers().OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(image.Byte(directory.VirtualAddress));
    ASSERT_EQ(exports->NumberOfFunctions, expected.size()) << "nothing else is exported";
    ASSERT_EQ(exports->NumberOfNames, expected.size());
    const auto* names = reinterpret_cast<const DWORD*>(image.Byte(exports->AddressOfNames));
    const auto* ordinals = reinterpret_cast<const WORD*>(image.Byte(exports->AddressOfNameOrdinals));
    std::set<std::string> seen;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        const std::string name = reinterpret_cast<const char*>(image.Byte(names[i]));
        const auto at = std::find(expected.begin(), expected.end(), name);
        ASSERT_NE(at, expected.end()) << name << " is exported";
        seen.insert(name);
        const DWORD ordinal = static_cast<DWORD>(at - expected.begin()) + 1;
        EXPECT_EQ(exports->Base + ordinals[i], ordinal) << name;
        EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(image.get(), MAKEINTRESOURCEA(ordinal))),
                  reinterpret_cast<void*>(GetProcAddress(image.get(), name.c_str())))
            << name;
    }
    EXPECT_EQ(seen.size(), expected.size());
}

#ifdef __i386__
namespace {
// Calls function with bytes of zeroed arguments on the stack and returns
// how many of those bytes it left there: 0 for a stdcall function, which
// removes its own arguments, all of them for a cdecl one.
__attribute__((noinline)) int ArgumentBytesLeftOnStack(void* function, int bytes) {
    int left;
    asm volatile(
        "movl %2, %%ecx\n\t"
        "movl %%esp, %%esi\n\t"
        "subl %%ecx, %%esp\n\t"
        "movl %%esp, %%edi\n\t"
        "shrl $2, %%ecx\n\t"
        "xorl %%eax, %%eax\n\t"
        "rep stosl\n\t"
        "call *%1\n\t"
        "movl %%esi, %%eax\n\t"
        "subl %%esp, %%eax\n\t"
        "movl %%esi, %%esp\n\t"
        : "=&a"(left)
        : "b"(function), "m"(bytes)
        : "ecx", "edx", "esi", "edi", "memory", "cc");
    return left;
}
}  // namespace

// 32-bit VBA and VB6 call stdcall functions only. With no component loaded
// every added export returns at once, whatever its zeroed arguments. The
// eleven stay cdecl: a cdecl one is the control that the measure tells.
TEST(LibraryImage, AddedExportsAreStdcallAndTheElevenCdecl) {
    LoadedImage image;
    ASSERT_NE(image.get(), nullptr);
    const struct {
        const char* name;
        int argumentBytes;
        int leftOnStack;
    } cases[] = {
        {"Nolv_Lib_getNumberStrBuf", 28, 0},
        {"Nolv_Lib_getNumberStrBufW", 28, 0},
        {"Nolv_Lib_getPartsNameListBuf", 24, 0},
        {"Nolv_Lib_getPartsNameListBufW", 24, 0},
        {"Sivat_Lib_GetSivatModeW", 4, 0},
        {"Nolv_Lib_setSettingDataFileNameW", 4, 0},
        {"Nolv_Lib_GetLastFailure", 12, 0},
        {"Nolv_Lib_GetLastFailureW", 12, 0},
        {"Sivat_Lib_GetSivatMode", 4, 4},
        {"Nolv_Lib_getPartsNameListRZClip", 8, 8},
    };
    for (const auto& c : cases) {
        void* function = reinterpret_cast<void*>(GetProcAddress(image.get(), c.name));
        ASSERT_NE(function, nullptr) << c.name;
        EXPECT_EQ(ArgumentBytesLeftOnStack(function, c.argumentBytes), c.leftOnStack) << c.name;
    }
}
#endif

TEST(LibraryImage, CarriesVersionOneZeroZeroOneForJapaneseUnicodeBlock) {
    const std::wstring path = BesideProgram(L"Nolv_Lib_Wrapper.dll");
    DWORD handle = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path.c_str(), &handle));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 0x04B0);

    EXPECT_EQ(VersionString(info, L"InternalName"), L"Nolv_Lib_Wrapper.dll");
    EXPECT_EQ(VersionString(info, L"OriginalFilename"), L"Nolv_Lib_Wrapper.dll");
    EXPECT_EQ(VersionString(info, L"FileVersion"), L"1.0.0.1");
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"1.0.0.1");
}

TEST(LibraryImage, ManifestAsksForInvokerLevelWithoutUiAccessAndIsDpiAware) {
    LoadedImage image;
    HRSRC resource = FindResourceW(image.get(), MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24));
    ASSERT_NE(resource, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(image.get(), resource)));
    const std::string manifest(text, SizeofResource(image.get(), resource));
    EXPECT_NE(manifest.find(R"(level="asInvoker")"), std::string::npos);
    EXPECT_NE(manifest.find(R"(uiAccess="false")"), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
}

TEST(LibraryImage, ImportsSystemDllsOnlyAndIsRelocatableAndNonExecutableData) {
    LoadedImage image;
    std::set<std::string> system = {"kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll",
                                    "user32.dll"};
#ifdef _WIN64
    system.insert("advapi32.dll");  // whether a 32-bit-only component has a surrogate
#endif
    for (const ImportedFunction& import : ListImports(image.get())) {
        std::string dll = import.dll;
        std::transform(dll.begin(), dll.end(), dll.begin(), ::tolower);
        EXPECT_EQ(system.count(dll), 1u) << import.dll << "!" << import.function;
    }

    WORD expected = IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE | IMAGE_DLLCHARACTERISTICS_NX_COMPAT;
#ifdef _WIN64
    expected |= IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA;
#endif
    EXPECT_EQ(image.Headers().OptionalHeader.DllCharacteristics & expected, expected);
}

// A host that only loads and unloads the library must find its thread's
// COM state and the clipboard as they were.
TEST(LibraryLifecycle, LoadingAndUnloadingAloneTouchesNeitherComNorTheClipboard) {
    OnFreshThread([] {
        const DWORD clipboardBefore = GetClipboardSequenceNumber();
        {
            LoadedImage image;
            ASSERT_NE(image.get(), nullptr);
        }
        EXPECT_EQ(GetClipboardSequenceNumber(), clipboardBefore);
        // Had the library initialised an apartment here, this would fail
        // with RPC_E_CHANGED_MODE or return S_FALSE.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
    });
}

TEST(LibraryLifecycle, LoadsAgainAfterUnloading) {
    for (int round = 0; round < 3; ++round) {
        WrapperLibrary wrapper;
        wrapper.FreeNolvSys();
    }
}
