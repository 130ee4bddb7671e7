// The DLL file as hosts and Windows see it: its export table, version
// resource, manifest, imports and image flags, and what merely loading and
// unloading it does.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
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
    struct SectionTable {
        const IMAGE_SECTION_HEADER* first;
        const IMAGE_SECTION_HEADER* last;
        const IMAGE_SECTION_HEADER* begin() const { return first; }
        const IMAGE_SECTION_HEADER* end() const { return last; }
    };
    SectionTable Sections() const {
        const IMAGE_SECTION_HEADER* first = IMAGE_FIRST_SECTION(&Headers());
        return {first, first + Headers().FileHeader.NumberOfSections};
    }

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
        "Nolv_Lib_SetIsolation",
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
        {"Nolv_Lib_SetIsolation", 8, 0},
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

namespace {

const IMAGE_LOAD_CONFIG_DIRECTORY* LoadConfiguration(const LoadedImage& image) {
    const IMAGE_DATA_DIRECTORY& directory =
        image.Headers().OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG];
    if (directory.VirtualAddress == 0) return nullptr;
    return reinterpret_cast<const IMAGE_LOAD_CONFIG_DIRECTORY*>(image.Byte(directory.VirtualAddress));
}

// Control Flow Guard's fields follow SEHandlerCount (this toolchain's
// headers stop there); null where the directory is too short to have them.
struct GuardFields {
    ULONG_PTR checkFunctionPointer;
    ULONG_PTR dispatchFunctionPointer;
    ULONG_PTR functionTable;
    ULONG_PTR functionCount;
    DWORD flags;
};
constexpr DWORD kGuardCfInstrumented = 0x100;

const GuardFields* Guard(const IMAGE_LOAD_CONFIG_DIRECTORY& config) {
    const size_t at = offsetof(IMAGE_LOAD_CONFIG_DIRECTORY, SEHandlerCount) + sizeof(ULONG_PTR);
    if (config.Size < at + offsetof(GuardFields, flags) + sizeof(DWORD)) return nullptr;
    return reinterpret_cast<const GuardFields*>(reinterpret_cast<const BYTE*>(&config) + at);
}

// How often the image's code refers to location: by its address on i686, relative
// to the next instruction on x86_64; directly or through a pointer to it that
// the compiler keeps in the image's data.
int CodeReferences(const LoadedImage& image, ULONG_PTR location) {
    const auto base = reinterpret_cast<ULONG_PTR>(image.get());
    std::set<ULONG_PTR> targets = {location};
    for (const IMAGE_SECTION_HEADER& section : image.Sections()) {
        if (!(section.Characteristics & IMAGE_SCN_MEM_READ) || (section.Characteristics & IMAGE_SCN_MEM_EXECUTE))
            continue;
        for (DWORD at = 0; at + sizeof(ULONG_PTR) <= section.Misc.VirtualSize; at += sizeof(ULONG_PTR))
            if (*reinterpret_cast<const ULONG_PTR*>(image.Byte(section.VirtualAddress + at)) == location)
                targets.insert(base + section.VirtualAddress + at);
    }
    int references = 0;
    for (const IMAGE_SECTION_HEADER& section : image.Sections()) {
        if (!(section.Characteristics & IMAGE_SCN_MEM_EXECUTE)) continue;
        for (DWORD at = 0; at + 4 <= section.Misc.VirtualSize; ++at) {
            INT32 field;
            std::memcpy(&field, image.Byte(section.VirtualAddress + at), sizeof field);
#ifdef _WIN64
            const ULONG_PTR target = base + section.VirtualAddress + at + 4 + field;
#else
            const ULONG_PTR target = static_cast<DWORD>(field);
#endif
            references += static_cast<int>(targets.count(target));
        }
    }
    return references;
}

// Each rule gives what breaks it, or "" where the image keeps it.
std::string SecurityCookieFinding(const LoadedImage& image) {
    const IMAGE_LOAD_CONFIG_DIRECTORY* config = LoadConfiguration(image);
    if (config == nullptr) return "no load configuration directory";
    const DWORD directorySize =
        image.Headers().OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG].Size;
    if (directorySize != config->Size) return "the directory's size is not the structure's";
    if (config->Size < offsetof(IMAGE_LOAD_CONFIG_DIRECTORY, SEHandlerTable) || config->SecurityCookie == 0)
        return "no security cookie";
#ifdef _WIN64
    const ULONG_PTR unseeded = 0x00002B992DDFA232ull;
#else
    const ULONG_PTR unseeded = 0xBB40E64Eu;
#endif
    if (*reinterpret_cast<const ULONG_PTR*>(config->SecurityCookie) == unseeded)
        return "the loader did not seed the cookie";
    return "";
}

std::string StackProtectionFinding(const LoadedImage& image) {
    // Without stack checks nothing refers to the guard: the runtime's own
    // code, prebuilt without them, never does.
    const IMAGE_LOAD_CONFIG_DIRECTORY* config = LoadConfiguration(image);
    if (config == nullptr || CodeReferences(image, config->SecurityCookie) == 0)
        return "no code checks the security cookie";
    return "";
}

std::string ControlFlowGuardFinding(const LoadedImage& image) {
    const bool flagged = image.Headers().OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_GUARD_CF;
    const IMAGE_LOAD_CONFIG_DIRECTORY* config = LoadConfiguration(image);
    const GuardFields* guard = config ? Guard(*config) : nullptr;
    const bool table = guard && guard->functionTable != 0 && guard->functionCount != 0 &&
                       (guard->flags & kGuardCfInstrumented);
    if (flagged && !table) return "CFG claimed without a table of valid call targets";
    if (table && !flagged) return "a CFG table that Windows is not told to use";
    return "";
}

std::string SectionFinding(const LoadedImage& image) {
    for (const IMAGE_SECTION_HEADER& section : image.Sections()) {
        const std::string name(reinterpret_cast<const char*>(section.Name),
                               strnlen(reinterpret_cast<const char*>(section.Name), IMAGE_SIZEOF_SHORT_NAME));
        const DWORD flags = section.Characteristics;
        if ((flags & IMAGE_SCN_MEM_WRITE) && (flags & IMAGE_SCN_MEM_EXECUTE)) return name + " is writable and executable";
        if ((flags & IMAGE_SCN_MEM_WRITE) && (flags & IMAGE_SCN_MEM_SHARED)) return name + " is writable and shared";
    }
    return "";
}

#ifndef _WIN64
// NO_SEH promises that no frame in the image registers an exception handler
// of its own; Windows then refuses any that claims to be in it. Frame-based
// handlers are registered through fs:[0], the head of the thread's handler
// chain, and are the C runtime's _except_handler routines.
std::string NoSehFinding(const LoadedImage& image) {
    if (!(image.Headers().OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NO_SEH))
        return "NO_SEH not set";
    for (const ImportedFunction& import : ListImports(image.get()))
        if (import.function.rfind("_except_handler", 0) == 0) return "imports " + import.function;
    for (const IMAGE_SECTION_HEADER& section : image.Sections()) {
        if (!(section.Characteristics & IMAGE_SCN_MEM_EXECUTE)) continue;
        const BYTE* code = image.Byte(section.VirtualAddress);
        static const BYTE zero[4] = {};
        for (DWORD at = 0; at + 7 <= section.Misc.VirtualSize; ++at) {
            if (code[at] != 0x64) continue;  // fs: prefix
            // mov to or from fs:[0] by its offset (A1, A3), or any one-byte
            // opcode whose operand is fs:[disp32] with disp32 = 0
            const bool offsetForm = (code[at + 1] == 0xA1 || code[at + 1] == 0xA3) &&
                                    std::memcmp(code + at + 2, zero, 4) == 0;
            const bool operandForm = (code[at + 2] & 0xC7) == 0x05 && std::memcmp(code + at + 3, zero, 4) == 0;
            if (offsetForm || operandForm)
                return "code at RVA " + std::to_string(section.VirtualAddress + at) + " uses fs:[0]";
        }
    }
    return "";
}
#endif

}  // namespace

// What scanners of binaries ask of a DLL that loads into other people's
// processes, beyond ASLR and DEP (above). CFG's flag without its table
// would be a false claim; with neither, Windows simply does not check.
TEST(LibraryImage, MeetsTheHardeningRules) {
    LoadedImage image;
    ASSERT_NE(image.get(), nullptr);
    const struct {
        const char* rule;
        std::string (*finding)(const LoadedImage&);
    } rules[] = {
        {"a load configuration whose security cookie the loader seeds", SecurityCookieFinding},
        {"stack checks against that cookie", StackProtectionFinding},
        {"CFG's flag and table together or neither", ControlFlowGuardFinding},
        {"no writable section executable or shared", SectionFinding},
#ifndef _WIN64
        {"NO_SEH, and no frame-based exception handler", NoSehFinding},
#endif
    };
    for (const auto& r : rules) EXPECT_EQ(r.finding(image), "") << r.rule;
}

namespace {
ULONG_PTR* cookieUnderTest;
decltype(&MultiByteToWideChar) realMultiByteToWideChar;

int WINAPI ChangeCookieThenConvert(UINT codePage, DWORD flags, LPCCH text, int length, LPWSTR wide,
                                   int wideLength) {
    ++*cookieUnderTest;
    return realMultiByteToWideChar(codePage, flags, text, length, wide, wideLength);
}

bool EndedByFailFast(int status) {
#ifndef _WIN64
    // qemu-user hands the fail-fast interrupt to Wine as an illegal instruction
    if (status == static_cast<int>(STATUS_ILLEGAL_INSTRUCTION)) return true;
#endif
    return status == static_cast<int>(STATUS_STACK_BUFFER_OVERRUN);
}
}  // namespace

// A frame whose copy of the cookie no longer matches must not return
// through a stack that may be smashed: the process ends at once. The cookie
// changes under the live frame of a text conversion, from the import it calls.
TEST(LibraryImageDeathTest, AFrameWhoseCookieChangedEndsTheProcess) {
    EXPECT_EXIT(
        {
            LoadedImage image;
            cookieUnderTest = reinterpret_cast<ULONG_PTR*>(LoadConfiguration(image)->SecurityCookie);
            ImportPatch patch(image.get(), "kernel32.dll", "MultiByteToWideChar",
                              reinterpret_cast<void*>(ChangeCookieThenConvert));
            realMultiByteToWideChar = reinterpret_cast<decltype(realMultiByteToWideChar)>(patch.original());
            reinterpret_cast<int(__cdecl*)(const char*)>(reinterpret_cast<void*>(
                GetProcAddress(image.get(), "Sivat_Lib_GetSivatMode")))("converted");
        },
        EndedByFailFast, "");
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
