// The fixture for tests that reach components through the library: the
// probe registered under both ProgIDs and scripted afresh, the library
// loaded as a host loads it, and on the way out FreeNolvSys with a check
// that no probe object survives it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "probe_control.h"
#include "support/wrapper_library.h"

inline constexpr wchar_t kNolvProgId[] = L"NOLV_Lib.NOLVComClass";
inline constexpr wchar_t kSivatProgId[] = L"FendrelLib.SivatComClass";

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    WrapperLibrary& wrapper() { return *wrapper_; }

    // The records of one kind, in the order the probe received them.
    static std::vector<ProbeCall> Records(int kind);
    static std::vector<ProbeCall> Invocations() { return Records(PROBE_INVOKE); }
    static std::vector<ProbeCall> Lookups() { return Records(PROBE_LOOKUP); }

private:
    std::unique_ptr<WrapperLibrary> wrapper_;
};

// Scripts a method's result.
void ScriptTextResult(int component, const wchar_t* method, const wchar_t* text);
void ScriptIntegerResult(int component, const wchar_t* method, LONG value);

// Checks the form every method call of the library has: DISPATCH_METHOD,
// the system default locale, no named arguments, exception information and
// the argument-error index asked for (for the failure record), and a
// result only where one is wanted.
void ExpectCallForm(const ProbeCall& call, bool resultWanted, int argumentCount);

// A recorded text argument as the probe saw it.
std::wstring TextOf(const ProbeArg& argument);

inline constexpr VARTYPE kTextByRef = VT_BSTR | VT_BYREF;
inline constexpr VARTYPE kIntegerByRef = VT_I4 | VT_BYREF;
