// A fault in the component that nothing in the component handles must end
// this process, as it would end the host in process: COM's dispatch would
// otherwise catch it, answer the call with a fault status and let the
// component, whose state can no longer be trusted, go on serving. (Windows
// lets a server ask COM not to catch, through IGlobalOptions; Wine 8
// ignores that.) So each call into the component runs under an exception
// handler of this program's own, placed between the component and COM: it
// sees only what the component's own handlers left, and ends the process
// with the exception's code. The library then sees its call fail as for a
// process that died (RPC_S_CALL_FAILED) and reads the code as the reason.
#pragma once

#include <windows.h>

extern "C" HRESULT CallShielded(HRESULT (*call)(void*), void* context);

// call() under that handler.
template <class Call>
HRESULT Shielded(Call&& call) {
    return CallShielded([](void* context) { return (*static_cast<Call*>(context))(); }, &call);
}
