/* Nolv_Lib_Wrapper.dll: the Nolv and Sivat automation components for hosts
 * that call plain C functions. The first eleven functions are cdecl; texts
 * are NUL-terminated strings in the system's ANSI code page and may be
 * null, and text results are delivered on the clipboard as CF_TEXT. The
 * functions added after them are stdcall (the Win32 API's own convention)
 * and deliver text into the caller's buffer, in ANSI or, with the W
 * suffix, in UTF-16. Make every call, from loading a component to
 * FreeNolvSys, from one thread. */
#ifndef NOLV_LIB_WRAPPER_H
#define NOLV_LIB_WRAPPER_H

#include <stddef.h> /* wchar_t */

#ifdef __cplusplus
extern "C" {
#endif

/* Component lifetime. The load functions return 1 when the component was
 * created, 0 when it was not (not registered, not creatable, no automation
 * interface), -1 on an internal failure. FreeNolvSys releases both
 * components and ends the library's use of COM on the thread. */
int __cdecl LoadNolvSys(void);
int __cdecl LoadSivatSys(void);
void __cdecl FreeNolvSys(void);

/* Number string: the component's text goes to the clipboard; the component
 * may change *first and *second, and the result is their sum afterwards
 * (0, with "" on the clipboard, when the call could not be made). */
int __cdecl Nolv_Lib_getNumberStrRZ(const char* firstText, const char* secondText,
                                    int* first, int* second);

/* Parts-name list: the clipboard's text is the input; the comma-separated
 * list replaces it, and the result is its number of fields (0 for an empty
 * list or when the call could not be made). */
int __cdecl Nolv_Lib_getPartsNameListRZClip(const char* text, int limit);

/* Mode of a text: the component's value; -3 when the component has no such
 * method; -1 when the call failed. */
int __cdecl Sivat_Lib_GetSivatMode(const char* text);

/* Dialogs and settings, passed straight to the components. */
void __cdecl Nolv_Lib_AboutBox(void);
void __cdecl Nolv_Lib_SivatAboutBox(void); /* the Sivat component's About box */
void __cdecl Nolv_Lib_editSettingData(void);
void __cdecl Nolv_Lib_setSettingDataFileName(const char* fileName);

/* The library's own About box, with its version text; needs no component. */
void __cdecl Nolv_Lib_WrapperAboutBox(void);

/* Results without the clipboard. The text goes into buffer, which holds
 * size characters (bytes for ANSI, UTF-16 units for W). *needed receives
 * the size the whole text takes, its NUL included; needed may be null.
 * When size is above 0 the buffer is always NUL-terminated; a text that did
 * not fit is cut where a character ends (never inside a double-byte
 * character or a surrogate pair) and *needed is then above size. A null
 * buffer or a size of 0 only reports *needed. When the call could not be
 * made, the buffer holds the empty text and *needed is 1. The clipboard is
 * never touched. */

/* Number string: as Nolv_Lib_getNumberStrRZ, the text into the buffer. */
int __stdcall Nolv_Lib_getNumberStrBuf(const char* firstText, const char* secondText,
                                       int* first, int* second,
                                       char* buffer, int size, int* needed);
int __stdcall Nolv_Lib_getNumberStrBufW(const wchar_t* firstText, const wchar_t* secondText,
                                        int* first, int* second,
                                        wchar_t* buffer, int size, int* needed);

/* Parts-name list of the input text (which may be null): the list into the
 * buffer, fields separated by commas (U+002C in the W form). The result is
 * the number of fields of the list in the buffer; 0 for an empty list, when
 * the list did not fit, or when the call could not be made. */
int __stdcall Nolv_Lib_getPartsNameListBuf(const char* text, const char* input, int limit,
                                           char* buffer, int size, int* needed);
int __stdcall Nolv_Lib_getPartsNameListBufW(const wchar_t* text, const wchar_t* input,
                                            int limit, wchar_t* buffer, int size, int* needed);

/* UTF-16 forms of Sivat_Lib_GetSivatMode and Nolv_Lib_setSettingDataFileName. */
int __stdcall Sivat_Lib_GetSivatModeW(const wchar_t* text);
void __stdcall Nolv_Lib_setSettingDataFileNameW(const wchar_t* fileName);

/* Why the last call failed. Every function but these two forgets the
 * previous failure when it starts, and records one when it falls back or
 * returns a failure value: one line naming the function, the component and
 * method, the step that failed, the HRESULT with the system's message for
 * it, and, where there are any, the component's own words (its exception's
 * source and description), the argument it objected to, or the program
 * that held the clipboard. The result is that HRESULT (never 0 for a
 * failure), or 0 when the last call did not fail; the text is then empty.
 * The text comes with the buffer convention above; the W form carries the
 * component's words whatever the ANSI code page. Reading does not change
 * the record; nothing is ever logged or shown. Each thread has its own
 * record: read it on the thread that made the call. */
int __stdcall Nolv_Lib_GetLastFailure(char* buffer, int size, int* needed);
int __stdcall Nolv_Lib_GetLastFailureW(wchar_t* buffer, int size, int* needed);

/* How the components run from their next load. components: 0 neither,
 * 1 Nolv, 2 Sivat, 3 both run isolated, each in a process of its own
 * (nolvsurrogate.exe, beside this DLL), so that a crash or a hang there
 * cannot take the host down; the others in the host's process, as by
 * default. callLimitMilliseconds: each call of an isolated component
 * that runs longer ends its process (0: no limit). A call whose
 * component's process ended gives its fallback and says why; the next
 * call starts the component again. 1 when accepted; 0 for values out of
 * range, with the reason recorded. */
int __stdcall Nolv_Lib_SetIsolation(int components, int callLimitMilliseconds);

#ifdef __cplusplus
}
#endif

#endif
