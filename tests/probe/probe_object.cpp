// Objects of both components, and the exports that count them.
#include "probe_object.h"

#include "probe_control.h"
#include "probe_dispatch.h"
#include "probe_script.h"

#include <algorithm>
#include <new>
#include <vector>

namespace probe {
namespace {

// Tests measure leaks with these: every object alive and every reference held.
LONG liveObjects;
LONG liveReferences;
LONG destroyedInCall;

// The objects whose Invoke is running now, by address: an object destroyed
// while it is listed was destroyed by its own caller mid-call. The list is
// never reached through the object itself, which may be gone by the time
// its Invoke returns.
SRWLOCK runningLock = SRWLOCK_INIT;
std::vector<const void*> running;

class RunningCall {
public:
    explicit RunningCall(const void* object) : object_(object) {
        AcquireSRWLockExclusive(&runningLock);
        running.push_back(object_);
        ReleaseSRWLockExclusive(&runningLock);
    }
    ~RunningCall() {
        AcquireSRWLockExclusive(&runningLock);
        running.erase(std::find(running.begin(), running.end(), object_));
        ReleaseSRWLockExclusive(&runningLock);
    }
    RunningCall(const RunningCall&) = delete;
    RunningCall& operator=(const RunningCall&) = delete;

    static bool IsRunning(const void* object) {
        AcquireSRWLockExclusive(&runningLock);
        const bool found = std::find(running.begin(), running.end(), object) != running.end();
        ReleaseSRWLockExclusive(&runningLock);
        return found;
    }

private:
    const void* object_;
};

class ProbeObject final : public IDispatch {
public:
    explicit ProbeObject(int component) : component_(component) {
        InterlockedIncrement(&liveObjects);
    }
    ~ProbeObject() {
        if (RunningCall::IsRunning(this)) InterlockedIncrement(&destroyedInCall);
        InterlockedDecrement(&liveObjects);
    }
    ProbeObject(const ProbeObject&) = delete;
    ProbeObject& operator=(const ProbeObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        const bool dispatch = IsEqualIID(riid, IID_IDispatch) && !refusesDispatch(component_);
        if (!IsEqualIID(riid, IID_IUnknown) && !dispatch) return E_NOINTERFACE;
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override {
        InterlockedIncrement(&liveReferences);
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }

    ULONG STDMETHODCALLTYPE Release() override {
        InterlockedDecrement(&liveReferences);
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT nameCount,
                                            LCID lcid, DISPID* dispids) override {
        return lookUpNames(component_, riid, names, nameCount, lcid, dispids);
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excepInfo, UINT* argErr) override {
        const RunningCall call(this);
        return invoke(component_, dispid, riid, lcid, flags, params, result,
                      excepInfo, argErr);
    }

private:
    const int component_;
    LONG references_ = 0;
};

}  // namespace

HRESULT createObject(int component, REFIID riid, void** object) {
    ProbeObject* made = new (std::nothrow) ProbeObject(component);
    if (made == nullptr) {
        if (object) *object = nullptr;
        return E_OUTOFMEMORY;
    }
    // Held across the QueryInterface, so a refused interface frees the object.
    made->AddRef();
    const HRESULT hr = made->QueryInterface(riid, object);
    made->Release();
    return hr;
}

}  // namespace probe

extern "C" {

int ProbeLiveObjects(void) {
    return static_cast<int>(probe::liveObjects);
}

LONG ProbeLiveReferences(void) {
    return probe::liveReferences;
}

int ProbeDestroyedInCall(void) {
    return static_cast<int>(probe::destroyedInCall);
}

}  // extern "C"
