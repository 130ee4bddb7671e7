#include "frame/failure_record.h"

#include <comdef.h>

#include <new>

#include "frame/fixed_text.h"
#include "frame/memory_exception.h"
#include "frame/export_scope.h"

namespace {

// The words of each step. {C} stands for the component, {P} its ProgID,
// {M} the method, {L} the export that loads the component, {S} the
// subject the step was recorded with.
const wchar_t* WordsOf(FailureStep step, HRESULT status) {
    switch (step) {
    case FailureStep::ComInitialization:
        return L"COM could not be initialised on this thread to create the {C} component";
    case FailureStep::ProgIdLookup:
        return L"the {C} component's ProgID {P} was not found";
    case FailureStep::Creation:
        return L"the {C} component ({P}) could not be created";
    case FailureStep::NoAutomation:
        return L"the {C} component ({P}) has no automation interface (IDispatch)";
    case FailureStep::SurrogateStart:
        return L"the {C} component's own process could not be started (nolvsurrogate.exe, beside "
               L"the library)";
    case FailureStep::SurrogateHandOver:
        return L"the {C} component ({P}) could not be handed over from its own process";
    case FailureStep::NotLoaded:
        return L"the {C} component is not loaded; call {L} first";
    case FailureStep::MethodLookup:
        return status == DISP_E_UNKNOWNNAME || status == DISP_E_MEMBERNOTFOUND
                   ? L"the {C} component has no method {M}"
                   : L"looking up the method {M} of the {C} component failed";
    case FailureStep::Call:
        return L"the {C} component's {M} failed";
    case FailureStep::ComponentGone:
        return L"the process that ran the {C} component has gone away; free it and load it again";
    case FailureStep::WrongThread:
        return L"the {C} component was loaded on another thread, and its process takes calls from "
               L"that thread only; call {M} there";
    case FailureStep::ComponentCrashed:
        return L"the {C} component's process ended during {M}, with {S}; it will be started "
               L"again on the next call";
    case FailureStep::CallTimeLimit:
        return L"{M} did not return within {S} ms; the {C} component's process was ended, and "
               L"will be started again on the next call";
    case FailureStep::NoResult:
        return L"the {C} component's {M} gave no result";
    case FailureStep::ResultType:
        return L"the result of the {C} component's {M} does not convert to what the library reads";
    case FailureStep::ConversionIn:
        return L"a text for the {C} component's {M} does not convert from the ANSI code page";
    case FailureStep::ConversionOut:
        return L"the text of the {C} component's {M} does not convert to the ANSI code page";
    case FailureStep::BufferTooSmall:
        return L"the text does not fit the buffer";
    case FailureStep::ClipboardOpen:
        return L"the clipboard could not be opened";
    case FailureStep::ClipboardWrite:
        return L"the clipboard could not be written";
    case FailureStep::ClipboardRead:
        return L"the clipboard could not be read";
    case FailureStep::Memory:
        return L"out of memory";
    case FailureStep::NullArgument:
        return L"the argument {S} is a null pointer";
    case FailureStep::ArgumentOutOfRange:
        return L"the argument {S}";
    case FailureStep::MessageBox:
        return L"the message box could not be shown";
    case FailureStep::Unexpected:
        break;
    }
    return L"an unexpected exception ended the call";
}

void AppendWords(FixedText& line, const wchar_t* words, const ExportCall& call,
                 const wchar_t* subject) {
    static const wchar_t kNone[] = L"?";
    for (const wchar_t* c = words; *c != L'\0'; ++c) {
        if (c[0] == L'{' && c[1] != L'\0' && c[2] == L'}') {
            switch (c[1]) {
            case L'C': line.Append(call.component ? call.component : kNone); break;
            case L'P': line.Append(call.progId ? call.progId : kNone); break;
            case L'M': line.Append(call.method ? call.method : kNone); break;
            case L'L': line.Append(L"Load").Append(call.component ? call.component : kNone).Append(L"Sys"); break;
            case L'S': line.Append(subject ? subject : kNone); break;
            }
            c += 2;
            continue;
        }
        line.Append(c, 1);
    }
}

// Words for the statuses the library meets that a system may have no
// message for (Wine has none for most COM statuses); the system's own
// come first.
const wchar_t* KnownStatusWords(HRESULT status) {
    switch (static_cast<DWORD>(status)) {
    case 0x8000000E: return L"A method was called at an unexpected time.";
    case 0x80004001: return L"Not implemented";
    case 0x80004002: return L"No such interface supported";
    case 0x80004003: return L"Invalid pointer";
    case 0x80004005: return L"Unspecified error";
    case 0x8000FFFF: return L"Catastrophic failure";
    case 0x80010106: return L"Cannot change thread mode after it is set.";
    case 0x80010108: return L"The object invoked has disconnected from its clients.";
    case 0x8001010E: return L"The application called an interface that was marshalled for a different thread.";
    case 0x80020003: return L"Member not found.";
    case 0x80020004: return L"Parameter not found.";
    case 0x80020005: return L"Type mismatch.";
    case 0x80020006: return L"Unknown name.";
    case 0x80020009: return L"Exception occurred.";
    case 0x8002000E: return L"Invalid number of parameters.";
    case 0x80040154: return L"Class not registered";
    case 0x800401D0: return L"OpenClipboard Failed";
    case 0x800401D2: return L"SetClipboard Failed";
    case 0x800401D3: return L"Data on clipboard is invalid";
    case 0x800401F0: return L"CoInitialize has not been called.";
    case 0x800401F3: return L"Invalid class string";
    case 0x800401FD: return L"Object is not connected to server";
    default: return nullptr;
    }
}

// The system's words for a status, trimmed, into the line. A status of the
// Win32 facility is looked up by its error code as well, which is where
// the system keeps most of them.
void AppendSystemMessage(FixedText& line, HRESULT status) {
    wchar_t message[256];
    const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length = FormatMessageW(flags, nullptr, static_cast<DWORD>(status), 0, message,
                                  ARRAYSIZE(message), nullptr);
    if (length == 0 && HRESULT_FACILITY(status) == FACILITY_WIN32)
        length = FormatMessageW(flags, nullptr, HRESULT_CODE(status), 0, message,
                                ARRAYSIZE(message), nullptr);
    while (length > 0 && (message[length - 1] == L' ' || message[length - 1] == L'\r' ||
                          message[length - 1] == L'\n'))
        --length;
    if (length > 0)
        line.Append(L" (").Append(message, length).Append(L")");
    else if (const wchar_t* words = KnownStatusWords(status))
        line.Append(L" (").Append(words).Append(L")");
}

// The record of a thread that has no state of its own because there was no
// memory left to make it: its call fails for that reason, and says so
// here. Such threads share it.
FailureRecord spareRecord = {};

// What the readers read: the thread's record as it stands.
const FailureRecord& ReadableRecord() {
    const ThreadState* thread = CurrentThreadState();
    return thread != nullptr ? thread->record : spareRecord;
}

const ExportCall kNoCall = {"Nolv_Lib_Wrapper", nullptr, nullptr, nullptr};

}  // namespace

FailureRecord& WorkingRecord() noexcept {
    ThreadState* thread = CurrentThreadState();
    if (thread == nullptr) return spareRecord;
    TakeBackRecord(*thread);
    return thread->record;
}

bool RecordFailure(FailureStep step, HRESULT status, const wchar_t* subject) noexcept {
    FailureRecord& record = WorkingRecord();
    if (record.status != S_OK) return false;
    if (SUCCEEDED(status)) status = E_FAIL;
    const ExportCall& call = record.call != nullptr ? *record.call : kNoCall;
    FixedText line(record.text, kFailureTextCapacity);
    line.Append(call.name).Append(L": ");
    AppendWords(line, WordsOf(step, status), call, subject);
    line.Append(L": ").AppendHex(static_cast<DWORD>(status));
    AppendSystemMessage(line, status);
    record.length = static_cast<unsigned>(line.length());
    record.status = status;
    return true;
}

void AddFailureDetail(const wchar_t* detail) noexcept {
    FailureRecord& record = WorkingRecord();
    if (record.status == S_OK) return;
    // Read once: the spare record may be written by another thread too.
    const unsigned used = record.length < kFailureTextCapacity ? record.length : kFailureTextCapacity - 1;
    FixedText line(record.text + used, kFailureTextCapacity - used);
    line.Append(L"; ").Append(detail);
    record.length = used + static_cast<unsigned>(line.length());
}

void RecordCaughtException() noexcept {
    if (CallHasFailed()) return;
    try {
        throw;
    } catch (const _com_error& error) {
        RecordFailure(FailureStep::Unexpected, error.Error());
    } catch (const CMemoryException&) {
        RecordFailure(FailureStep::Memory, E_OUTOFMEMORY);
    } catch (const std::bad_alloc&) {
        RecordFailure(FailureStep::Memory, E_OUTOFMEMORY);
    } catch (...) {
        RecordFailure(FailureStep::Unexpected, E_UNEXPECTED);
    }
}

HRESULT LastFailureStatus() noexcept { return ReadableRecord().status; }

const wchar_t* LastFailureText() noexcept {
    const FailureRecord& record = ReadableRecord();
    return record.status != S_OK ? record.text : L"";
}
