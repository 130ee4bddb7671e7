// The library's cost per call against the floor for its design: the same
// platform calls made directly (direct_calls.cpp), measured in the same run
// against the probe component, as a ratio with median and spread over
// repeated runs. Also: the heap allocations of short text conversions,
// counted at the DLL's malloc import, and how the parts-name list's cost
// grows with its size. Prints Markdown tables.
//   nolv_benchmark [runs [operation]]
// With an operation (the start of a row's name) only its rows are measured:
// for comparing two builds of the library.
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "benchmark/direct_calls.h"
#include "probe_control.h"
#include "support/component_test.h"
#include "support/host_clipboard.h"
#include "support/import_patch.h"
#include "support/sample_server.h"
#include "support/wrapper_library.h"

namespace {

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart / frequency;
}

double SecondsPerCall(const std::function<void()>& call, int calls) {
    const double start = Now();
    for (int i = 0; i < calls; ++i) call();
    return (Now() - start) / calls;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

IDispatch* CreateDirectly(const wchar_t* progId) {
    CLSID classId;
    IDispatch* dispatch = nullptr;
    if (FAILED(CLSIDFromProgID(progId, &classId)) ||
        FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&dispatch)))) {
        std::fprintf(stderr, "cannot create %ls\n", progId);
        std::exit(1);
    }
    return dispatch;
}

void ScriptProbe(const std::wstring& list) {
    ProbeReset();
    ProbeSetRecording(0);
    for (const wchar_t* method : {L"getNumberStr", L"getNameListCSV", L"AboutBox", L"setSettingDataFileName"})
        ProbeDefineMethod(PROBE_NOLV, method);
    ProbeDefineMethod(PROBE_SIVAT, L"getSivatMode");
    ScriptTextResult(PROBE_NOLV, L"getNumberStr", L"NS-0003-0004");
    ProbeSetIntegerOut(PROBE_NOLV, L"getNumberStr", 2, 3);
    ProbeSetIntegerOut(PROBE_NOLV, L"getNumberStr", 3, 4);
    ScriptTextResult(PROBE_NOLV, L"getNameListCSV", list.c_str());
    ScriptIntegerResult(PROBE_SIVAT, L"getSivatMode", 2);
}

struct Operation {
    const char* name;
    std::function<void()> viaLibrary;
    std::function<void()> direct;
};

// only: the operations whose names start with it, or every one when null.
// Returns how many were measured.
int CompareOperations(WrapperLibrary& wrapper, IDispatch* nolv, IDispatch* sivat, int runs,
                      const char* only) {
    int first = 0;
    int second = 0;
    char text[64];
    wchar_t wide[64];
    int needed = 0;
    const std::vector<Operation> operations = {
        {"Nolv_Lib_getNumberStrRZ",
         [&] { wrapper.getNumberStrRZ("NS", "0003", &first, &second); },
         [&] { direct::NumberString(nolv, "NS", "0003", &first, &second); }},
        {"Nolv_Lib_getPartsNameListRZClip",
         [&] { SetHostClipboardText("bolt,nut"); wrapper.getPartsNameListRZClip("b", 3); },
         [&] { SetHostClipboardText("bolt,nut"); direct::PartsNameList(nolv, "b", 3); }},
        {"Sivat_Lib_GetSivatMode", [&] { wrapper.GetSivatMode("ABC-123"); },
         [&] { direct::Mode(sivat, "ABC-123"); }},
        {"Nolv_Lib_AboutBox (no-argument calls)", [&] { wrapper.AboutBox(); },
         [&] { direct::CallWithoutArguments(nolv, L"AboutBox"); }},
        {"Nolv_Lib_setSettingDataFileName", [&] { wrapper.setSettingDataFileName("C:\\nolv\\settings.ini"); },
         [&] { direct::SettingsFileName(nolv, "C:\\nolv\\settings.ini"); }},
        {"Nolv_Lib_getNumberStrBuf",
         [&] { wrapper.getNumberStrBuf("NS", "0003", &first, &second, text, sizeof text, &needed); },
         [&] { direct::NumberStringInto(nolv, "NS", "0003", &first, &second, text, sizeof text); }},
        {"Nolv_Lib_getNumberStrBufW",
         [&] { wrapper.getNumberStrBufW(L"NS", L"0003", &first, &second, wide, 64, &needed); },
         [&] { direct::NumberStringInto(nolv, L"NS", L"0003", &first, &second, wide, 64); }},
        {"Nolv_Lib_getPartsNameListBuf",
         [&] { wrapper.getPartsNameListBuf("b", "bolt,nut", 3, text, sizeof text, &needed); },
         [&] { direct::PartsNameListInto(nolv, "b", "bolt,nut", 3, text, sizeof text); }},
        {"Nolv_Lib_getPartsNameListBufW",
         [&] { wrapper.getPartsNameListBufW(L"b", L"bolt,nut", 3, wide, 64, &needed); },
         [&] { direct::PartsNameListInto(nolv, L"b", L"bolt,nut", 3, wide, 64); }},
        // What the clipboard costs a call: the clipboard export in the
        // library column, its buffer form in the direct one. The clipboard
        // form's host puts the input on the clipboard first; the buffer
        // form's host passes it as an argument.
        {"clipboard against buffer: number string",
         [&] { wrapper.getNumberStrRZ("NS", "0003", &first, &second); },
         [&] { wrapper.getNumberStrBuf("NS", "0003", &first, &second, text, sizeof text, &needed); }},
        {"clipboard against buffer: parts-name list",
         [&] { SetHostClipboardText("bolt,nut"); wrapper.getPartsNameListRZClip("b", 3); },
         [&] { wrapper.getPartsNameListBuf("b", "bolt,nut", 3, text, sizeof text, &needed); }},
    };

    std::printf("| operation | library µs/call | direct µs/call | ratio (median) | ratio spread (min–max) |\n");
    std::printf("|---|---|---|---|---|\n");
    int measured = 0;
    for (const Operation& operation : operations) {
        if (only != nullptr && std::strncmp(operation.name, only, std::strlen(only)) != 0) continue;
        ++measured;
        // Batches of about a millisecond, library and direct alternating
        // fifty times a run, so that the clipboard's and the machine's drift
        // fall on both alike.
        const double estimate = SecondsPerCall(operation.direct, 20);
        const int batch = std::max(1, static_cast<int>(0.001 / std::max(estimate, 1e-8)));
        std::vector<double> library, baseline, ratios;
        for (int run = 0; run < runs; ++run) {
            double libraryTime = 0;
            double directTime = 0;
            for (int pair = 0; pair < 50; ++pair) {
                const bool libraryFirst = pair % 2 == 0;
                const double a = SecondsPerCall(libraryFirst ? operation.viaLibrary : operation.direct, batch);
                const double b = SecondsPerCall(libraryFirst ? operation.direct : operation.viaLibrary, batch);
                libraryTime += libraryFirst ? a : b;
                directTime += libraryFirst ? b : a;
            }
            library.push_back(libraryTime / 50);
            baseline.push_back(directTime / 50);
            ratios.push_back(libraryTime / directTime);
        }
        std::printf("| %s | %.2f | %.2f | %.3f | %.3f–%.3f |\n", operation.name, Median(library) * 1e6,
                    Median(baseline) * 1e6, Median(ratios),
                    *std::min_element(ratios.begin(), ratios.end()),
                    *std::max_element(ratios.begin(), ratios.end()));
    }
    return measured;
}

int conversionAllocations = 0;
void* (__cdecl* realMalloc)(size_t) = nullptr;
void* __cdecl CountingMalloc(size_t size) {
    ++conversionAllocations;
    return realMalloc(size);
}

// With "setSettingDataFileName" unknown to the component the export does
// nothing but convert its text, so every allocation counted is the
// conversion's.
void CountConversionAllocations(WrapperLibrary& wrapper) {
    ProbeReset();
    std::printf("\n| text length | heap allocations per conversion |\n|---|---|\n");
    for (size_t length : {0u, 100u, 1000u, 4095u, 4096u, 100000u}) {
        const std::string text(length, 'c');
        conversionAllocations = 0;
        {
            const ImportPatch patch(wrapper.module, "msvcrt.dll", "malloc",
                                    reinterpret_cast<void*>(&CountingMalloc));
            realMalloc = reinterpret_cast<void* (__cdecl*)(size_t)>(patch.original());
            for (int i = 0; i < 100; ++i) wrapper.setSettingDataFileName(text.c_str());
        }
        std::printf("| %zu | %.2f |\n", length, conversionAllocations / 100.0);
    }
}

// Time per byte of the list operation, through the library and directly;
// the fixed cost (clipboard round trips) is measured with the smallest list
// and taken off, so that what remains is the cost that grows with the list.
void MeasureListGrowth(WrapperLibrary& wrapper, IDispatch* nolv, int runs) {
    std::printf("\n| list size | library ms/call | direct ms/call | library ns/byte | direct ns/byte |\n");
    std::printf("|---|---|---|---|---|\n");
    double fixedLibrary = 0;
    double fixedDirect = 0;
    std::vector<double> libraryPerByte;
    for (size_t size = 1024; size <= 16u << 20; size *= 4) {
        std::wstring list;
        list.reserve(size);
        while (list.size() + 10 < size) list += list.empty() ? L"part-00001" : L",part-0001";
        list.resize(size, L'x');
        ScriptProbe(list);
        for (int warmUp = 0; warmUp < 3; ++warmUp) {
            SetHostClipboardText("input");
            wrapper.getPartsNameListRZClip("", 0);
            direct::PartsNameList(nolv, "", 0);
        }
        const int calls = size < (1u << 20) ? 20 : 3;
        std::vector<double> library, baseline;
        for (int run = 0; run < std::max(3, runs / 2); ++run) {
            library.push_back(SecondsPerCall([&] {
                SetHostClipboardText("input");
                wrapper.getPartsNameListRZClip("", 0);
            }, calls));
            baseline.push_back(SecondsPerCall([&] {
                SetHostClipboardText("input");
                direct::PartsNameList(nolv, "", 0);
            }, calls));
        }
        if (size == 1024) {
            fixedLibrary = Median(library);
            fixedDirect = Median(baseline);
            std::printf("| %zu KB | %.3f | %.3f | (fixed cost) | (fixed cost) |\n", size / 1024,
                        fixedLibrary * 1e3, fixedDirect * 1e3);
            continue;
        }
        const double perByte = (Median(library) - fixedLibrary) / size * 1e9;
        const double directPerByte = (Median(baseline) - fixedDirect) / size * 1e9;
        if (size >= 64 * 1024) libraryPerByte.push_back(perByte);
        std::printf("| %zu KB | %.3f | %.3f | %.2f | %.2f |\n", size / 1024, Median(library) * 1e3,
                    Median(baseline) * 1e3, perByte, directPerByte);
    }
    const auto [fastest, slowest] = std::minmax_element(libraryPerByte.begin(), libraryPerByte.end());
    std::printf("\nlibrary time per byte from 64 KB to 16 MB varies by %.0f%% (target: within 25%%)\n",
                (*slowest / *fastest - 1) * 100);
}

// What running the components isolated costs, against the sample
// components (the probe's scripts would not reach a probe in another
// process): a load of both and their release, and a call of each operation,
// in process and each in a process of its own.
void MeasureIsolation(WrapperLibrary& wrapper, int runs) {
    for (const wchar_t* server : {L"nolv_sample.dll", L"sivat_sample.dll"})
        SampleServer(server).Call("DllRegisterServer");
    int first = 3;
    int second = 4;
    char text[64];
    int needed = 0;
    const std::vector<std::pair<const char*, std::function<void()>>> calls = {
        {"Sivat_Lib_GetSivatMode", [&] { wrapper.GetSivatMode("ABC-12"); }},
        {"Nolv_Lib_setSettingDataFileName", [&] { wrapper.setSettingDataFileName(""); }},
        {"Nolv_Lib_getNumberStrBuf",
         [&] { wrapper.getNumberStrBuf("NS", "X", &first, &second, text, sizeof text, &needed); }},
        {"Nolv_Lib_getPartsNameListBuf",
         [&] { wrapper.getPartsNameListBuf("", "Bolt M4, Nut M6", 0, text, sizeof text, &needed); }},
        {"Nolv_Lib_getNumberStrRZ", [&] { wrapper.getNumberStrRZ("NS", "X", &first, &second); }},
    };
    // Medians over the runs, in process and isolated: the load and release,
    // then each call.
    std::vector<std::vector<double>> times[2];
    for (int isolated = 0; isolated < 2; ++isolated) {
        wrapper.SetIsolation(isolated ? 3 : 0, 0);
        times[isolated].resize(calls.size() + 1);
        for (int run = 0; run < std::max(3, runs / 2); ++run) {
            times[isolated][0].push_back(SecondsPerCall([&] {
                wrapper.LoadNolvSys();
                wrapper.LoadSivatSys();
                wrapper.FreeNolvSys();
            }, 1));
            wrapper.LoadNolvSys();
            wrapper.LoadSivatSys();
            for (size_t i = 0; i < calls.size(); ++i)
                times[isolated][i + 1].push_back(SecondsPerCall(calls[i].second, isolated ? 20 : 200));
            wrapper.FreeNolvSys();
        }
    }
    wrapper.SetIsolation(0, 0);
    std::printf("\n| isolated, against the samples | in process ms | isolated ms | isolated − in process, ms |\n");
    std::printf("|---|---|---|---|\n");
    for (size_t i = 0; i <= calls.size(); ++i) {
        const double inProcess = Median(times[0][i]) * 1e3;
        const double isolated = Median(times[1][i]) * 1e3;
        std::printf("| %s | %.3f | %.3f | %.3f |\n",
                    i == 0 ? "LoadNolvSys and LoadSivatSys, then FreeNolvSys" : calls[i - 1].first,
                    inProcess, isolated, isolated - inProcess);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 11;
    const char* only = argc > 2 ? argv[2] : nullptr;
    if (FAILED(ProbeRegister(PROBE_NOLV, kNolvProgId)) || FAILED(ProbeRegister(PROBE_SIVAT, kSivatProgId))) {
        std::fprintf(stderr, "cannot register the probe\n");
        return 1;
    }
    ScriptProbe(L"bolt,nut,washer");
    WrapperLibrary wrapper;
    if (wrapper.LoadNolvSys() != 1 || wrapper.LoadSivatSys() != 1) {
        std::fprintf(stderr, "cannot load the components\n");
        return 1;
    }
    IDispatch* nolv = CreateDirectly(kNolvProgId);
    IDispatch* sivat = CreateDirectly(kSivatProgId);
    std::printf("ANSI code page %u, %d runs per operation, %s\n\n", GetACP(), runs,
                sizeof(void*) == 8 ? "x86_64" : "i686");

    if (CompareOperations(wrapper, nolv, sivat, runs, only) == 0) {
        std::fprintf(stderr, "no operation's name starts with \"%s\"\n", only);
        return 2;
    }
    if (only == nullptr) {
        CountConversionAllocations(wrapper);
        MeasureListGrowth(wrapper, nolv, runs);
    }

    nolv->Release();
    sivat->Release();
    wrapper.FreeNolvSys();
    if (only == nullptr) MeasureIsolation(wrapper, runs);
    ProbeRegister(PROBE_NOLV, kNolvProgId);
    ProbeRegister(PROBE_SIVAT, kSivatProgId);
    return 0;
}
