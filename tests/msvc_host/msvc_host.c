/* A host as an MSVC-style toolchain builds it: the library's public header
 * and nothing else, no C runtime (its own entry point and the few system
 * functions it calls, declared here), linked by lld-link against
 * Nolv_Lib_Wrapper.lib. It writes what each call returned, and the
 * clipboard's text, to standard output. On x86 its references to the
 * stdcall exports are decorated (_Name@N), as for any system function. */
#include "Nolv_Lib_Wrapper.h"

typedef void* Handle;
#define SYSTEM __declspec(dllimport)
#define WINAPI __stdcall
#define STANDARD_OUTPUT ((unsigned long)-11)
#define CF_TEXT 1

SYSTEM void WINAPI ExitProcess(unsigned exitCode);
SYSTEM Handle WINAPI GetStdHandle(unsigned long which);
SYSTEM int WINAPI WriteFile(Handle file, const void* bytes, unsigned long size,
                     unsigned long* written, void* overlapped);
SYSTEM void* WINAPI GlobalLock(Handle memory);
SYSTEM int WINAPI GlobalUnlock(Handle memory);
SYSTEM int WINAPI OpenClipboard(Handle owner);
SYSTEM Handle WINAPI GetClipboardData(unsigned format);
SYSTEM int WINAPI CloseClipboard(void);

static void Write(const char* text) {
    unsigned long length = 0;
    unsigned long written;
    while (text[length] != '\0') ++length;
    WriteFile(GetStdHandle(STANDARD_OUTPUT), text, length, &written, 0);
}

static void WriteNumber(int value) {
    char digits[12];
    char* first = digits + sizeof digits;
    unsigned magnitude = value < 0 ? 0u - (unsigned)value : (unsigned)value;
    *--first = '\0';
    do {
        *--first = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--first = '-';
    Write(first);
}

static void WriteResult(const char* call, int result) {
    Write(call);
    Write(": ");
    WriteNumber(result);
    Write("\n");
}

static void WriteClipboardText(void) {
    Handle data;
    const char* text;
    if (!OpenClipboard(0)) {
        Write("clipboard: not available\n");
        return;
    }
    data = GetClipboardData(CF_TEXT);
    text = data ? (const char*)GlobalLock(data) : 0;
    Write("clipboard: ");
    Write(text ? text : "(no text)");
    Write("\n");
    if (text) GlobalUnlock(data);
    CloseClipboard();
}

/* The process's entry point (/entry:HostMain): it never returns. */
void HostMain(void) {
    int first = 3;
    int second = 4;
    const int loaded = LoadNolvSys();
    WriteResult("LoadNolvSys", loaded);
    WriteResult("LoadSivatSys", LoadSivatSys());
    WriteResult("Nolv_Lib_getNumberStrRZ", Nolv_Lib_getNumberStrRZ("NS", "X", &first, &second));
    WriteResult("first", first);
    WriteResult("second", second);
    WriteClipboardText();
    WriteResult("Sivat_Lib_GetSivatMode", Sivat_Lib_GetSivatMode("ABC-12"));
    /* The stdcall exports, referenced by their decorated names (_Name@N). */
    {
        char buffer[32];
        int needed = 0;
        first = 3;
        second = 4;
        WriteResult("Nolv_Lib_getNumberStrBuf",
                    Nolv_Lib_getNumberStrBuf("NS", "X", &first, &second, buffer, sizeof buffer,
                                             &needed));
        Write("buffer: ");
        Write(buffer);
        Write("\n");
        WriteResult("needed", needed);
    }
    WriteResult("Sivat_Lib_GetSivatModeW", Sivat_Lib_GetSivatModeW(L"ABC-12"));
    FreeNolvSys();
    ExitProcess(loaded == 1 ? 0 : 1);
}
