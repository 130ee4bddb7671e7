#include "bridge/isolated_process.h"

#include <objbase.h>

#include <string>

#ifdef _WIN64
#include "bridge/classes_key.h"
#endif

namespace {

// Giving the surrogate a moment to end by itself lets the component's DLL
// be unloaded as it would be in process; it takes some milliseconds, a
// whole second only on a machine under heavy load.
constexpr DWORD kEndByItselfWait = 1000;
constexpr DWORD kTerminationWait = 5000;

void CALLBACK EndForTimeLimit(PTP_CALLBACK_INSTANCE, void* process, PTP_TIMER) {
    TerminateProcess(static_cast<HANDLE>(process), kSurrogateEndedForTimeLimit);
}

void Arm(PTP_TIMER timer, DWORD milliseconds) {
    // Relative due times are negative, in 100-nanosecond units.
    ULARGE_INTEGER due;
    due.QuadPart = static_cast<ULONGLONG>(-static_cast<LONGLONG>(milliseconds) * 10000);
    FILETIME dueTime{due.LowPart, due.HighPart};
    SetThreadpoolTimer(timer, &dueTime, 0, 0);
}

// Arms the timer for one stretch of waiting on the surrogate, if limited.
// Once disarmed, the exit code says for certain whether the limit ended
// the process.
class Bounded {
public:
    Bounded(PTP_TIMER timer, DWORD limit) : timer_(limit != 0 ? timer : nullptr) {
        if (timer_ != nullptr) Arm(timer_, limit);
    }
    ~Bounded() {
        if (timer_ != nullptr) DisarmPoolTimer(timer_);
    }
    Bounded(const Bounded&) = delete;
    Bounded& operator=(const Bounded&) = delete;

private:
    PTP_TIMER timer_;
};

// This module's directory (the DLL's, or the program's that links the
// library's objects), with its trailing backslash; empty when it cannot be
// known.
std::wstring LibraryDirectory() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&EndForTimeLimit), &module))
        return {};
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

const wchar_t* SurrogateName([[maybe_unused]] const CLSID& classId) {
#ifdef _WIN64
    // What the 64-bit CoCreateInstance in the surrogate cannot load, the
    // 32-bit one can.
    if (!RegisteredInProcess(classId, KEY_WOW64_64KEY) &&
        RegisteredInProcess(classId, KEY_WOW64_32KEY))
        return L"nolvsurrogate32.exe";
#endif
    return L"nolvsurrogate.exe";
}

HRESULT LastError() { return HRESULT_FROM_WIN32(GetLastError()); }

// The handles the surrogate inherits, and no others: not the host's
// standard handles nor whatever else the host made inheritable.
class InheritedHandles {
public:
    InheritedHandles(HANDLE pipe, HANDLE host, HANDLE released) : handles_{pipe, host, released} {
        SIZE_T size = sizeof storage_;
        initialised_ = InitializeProcThreadAttributeList(list_, 1, 0, &size);
        ready_ = initialised_ &&
                 UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_,
                                           sizeof handles_, nullptr, nullptr);
    }
    ~InheritedHandles() {
        if (initialised_) DeleteProcThreadAttributeList(list_);
    }
    InheritedHandles(const InheritedHandles&) = delete;
    InheritedHandles& operator=(const InheritedHandles&) = delete;

    LPPROC_THREAD_ATTRIBUTE_LIST list() const { return ready_ ? list_ : nullptr; }

private:
    HANDLE handles_[3];
    // One attribute's list: a few machine words, whichever the system.
    alignas(void*) unsigned char storage_[256];
    const LPPROC_THREAD_ATTRIBUTE_LIST list_ =
        reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_);
    bool initialised_;
    bool ready_;
};

// A job that ends its processes when its last handle closes: with the
// library's process at the latest. Processes the component starts leave
// it, as they would leave nothing behind in process either.
KernelHandle EndingJob() {
    KernelHandle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
    if (job && !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                        sizeof limits))
        job.reset();
    return job;
}

bool ReadAll(HANDLE pipe, void* bytes, DWORD length) {
    for (auto* next = static_cast<unsigned char*>(bytes); length > 0;) {
        DWORD read = 0;
        if (!ReadFile(pipe, next, length, &read, nullptr) || read == 0) return false;
        next += read;
        length -= read;
    }
    return true;
}

// The marshalled component, as a stream to unmarshal from.
HRESULT ReceiveMarshalled(HANDLE pipe, DWORD length, ComPtr<IStream>& stream) {
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length);
    if (memory == nullptr) return E_OUTOFMEMORY;
    void* bytes = GlobalLock(memory);
    const bool received = ReadAll(pipe, bytes, length);
    GlobalUnlock(memory);
    // The stream frees the memory from here on.
    const HRESULT status = CreateStreamOnHGlobal(memory, TRUE, stream.put());
    if (FAILED(status)) {
        GlobalFree(memory);
        return status;
    }
    return received ? S_OK : S_FALSE;
}

constexpr IsolationStep StepOf(DWORD surrogateStep) {
    switch (surrogateStep) {
        case kSurrogateInitialiseCom:
            return IsolationStep::kInitialiseCom;
        case kSurrogateCreateObject:
            return IsolationStep::kCreateObject;
        case kSurrogateQueryDispatch:
            return IsolationStep::kQueryDispatch;
        default:
            return IsolationStep::kMarshal;
    }
}

}  // namespace

IsolationFailure IsolatedProcess::Start(const CLSID& classId, DWORD startLimit, DWORD callLimit) {
    End();
    const IsolationFailure failure = Launch(classId, startLimit);
    if (FAILED(failure.status))
        End();
    else
        callLimit_ = callLimit;
    return failure;
}

IsolationFailure IsolatedProcess::Launch(const CLSID& classId, DWORD startLimit) {
    const std::wstring directory = LibraryDirectory();
    wchar_t classText[39];
    if (directory.empty() || StringFromGUID2(classId, classText, ARRAYSIZE(classText)) == 0)
        return {LastError(), IsolationStep::kFindSurrogate, STILL_ACTIVE};

    // The pipe's write end and a handle of this process go to the surrogate
    // only; the library keeps the read end. Both share the released event.
    KernelHandle reading;
    KernelHandle writing;
    KernelHandle host;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    released_ = KernelHandle(CreateEventW(&inheritable, TRUE, FALSE, nullptr));
    if (!released_ || !CreatePipe(reading.variable(), writing.variable(), nullptr, 0) ||
        !SetHandleInformation(writing.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) ||
        !DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(),
                         host.variable(), SYNCHRONIZE, TRUE, 0))
        return {LastError(), IsolationStep::kStartSurrogate, STILL_ACTIVE};
    const InheritedHandles inherited(writing.get(), host.get(), released_.get());
    if (inherited.list() == nullptr)
        return {LastError(), IsolationStep::kStartSurrogate, STILL_ACTIVE};

    const std::wstring program = directory + SurrogateName(classId);
    std::wstring commandLine = L"\"" + program + L"\" " + classText;
    for (HANDLE inherit : {writing.get(), host.get(), released_.get()})
        commandLine += L" " + std::to_wstring(reinterpret_cast<UINT_PTR>(inherit));
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;  // none: the host's stay the host's
    startup.lpAttributeList = inherited.list();
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                        &startup.StartupInfo, &started))
        return {LastError(), IsolationStep::kStartSurrogate, STILL_ACTIVE};
    process_ = KernelHandle(started.hProcess);
    const KernelHandle thread(started.hThread);
    // Without a job (a host whose own job forbids one) the surrogate's watch
    // of this process still ends it.
    job_ = EndingJob();
    if (job_ && !AssignProcessToJobObject(job_.get(), process_.get())) job_.reset();
    timer_ = PoolTimer(CreateThreadpoolTimer(EndForTimeLimit, process_.get(), nullptr));
    if (timer_.get() == nullptr) return {LastError(), IsolationStep::kStartSurrogate, STILL_ACTIVE};
    ResumeThread(thread.get());
    // Only the surrogate's copy is left, so its end ends the reading.
    writing.reset();
    host.reset();

    const Bounded bounded(timer_.get(), startLimit);
    SurrogateHandOver handOver{};
    ComPtr<IStream> marshalled;
    if (!ReadAll(reading.get(), &handOver, sizeof handOver) ||
        (handOver.status == S_OK &&
         (handOver.length > kSurrogateHandOverLimit ||
          ReceiveMarshalled(reading.get(), handOver.length, marshalled) != S_OK))) {
        const DWORD exitCode = ExitCode(kTerminationWait);
        return {exitCode == kSurrogateEndedForTimeLimit ? RPC_E_TIMEOUT : CO_E_SERVER_EXEC_FAILURE,
                IsolationStep::kReceive, exitCode};
    }
    if (FAILED(handOver.status)) return {handOver.status, StepOf(handOver.step), STILL_ACTIVE};

    const HRESULT status = CoUnmarshalInterface(marshalled.get(), IID_IDispatch, proxy_.put_void());
    if (FAILED(status)) return {status, IsolationStep::kUnmarshal, STILL_ACTIVE};
    return {S_OK, IsolationStep::kReceive, STILL_ACTIVE};
}

DWORD IsolatedProcess::ExitCode(DWORD wait) const {
    DWORD exitCode = STILL_ACTIVE;
    if (process_ && WaitForSingleObject(process_.get(), wait) == WAIT_OBJECT_0)
        GetExitCodeProcess(process_.get(), &exitCode);
    return exitCode;
}

void IsolatedProcess::End() {
    if (!process_) return;
    DWORD byItself = 0;
    if (proxy_) {
        const Bounded bounded(timer_.get(), callLimit_);
        proxy_ = {};
        SetEvent(released_.get());
        byItself = kEndByItselfWait;
    }
    if (WaitForSingleObject(process_.get(), byItself) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), kSurrogateEndedByLibrary);
        WaitForSingleObject(process_.get(), kTerminationWait);
    }
    timer_.reset();  // before the process handle its callback uses
    job_.reset();
    process_.reset();
    released_.reset();
    callLimit_ = 0;
}

CallTimeLimit::CallTimeLimit(IsolatedProcess& process) : process_(process) {
    if (process_.limitedCalls_++ == 0 && process_.callLimit_ != 0 && process_.timer_.get())
        Arm(process_.timer_.get(), process_.callLimit_);
}

CallTimeLimit::~CallTimeLimit() {
    if (--process_.limitedCalls_ == 0 && process_.callLimit_ != 0 && process_.timer_.get())
        DisarmPoolTimer(process_.timer_.get());
}
