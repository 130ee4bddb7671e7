#include "component_server.h"

#include <objbase.h>

#include <new>

#include "bridge/automation_owners.h"
#include "bridge/process_owners.h"
#include "bridge/surrogate_hand_over.h"
#include "last_reference.h"

namespace {

// This thread's single-threaded apartment, for as long as the object lives.
class Apartment {
public:
    Apartment() : status_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~Apartment() {
        if (SUCCEEDED(status_)) CoUninitialize();
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;

    HRESULT status() const { return status_; }

private:
    const HRESULT status_;
};

bool WriteAll(HANDLE pipe, const void* bytes, DWORD length) {
    DWORD written = 0;
    return WriteFile(pipe, bytes, length, &written, nullptr) && written == length;
}

// The failed step, as the exit code too.
DWORD Report(HANDLE pipe, HRESULT status, SurrogateStep step) {
    const SurrogateHandOver header{status, step, 0};
    WriteAll(pipe, &header, sizeof header);
    return static_cast<DWORD>(status);
}

// The object marshalled for the library's process: into a stream on
// memory, then the stream's bytes through the pipe after the header.
DWORD HandOver(HANDLE pipe, IDispatch* object) {
    ComPtr<IStream> stream;
    HRESULT status = CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    if (FAILED(status)) return Report(pipe, status, kSurrogateMarshal);
    status = CoMarshalInterface(stream.get(), IID_IDispatch, object, MSHCTX_LOCAL, nullptr,
                                MSHLFLAGS_NORMAL);
    HGLOBAL memory = nullptr;
    ULARGE_INTEGER length{};
    if (SUCCEEDED(status)) status = GetHGlobalFromStream(stream.get(), &memory);
    if (SUCCEEDED(status)) status = stream->Seek({}, STREAM_SEEK_CUR, &length);
    if (FAILED(status)) return Report(pipe, status, kSurrogateMarshal);
    const SurrogateHandOver header{S_OK, kSurrogateReady, static_cast<DWORD>(length.QuadPart)};
    const void* bytes = GlobalLock(memory);
    const bool written = WriteAll(pipe, &header, sizeof header) &&
                         WriteAll(pipe, bytes, header.length);
    GlobalUnlock(memory);
    return written ? kSurrogateLastObjectReleased : HRESULT_FROM_WIN32(GetLastError());
}

void ServeUntilQuit() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

DWORD ServeComponent(const CLSID& classId, HANDLE pipe, HANDLE released) {
    const Apartment apartment;
    if (FAILED(apartment.status()))
        return Report(pipe, apartment.status(), kSurrogateInitialiseCom);

    IDispatch* dispatch = nullptr;
    {
        ComPtr<IUnknown> object;
        HRESULT status = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                          object.put_void());
        if (FAILED(status)) return Report(pipe, status, kSurrogateCreateObject);
        status = object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        if (FAILED(status)) return Report(pipe, status, kSurrogateQueryDispatch);
    }

    // From here COM's stub holds the object for the library; when the
    // library releases its proxy, the last reference goes and ends the loop.
    auto* const forwarding = new (std::nothrow) LastReference(dispatch);
    if (forwarding == nullptr) {
        dispatch->Release();
        return Report(pipe, E_OUTOFMEMORY, kSurrogateMarshal);
    }
    const DWORD handedOver = HandOver(pipe, ComPtr<LastReference>(forwarding).get());
    if (handedOver != kSurrogateLastObjectReleased) return handedOver;
    ServeUntilQuit();
    // COM in the library's process is still closing its connection to this
    // one when the release returns here; under Wine 8 a connection whose
    // other end went first stays open there for good. So the process ends
    // once the library says it is done, or after a while anyway.
    WaitForSingleObject(released, kSurrogateReleaseWait);
    return kSurrogateLastObjectReleased;
}
