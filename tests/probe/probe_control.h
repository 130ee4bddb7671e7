/* Control interface of the probe component: a scriptable in-proc automation
 * server that stands in for both external components in the tests. It
 * records every GetIDsOfNames and Invoke it receives and does, per method,
 * what the test scripted. All functions are for the thread that uses the
 * components (apartment threaded, like the library's host). */
#pragma once

#include <windows.h>
#include <oaidl.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef PROBE_BUILDING
#define PROBE_API __declspec(dllexport)
#else
#define PROBE_API __declspec(dllimport)
#endif

/* Which component an object or a script belongs to. */
enum { PROBE_NOLV = 0, PROBE_SIVAT = 1 };

/* What a record describes. */
enum { PROBE_LOOKUP = 1, PROBE_INVOKE = 2 };

#define PROBE_MAX_ARGS 8

typedef struct ProbeArg {
    VARTYPE vt;             /* the element's type word as received */
    void* pointer;          /* the element's by-reference pointer (byref) */
    int textIsNull;         /* VT_BSTR|VT_BYREF: *pbstrVal was a null BSTR */
    int textLength;         /* VT_BSTR|VT_BYREF: SysStringLen(*pbstrVal) */
    const wchar_t* text;    /* VT_BSTR|VT_BYREF: copy of the string (probe-owned,
                               NUL-terminated, valid until ProbeReset); "" when null */
    LONG integer;           /* VT_I4|VT_BYREF: *plVal on entry */
} ProbeArg;

typedef struct ProbeCall {
    int component;          /* PROBE_NOLV or PROBE_SIVAT: the called object's class */
    int kind;               /* PROBE_LOOKUP or PROBE_INVOKE */
    const wchar_t* name;    /* lookup: first name asked for; invoke: the name the
                               dispid belongs to, or null for an unknown dispid */
    int nameCount;          /* lookup: cNames */
    int riidIsNull;         /* the riid argument was IID_NULL */
    DISPID dispid;          /* lookup: identifier given back (DISPID_UNKNOWN when the
                               name is unknown); invoke: identifier received */
    HRESULT status;         /* what the probe returned */
    LCID lcid;
    WORD flags;             /* invoke: wFlags */
    int argCount;           /* invoke: cArgs */
    int namedArgCount;      /* invoke: cNamedArgs */
    int resultRequested;    /* invoke: pVarResult was not null */
    int excepInfoRequested; /* invoke: pExcepInfo was not null */
    int argErrRequested;    /* invoke: puArgErr was not null */
    ProbeArg args[PROBE_MAX_ARGS]; /* args[i] is rgvarg[i] (element order, last
                                      declared parameter first) */
} ProbeCall;

/* Registry: writes HKCR\<progId>\CLSID and HKCR\CLSID\{...}\InprocServer32
 * (this DLL's full path, ThreadingModel Apartment) for the component's own
 * class; Unregister removes both keys. Return S_OK or a failure status. */
PROBE_API HRESULT ProbeRegister(int component, const wchar_t* progId);
PROBE_API HRESULT ProbeUnregister(int component, const wchar_t* progId);

/* Forgets all scripts and records; afterwards no method exists, IDispatch
 * is answered and recording is on. Live objects are not touched. */
PROBE_API void ProbeReset(void);

/* Scripts, per component and method name (names match case-insensitively,
 * as automation names do). A method must be defined before it is found by
 * GetIDsOfNames; by default an invocation returns S_OK and sets no result. */
PROBE_API void ProbeDefineMethod(int component, const wchar_t* name);
/* On invocation, when a result is requested, it receives a copy of *result. */
PROBE_API void ProbeSetResult(int component, const wchar_t* name, const VARIANT* result);
/* Invoke returns this status; a failing status sets no result and writes
 * nothing back. */
PROBE_API void ProbeSetInvokeStatus(int component, const wchar_t* name, HRESULT status);
/* On invocation, writes value through the VT_I4|VT_BYREF pointer of the
 * declared parameter declaredIndex (0 = first declared = rgvarg[cArgs-1]). */
PROBE_API void ProbeSetIntegerOut(int component, const wchar_t* name, int declaredIndex, LONG value);
/* On invocation, replaces the BSTR behind the VT_BSTR|VT_BYREF pointer of
 * that declared parameter: frees the old string, stores SysAllocString(text)
 * (text null: stores a null BSTR). */
PROBE_API void ProbeSetTextOut(int component, const wchar_t* name, int declaredIndex, const wchar_t* text);
/* Invoke raises an automation exception: returns DISP_E_EXCEPTION and, when
 * the caller passed an EXCEPINFO, fills in source and description (null:
 * none) with scode E_FAIL; with deferred set, it only sets
 * pfnDeferredFillIn, whose call fills them in. Nothing is written back. */
PROBE_API void ProbeSetException(int component, const wchar_t* name, const wchar_t* source,
                                 const wchar_t* description, int deferred);
/* Host code run from inside the component, as a host's window procedure or
 * timer runs while a component's dialog is up: on invocation of the method,
 * once its script has run and before it returns (where PROBE_HOOK_IN_CALL),
 * or inside the deferred fill-in of the exception it raises
 * (PROBE_HOOK_IN_FILL_IN); with a null name, inside the class factory's
 * CreateInstance, before the object is made. A null hook removes it. */
typedef void (*ProbeHook)(void* context);
enum { PROBE_HOOK_IN_CALL = 0, PROBE_HOOK_IN_FILL_IN = 1 };
PROBE_API void ProbeSetHook(int component, const wchar_t* name, ProbeHook hook, void* context,
                            int where);
/* QueryInterface for IDispatch fails with E_NOINTERFACE on new and live objects. */
PROBE_API void ProbeRefuseDispatch(int component, int refuse);

/* Records. With recording off (for soaks) calls are only counted. */
PROBE_API void ProbeSetRecording(int on);
PROBE_API int ProbeCallCount(void);
PROBE_API const ProbeCall* ProbeGetCall(int index);

/* Objects of both classes alive now, and the sum of their reference counts. */
PROBE_API int ProbeLiveObjects(void);
PROBE_API LONG ProbeLiveReferences(void);
/* Objects destroyed while one of their own methods was running, since the
 * probe was loaded. */
PROBE_API int ProbeDestroyedInCall(void);

#ifdef __cplusplus
}
#endif
