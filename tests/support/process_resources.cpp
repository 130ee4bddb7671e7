#include "support/process_resources.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// SystemHandleInformation: every open handle of every process, one entry
// each, with the owning process's id.
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct HandleEntry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectType;
    UCHAR flags;
    USHORT handle;
    void* object;
    ACCESS_MASK access;
};

struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

using QuerySystemInformation = LONG(NTAPI*)(ULONG, void*, ULONG, ULONG*);

long long OwnHandles() {
    static const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<unsigned char> buffer(1 << 16);
    LONG status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           nullptr)) == kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status < 0) return -1;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    const USHORT self = static_cast<USHORT>(GetCurrentProcessId());
    long long own = 0;
    for (ULONG i = 0; i < table->count; ++i)
        if (table->entries[i].processId == self) ++own;
    return own;
}

long long FreeTlsSlots() {
    std::vector<DWORD> taken;
    for (DWORD slot; (slot = TlsAlloc()) != TLS_OUT_OF_INDEXES;) taken.push_back(slot);
    for (DWORD slot : taken) TlsFree(slot);
    return static_cast<long long>(taken.size());
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId()) ++*reinterpret_cast<long long*>(count);
    return TRUE;
}

long long OwnWindows() {
    long long count = 0;
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    for (HWND window = nullptr; (window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr));)
        CountOwnWindow(window, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

SIZE_T CommittedPrivateMemory() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* address = nullptr;
         VirtualQuery(address, &region, sizeof region) == sizeof region;
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    }
    return total;
}

ProcessResources CurrentResources() {
    return {static_cast<long long>(CommittedPrivateMemory()), OwnHandles(), FreeTlsSlots(), OwnWindows()};
}

ProcessResources Growth(const ProcessResources& before, const ProcessResources& after) {
    return {after.privateMemory - before.privateMemory, after.handles - before.handles,
            after.freeTlsSlots - before.freeTlsSlots, after.windows - before.windows};
}

std::string Describe(const ProcessResources& growth) {
    auto signed_ = [](long long value) { return (value >= 0 ? "+" : "") + std::to_string(value); };
    return "private memory " + signed_(growth.privateMemory) + " bytes, handles " +
           signed_(growth.handles) + ", free TLS slots " + signed_(growth.freeTlsSlots) +
           ", windows " + signed_(growth.windows);
}

void ExpectNoLeak(const ProcessResources& growth, long long memoryBytes) {
    EXPECT_LT(growth.privateMemory, memoryBytes) << Describe(growth);
    EXPECT_LE(growth.handles, 2) << Describe(growth);
    EXPECT_EQ(growth.freeTlsSlots, 0) << Describe(growth);
    EXPECT_LE(growth.windows, 0) << Describe(growth);
}
