// Nolv_Lib_GetLastFailure, Nolv_Lib_GetLastFailureW: why the host's last
// call failed, read without changing the record. The line is made in the
// record's own storage and converted on the stack, so reading needs no
// memory either.
#include "Nolv_Lib_Wrapper.h"
#include "frame/call_guard.h"
#include "frame/failure_record.h"
#include "operations/text_buffer.h"

int __stdcall Nolv_Lib_GetLastFailure(char* buffer, int size, int* needed) {
    return Guarded(
        [&] {
            // Up to three bytes a UTF-16 unit, in any ANSI code page UTF-8
            // included; what the code page lacks becomes its default character.
            char line[3 * kFailureTextCapacity];
            if (WideCharToMultiByte(CP_ACP, 0, LastFailureText(), -1, line, sizeof line, nullptr,
                                    nullptr) == 0)
                line[0] = '\0';
            DeliverToBuffer(line, buffer, size, needed);
            return static_cast<int>(LastFailureStatus());
        },
        [] { return static_cast<int>(LastFailureStatus()); });
}

int __stdcall Nolv_Lib_GetLastFailureW(wchar_t* buffer, int size, int* needed) {
    return Guarded(
        [&] {
            DeliverToBuffer(LastFailureText(), buffer, size, needed);
            return static_cast<int>(LastFailureStatus());
        },
        [] { return static_cast<int>(LastFailureStatus()); });
}
